// The zoom window: magnification bar, the "_Zoom" entry and the switches between the views.

#include <gtest/gtest.h>

#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

#include "TestSupport.h"
#include "display/ZoomForm.h"
#include "platform/RegIniFile.h"

namespace {

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

TEST(ZoomTest, ViewsSwitchAndTheBarSetsTheirPercentages) {
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
}

TEST(ZoomTest, OutlineColourFromTheDialog) {
  testsupport::resetStore();
  FakeHost host;
  TZoomForm form(nullptr, &host);
  auto* button = form.findChild<QToolButton*>(QStringLiteral("SpeedButton1"));
  ASSERT_TRUE(button);
  testsupport::script().colors = {std::nullopt, QColor(Qt::green)};
  button->click();  // cancelled
  EXPECT_EQ(host.color, QColor(Qt::red));
  button->click();
  EXPECT_EQ(host.color, QColor(Qt::green));
}

}  // namespace
