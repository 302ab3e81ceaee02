#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "SheetFixture.h"
#include "measure/Scaler.h"
#include "measure/Units.h"

namespace {

TEST(MeasureUnits, GeneralFormatKeepsSixDigits) {
  const struct {
    float value;
    const char* text;
  } cases[] = {{2.5f, "2.5"},          {3.6f, "3.6"},
               {1000, "1000"},         {-0.125f, "-0.125"},
               {123456.7f, "123457"},  {999999.4f, "999999"},
               {999999.6f, "1E+06"},   {1234567, "1.23457E+06"},
               {0.00001f, "0.00001"},  {0.0000012f, "1.2E-06"},
               {1.0f / 3, "0.333333"}, {0, "0"},
               {-0.0f, "0"},           {INFINITY, "INF"},
               {-INFINITY, "-INF"},    {NAN, "NAN"},
               {1e30f, "1E+30"}};
  for (const auto& c : cases) EXPECT_EQ(FormatGeneral(c.value), c.text) << c.value;
}

TEST(MeasureUnits, ConversionsAndScaleFactorsFollowTheTables) {
  EXPECT_DOUBLE_EQ(units::ConvertLength(2.5, 1, 0), 25);          // cm -> mm
  EXPECT_DOUBLE_EQ(units::ConvertLength(1, 7, 2), 1609.344);      // mi -> m
  EXPECT_NEAR(units::ConvertAngle(180, 10, 9), 0.5f, 1e-6f);      // deg -> rev
  EXPECT_NEAR(units::ConvertVelocity(1000, 0, 2), 3.6, 1e-6);     // mm/s -> kph
  EXPECT_NEAR(units::ConvertVelocity(1, 11, 5), 9.549296, 1e-5);  // rad/s -> rpm
  EXPECT_THROW(units::ConvertLength(1, 12, 0), std::exception);
  EXPECT_THROW(units::ConvertAngle(1, 3, 11), std::exception);
  // Gage unit, gage factor (gage units per pixel), length unit -> length units per pixel.
  const struct {
    int gageUnit;
    float factor;
    int lengthUnit;
    float expected;
  } cases[] = {{0, 0.25f, 1, 0.025f},
               {1, 0.025f, 0, 0.25f},
               {4, 1.0f, 0, 25.4f},
               {0, 304.8f, 5, 1.0f},
               {2, 0.001f, 1, 0.1f}};
  for (const auto& c : cases) {
    TScaler s;
    s.SetGage(c.gageUnit, c.factor);
    s.SetLengthUnit(c.lengthUnit);
    EXPECT_FLOAT_EQ(s.XFactor(), c.expected) << c.gageUnit << " " << c.lengthUnit;
    EXPECT_FLOAT_EQ(s.YFactor(), c.expected);
  }
  TScaler s;
  EXPECT_THROW(s.SetGage(12, 1), std::exception);
  EXPECT_THROW(s.SetLengthUnit(9), std::exception);  // an angle is no length
  EXPECT_THROW(s.SetAngularUnit(3), std::exception);
}

TEST(MeasureQuantities, ObjectXInCentimetresAtATenthMillimetrePerPixel) {
  SheetFixture f;
  f.db->SetLengthUnit(1);
  f.db->SetGage(0, 0.1f);
  TObjDef& p = f.Add(TSampleClass::Point, "P");
  f.db->SetPoint(0, p, 0, {250, 40});
  f.Expect(p, {{"X", 0, "2.5"}, {"U", 0, "250"}});
  EXPECT_EQ(f.grid.Cell(f.Element(p, "X")->Column(), 2), "cm");
}

TEST(MeasureQuantities, VelocityIsABackwardDifferenceInTheVelocityUnit) {
  SheetFixture f;
  f.db->SetTiming(0, 2, 0);
  f.db->Scaler().SetLinearVelocityUnit(2);  // kph
  TObjDef& p = f.Add(TSampleClass::Point, "P");
  f.db->SetPoint(10, p, 0, {0, 0});
  f.db->SetPoint(12, p, 0, {4, 3});
  // 5 mm in 4 ms.
  f.Expect(p, {{"X Velocity", 12, "3.6"}, {"Abs. Velocity", 12, "4.5"}, {"X Velocity", 10, ""}});
  // A sample put in between is the new neighbour of frame 12.
  f.db->SetPoint(11, p, 0, {2, 0});
  f.Expect(p, {{"X Velocity", 12, "3.6"}, {"Y Velocity", 12, "5.4"}});
  f.db->DeleteSample(11, p);
  f.Expect(p, {{"Y Velocity", 12, "2.7"}});
}

TEST(MeasureQuantities, AnglesUnwrapTheShortWayFollowEditsAndSkipIncompleteLines) {
  SheetFixture f;
  f.db->Scaler().SetAngularUnit(10);         // deg
  f.db->Scaler().SetAngularVelocityUnit(6);  // deg/s
  f.db->SetTiming(0, 1, 0);
  TObjDef& l = f.Add(TSampleClass::Line, "L");
  for (const auto& [frame, degrees] : {std::pair{0, 350}, {1, 10}, {2, 200}})
    f.Line(l, frame, degrees);
  f.Expect(l, {{"Ang. Displacement", 1, "20"}, {"Ang. Displacement", 2, "-150"}});
  // Turning frame 1 past half a turn changes how frame 2 unwraps; its cells must follow.
  f.Line(l, 1, 160);
  f.Expect(l, {{"Ang. Displacement", 1, "170"}, {"Ang. Displacement", 2, "210"}});
  f.Expect(l, {{"Ang. Velocity", 2, "40000"}});
  f.Line(l, 0, 0);  // editing the first sample moves every displacement
  f.Expect(l, {{"Ang. Displacement", 2, "200"}});
  // Parallel and opposite lines of one angle object.
  TObjDef& a = f.Add(TSampleClass::Angle, "A");
  f.Line(a, 0, 30);
  f.Line(a, 0, 30, 2);
  f.Line(a, 1, 30);
  f.Line(a, 1, 210, 2);
  f.Expect(a, {{"Rel. Angle", 0, "0"}, {"Rel. Angle", 1, "180"}, {"Abs. Angle2", 1, "210"}});
  // Angular velocity skips a line with one end; so does every velocity that would need it.
  TObjDef& k = f.Add(TSampleClass::Line, "K");
  f.Line(k, 0, 0);
  f.db->SetPoint(1, k, 0, {0, 0});
  f.Line(k, 2, 90);
  f.Expect(k, {{"Ang. Velocity", 1, ""}, {"Ang. Velocity", 2, "45000"}});  // 90 deg in 2 ms
  f.Expect(k, {{"Abs. Velocity2", 2, ""}, {"X Velocity2", 2, ""}, {"X Velocity1", 2, "0"}});
  // A first sample without end 2: that end's displacements stay blank instead of raising.
  TObjDef& m = f.Add(TSampleClass::Line, "M");
  f.db->SetPoint(0, m, 0, {0, 0});
  f.Line(m, 1, 45);
  f.Expect(
      m, {{"X Displacement2", 1, ""}, {"Abs. Displacement2", 1, ""}, {"X Displacement1", 1, "0"}});
}

TEST(MeasureQuantities, DeletingOrEditingTheFirstSampleMovesTheBase) {
  SheetFixture f;
  TObjDef& p = f.Add(TSampleClass::Point, "P");
  for (const auto& [frame, x] : {std::pair{0, 0.0f}, {1, 10.0f}, {2, 30.0f}})
    f.db->SetPoint(frame, p, 0, {x, 0});
  f.Expect(p, {{"X Displacement", 2, "30"}});
  f.db->SetPoint(0, p, 0, {5, 0});
  f.Expect(p, {{"X Displacement", 2, "25"}});
  f.db->DeleteSample(0, p);
  f.Expect(p, {{"X Displacement", 0, ""}, {"X Displacement", 1, "0"}, {"X Displacement", 2, "20"}});
  f.db->SetPoint(0, p, 0, {-10, 0});  // an earlier sample becomes the base again
  f.Expect(p, {{"Abs. Displacement", 2, "40"}});
}

// A frame without the moving reference's sample raised while it was computed, and a recompute
// of everything stopped there with later cells stale.
TEST(MeasureQuantities, FramesWithoutTheMovingReferenceStayBlank) {
  SheetFixture f;
  TObjDef& ref = f.Add(TSampleClass::Line, "R");  // its second end: none in 1, only end 1 in 2
  TObjDef& p = f.Add(TSampleClass::Point, "P");
  for (int frame : {0, 2, 3}) f.db->SetPoint(frame, ref, 0, {0, 0});
  f.db->SetPoint(0, ref, 1, {100, 100});
  f.db->SetPoint(3, ref, 1, {200, 100});
  for (int frame = 0; frame < 4; ++frame) f.db->SetPoint(frame, p, 0, {250, 150});
  EXPECT_NO_THROW(f.db->SelectMovingReference(&ref, 1));
  f.Expect(p, {{"X", 0, "150"}, {"X", 1, ""}, {"X", 2, ""}, {"X", 3, "50"}, {"U", 1, "250"}});
  f.Expect(p, {{"X Velocity", 1, ""}, {"X Displacement", 3, "-100"}});
  // Clicking the reference fills the blank frame; deleting it falls back to the image origin.
  f.db->SetPoint(1, ref, 1, {130, 0});
  f.Expect(p, {{"X", 1, "120"}});
  EXPECT_TRUE(f.db->DeleteObject(&ref));
  EXPECT_FALSE(f.db->Referencer().Moving());
  f.Expect(p, {{"X", 1, "250"}});
}

TEST(MeasureColumns, BookkeepingSurvivesRandomShowHideAndMove) {
  SheetFixture f(12);
  std::vector<TObjDef*> objects = {&f.Add(TSampleClass::Point, "P"),
                                   &f.Add(TSampleClass::Line, "L"),
                                   &f.Add(TSampleClass::Angle, "A")};
  for (TObjDef* o : objects) f.db->SetPoint(3, *o, 0, {7, 9});
  std::mt19937 random(13);
  for (int step = 0; step < 600; ++step) {
    TSheetElements& list = f.Columns(*objects[random() % objects.size()]);
    TSheetElement& e = *list.Element(random() % list.Count());
    const auto action = random() % 4;
    if (action < 2)
      e.SetVisible(action == 0);
    else if (action == 2)
      list.ApplyKinds(std::uint16_t(random() & kAllKinds));
    else if (f.grid.ColCount() > 2)
      f.grid.MoveColumn(1 + int(random() % (f.grid.ColCount() - 1)),
                        1 + int(random() % (f.grid.ColCount() - 1)));
    int shown = 0;
    for (TObjDef* o : objects) {
      for (std::size_t i = 0; i < f.Columns(*o).Count(); ++i) {
        const TSheetElement* x = f.Columns(*o).Element(i);
        if (!x->Visible()) {
          ASSERT_EQ(x->Column(), -1);
          continue;
        }
        ++shown;
        ASSERT_EQ(f.grid.Object(x->Column(), 0), x) << "step " << step;
        ASSERT_EQ(f.grid.Cell(x->Column(), 1), x->Caption());
        if (x->Kind() == 0 && x->Ordinate() == 0) {
          ASSERT_EQ(f.grid.Cell(x->Column(), 3 + 3), "7");
        }
      }
    }
    ASSERT_EQ(shown + 1, f.grid.ColCount());
    ASSERT_EQ(f.grid.FixedCols(), shown ? 1 : f.grid.FixedCols());
  }
}

TEST(MeasureColumns, ShowMenuOffersHiddenColumnsOfEnabledKinds) {
  SheetFixture f(0b1100);
  TObjDef& p = f.Add(TSampleClass::Point, "P");
  f.menu.Refresh();
  EXPECT_TRUE(f.menu.VisibleItems().empty());  // X and Y shown, other kinds not enabled
  f.Element(p, "X")->SetVisible(false);
  f.menu.Refresh();
  ASSERT_EQ(f.menu.VisibleItems().size(), 1u);
  EXPECT_EQ(f.menu.VisibleItems()[0]->MenuCaption(), "P - X");
  TShowMenu::Click(*f.menu.VisibleItems()[0]);
  EXPECT_EQ(f.grid.Cell(1, 1), "X");        // back before Y
  f.db->Objects().defaultVisibleKinds = 1;  // "Image U" only
  TShowMenu::ShowAll(f.db->Objects());
  EXPECT_EQ(f.grid.ColCount(), 2);
  EXPECT_TRUE(f.Element(p, "U")->Visible());
}

// A click costs its own cells and one neighbour's, however many frames there are.
TEST(MeasureColumns, OneClickTouchesAFixedNumberOfCells) {
  long long touched[2] = {};
  for (int run = 0; run < 2; ++run) {
    const int frames = run == 0 ? 50 : 2000;
    SheetFixture f(kAllKinds, frames);
    TObjDef& l = f.Add(TSampleClass::Line, "L");
    for (int frame = 0; frame < frames; ++frame) f.Line(l, frame, frame % 90);
    const long long before = f.grid.CellWrites();
    f.Line(l, frames / 2, 7);
    touched[run] = f.grid.CellWrites() - before;
  }
  EXPECT_EQ(touched[0], touched[1]);
  EXPECT_LT(touched[0], 3 * 2 * 24);
}

}  // namespace
