#include <gtest/gtest.h>

#include <limits>

#include "descriptors/DescriptorText.h"
#include "descriptors/Timing.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(TimingModel, PeriodHasAFloorOnStoringAnotherOnUseAndABadRateMeans1000PerSecond) {
  std::string text;
  TTimingModel t(text);
  EXPECT_EQ(t.EffectiveFramePeriod(), 0.00001f);  // a new window, before timing is set
  for (float bad : {0.0f, -5.0f, kNaN}) {
    t.SetFramePeriod(bad);
    EXPECT_EQ(t.FramePeriod(), 0.000001f) << bad;
    EXPECT_EQ(t.EffectiveFramePeriod(), 0.00001f) << bad;
  }
  t.SetFramePeriod(0.00002f);
  EXPECT_EQ(t.EffectiveFramePeriod(), 0.00002f);
  // A positive rate of 1e-40 once gave an infinite period and an offset that was no number.
  for (double bad : {0.0, -3.0, double(kNaN), 1e-40}) {
    EXPECT_EQ(DeriveTiming(bad, 0, 5).period, 1.0f) << bad;
    EXPECT_EQ(DeriveTiming(bad, 0, 5).offset, 5.0f) << bad;
  }
  EXPECT_EQ(DeriveTiming(1e-30, 2e9, 0).offset, 0.0f);  // past the float range
}

TEST(TimingModel, FrameOfTimeRoundsHalvesToEvenAndSaturates) {
  std::string text;
  TTimingModel t(text);
  t.SetFramePeriod(2);
  t.SetTimeOffset(-10);
  EXPECT_EQ(t.FrameOfTime(-10 + 2.5f * 2), 2);
  EXPECT_EQ(t.FrameOfTime(-10 + 3.5f * 2), 4);
  EXPECT_EQ(t.FrameOfTime(-10 - 2.5f * 2), -2);
  EXPECT_EQ(t.FrameOfTime(-10 + 2.6f * 2), 3);
  EXPECT_EQ(t.TimeOfFrame(7), 4.0f);
  EXPECT_EQ(t.FrameOfTime(1e30f), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(t.FrameOfTime(-1e30f), std::numeric_limits<std::int32_t>::min());
}

TEST(TimingModel, RateIsWrittenAsTheSinglePrecisionPeriodGivesItWithDecimalsToMatch) {
  const struct {
    double framesPerSecond;
    const char* written;
    int decimals;
  } cases[] = {{0.1, "0.0999999974737875", 0},
               {30, "30.0000011920929", 1},
               {60, "60.0000023841858", 1},
               {250, "250", 2},
               {1000, "1000", 2},
               {4500, "4500", 2},
               {10000, "10000", 3}};
  for (const auto& c : cases) {
    std::string text;
    TTimingModel t(text);
    t.SetFramePeriod(DeriveTiming(c.framesPerSecond, 0, 0).period);
    std::string rate;
    GetDescriptorValue(text, "Timing", "Frame Rate", rate);
    EXPECT_EQ(rate, c.written) << c.framesPerSecond;
    EXPECT_EQ(t.TimeDecimals(), c.decimals) << c.framesPerSecond;
  }
}

TEST(TimingModel, OffsetIsWrittenNormalisedToMarkFrameZeroAndReported) {
  std::string text = "[Timing]\rFrame Rate=100\rMark Frame=12\rTime at Mark Frame=3\r";
  TTimingModel t(text);
  std::vector<float> reported;
  t.OnTimingChanged = [&](int decimals, float period, float offset) {
    reported = {float(decimals), period, offset};
  };
  t.SetTimeOffset(-117.5f);
  EXPECT_EQ(text, "[Timing]\rFrame Rate=100\rMark Frame=0\rTime at Mark Frame=-117.5\r");
  EXPECT_EQ(reported, (std::vector<float>{3, 0, -117.5f}));
}

}  // namespace
