#include <gtest/gtest.h>

#include "display/DisplayTexts.h"
#include "display/LocalPlayback.h"

namespace {

constexpr std::uint32_t Code(const char (&c)[5]) {
  return std::uint32_t(std::uint8_t(c[0])) | std::uint32_t(std::uint8_t(c[1])) << 8 |
         std::uint32_t(std::uint8_t(c[2])) << 16 | std::uint32_t(std::uint8_t(c[3])) << 24;
}

TEST(DisplayTexts, TimeLegendSwitchesToSecondsFrom1000Ms) {
  const struct {
    float ms;
    int decimals;
    const char* text;
    const char* units;
  } cases[] = {
      {999.9f, 2, "999.90", "ms"},  // 1000 frames/s
      {1000.0f, 2, "1.000", "s"},
      {-1500.0f, 2, "-1500.00", "ms"},  // negative times never switch
      {33.333332f, 1, "33.3", "ms"},
      {123456.7f, 3, "123.457", "s"},
      {-0.001f, 2, "0.00", "ms"},  // no "-0.00"
      // Seven significant digits first: the second decimal is gone.
      {-123456.78f, 2, "-123456.80", "ms"},
      {-123456789.0f, 2, "-1.234568E+08", "ms"},
  };
  for (const auto& c : cases) {
    const TTimeLegend legend = TimeLegend(c.ms, c.decimals);
    EXPECT_EQ(legend.text, c.text) << c.ms;
    EXPECT_EQ(legend.units, c.units) << c.ms;
    EXPECT_EQ(legend.hint, legend.units == "s" ? "Time in Seconds" : "Time in Milliseconds");
  }
}

TEST(DisplayTexts, DriverTextNamesTheLastEntryHoldingTheUpperCaseCode) {
  const struct {
    std::uint32_t handler;
    const char* text;
  } cases[] = {
      {Code("MRLE"), " requires driver MRLE - Microsoft RLE"},
      {Code("iv50"), " requires driver IV50 - Intel Indeo\u00AE Video 5.0"},
      {Code(" - I"), " requires driver IV50 - Intel Indeo\u00AE Video 5.0"},  // four hold it
      {Code("XVID"), " requires driver XVID"},
      {Code("a\nb\x01"), " requires driver A?B?"},  // a hostile file's bytes
      {0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DriverText(c.handler), QString::fromUtf8(c.text));
}

TEST(LocalPlayback, SpeedTagsGiveTheirIntervals) {
  const std::pair<int, int> cases[] = {{512, 533}, {1024, 267}, {2048, 133}, {4096, 67},
                                       {8192, 33}, {16384, 17}, {32768, 8},  {0, 0},
                                       {4095, 0},  {65536, 0},  {-4096, 0}};
  for (const auto& [tag, interval] : cases) EXPECT_EQ(TLocalPlayback::IntervalOfTag(tag), interval);
}

}  // namespace
