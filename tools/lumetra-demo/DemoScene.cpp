#include "DemoScene.h"

namespace demo {

const Scene& TheScene() {
  static const Scene scene;
  return scene;
}

Point TargetAt(double ms) {
  const TargetPath& p = TheScene().target;
  const double t = ms / 1000;
  return {p.x0 + p.vx * t, p.y0 + p.vy * t - p.g * t * t / 2};
}

Point TargetVelocity(double ms) {
  const TargetPath& p = TheScene().target;
  return {p.vx, p.vy - p.g * ms / 1000};
}

Point TargetAcceleration(double) {
  return {0, -TheScene().target.g};
}

double BarAngleAt(double ms) {
  const RotatingBar& b = TheScene().bar;
  return b.angle0 + b.rate * ms / 1000;
}

// Three rates, three trigger frames, three sizes; each spans about -0.2 s to 1 s of test time.
const std::array<Camera, 3>& Cameras() {
  using avifile::AviCodec;
  static const std::array<Camera, 3> cameras = {{
      {"cam1_colour.avi", 320, 240, 24, Look::Colour, AviCodec::Mjpeg, 100, 20, 120, Carrier::Ttls},
      {"cam2_grey.avi", 256, 192, 8, Look::Grey, AviCodec::Dib, 250, 25, 250, Carrier::Marker},
      {"cam3_palette.avi", 288, 216, 8, Look::Palette, AviCodec::Dib, 125, 15, 140,
       Carrier::CameraHeader},
  }};
  return cameras;
}

}  // namespace demo
