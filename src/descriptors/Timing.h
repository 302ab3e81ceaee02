#pragma once

#include <cstdint>
#include <functional>
#include <string>

// How a clip's frames map to test time. All times are milliseconds of test time in single
// precision; frame numbers are 0-based indices into the clip.
//
// The model writes every change into the clip's descriptor text (section "Timing"), which the
// owner keeps; it never raises the owner's descriptor-changed flag.
class TTimingModel {
 public:
  // descriptor: the owner's text, which must outlive the model.
  explicit TTimingModel(std::string& descriptor) : descriptor_(descriptor) {}

  static constexpr float kLeastStoredPeriod = 0.000001f;
  static constexpr float kLeastEffectivePeriod = 0.00001f;

  // Stores max(period, 0.000001), derives TimeDecimals, writes "Frame Rate" as the rate that
  // the single-precision period really gives (30 frames/s reads 30.0000011920929).
  void SetFramePeriod(float period);
  // Stores the time of frame 0 and writes it as "Time at Mark Frame" with "Mark Frame" 0.
  void SetTimeOffset(float time);

  float FramePeriod() const { return framePeriod_; }
  float TimeOffset() const { return timeOffset_; }
  // The period every conversion uses: never below 0.00001.
  float EffectiveFramePeriod() const;
  // Decimals for showing a time in milliseconds; 3 until a period is set.
  int TimeDecimals() const { return timeDecimals_; }
  // Raised by either setter, never lowered.
  bool TimingSet() const { return timingSet_; }

  float TimeOfFrame(std::int32_t frame) const;
  // The nearest frame, halves to even; saturates at the 32-bit range (the caller clamps to
  // its clip).
  std::int32_t FrameOfTime(float time) const;

  // Called after every setter with (TimeDecimals, stored period, offset): the owner marks its
  // shown frame stale, tells Quick Measure and refreshes. Unassigned: skipped.
  std::function<void(int decimals, float period, float offset)> OnTimingChanged;

 private:
  void changed();

  std::string& descriptor_;
  float framePeriod_ = 0;
  float timeOffset_ = 0;
  int timeDecimals_ = 3;
  bool timingSet_ = false;
};

// Decimals for a period in ms: Trunc(log10(frames per ms)) + 2, at least 0.
int TimeDecimalsOf(float period);

// A frame rate the model can take: above 0 with a period (1000 / rate ms) that is a finite
// single-precision number. A positive but tiny rate (1e-40) once gave an infinite period and a
// time of frame 0 that was no number.
bool UsableFrameRate(double rate);

// The model given by the three "Timing" entries. A rate that is not usable is taken as 1000
// frames per second; an offset that is not finite (a huge mark frame times a huge period) as 0,
// as a mark frame and a time that cannot be read are.
struct TTimingValues {
  float period = 1;
  float offset = 0;
};
TTimingValues DeriveTiming(double rate, double markFrame, double timeAtMarkFrame);
