// The display window's picture read back from the screen, full and zoomed, and its outline.
// Runs a second time with QT_SCALE_FACTOR=2: the grab then holds device pixels.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>

#include "ClipKit.h"
#include "TestSupport.h"
#include "clip/AviStream.h"
#include "display/CropShape.h"
#include "display/DisplayForm.h"
#include "platform/Screens.h"

namespace {

constexpr int kSide = 128;

class DisplayZoomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    // Room for 200 % at any pixel ratio: the layout keeps a window within its monitor.
    screens::setLayoutForTesting({{QRect(0, 0, 3000, 2000), QRect(0, 0, 3000, 2000)}});
    const QString path = dir_.filePath(QStringLiteral("zoom.avi"));
    ASSERT_EQ(
        clipkit::WriteClip(path.toStdString(), {.width = kSide, .height = kSide, .frames = 2}),
        AVIERR_OK);
    form_ = std::make_unique<TDisplayForm>(
        nullptr, [](TChildForm*) {}, TChildShared{.registry = &registry_}, path,
        QStringLiteral("zoom.avi"), std::make_unique<TAVISTREAM>(QStringLiteral("AVI")));
    bool hasTiming = false, frozen = false;
    form_->Poll(hasTiming, frozen);
    paintBox_ = form_->findChild<QWidget*>(QStringLiteral("PaintBox"));
  }

  void TearDown() override { screens::setLayoutForTesting({}); }

  void layoutAt(int percent) {
    form_->ZoomState().FullPercent = percent;
    form_->LayoutForZoom();
  }

  // Every logical paint-box pixel (x, y) shows frame pixel at(x, y), each one whole and
  // unblended across the device pixels it covers.
  template <typename At>
  void expectPicture(At at) {
    const QImage shot = paintBox_->grab().toImage();
    const double scale = shot.devicePixelRatio();
    ASSERT_EQ(shot.size(), paintBox_->size() * scale);
    const QImage& frame = form_->FrameImage();
    for (int dy = 0; dy < shot.height(); ++dy)
      for (int dx = 0; dx < shot.width(); ++dx) {
        const QPoint p = at(int(dx / scale), int(dy / scale));
        ASSERT_EQ(shot.pixel(dx, dy), frame.pixel(p)) << dx << "," << dy;
      }
  }

  QTemporaryDir dir_;
  TRegIniFile registry_{QStringLiteral("\\Software\\Orvanta\\Lumetra")};
  std::unique_ptr<TDisplayForm> form_;
  QWidget* paintBox_ = nullptr;
};

TEST_F(DisplayZoomTest, EachImagePixelCoversAWholeBlock) {
  const struct { int percent, factor; } cases[] = {{100, 1}, {200, 2}};
  for (const auto& c : cases) {
    layoutAt(c.percent);
    ASSERT_EQ(paintBox_->size(), QSize(kSide, kSide) * c.factor);
    expectPicture([&](int x, int y) { return QPoint(x / c.factor, y / c.factor); });
  }
}

// Zooming in fills the paint box with exactly the outlined pixels; pointer and screen agree.
TEST_F(DisplayZoomTest, ZoomedViewShowsTheOutlinedPart) {
  layoutAt(200);
  form_->Cropper()->SetBounds(QRect(32, 16, 40, 48));  // image pixels (16, 8) to (35, 31)
  EXPECT_EQ(form_->ZoomRectInImage(), QRect(16, 8, 20, 24));
  form_->SizeAndZoomClick();
  form_->ZoomWindow()->ZoomRBClick();
  ASSERT_TRUE(form_->ZoomState().Zoomed);
  EXPECT_FALSE(form_->OutlineVisible());
  // 20 x 24 pixels raised to 120 pixels wide: 600 %.
  ASSERT_EQ(paintBox_->size(), QSize(120, 144));
  expectPicture([](int x, int y) { return QPoint(16 + x / 6, 8 + y / 6); });
  const TImageMapping m = form_->Mapping();
  for (const QPoint p : {QPoint(0, 0), QPoint(119, 143), QPoint(60, 72)}) {
    const TImagePoint ip = m.PointerToImage(p);
    EXPECT_EQ(int(std::floor(ip.x + 0.5f)), 16 + p.x() / 6);
    EXPECT_EQ(form_->ImageMaxY() - int(std::floor(ip.y + 0.5f)), 8 + p.y() / 6);
    EXPECT_NEAR(form_->ImageToScreenX(ip.x), p.x(), 1e-3);
    EXPECT_NEAR(form_->ImageToScreenY(ip.y), p.y(), 1e-3);
  }
  // Back to the full frame: the outline was hidden, so it stays hidden.
  form_->ZoomWindow()->HideRBClick();
  EXPECT_FALSE(form_->ZoomState().Zoomed);
  EXPECT_EQ(paintBox_->size(), QSize(256, 256));
}

TEST_F(DisplayZoomTest, OutlineScalesWithThePaintBoxAndIsStoredOnClose) {
  layoutAt(100);
  form_->MoveResizeOutlineItemClick();
  EXPECT_TRUE(form_->OutlineVisible());
  EXPECT_EQ(form_->Cropper()->Shape().Bounds(), QRect(32, 32, 64, 64));  // no entry: default
  form_->Cropper()->SetBounds(QRect(8, 4, 20, 30));
  layoutAt(200);
  EXPECT_EQ(form_->Cropper()->Shape().Bounds(), QRect(16, 8, 40, 60));
  EXPECT_EQ(form_->ZoomRectInImage(), QRect(8, 4, 20, 30));
  form_->close();
  EXPECT_EQ(registry_.ReadString(QStringLiteral("Desktop"), QStringLiteral("DisplayForm_Zoom"), {}),
            QStringLiteral("8,16,40,60,100,200"));
  form_.release();  // closing frees the window
}

}  // namespace
