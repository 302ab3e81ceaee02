// The display window's size around its image and the pointer over it, driven through real
// widget events. Runs a second time with QT_SCALE_FACTOR=2 (see CMakeLists.txt).

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>
#include <QTemporaryDir>
#include <cmath>

#include "ClipKit.h"
#include "TestSupport.h"
#include "clip/AviStream.h"
#include "display/DisplayForm.h"
#include "display/MeasureHooks.h"
#include "platform/Screens.h"

namespace {

struct MeasureWindow : QWidget, IMeasureHooks {
  std::vector<QPointF> clicks;
  std::optional<QPointF> PointerMoved(Qt::KeyboardModifiers, QPointF) override { return {}; }
  void Clicked(int, QPointF p) override { clicks.push_back(p); }
  void RedrawOverlay() override {}
};

class DisplayInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    monitor({0, 0, 3000, 2000});
  }
  void TearDown() override { screens::setLayoutForTesting({}); }

  static void monitor(const QRect& workArea) {
    screens::setLayoutForTesting({{workArea, workArea}});
  }

  std::unique_ptr<TDisplayForm> open(const clipkit::ClipSpec& spec) {
    const QString path = dir_.filePath(QStringLiteral("clip%1.avi").arg(++clips_));
    EXPECT_EQ(clipkit::WriteClip(path.toStdString(), spec), AVIERR_OK);
    auto form = std::make_unique<TDisplayForm>(
        nullptr, nullptr, TChildShared{.registry = &registry_}, path, QStringLiteral("clip"),
        std::make_unique<TAVISTREAM>(QStringLiteral("AVI")));
    bool hasTiming = false, frozen = false;
    form->Poll(hasTiming, frozen);  // first show and first layout
    return form;
  }

  static void toggle(TDisplayForm& form, const char* item) {
    form.findChild<QAction*>(QString::fromLatin1(item))->trigger();
  }
  static QWidget* paintBox(TDisplayForm& form) {
    return form.findChild<QWidget*>(QStringLiteral("PaintBox"));
  }

  QTemporaryDir dir_;
  int clips_ = 0;
  TRegIniFile registry_{QStringLiteral("\\Software\\Orvanta\\Lumetra")};
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
  auto form = open(spec);
  auto* measure = new MeasureWindow;  // owned by the form from here on
  form->CreateQuickMeasure = [measure](TChildForm*, int) { return measure; };
  form->SetQuickMeasureEnabled(true);
  form->OpenQuickMeasure();
  toggle(*form, "ReticleItem");  // turned on by Quick Measure; its legend would widen the window
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

// The window is sized by its image, the panels it shows and the monitor it is on.
TEST_F(DisplayInputTest, WindowSizeFollowsPanelsAndMonitor) {
  auto form = open({.width = 140, .height = 120, .frames = 2});
  const int bare = form->width();
  EXPECT_EQ(bare, 140);  // no legend, no controls: no minimum width
  toggle(*form, "VideoControlsItem");
  EXPECT_EQ(form->width(), 185);
  EXPECT_EQ(paintBox(*form)->size(), QSize(185, 185 * 120 / 140));  // the aspect is kept
  const QImage copy = form->ImageAndBorder();  // the picture without the controls
  EXPECT_EQ(copy.size() / copy.devicePixelRatio(), QSize(185, 185 * 120 / 140));
  toggle(*form, "VideoControlsItem");
  EXPECT_EQ(form->width(), bare);

  monitor({100, 50, 800, 600});  // a clip larger than the monitor fits its work area
  auto big = open({.width = 1600, .height = 800, .frames = 1});
  toggle(*big, "TimeCounterItem");
  EXPECT_LE(big->width(), 800);
  EXPECT_LE(big->height(), 600);
  const QSize box = paintBox(*big)->size();
  EXPECT_NEAR(double(box.width()) / box.height(), 2.0, 0.02);
  EXPECT_EQ(big->ZoomState().FullPercent, box.width() * 100 / 1600);
}

// Arrow keys reach the focused slider unless the reticle is shown with the pointer on the image.
TEST_F(DisplayInputTest, ArrowKeysMoveThePointerOnlyWithTheReticleShown) {
  auto form = open({.width = 160, .height = 120, .frames = 20});
  toggle(*form, "VideoControlsItem");
  form->show();
  auto* bar = form->findChild<QSlider*>(QStringLiteral("FrameBar"));
  const int right = paintBox(*form)->width() - 1;  // 185 wide with the controls
  QCursor::setPos(paintBox(*form)->mapToGlobal(QPoint(right - 5, 60)));
  for (bool reticle : {false, true}) {
    if (reticle) toggle(*form, "ReticleItem");
    bar->setValue(5);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier);
    QApplication::sendEvent(bar, &key);
    EXPECT_EQ(bar->value(), reticle ? 5 : 6);
    EXPECT_EQ(paintBox(*form)->mapFromGlobal(QCursor::pos()),
              QPoint(reticle ? right : right - 5, 60));
  }
}

}  // namespace
