#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <numbers>
#include <random>

#include "display/Marker.h"
#include "measure/MotionDataBase.h"
#include "platform/Exception.h"

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.what();
  }
  return "(no exception)";
}

TEST(MeasureObjects, NamesCountUpAndSkipTakenNamesInAnyCase) {
  const auto P = TSampleClass::Point, L = TSampleClass::Line;
  const struct {
    std::vector<std::pair<TSampleClass, QString>> existing;
    TSampleClass cls;
    QString expected;
  } cases[] = {
      {{}, P, "Point"},
      {{{P, "Point"}}, P, "Point2"},
      {{{P, "Point"}, {P, "Point2"}}, P, "Point3"},
      // Another object already carries the candidate in another case: the number rises.
      {{{P, "Point"}, {P, "pOINT3"}}, P, "Point4"},
      {{{P, "POINT"}, {P, "x"}, {P, "point3"}, {P, "Point4"}}, P, "Point5"},
      // The first was renamed away: "Point" alone is only for the first of its kind.
      {{{P, "Knee"}}, P, "Point2"},
      // Names clash only within one kind; the reference object "Ref" counts for no kind.
      {{{L, "Point2"}, {P, "Point"}}, P, "Point2"},
      {{{L, "Line"}, {P, "line2"}}, L, "Line2"},
  };
  for (const auto& c : cases) {
    TMotionDataBase db;
    for (const auto& [cls, name] : c.existing) db.CreateObject(cls, name, 0);
    const int kind = c.cls == P ? 0 : 1;
    EXPECT_EQ(db.CreateObject(kind)->Name(), c.expected) << c.expected.toStdString();
  }
}

TEST(MeasureObjects, MarkersAndColoursCycleAfterTheReferenceObject) {
  TMotionDataBase db;
  EXPECT_EQ(db.RefObject().Polymarker(), 0);
  EXPECT_EQ(db.RefObject().Colour(), 0x00FFFFu);
  std::vector<TObjDef*> defs;
  for (int i = 0; i < 14; ++i) defs.push_back(db.CreateObject(0));
  EXPECT_EQ(defs[0]->Polymarker(), 1);
  EXPECT_EQ(defs[0]->Colour(), 0x0000FFu);  // blue
  EXPECT_EQ(defs[6]->Polymarker(), 7);
  EXPECT_EQ(defs[7]->Polymarker(), 0);
  EXPECT_EQ(defs[11]->Colour(), 0xFFFF00u);  // yellow, the thirteenth
  EXPECT_EQ(defs[12]->Colour(), 0x00FFFFu);
}

TEST(MeasureObjects, IndexChecksRaiseTheClassMessage) {
  TMotionDataBase db;
  TObjDef* point = db.CreateObject(0);
  TObjDef* line = db.CreateObject(1);
  TObjDef* angle = db.CreateObject(2);
  TSampleObject& l = db.SetPoint(5, *line, 0, {1, 2});
  const struct {
    std::function<void()> call;
    std::string message;
  } cases[] = {
      // An index equal to the point count would read past the stored points.
      {[&] { db.SetPoint(5, *point, 1, {}); }, "TPointObject Point Index of 1"},
      {[&] { db.SetPoint(5, *line, 2, {}); }, "TLineObject Point Index of 2"},
      {[&] { db.SetPoint(5, *angle, -1, {}); }, "TAngleObject Point Index of -1"},
      {[&] { db.SetPoint(5, *angle, 4, {}); }, "TAngleObject Point Index of 4"},
      {[&] { l.GetPoint(1); }, "TLineObject coordinate 1 is nil"},
      {[&] { l.SetPointCount(3); }, "TLineObject SetPointCount of 3"},
  };
  for (const auto& c : cases) EXPECT_EQ(MessageOf(c.call), c.message);
  // The refused clicks left no sample behind.
  EXPECT_EQ(db.Frames().FindHolder(5)->Count(), 1u);
}

