#include <gtest/gtest.h>

#include <map>

#include "measure/Gage.h"
#include "measure/MotionDataBase.h"

namespace {

TEST(MeasureGage, TwoClicksGiveTheFactorOfTheAbsoluteGageLength) {
  const struct {
    double gage;
    TImagePoint p1, p2;
    std::optional<double> factor;
  } cases[] = {
      {100, {0, 0}, {400, 0}, 0.25},
      {100, {10, 10}, {250, 330}, 100.0 / 400},  // 3-4-5 triangle, 400 pixels
      {-50, {0, 0}, {0, 200}, 0.25},
      {50, {0, 0}, {0, 200}, 0.25},
      {10, {7, 7}, {7, 7}, std::nullopt},  // same pixel twice: nothing to apply
  };
  for (const auto& c : cases) {
    TGageMeasure g;
    g.SetGageLength(c.gage);
    EXPECT_EQ(g.Prompt(), "click Image Length Point 1");
    g.Click(c.p1);
    EXPECT_EQ(g.Prompt(), "click Image Length Point 2");
    EXPECT_FALSE(g.NewFactor());
    g.Click(c.p2);
    EXPECT_EQ(g.Counter(), 1);
    ASSERT_EQ(g.NewFactor().has_value(), c.factor.has_value()) << c.gage;
    if (c.factor) {
      EXPECT_DOUBLE_EQ(*g.NewFactor(), *c.factor);
    }
  }
}

TEST(MeasureScaler, FactorsFollowGageAndLengthUnits) {
  // Gage unit, gage factor (gage units per pixel), length unit -> length units per pixel.
  const struct {
    int gageUnit;
    float factor;
    int lengthUnit;
    float expected;
  } cases[] = {
      {0, 0.25f, 0, 0.25f}, {0, 0.25f, 1, 0.025f}, {1, 0.025f, 0, 0.25f},
      {4, 1.0f, 0, 25.4f},  {0, 304.8f, 5, 1.0f},  {2, 0.001f, 1, 0.1f},
  };
  for (const auto& c : cases) {
    TScaler s;
    s.SetGage(c.gageUnit, c.factor);
    s.SetLengthUnit(c.lengthUnit);
    EXPECT_FLOAT_EQ(s.XFactor(), c.expected) << c.gageUnit << " " << c.lengthUnit;
    EXPECT_FLOAT_EQ(s.YFactor(), c.expected);
    EXPECT_FLOAT_EQ(s.GageFactor(), c.factor);
  }
  TScaler s;
  EXPECT_THROW(s.SetGage(12, 1), std::exception);
  EXPECT_THROW(s.SetLengthUnit(9), std::exception);  // an angle is no length
  EXPECT_THROW(s.SetAngularUnit(3), std::exception);
}

struct ReferenceCase {
  const char* what;
  bool useBase;
  TImagePoint base;
  int lengthUnit;
  TImagePoint expected;
};

TEST(MeasureReference, FixedImagePointAndBase) {
  const ReferenceCase cases[] = {
      {"fixed", false, {}, 0, {10, -10}},
      {"with base", true, {5, 5}, 0, {15, -5}},
      // A new length unit moves the base with it: the same place, 0.5 cm.
      {"base in cm", true, {5, 5}, 1, {1.5f, -0.5f}},
  };
  for (const ReferenceCase& c : cases) {
    TMotionDataBase db;
    db.SetImagePoint({100, 50});
    db.SetReferenceBase(c.useBase, c.base.x, c.base.y);
    db.SetLengthUnit(c.lengthUnit);
    TObjDef* point = db.CreateObject(0);
    const auto r = ReferencedPoint(db.SetPoint(4, *point, 0, {110, 40}), 0);
    ASSERT_TRUE(r) << c.what;
    EXPECT_FLOAT_EQ(r->x, c.expected.x) << c.what;
    EXPECT_FLOAT_EQ(r->y, c.expected.y) << c.what;
  }
}

// Columns that reference every point on every change, as the coordinate columns do.
struct ReferencingColumns : IObjectColumns {
  std::map<int, std::optional<TImagePoint>>* cells;
  explicit ReferencingColumns(std::map<int, std::optional<TImagePoint>>* c) : cells(c) {}
  void SampleChanged(TSampleObject& s) override {
    (*cells)[s.Holder()->Frame()] = ReferencedPoint(s, 0);
  }
  void SampleRemoved(TSampleObject& s) override { cells->erase(s.Holder()->Frame()); }
};

TEST(MeasureReference, MovingReferenceWithoutASampleLeavesOnlyThatFrameBlank) {
  std::map<int, std::optional<TImagePoint>> cells;
  TMotionDataBase db([&](TObjDef& def) -> std::unique_ptr<IObjectColumns> {
    if (def.Name() != "Point") return nullptr;
    return std::make_unique<ReferencingColumns>(&cells);
  });
  TObjDef* line = db.CreateObject(1);
  TObjDef* point = db.CreateObject(0);
  // The line's second end is the reference; frame 3 has no line, frame 4 only its first end.
  for (int f : {1, 2, 5}) {
    db.SetPoint(f, *line, 0, {0, 0});
    db.SetPoint(f, *line, 1, {float(10 * f), 1});
  }
  db.SetPoint(4, *line, 0, {0, 0});
  for (int f = 1; f <= 5; ++f) db.SetPoint(f, *point, 0, {100, 50});
  db.SelectMovingReference(line, 1);  // recomputes all: must not stop at frame 3
  const std::map<int, std::optional<TImagePoint>> expected = {{1, TImagePoint{90, 49}},
                                                              {2, TImagePoint{80, 49}},
                                                              {3, std::nullopt},
                                                              {4, std::nullopt},
                                                              {5, TImagePoint{50, 49}}};
  ASSERT_EQ(cells.size(), expected.size());
  for (const auto& [frame, want] : expected) {
    ASSERT_EQ(cells[frame].has_value(), want.has_value()) << frame;
    if (!want) continue;
    EXPECT_FLOAT_EQ(cells[frame]->x, want->x) << frame;
    EXPECT_FLOAT_EQ(cells[frame]->y, want->y) << frame;
  }

  // Clicking the reference in the blank frame fills it; deleting the reference object falls
  // back to the fixed image point at the origin.
  db.SetPoint(3, *line, 1, {30, 0});
  EXPECT_FLOAT_EQ(cells[3]->x, 70);
  EXPECT_TRUE(db.DeleteObject(line));
  EXPECT_FALSE(db.Referencer().Moving());
  EXPECT_FLOAT_EQ(cells[3]->x, 100);
}

TEST(MeasureScaling, DescriptorEntriesRoundTripAndBadOnesStayEmpty) {
  std::string text = "[Timing]\rFrame Rate=1000\r";
  WriteScaling(text, 100, "cm", 0.025);
  const TScalingEntries e = ReadScaling(text);
  EXPECT_EQ(e.gageLength, 100);
  EXPECT_EQ(e.gageUnits, "cm");
  EXPECT_EQ(e.factor, 0.025);

  for (const char* bad : {"abc", "0", "-1", ""}) {
    std::string t = std::string("[Scaling]\rFactor=") + bad + "\r";
    EXPECT_FALSE(ReadScaling(t).factor) << bad;
    EXPECT_FALSE(ReadScaling(t).gageLength);
  }
}

}  // namespace
