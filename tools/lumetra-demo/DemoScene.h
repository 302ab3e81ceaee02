#pragma once

// The demo test: one synthetic event with known motion, filmed by three cameras. Scene
// lengths are millimetres with y upwards; times are milliseconds of test time, 0 at the
// trigger. Every camera sees the whole scene, so a scene point p lands on the image point
// p × PixelsPerMm, in pixels from the centre of the bottom-left pixel.

#include <array>
#include <string>

#include "platform/avifile/AviWriter.h"

namespace demo {

struct Point {
  double x = 0, y = 0;
};

constexpr double kSceneWidth = 1600, kSceneHeight = 1200;

// A disc thrown up and to the right: x = x0 + vx·t, y = y0 + vy·t − g·t²/2 (t in seconds).
struct TargetPath {
  double x0 = 300, y0 = 500;    // mm at time 0
  double vx = 1000, vy = 1200;  // mm/s at time 0
  double g = 2400;              // mm/s², downwards
  double radius = 40;           // mm
};
// A hand turning counter-clockwise about its pivot: angle = angle0 + rate·t, from +x.
struct RotatingBar {
  Point pivot{1350, 950};
  double length = 200, width = 30;  // mm, from the pivot outwards
  double angle0 = 30;               // degrees at time 0
  double rate = 180;                // degrees per second
};
// A still bar of known length lying along x.
struct ScaleBar {
  Point from{100, 80};
  double length = 1000, width = 20;  // mm
};

struct Scene {
  TargetPath target;
  RotatingBar bar;
  ScaleBar scale;
};
const Scene& TheScene();

Point TargetAt(double ms);
Point TargetVelocity(double ms);      // mm/s
Point TargetAcceleration(double ms);  // mm/s²
double BarAngleAt(double ms);         // degrees

// How a camera's clip carries its timing.
enum class Carrier { Ttls, Marker, CameraHeader };
enum class Look { Colour, Grey, Palette };

struct Camera {
  std::string file;  // in the output folder
  LONG width = 0, height = 0;
  WORD bitCount = 24;
  Look look = Look::Colour;
  avifile::AviCodec codec = avifile::AviCodec::Dib;
  DWORD rate = 0;        // frames per second
  int triggerFrame = 0;  // the frame at test time 0
  int frames = 0;
  Carrier carrier = Carrier::Ttls;
};
const std::array<Camera, 3>& Cameras();

inline double PixelsPerMm(const Camera& c) {
  return double(c.width) / kSceneWidth;
}
inline double TimeOfFrame(const Camera& c, int frame) {
  return (frame - c.triggerFrame) * 1000.0 / c.rate;
}

}  // namespace demo
