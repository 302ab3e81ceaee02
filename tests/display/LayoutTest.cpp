// The display window's sizing arithmetic: magnification, minimum sizes, monitor limits, legend.

#include <gtest/gtest.h>

#include "display/DisplayLayout.h"

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
      {"small clip raised to 120 pixels on its shorter side",
       {{8, 6}, 100, 0, 0, monitor},
       2000,
       {160, 120}},
      {"narrow clip, no legend and no controls: no minimum width",
       {{160, 120}, 100, 0, 0, monitor},
       100,
       {160, 120}},
      {"narrow clip with video controls widened to 185, aspect kept",
       {{160, 120}, 100, 50, MinimumWidth({0, 0, 0}, true), monitor},
       100,
       {185, 188}},
      {"wider than the monitor: cut to its width, height follows",
       {{2000, 1000}, 100, 28, 0, monitor},
       100,
       {1280, 668}},
      {"taller than the monitor: cut to its height, width follows",
       {{1000, 2000}, 100, 28, 0, monitor},
       100,
       {468, 964}},
      {"no monitor known: nothing limits", {{3000, 2000}, 100, 0, 0, {}}, 100, {3000, 2000}},
      {"panels taller than the monitor keep a one-pixel image",
       {{100, 100}, 200, 90, 0, {200, 80}},
       200,
       {1, 91}},
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

}  // namespace
