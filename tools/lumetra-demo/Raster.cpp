#include "Raster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace demo {
namespace {

constexpr int kSamples = 4;  // per pixel side
constexpr int kRamp = 64;    // palette entries per shape

enum Shape { kTarget, kBar, kScale, kShapes };

struct Rgb {
  double r, g, b;
};
struct Colours {
  Rgb background;
  std::array<Rgb, kShapes> shapes;
};

const Colours& ColoursOf(Look look) {
  static const Colours colour{{24, 32, 48}, {{{255, 220, 40}, {230, 60, 50}, {240, 240, 240}}}};
  static const Colours grey{{20, 20, 20}, {{{235, 235, 235}, {130, 130, 130}, {255, 255, 255}}}};
  static const Colours palette{{16, 48, 24}, {{{255, 140, 0}, {80, 160, 255}, {255, 255, 255}}}};
  return look == Look::Colour ? colour : look == Look::Grey ? grey : palette;
}

BYTE Mix(double from, double to, double amount) {
  return BYTE(std::lround(from + (to - from) * amount));
}

// One picture being drawn; rows are y upwards here and stored top-down.
class Canvas {
 public:
  explicit Canvas(const Camera& camera)
      : camera_(camera),
        colours_(ColoursOf(camera.look)),
        rowBytes_(RowBytes(camera)),
        rows_(std::size_t(rowBytes_) * std::size_t(camera.height)) {
    for (LONG y = 0; y < camera.height; ++y)
      for (LONG x = 0; x < camera.width; ++x) Put(x, y, kTarget, 0);
  }

  // Covers the pixels whose centres lie in [x0, x1] × [y0, y1] widened by a pixel, where the
  // shape is; inside(x, y) takes image points.
  template <class Inside>
  void Fill(Shape shape, double x0, double y0, double x1, double y1, Inside inside) {
    const LONG left = std::max<LONG>(0, LONG(std::floor(x0)) - 1);
    const LONG right = std::min<LONG>(camera_.width - 1, LONG(std::ceil(x1)) + 1);
    const LONG bottom = std::max<LONG>(0, LONG(std::floor(y0)) - 1);
    const LONG top = std::min<LONG>(camera_.height - 1, LONG(std::ceil(y1)) + 1);
    for (LONG y = bottom; y <= top; ++y)
      for (LONG x = left; x <= right; ++x) {
        int hits = 0;
        for (int j = 0; j < kSamples; ++j)
          for (int i = 0; i < kSamples; ++i)
            hits += inside(x + (i + 0.5) / kSamples - 0.5, y + (j + 0.5) / kSamples - 0.5);
        if (hits > 0) Put(x, y, shape, double(hits) / (kSamples * kSamples));
      }
  }

  std::vector<BYTE> Take() { return std::move(rows_); }

 private:
  void Put(LONG x, LONG y, Shape shape, double amount) {
    BYTE* p = rows_.data() + std::size_t(camera_.height - 1 - y) * rowBytes_ +
              std::size_t(x) * (camera_.bitCount / 8);
    const Rgb& from = colours_.background;
    const Rgb& to = colours_.shapes[shape];
    if (camera_.look == Look::Palette) {
      p[0] = BYTE(shape * kRamp + std::lround(amount * (kRamp - 1)));
    } else if (camera_.look == Look::Grey) {
      p[0] = Mix(from.g, to.g, amount);
    } else {
      p[0] = Mix(from.b, to.b, amount);
      p[1] = Mix(from.g, to.g, amount);
      p[2] = Mix(from.r, to.r, amount);
    }
  }

  const Camera& camera_;
  const Colours& colours_;
  DWORD rowBytes_;
  std::vector<BYTE> rows_;
};

void DrawTarget(Canvas& canvas, double scale, double ms) {
  const Point c = TargetAt(ms);
  const double cx = c.x * scale, cy = c.y * scale, r = TheScene().target.radius * scale;
  canvas.Fill(kTarget, cx - r, cy - r, cx + r, cy + r, [&](double x, double y) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
  });
}

void DrawBar(Canvas& canvas, double scale, double ms) {
  const RotatingBar& bar = TheScene().bar;
  const double angle = BarAngleAt(ms) * std::numbers::pi / 180;
  const double ux = std::cos(angle), uy = std::sin(angle);
  const double px = bar.pivot.x * scale, py = bar.pivot.y * scale;
  const double length = bar.length * scale, halfWidth = bar.width * scale / 2;
  const double reach = length + halfWidth;
  canvas.Fill(kBar, px - reach, py - reach, px + reach, py + reach, [&](double x, double y) {
    const double along = (x - px) * ux + (y - py) * uy;
    const double across = (y - py) * ux - (x - px) * uy;
    return along >= 0 && along <= length && std::abs(across) <= halfWidth;
  });
}

void DrawScaleBar(Canvas& canvas, double scale) {
  const ScaleBar& bar = TheScene().scale;
  const double x0 = bar.from.x * scale, x1 = (bar.from.x + bar.length) * scale;
  const double y0 = (bar.from.y - bar.width / 2) * scale, y1 = (bar.from.y + bar.width / 2) * scale;
  canvas.Fill(kScale, x0, y0, x1, y1,
              [&](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; });
}

}  // namespace

DWORD RowBytes(const Camera& camera) {
  return ((DWORD(camera.width) * camera.bitCount + 31) / 32) * 4;
}

std::vector<BYTE> RenderFrame(const Camera& camera, double ms) {
  Canvas canvas(camera);
  const double scale = PixelsPerMm(camera);
  DrawScaleBar(canvas, scale);
  DrawBar(canvas, scale, ms);
  DrawTarget(canvas, scale, ms);
  return canvas.Take();
}

std::vector<RGBQUAD> PaletteOf(const Camera& camera) {
  if (camera.look != Look::Palette) return {};
  const Colours& colours = ColoursOf(camera.look);
  const Rgb& bg = colours.background;
  auto entry = [&bg](const Rgb& to, double amount) {
    return RGBQUAD{Mix(bg.b, to.b, amount), Mix(bg.g, to.g, amount), Mix(bg.r, to.r, amount), 0};
  };
  std::vector<RGBQUAD> palette(256, entry(bg, 0));
  for (int shape = 0; shape < kShapes; ++shape)
    for (int i = 0; i < kRamp; ++i)
      palette[std::size_t(shape * kRamp + i)] =
          entry(colours.shapes[std::size_t(shape)], double(i) / (kRamp - 1));
  return palette;
}

}  // namespace demo
