#include "signals/GraphCursor.h"

#include <algorithm>
#include <cmath>

#include "textio/FloatText.h"

bool TGraphCursor::NeedsMove(float t, float cursorX) {
  if (Busy || t == CursorTime) return false;
  CursorTime = t;
  return std::fabs(double(cursorX) - double(t)) >= Tolerance;
}

bool TGraphCursor::TakeCursorTime(float& t) {
  const bool take = MovedByUser && std::fabs(double(CursorTime) - double(t)) > Tolerance / 2;
  if (take) t = CursorTime;
  MovedByUser = false;
  return take;
}

void TGraphCursor::UserMoved(float x) {
  CursorTime = x;
  MovedByUser = true;
}

int PointOfTime(double t, double first, double interval, int count) {
  if (count <= 0) return 0;
  const double p = (t - first) / interval;
  // A damaged time base (interval 0, NaN) must not end the master tick with a range error.
  if (!std::isfinite(p)) return p > 0 ? count - 1 : 0;
  return int(std::nearbyint(std::clamp(p, 0.0, double(count - 1))));
}

namespace {

template <class Better>
int BestPoint(std::span<const float> y, float null, float start, Better better) {
  int best = 0;
  float value = start;
  for (std::size_t i = 0; i < y.size(); ++i)
    if (y[i] != null && better(y[i], value)) {
      value = y[i];
      best = int(i);
    }
  return best;
}

}  // namespace

int MinPoint(std::span<const float> y, float null) {
  return BestPoint(y, null, 1E37f, [](float a, float b) { return a < b; });
}

int MaxPoint(std::span<const float> y, float null) {
  return BestPoint(y, null, -1E37f, [](float a, float b) { return a > b; });
}

float FontFactor(int screenWidth, int windowWidth) {
  if (windowWidth <= 0) return 1.2f;
  return std::clamp(float(screenWidth) / (2.0f * float(windowWidth)), 0.5f, 1.2f);
}

QString ReadoutNumber(double value) {
  return QString::fromStdString(FloatToStrF(value, TFloatFormat::Fixed, 6, 3));
}

double CarryOverY(double y, double fromMin, double fromMax, double toMin, double toMax) {
  const double range = fromMax - fromMin;
  const double share = range != 0 ? (y - fromMin) / range : 0.0;
  return toMin + share * (toMax - toMin);
}