QImage Drawn(const std::function<void(QPainter&, const TImageMapping&)>& draw) {
  QImage image(100, 100, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  draw(painter, TImageMapping::Full(99, 99, {100, 100}));
  return image;
}

TEST(MeasureObjects, LineWithOneEndHasNoAngleAndDrawsOneMarker) {
  TMotionDataBase db;
  TObjDef* line = db.CreateObject(1);
  auto& sample = static_cast<TLineObject&>(db.SetPoint(3, *line, 0, {30, 40}));
  EXPECT_FALSE(sample.AngleValid());
  EXPECT_TRUE(sample.HasPoint(0));
  EXPECT_FALSE(sample.HasPoint(1));
  const QImage oneMarker = Drawn([&](QPainter& p, const TImageMapping& m) {
    DrawPolymarker(p, {qRound(m.ImageToScreenX(30)), qRound(m.ImageToScreenY(40))},
                   line->Polymarker(), QColor(line->Colour()), 20);
  });
  EXPECT_EQ(Drawn([&](QPainter& p, const TImageMapping& m) { sample.Draw(p, m); }), oneMarker);

  db.SetPoint(3, *line, 1, {70, 40});
  EXPECT_TRUE(sample.AngleValid());
  EXPECT_NE(Drawn([&](QPainter& p, const TImageMapping& m) { sample.Draw(p, m); }), oneMarker);
}

// Columns that record what they hear, and whether a removed sample had left its holder.
struct Recorder : IObjectColumns {
  std::vector<int> changed, removed;
  bool removedStillInHolder = false;
  void SampleChanged(TSampleObject& s) override { changed.push_back(s.Holder()->Frame()); }
  void SampleRemoved(TSampleObject& s) override {
    removed.push_back(s.Holder()->Frame());
    removedStillInHolder |= TFrameObjectList::FindSample(*s.Holder(), s.ObjDef()) != nullptr;
  }
};

TEST(MeasureObjects, SamplesJoinTheirHolderAndDeletingTheLastKeepsIt) {
  std::map<QString, Recorder*> recorders;
  TMotionDataBase db([&](TObjDef& def) {
    auto r = std::make_unique<Recorder>();
    recorders[def.Name()] = r.get();
    return r;
  });
  TObjDef* line = db.CreateObject(1);
  TObjDef* angle = db.CreateObject(2);
  db.SetPoint(7, *line, 0, {1, 1});
  db.SetPoint(7, *line, 1, {2, 2});
  for (int i = 0; i < 4; ++i) db.SetPoint(7, *angle, i, {float(i), 0});
  const TFrameObject* holder = db.Frames().FindHolder(7);
  ASSERT_EQ(holder->Count(), 2u);  // the line and the two-line sample, not their parts
  EXPECT_EQ(holder->Sample(0)->ObjDef(), line);
  EXPECT_EQ(holder->Sample(1)->ObjDef(), angle);
  EXPECT_EQ(recorders["Line"]->changed, (std::vector<int>{7, 7}));

  db.DeleteSample(7, *line);
  db.DeleteSample(7, *angle);
  ASSERT_EQ(db.Frames().FindHolder(7), holder);
  EXPECT_EQ(holder->Count(), 0u);
  EXPECT_EQ(recorders["Line"]->removed, std::vector<int>{7});
  EXPECT_FALSE(recorders["Line"]->removedStillInHolder);
}

TEST(MeasurePredict, ExtrapolatesThroughTheLastTwoSamples) {
  const auto S = TCursorMode::Smart, Si = TCursorMode::Simple;
  const struct {
    const char* what;
    TCursorMode mode;
    std::vector<int> frames;  // object clicked there, at x = frame, y = 2 * frame
    int frame;
    std::optional<std::pair<float, float>> expected;
  } cases[] = {
      {"none", TCursorMode::None, {10, 20}, 15, std::nullopt},
      {"no samples", S, {}, 15, std::nullopt},
      {"one sample", S, {10}, 15, std::pair{10.f, 20.f}},
      {"before every frame", S, {10, 20}, 2, std::pair{10.f, 20.f}},
      {"before every frame, simple", Si, {10, 20}, 2, std::pair{10.f, 20.f}},
      {"between, simple takes the later", Si, {10, 20}, 15, std::pair{20.f, 40.f}},
      {"between", S, {10, 20}, 14, std::pair{14.f, 28.f}},
      {"after", S, {10, 20}, 35, std::pair{35.f, 70.f}},
      {"after, uses the last two", S, {0, 10, 20}, 25, std::pair{25.f, 50.f}},
  };
  for (const auto& c : cases) {
    TMotionDataBase db;
    db.Frames().SetTiming(2, 2.0f, -7.0f);
    db.Objects().cursorMode = c.mode;
    TObjDef* point = db.CreateObject(0);
    for (int f : c.frames) db.SetPoint(f, *point, 0, {float(f), 2.0f * f});
    const auto got = db.PredictPoint(*point, c.frame, 0);
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.what;
    if (!got) continue;
    EXPECT_NEAR(got->x, c.expected->first, 1e-4) << c.what;
    EXPECT_NEAR(got->y, c.expected->second, 1e-4) << c.what;
  }
  // An earlier sample without the point keeps the last point; it raised "coordinate 1 is nil".
  TMotionDataBase db;
  db.Objects().cursorMode = S;
  TObjDef* line = db.CreateObject(1);
  db.SetPoint(10, *line, 0, {0, 0});
  db.SetPoint(20, *line, 1, {5, 6});
  const auto got = db.PredictPoint(*line, 25, 1);
  ASSERT_TRUE(got);
  EXPECT_EQ(std::pair(got->x, got->y), std::pair(5.f, 6.f));
}

// Independent formulation: the signed angle between the directions, atan2(cross, dot).
double DirectedAngle(TImagePoint a0, TImagePoint a1, TImagePoint b0, TImagePoint b1) {
  const double ax = double(a1.x) - a0.x, ay = double(a1.y) - a0.y;
  const double bx = double(b1.x) - b0.x, by = double(b1.y) - b0.y;
  const double a = std::atan2(ax * by - ay * bx, ax * bx + ay * by);
  return a < 0 ? a + kTwoPi : a;
}

double WrappedDistance(double a, double b) {
  const double d = std::fmod(std::fabs(a - b), kTwoPi);
  return std::min(d, kTwoPi - d);
}

TEST(MeasureAngle, MatchesAtan2OverRandomLinesAndSpecialCases) {
  const struct {
    TImagePoint a0, a1, b0, b1;
    double degrees;
  } cases[] = {
      {{0, 0}, {10, 5}, {3, 3}, {23, 13}, 0},     // parallel, same way
      {{0, 0}, {10, 5}, {3, 3}, {-17, -7}, 180},  // parallel, opposite
      {{0, 0}, {0, 10}, {5, 5}, {5, 1}, 180},     // vertical, opposite
      {{0, 0}, {0, 10}, {5, 5}, {5, 9}, 0},       // vertical, same way
      {{0, 0}, {10, 0}, {0, 0}, {-10, 0}, 180},   // horizontal, opposite
      {{0, 0}, {10, 0}, {0, 0}, {0, 10}, 90},     // counter-clockwise with y upward
      {{0, 0}, {10, 0}, {0, 0}, {0, -10}, 270},  {{0, 0}, {-10, -10}, {0, 0}, {10, -10}, 90},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(WrappedDistance(AngleBetween(c.a0, c.a1, c.b0, c.b1), c.degrees * kTwoPi / 360), 0,
                1e-5)
        << c.degrees;

  std::mt19937 rng(13);
  std::uniform_real_distribution<float> coord(-500, 500);
  for (int i = 0; i < 20000; ++i) {
    const TImagePoint a0{coord(rng), coord(rng)}, a1{coord(rng), coord(rng)};
    const TImagePoint b0{coord(rng), coord(rng)}, b1{coord(rng), coord(rng)};
    const float got = AngleBetween(a0, a1, b0, b1);
    ASSERT_GE(got, 0.0f);
    ASSERT_LE(got, float(kTwoPi));
    ASSERT_NEAR(WrappedDistance(got, DirectedAngle(a0, a1, b0, b1)), 0, 1e-4) << i;
  }
}

}  // namespace
