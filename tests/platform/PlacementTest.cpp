#include <gtest/gtest.h>

#include <QWidget>
#include <array>

#include "TestSupport.h"
#include "platform/Placement.h"
#include "platform/RegIniFile.h"
#include "platform/Screens.h"

namespace {

const QString kKey = "\\Software\\Orvanta\\Lumetra";

class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    reg = std::make_unique<TRegIniFile>(kKey);
    // Two monitors side by side; the work areas lose a 40-pixel panel at the top.
    screens::setLayoutForTesting({{QRect(0, 0, 1920, 1080), QRect(0, 40, 1920, 1040)},
                                  {QRect(1920, 0, 1280, 1024), QRect(1920, 40, 1280, 984)}});
  }
  void TearDown() override { screens::setLayoutForTesting({}); }
  void entry(const char* text) { reg->WriteString("Desktop", "W", QString::fromLatin1(text)); }
  std::unique_ptr<TRegIniFile> reg;
};

// left, top, width, height, extra and maximized as one comparable row.
std::array<int, 6> row(const TPlacement& p) {
  return {p.left, p.top, p.width, p.height, p.extra, p.maximized ? 1 : 0};
}

TEST_F(PlacementTest, MissingAndNonNumericFieldsKeepTheCallersValues) {
  const struct {
    const char* entry;
    std::array<int, 6> expected;
  } cases[] = {
      {"10,20", {20, 10, 3, 4, 5, 0}},
      {"x,30,,400,268435456,1", {30, 2, 3, 400, 268435456, 1}},
      {" 7 , 8 ,9x,+1,-268435456,0", {8, 7, 3, 4, -268435456, 0}},
      {"", {1, 2, 3, 4, 5, 0}},
  };
  for (const auto& c : cases) {
    TPlacement p{1, 2, 3, 4, false, 5};
    entry(c.entry);
    ReadPlacement("W", reg.get(), p);
    EXPECT_EQ(row(p), c.expected) << c.entry;
    ReadPlacement("W", nullptr, p);
    EXPECT_EQ(row(p), c.expected) << c.entry;
  }
  // The extra word is signed: the fastest speed tag sets its top bit.
  WritePlacement("W", reg.get(), TPlacement{-5, 6, 700, 500, true, -268435456});
  EXPECT_EQ(reg->ReadString("Desktop", "W", {}), "6,-5,700,500,-268435456,1");
}

TEST_F(PlacementTest, FittingKeepsSizesThatFitAndMovesTheWholeWindowOntoTheMonitor) {
  const struct {
    const char* entry;
    std::array<int, 4> expected;  // left, top, width, height after fitting
  } cases[] = {
      // Wider than the second monitor: as wide as the monitor, its right edge on the monitor's.
      {"100,2000,3000,500,0,0", {1920, 100, 1280, 500}},
      {"-50,-80,300,200,0,0", {0, 0, 300, 200}},
      // Past the bottom edge: moved up whole, not cut.
      {"900,10,300,200,0,0", {10, 880, 300, 200}},
      // Beyond the right edge of the desktop (a monitor unplugged): moved back, size kept.
      {"100,3500,400,300,0,0", {2800, 100, 400, 300}},
      // Values whose sums overflow an int.
      {"100,2000000000,2000000000,300,0,0", {1920, 100, 1280, 300}},
      {"2147483647,2147483647,2147483647,2147483647,0,0", {1920, 0, 1280, 1024}},
      {"-2147483647,-2147483647,5,5,0,0", {0, 0, 5, 5}},
      // Sizes below one pixel keep the window's own.
      {"10,20,-500,0,0,0", {20, 10, 640, 480}},
      // The platform's default position is never fitted.
      {"5,-2147483648,5000,5000,0,0", {kDefaultPosition, 5, 5000, 5000}},
  };
  for (const auto& c : cases) {
    TPlacement p{0, 0, 640, 480, false, 0};
    entry(c.entry);
    ReadPlacementClamped("W", reg.get(), p);
    EXPECT_EQ((std::array<int, 4>{p.left, p.top, p.width, p.height}), c.expected) << c.entry;
  }
}

TEST_F(PlacementTest, RestoreKeepSizeMovesOnlyAndSaveWritesBack) {
  QWidget w;
  w.setObjectName("W");
  w.resize(320, 240);
  entry("300,400,999,888,0,0");
  EXPECT_EQ(RestorePlacement(&w, reg.get(), true), 0);
  EXPECT_EQ(w.pos(), QPoint(400, 300));
  EXPECT_EQ(w.size(), QSize(320, 240));
  SavePlacement(&w, reg.get(), 4096 << 16);
  EXPECT_EQ(reg->ReadString("Desktop", "W", {}), "300,400,320,240,268435456,0");
}

TEST_F(PlacementTest, RestoreFitsTheWholeWindowIntoTheWorkArea) {
  const struct {
    const char* entry;
    QRect expected;
  } cases[] = {
      {"10,100,400,300,0,0", {100, 40, 400, 300}},      // under the top panel
      {"900,100,400,300,0,0", {100, 780, 400, 300}},    // bottom past the work area
      {"100,3000,400,300,0,0", {2800, 100, 400, 300}},  // right edge past the desktop
      {"0,2000,600,2000,0,0", {2000, 40, 600, 984}},    // taller than the work area
  };
  for (const auto& c : cases) {
    QWidget w;
    w.setObjectName("W");
    entry(c.entry);
    RestorePlacement(&w, reg.get(), false);
    EXPECT_EQ(w.geometry(), c.expected) << c.entry;
  }
}

}  // namespace
