// The display window's plain arithmetic and texts: sizes, legend, driver names, speeds.

#include <gtest/gtest.h>

#include "display/DisplayLayout.h"
#include "display/DisplayTexts.h"
#include "display/LocalPlayback.h"

namespace {

using namespace display_layout;

TEST(DisplayLayout, ClientAreaFollowsMagnificationMinimaAndMonitor) {
  const QSize monitor(1280, 964);  // a 1024-high work area less two captions
  const struct {
    const char* what;
    TLayoutRequest request;
    int percent;
    QSize client;
  } cases[] = {
      {"plain 50 %", {{640, 480}, 50, 0, 0, monitor}, 50, {320, 240}},
      {"200 % with legend and controls", {{320, 240}, 200, 78, 185, monitor}, 200, {640, 558}},
      {"8 x 6 raised to 120 on its shorter side", {{8, 6}, 100, 0, 0, monitor}, 2000, {160, 120}},
      {"no legend or controls: no minimum width",
       {{160, 120}, 100, 0, 0, monitor},
       100,
       {160, 120}},
      {"controls widen it to 185, aspect kept",
       {{160, 120}, 100, 50, MinimumWidth({0, 0, 0}, true), monitor},
       100,
       {185, 188}},
      {"too wide: cut, height follows", {{2000, 1000}, 100, 28, 0, monitor}, 100, {1280, 668}},
      {"too tall: cut, width follows", {{1000, 2000}, 100, 28, 0, monitor}, 100, {468, 964}},
      {"no monitor known: nothing limits", {{3000, 2000}, 100, 0, 0, {}}, 100, {3000, 2000}},
      {"panels over the monitor: 1-pixel image", {{100, 100}, 200, 90, 0, {200, 80}}, 200, {1, 91}},
      {"no frame yet", {{}, 100, 78, 185, monitor}, 100, {}},
  };
  for (const auto& c : cases) {
    const TLayoutPlan plan = Plan(c.request);
    EXPECT_EQ(plan.percent, c.percent) << c.what;
    EXPECT_EQ(plan.client, c.client) << c.what;
  }
}

TEST(DisplayLayout, MagnificationIsLoweredToThePaintBoxObtained) {
  const struct {
    int percent;
    QSize image, box;
    int expected;
  } cases[] = {
      {100, {2000, 1000}, {1280, 640}, 64},  // cut by the monitor
      {200, {320, 240}, {640, 480}, 200},    // got what was asked
      {200, {320, 240}, {640, 300}, 125},    // the shorter side decides
      {150, {3, 3}, {4, 4}, 133},            // 4.5 rounds up past 4
      {100, {5000, 10}, {1, 1}, 1},          // never below 1 %
  };
  for (const auto& c : cases)
    EXPECT_EQ(FitPercent(c.percent, c.image, c.box), c.expected) << c.image.width();
}

TEST(DisplayLayout, LegendPanelsSitCentredOrAtTheEdges) {
  const struct {
    std::array<int, 3> widths;  // frame, reticle, time; 0 hidden
    std::array<int, 3> x;
  } cases[] = {
      {{60, 0, 0}, {70, 0, 0}},      {{0, 100, 0}, {0, 50, 0}},   {{0, 0, 80}, {0, 0, 60}},
      {{60, 0, 80}, {0, 0, 120}},    {{60, 100, 0}, {0, 100, 0}}, {{0, 100, 80}, {0, 0, 120}},
      {{60, 100, 80}, {0, 50, 120}}, {{0, 0, 0}, {0, 0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(ArrangeLegend(200, c.widths), c.x);
  EXPECT_EQ(MinimumWidth({60, 100, 80}, false), 240);
  EXPECT_EQ(MinimumWidth({60, 0, 0}, true), kControlsMinimumWidth);
  EXPECT_EQ(MinimumWidth({0, 0, 0}, false), 0);
}

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
