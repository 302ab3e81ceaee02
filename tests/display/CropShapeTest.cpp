// The zoom outline: zones, drags against the frame and the minimum size, frame scaling.

#include <gtest/gtest.h>

#include "display/CropShape.h"

namespace {

TCropShape Shape(const QRect& bounds) {
  TCropShape shape;
  shape.SetFrame(QRect(0, 0, 400, 300));
  shape.SetBounds(bounds);
  return shape;
}

// Grab at `from` (outline coordinates), move to `to`, release.
void Drag(TCropShape& shape, QPoint from, QPoint to) {
  shape.MouseMove(from);
  shape.MouseDown(from);
  shape.MouseMove(to);
  shape.MouseUp();
}

TEST(CropShapeTest, DragsStayInsideTheFrameAndAboveTheMinimum) {
  const QRect start(100, 50, 200, 100);
  const struct {
    const char* name;
    QRect start;
    QPoint from, to;
    QRect expected;
  } cases[] = {
      {"body against the right edge keeps its width",
       start,
       {50, 50},
       {300, 60},
       {200, 60, 200, 100}},
      {"body against the top-left corner", start, {50, 50}, {-100, -100}, {0, 0, 200, 100}},
      {"left edge past the minimum keeps the right edge",
       start,
       {2, 50},
       {252, 50},
       {292, 50, 8, 100}},
      {"left edge past the minimum near the frame's left",
       {2, 50, 10, 100},
       {2, 50},
       {8, 50},
       {8, 50, 8, 100}},
      {"top-left corner beyond the frame keeps the far edges",
       start,
       {2, 2},
       {-200, -100},
       {0, 0, 300, 150}},
      {"right edge beyond the frame", start, {198, 50}, {498, 50}, {100, 50, 300, 100}},
      {"bottom edge grows from the grab size", start, {100, 98}, {100, 128}, {100, 50, 200, 130}},
      // The minimum rule puts the far edge at the pointer; the outline still stays in the frame.
      {"right edge dragged far past the left", start, {198, 50}, {-202, 50}, {0, 50, 8, 100}},
      {"bottom edge dragged far past the top", start, {100, 98}, {100, -300}, {100, 0, 200, 8}},
  };
  for (const auto& c : cases) {
    TCropShape shape = Shape(c.start);
    Drag(shape, c.from, c.to);
    EXPECT_EQ(shape.Bounds(), c.expected) << c.name;
    EXPECT_EQ(shape.Zone(), TCropShape::None) << c.name;
  }
  TCropShape fixed = Shape(start);
  fixed.Resizable = false;
  Drag(fixed, {50, 50}, {300, 60});
  EXPECT_EQ(fixed.Bounds(), start);
}

TEST(CropShapeTest, ZoneFollowsAFivePixelBorder) {
  const struct {
    QPoint at;
    int zone;
  } cases[] = {
      {{0, 0}, TCropShape::TopLeft},       {{5, 5}, TCropShape::TopLeft},
      {{6, 6}, TCropShape::Body},          {{94, 0}, TCropShape::Top},
      {{95, 0}, TCropShape::TopRight},     {{0, 30}, TCropShape::Left},
      {{50, 54}, TCropShape::Body},        {{50, 55}, TCropShape::Bottom},
      {{99, 59}, TCropShape::BottomRight}, {{96, 30}, TCropShape::Right},
  };
  TCropShape shape = Shape({10, 10, 100, 60});
  for (const auto& c : cases) {
    shape.MouseMove(c.at);
    EXPECT_EQ(shape.Zone(), c.zone) << c.at.x() << "," << c.at.y();
  }
}

TEST(CropShapeTest, OutlineAndMinimumScaleWithTheFrame) {
  TCropShape shape = Shape({100, 75, 200, 150});
  shape.SetFrame(QRect(0, 0, 800, 600));
  EXPECT_EQ(shape.Bounds(), QRect(200, 150, 400, 300));
  EXPECT_EQ(shape.MinimumSize(), 16);
  // A frame not laid out yet is passed over instead of collapsing the outline.
  shape.SetFrame(QRect());
  shape.SetFrame(QRect(0, 0, 200, 150));
  EXPECT_EQ(shape.Bounds(), QRect(50, 38, 100, 75));
  EXPECT_EQ(shape.MinimumSize(), TCropShape::kLeastMinimum);
}

}  // namespace
