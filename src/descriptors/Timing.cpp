#include "descriptors/Timing.h"

#include <cmath>
#include <limits>

#include "descriptors/DescriptorText.h"

namespace {
constexpr std::string_view kTiming = "Timing";
}

int TimeDecimalsOf(float period) {
  const float rate = float(1.0 / double(period));  // frames per millisecond
  const double decimals = std::trunc(std::log(double(rate)) / std::log(10.0)) + 2;
  return decimals < 0 ? 0 : int(decimals);
}

void TTimingModel::SetFramePeriod(float period) {
  if (!(period >= kLeastStoredPeriod)) period = kLeastStoredPeriod;
  framePeriod_ = period;
  timeDecimals_ = TimeDecimalsOf(period);
  const float rate = float(1.0 / double(period));
  SetDescriptorFloat(descriptor_, kTiming, "Frame Rate", double(rate) * 1000.0);
  changed();
}

void TTimingModel::SetTimeOffset(float time) {
  timeOffset_ = time;
  SetDescriptorFloat(descriptor_, kTiming, "Time at Mark Frame", double(time));
  SetDescriptorFloat(descriptor_, kTiming, "Mark Frame", 0);
  changed();
}

void TTimingModel::changed() {
  timingSet_ = true;
  if (OnTimingChanged) OnTimingChanged(timeDecimals_, framePeriod_, timeOffset_);
}

float TTimingModel::EffectiveFramePeriod() const {
  return framePeriod_ > kLeastEffectivePeriod ? framePeriod_ : kLeastEffectivePeriod;
}

float TTimingModel::TimeOfFrame(std::int32_t frame) const {
  return float(double(EffectiveFramePeriod()) * frame + double(timeOffset_));
}

std::int32_t TTimingModel::FrameOfTime(float time) const {
  const double exact = (double(time) - double(timeOffset_)) / double(EffectiveFramePeriod());
  double frames = std::round(exact);
  if (std::fabs(exact - std::trunc(exact)) == 0.5) frames = 2 * std::round(exact / 2);
  if (!(frames > std::numeric_limits<std::int32_t>::min()))  // also a time that is no number
    return std::numeric_limits<std::int32_t>::min();
  if (frames > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  return std::int32_t(frames);
}

namespace {
float PeriodOf(double rate) {
  return float((1.0L / (long double)rate) * 1000.0L);
}
}  // namespace

bool UsableFrameRate(double rate) {
  return rate > 0 && std::isfinite(PeriodOf(rate));
}

TTimingValues DeriveTiming(double rate, double markFrame, double timeAtMarkFrame) {
  if (!UsableFrameRate(rate)) rate = 1000;
  TTimingValues v;
  v.period = PeriodOf(rate);
  v.offset = float(timeAtMarkFrame - markFrame * double(v.period));
  if (!std::isfinite(v.offset)) v.offset = 0;
  return v;
}
