#include <gtest/gtest.h>

#include <limits>

#include "descriptors/DescriptorText.h"
#include "descriptors/Timing.h"

namespace {

std::string rateText(const std::string& text) {
  std::string v;
  GetDescriptorValue(text, "Timing", "Frame Rate", v);
  return v;
}

TEST(TimingModel, PeriodHasTwoFloorsOneOnStoringOneOnUse) {
  std::string text;
  TTimingModel t(text);
  EXPECT_EQ(t.EffectiveFramePeriod(), 0.00001f);  // a new window, before timing is set
  EXPECT_FALSE(t.TimingSet());
  t.SetFramePeriod(0);
  EXPECT_EQ(t.FramePeriod(), 0.000001f);
  EXPECT_EQ(t.EffectiveFramePeriod(), 0.00001f);
  t.SetFramePeriod(-5);
  EXPECT_EQ(t.FramePeriod(), 0.000001f);
  t.SetFramePeriod(0.00002f);
  EXPECT_EQ(t.EffectiveFramePeriod(), 0.00002f);
  EXPECT_TRUE(t.TimingSet());
}

TEST(TimingModel, FrameOfTimeRoundsHalvesToEven) {
  std::string text;
  TTimingModel t(text);
  t.SetFramePeriod(2);
  t.SetTimeOffset(-10);
  EXPECT_EQ(t.FrameOfTime(-10 + 2.5f * 2), 2);
  EXPECT_EQ(t.FrameOfTime(-10 + 3.5f * 2), 4);
  EXPECT_EQ(t.FrameOfTime(-10 - 2.5f * 2), -2);
  EXPECT_EQ(t.FrameOfTime(-10 + 2.6f * 2), 3);
  EXPECT_EQ(t.TimeOfFrame(7), 4.0f);
  // Far-off times saturate instead of overflowing.
  EXPECT_EQ(t.FrameOfTime(1e30f), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(t.FrameOfTime(-1e30f), std::numeric_limits<std::int32_t>::min());
}

TEST(TimingModel, DecimalsFollowTheRate) {
  const struct {
    double framesPerSecond;
    int decimals;
  } cases[] = {{10000, 3}, {1000, 2}, {250, 2}, {100, 2}, {30, 1}, {10, 0}, {1, 0}, {0.1, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(TimeDecimalsOf(float(1000.0 / c.framesPerSecond)), c.decimals) << c.framesPerSecond;
}

TEST(TimingModel, FrameRateIsWrittenAsTheSinglePrecisionPeriodGivesIt) {
  const struct {
    double framesPerSecond;
    const char* written;
  } cases[] = {{30, "30.0000011920929"}, {60, "60.0000023841858"}, {250, "250"},
               {1000, "1000"},           {4500, "4500"},           {10000, "10000"}};
  for (const auto& c : cases) {
    std::string text;
    TTimingModel t(text);
    t.SetFramePeriod(DeriveTiming(c.framesPerSecond, 0, 0).period);
    EXPECT_EQ(rateText(text), c.written) << c.framesPerSecond;
  }
}

TEST(TimingModel, OffsetIsWrittenNormalisedToMarkFrameZero) {
  std::string text = "[Timing]\rFrame Rate=100\rMark Frame=12\rTime at Mark Frame=3\r";
  TTimingModel t(text);
  int calls = 0;
  t.OnTimingChanged = [&](int decimals, float period, float offset) {
    ++calls;
    EXPECT_EQ(decimals, 3);
    EXPECT_EQ(period, 0.0f);
    EXPECT_EQ(offset, -117.5f);
  };
  t.SetTimeOffset(-117.5f);
  EXPECT_EQ(text, "[Timing]\rFrame Rate=100\rMark Frame=0\rTime at Mark Frame=-117.5\r");
  EXPECT_EQ(calls, 1);
}

TEST(TimingModel, DerivedFromTheTimingEntries) {
  TTimingValues v = DeriveTiming(500, 10, 100);
  EXPECT_EQ(v.period, 2.0f);
  EXPECT_EQ(v.offset, 80.0f);
  for (double bad : {0.0, -3.0, std::numeric_limits<double>::quiet_NaN()}) {
    v = DeriveTiming(bad, 0, 0);
    EXPECT_EQ(v.period, 1.0f);
  }
  EXPECT_EQ(DeriveTiming(30, 0, 0).period, float(1000.0 / 30.0));
}

}  // namespace
