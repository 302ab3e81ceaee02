// The display window's picture, size and pointer read back through real widget events. Runs a
// second time with QT_SCALE_FACTOR=2 (see CMakeLists.txt): grabs then hold device pixels.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>
#include <cmath>

#include "DisplayKit.h"
#include "display/CropShape.h"
#include "display/MeasureHooks.h"

namespace {

struct MeasureWindow : QWidget, IMeasureHooks {
  std::vector<QPointF> clicks;
  std::optional<QPointF> PointerMoved(Qt::KeyboardModifiers, QPointF) override { return {}; }
  void Clicked(int, QPointF p) override { clicks.push_back(p); }
  void RedrawOverlay() override {}
};

// Room for 200 % at any pixel ratio: the layout keeps a window within its monitor.
class DisplayInputTest : public DisplayKit {
 protected:
  void SetUp() override {
    DisplayKit::SetUp();
    monitor({0, 0, 3000, 2000});
  }
};

QRgb ClipPixel(const clipkit::ClipSpec& spec, int x, int rowFromTop) {
  const std::vector<BYTE> rows = clipkit::PatternRows(spec.width, spec.height, 24, 0);
  const BYTE* p = rows.data() + std::size_t(rowFromTop) * clipkit::RowBytes(spec.width, 24) +
                  std::size_t(x) * 3;
  return qRgb(p[2], p[1], p[0]);
}

// A click anywhere on the image, corners included, reports the image pixel drawn under the
// pointer, and that point converts back to the pointer's own paint-box pixel.
TEST_F(DisplayInputTest, AClickLandsOnThePixelDrawnUnderThePointer) {
  const clipkit::ClipSpec spec{.width = 256, .height = 240, .frames = 2};
  auto form = open(writeClip(spec));
  auto* measure = new MeasureWindow;  // owned by the form from here on
  form->CreateQuickMeasure = [measure](TChildForm*, int) { return measure; };
  form->SetQuickMeasureEnabled(true);
  form->OpenQuickMeasure();
  trigger(*form, "ReticleItem");  // turned on by Quick Measure; its legend would widen the window
  for (int percent : {50, 100, 200}) {
    form->ZoomState().FullPercent = percent;
    form->Layout();
    const QSize box = paintBox(*form)->size();
    ASSERT_EQ(box, QSize(256 * percent / 100, 240 * percent / 100)) << percent;
    const QImage shown = paintBox(*form)->grab().toImage();
    const qreal dpr = shown.devicePixelRatio();
    const QPoint points[] = {{0, 0},
                             {box.width() - 1, 0},
                             {0, box.height() - 1},
                             {box.width() - 1, box.height() - 1},
                             {box.width() / 2, box.height() / 2}};
    for (const QPoint& at : points) {
      // A device pixel inside the logical one, and the pointer there as the platform gives it.
      const QPointF pointer = at + QPointF(0.5, 0.5) / dpr;
      QMouseEvent release(QEvent::MouseButtonRelease, pointer,
                          paintBox(*form)->mapToGlobal(pointer), Qt::LeftButton, Qt::NoButton,
                          Qt::NoModifier);
      QApplication::sendEvent(paintBox(*form), &release);
      ASSERT_FALSE(measure->clicks.empty());
      const QPointF p = measure->clicks.back();
      const int column = int(std::floor(p.x() + 0.5)), row = int(std::floor(p.y() + 0.5));
      ASSERT_TRUE(column >= 0 && column < 256 && row >= 0 && row < 240) << p.x() << "," << p.y();
      EXPECT_EQ(shown.pixel(int(at.x() * dpr), int(at.y() * dpr)),
                ClipPixel(spec, column, 239 - row))
          << percent << "% at " << at.x() << "," << at.y();
      EXPECT_NEAR(form->ImageToScreenX(float(p.x())), at.x(), 0.5) << percent;
      EXPECT_NEAR(form->ImageToScreenY(float(p.y())), at.y(), 0.5) << percent;
    }
  }
}

TEST_F(DisplayInputTest, WindowSizeFollowsPanelsAndMonitor) {
  auto form = open(writeClip({.width = 140, .height = 120, .frames = 2}));
  const int bare = form->width();
  EXPECT_EQ(bare, 140);  // no legend, no controls: no minimum width
  trigger(*form, "VideoControlsItem");
  EXPECT_EQ(form->width(), 185);
  EXPECT_EQ(paintBox(*form)->size(), QSize(185, 185 * 120 / 140));  // the aspect is kept
  const QImage copy = form->ImageAndBorder();  // the picture without the controls
  EXPECT_EQ(copy.size() / copy.devicePixelRatio(), QSize(185, 185 * 120 / 140));
  trigger(*form, "VideoControlsItem");
  EXPECT_EQ(form->width(), bare);

  monitor({100, 50, 800, 600});  // a clip larger than the monitor fits its work area
  auto big = open(writeClip({.width = 1600, .height = 800, .frames = 1}));
  trigger(*big, "TimeCounterItem");
  EXPECT_LE(big->width(), 800);
  EXPECT_LE(big->height(), 600);
  const QSize box = paintBox(*big)->size();
  EXPECT_NEAR(double(box.width()) / box.height(), 2.0, 0.02);
  EXPECT_EQ(big->ZoomState().FullPercent, box.width() * 100 / 1600);
}

// Arrow keys reach the focused slider unless the reticle is shown with the pointer on the image.
TEST_F(DisplayInputTest, ArrowKeysMoveThePointerOnlyWithTheReticleShown) {
  auto form = open(writeClip({.width = 160, .height = 120, .frames = 20}));
  trigger(*form, "VideoControlsItem");
  form->show();
  auto* bar = form->findChild<QSlider*>(QStringLiteral("FrameBar"));
  const int right = paintBox(*form)->width() - 1;  // 185 wide with the controls
  QCursor::setPos(paintBox(*form)->mapToGlobal(QPoint(right - 5, 60)));
  for (bool reticle : {false, true}) {
    if (reticle) trigger(*form, "ReticleItem");
    bar->setValue(5);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier);
    QApplication::sendEvent(bar, &key);
    EXPECT_EQ(bar->value(), reticle ? 5 : 6);
    EXPECT_EQ(paintBox(*form)->mapFromGlobal(QCursor::pos()),
              QPoint(reticle ? right : right - 5, 60));
  }
}

constexpr int kSide = 128;

class DisplayZoomTest : public DisplayInputTest {
 protected:
  void SetUp() override {
    DisplayInputTest::SetUp();
    form_ = open(writeClip({.width = kSide, .height = kSide, .frames = 2}, {}, "zoom.avi"));
    paintBox_ = paintBox(*form_);
  }

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

  std::unique_ptr<TDisplayForm> form_;
  QWidget* paintBox_ = nullptr;
};

// Full views cover each image pixel with a whole block; zooming in fills the paint box with
// exactly the outlined pixels, and pointer and screen agree.
TEST_F(DisplayZoomTest, EachImagePixelCoversAWholeBlockFullOrZoomed) {
  for (int factor : {1, 2}) {
    layoutAt(100 * factor);
    ASSERT_EQ(paintBox_->size(), QSize(kSide, kSide) * factor);
    expectPicture([&](int x, int y) { return QPoint(x / factor, y / factor); });
  }
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
  // Closing frees the window; freed here, while the registry it writes to still exists.
  QCoreApplication::sendPostedEvents(form_.release(), QEvent::DeferredDelete);
}

}  // namespace
