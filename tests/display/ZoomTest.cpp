// The zoom outline (zones, drags, frame scaling) and the zoom window (bar, "_Zoom" entry, views).

#include <gtest/gtest.h>

#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

#include "TestSupport.h"
#include "display/CropShape.h"
#include "display/ZoomForm.h"
#include "platform/RegIniFile.h"

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

TEST(CropShape, DragsStayInsideTheFrameAndAboveTheMinimum) {
  const QRect start(100, 50, 200, 100);
  const struct {
    const char* name;
    QRect start;
    QPoint from, to;
    QRect expected;
  } cases[] = {
      {"body to the right edge keeps its width", start, {50, 50}, {300, 60}, {200, 60, 200, 100}},
      {"body against the top-left corner", start, {50, 50}, {-100, -100}, {0, 0, 200, 100}},
      {"left edge past the minimum keeps the right", start, {2, 50}, {252, 50}, {292, 50, 8, 100}},
      {"left edge at the minimum near x 0", {2, 50, 10, 100}, {2, 50}, {8, 50}, {8, 50, 8, 100}},
      {"top-left corner beyond the frame", start, {2, 2}, {-200, -100}, {0, 0, 300, 150}},
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

TEST(CropShape, ZoneFollowsAFivePixelBorder) {
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

TEST(CropShape, OutlineAndMinimumScaleWithTheFrame) {
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

TEST(ZoomTest, BarPositionsAndPercentages) {
  const struct {
    int position, percent;
  } toPercent[] = {{0, 13}, {1, 13}, {2, 25}, {3, 38}, {4, 50}, {5, 63}, {8, 100}, {32, 400}};
  for (const auto& c : toPercent) EXPECT_EQ(zoom::PercentOfPosition(c.position), c.percent);
  const struct {
    int percent, position;
  } toPosition[] = {{13, 1}, {38, 3}, {63, 5}, {100, 8}, {400, 32}, {1200, 32}};
  for (const auto& c : toPosition) EXPECT_EQ(zoom::PositionOfPercent(c.percent), c.position);
}

TEST(ZoomTest, EntryDefaultsAndDamagedFields) {
  testsupport::resetStore();
  TRegIniFile reg(QStringLiteral("\\Software\\Orvanta\\Lumetra"));
  const QSize box(400, 300);
  const QRect outline = zoom::DefaultOutline(box);
  EXPECT_EQ(outline, QRect(100, 75, 200, 150));
  const struct {
    const char* stored;  // null: no entry
    QRect outline;
    int zoomPercent, fullPercent;
  } cases[] = {
      {nullptr, outline, 100, 100},
      {"10,20,30,40,0,5", {20, 10, 30, 40}, 100, 50},
      {"10,20,30,40,12,12", {20, 10, 30, 40}, 100, 50},
      {"10,20,30,40,13,13", {20, 10, 30, 40}, 13, 13},
      {" 10, 20 ,30,40,250,75", {20, 10, 30, 40}, 250, 75},
      {"x,20,,40,2147483647", {20, 75, 200, 40}, zoom::kMostPercent, 100},
      {"", outline, 100, 100},
  };
  for (const auto& c : cases) {
    const QString name = QStringLiteral("DisplayForm_Zoom");
    reg.DeleteKey(QStringLiteral("Desktop"), name);
    if (c.stored) reg.WriteString(QStringLiteral("Desktop"), name, QString::fromLatin1(c.stored));
    const TZoomEntry e = zoom::ReadEntry(&reg, name, box);
    EXPECT_EQ(e.outline, c.outline) << (c.stored ? c.stored : "none");
    EXPECT_EQ(e.zoomPercent, c.zoomPercent) << (c.stored ? c.stored : "none");
    EXPECT_EQ(e.fullPercent, c.fullPercent) << (c.stored ? c.stored : "none");
  }
  zoom::WriteEntry(&reg, QStringLiteral("DisplayForm_2_Zoom"), {{5, 6, 70, 80}, 200, 38});
  EXPECT_EQ(reg.ReadString(QStringLiteral("Desktop"), QStringLiteral("DisplayForm_2_Zoom"), {}),
            QStringLiteral("6,5,70,80,200,38"));
}

class FakeHost : public IZoomHost {
 public:
  TZoomState& ZoomState() override { return state; }
  void SetOutlineVisible(bool v) override { outlineVisible = v; }
  QColor OutlineColor() const override { return color; }
  void SetOutlineColor(const QColor& c) override { color = c; }
  void UnzoomtoFullFrameClick() override {
    state.Zoomed = false;
    ++layouts;
  }
  void MoveResizeOutlineItemClick() override {
    state.Zoomed = false;
    outlineVisible = true;
    ++layouts;
  }
  void LayoutForZoom() override { ++layouts; }

  TZoomState state{.Zoomed = false, .ZoomPercent = 200, .FullPercent = 50};
  bool outlineVisible = true;
  QColor color{Qt::red};
  int layouts = 0;
};

TEST(ZoomTest, ViewsSwitchAndTheBarAndColourDialogReachTheHost) {
  testsupport::resetStore();
  FakeHost host;
  TZoomForm form(nullptr, &host);
  auto* bar = form.findChild<QSlider*>(QStringLiteral("ZoomBar"));
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->value(), 8);

  form.ZoomRBClick();
  EXPECT_TRUE(host.state.Zoomed);
  EXPECT_FALSE(host.outlineVisible);
  EXPECT_EQ(bar->value(), 16);  // from zoom% 200, without counting as a change
  EXPECT_EQ(host.layouts, 1);
  form.ZoomRBClick();  // already zoomed: nothing more
  EXPECT_EQ(host.layouts, 1);

  bar->setValue(24);
  EXPECT_EQ(host.state.ZoomPercent, 300);
  EXPECT_EQ(host.state.FullPercent, 50);
  EXPECT_EQ(host.layouts, 2);

  form.ShowRBClick();
  EXPECT_FALSE(host.state.Zoomed);
  EXPECT_TRUE(host.outlineVisible);
  EXPECT_EQ(bar->value(), 4);
  bar->setValue(3);
  EXPECT_EQ(host.state.FullPercent, 38);
  EXPECT_EQ(host.state.ZoomPercent, 300);

  form.HideRBClick();
  EXPECT_FALSE(host.outlineVisible);
  EXPECT_EQ(bar->value(), 3);

  auto* colour = form.findChild<QToolButton*>(QStringLiteral("SpeedButton1"));
  testsupport::script().colors = {std::nullopt, QColor(Qt::green)};
  colour->click();  // cancelled
  EXPECT_EQ(host.color, QColor(Qt::red));
  colour->click();
  EXPECT_EQ(host.color, QColor(Qt::green));
}

}  // namespace
