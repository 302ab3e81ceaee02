#include "display/DisplayLayout.h"

#include <algorithm>
#include <cmath>

namespace display_layout {

namespace {

// 64-bit and rounded: a 400 % view of a very large clip must not overflow.
long long Scaled(int side, int percent) {
  return std::llround(double(side) * percent / 100.0);
}

int Clamped(long long v) {
  return int(std::clamp<long long>(v, 0, 1 << 24));
}

int RaisedPercent(int percent, QSize image) {
  for (int side : {image.width(), image.height()})
    if (Scaled(side, percent) < kMinimumSide)
      percent = std::max(percent, int(std::lround(kMinimumSide * 100.0 / side)));
  return percent;
}

}  // namespace

TLayoutPlan Plan(const TLayoutRequest& r) {
  const int iw = r.image.width(), ih = r.image.height();
  if (iw <= 0 || ih <= 0) return {r.percent, {}};
  const int extra = std::max(r.extraHeight, 0);
  TLayoutPlan plan;
  plan.percent = RaisedPercent(std::max(r.percent, 1), r.image);
  long long w = Scaled(iw, plan.percent);
  long long h = Scaled(ih, plan.percent) + extra;
  const auto heightOf = [&](long long width) { return width * ih / iw + extra; };
  if (w < r.minimumWidth) {
    w = r.minimumWidth;
    if (r.keepAspect) h = heightOf(w);
  }
  // An empty available area (no monitor known) limits nothing.
  if (r.available.width() > 0 && w > r.available.width()) {
    w = r.available.width();
    if (r.keepAspect) h = heightOf(w);
  }
  if (r.available.height() > 0 && h > r.available.height()) {
    h = r.available.height();
    if (r.keepAspect) w = (h - extra) * iw / ih;
  }
  // The paint box keeps at least one pixel: the pointer conversions divide by its size.
  plan.client = QSize(Clamped(std::max(w, 1LL)), Clamped(std::max(h, extra + 1LL)));
  return plan;
}

int FitPercent(int percent, QSize image, QSize paintBox) {
  const int sides[2][2] = {{image.width(), paintBox.width()}, {image.height(), paintBox.height()}};
  for (const auto& [side, box] : sides)
    if (side > 0 && Scaled(side, percent) > box) percent = int(box * 100LL / side);
  return std::max(percent, 1);
}

int MinimumWidth(const std::array<int, 3>& legendWidths, bool controls) {
  int sum = 0;
  for (int w : legendWidths) sum += std::max(w, 0);
  return controls ? std::max(sum, kControlsMinimumWidth) : sum;
}

std::array<int, 3> ArrangeLegend(int width, const std::array<int, 3>& widths) {
  enum { kFrame, kReticle, kTime };
  std::array<int, 3> x{};
  int shown = 0;
  for (int w : widths) shown += w > 0;
  if (shown == 1) {
    for (int i = 0; i < 3; ++i)
      if (widths[i] > 0) x[i] = (width - widths[i]) / 2;
  } else if (shown == 2) {
    const int right = widths[kTime] > 0 ? kTime : kReticle;
    x[right] = width - widths[right];  // the left one stays at 0
  } else if (shown == 3) {
    x[kReticle] = (width - widths[kReticle]) / 2;
    x[kTime] = width - widths[kTime];
  }
  return x;
}

}  // namespace display_layout
