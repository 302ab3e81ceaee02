#include <gtest/gtest.h>

#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <random>

#include "AppTestSupport.h"
#include "ClipKit.h"
#include "display/DisplayForm.h"
#include "platform/Clock.h"

namespace {

struct ClipTiming {
  const char* name;
  float period;
  float offset;
  LONG frames;
};

// Rates and trigger times that do not line up: 1 ms from -10, 0.5 ms from 0, 2.5 ms from 3.3.
constexpr ClipTiming kClips[] = {
    {"cam1.avi", 1, -10, 101}, {"cam2.avi", 0.5f, 0, 201}, {"cam3.avi", 2.5f, 3.3f, 30}};

// The frame a window must show for a master time, computed here from the timing alone.
int expectedFrame(const ClipTiming& c, float time) {
  const double exact = (double(time) - double(c.offset)) / double(c.period);
  return int(std::clamp(std::nearbyint(exact), 0.0, double(c.frames - 1)));
}

// The picture drawn is the clip's own picture of that frame.
bool showsPixelsOf(const TDisplayForm& d, int frame) {
  const QImage& image = d.FrameImage();
  const clipkit::ClipSpec spec;
  if (image.width() != spec.width || image.height() != spec.height) return false;
  const auto rows = clipkit::PatternRows(spec.width, spec.height, 24, frame);
  const DWORD stride = clipkit::RowBytes(spec.width, 24);
  for (int y = 0; y < spec.height; ++y)
    for (int x = 0; x < spec.width; ++x) {
      const BYTE* p = rows.data() + std::size_t(y) * stride + std::size_t(x) * 3;
      const QRgb c = image.pixel(x, y);
      if (qBlue(c) != p[0] || qGreen(c) != p[1] || qRed(c) != p[2]) return false;
    }
  return true;
}

// After random play, repeat, steps, jumps, bar moves and windows stopping on their own, a Stop
// pushes the master time once: every window then shows its frame nearest to it, clamped to its
// clip, and draws that frame's pixels.
TEST(Alignment, EveryWindowShowsTheFrameNearestToTheMasterTime) {
  testsupport::resetStore();
  std::uint32_t now = 1000;
  platform_clock::setSource([&] { return now; });
  QTemporaryDir dir;
  auto w = makeViewer();
  w->Timer().stop();
  for (const ClipTiming& c : kClips) {
    clipkit::ClipSpec spec;
    spec.frames = c.frames;
    const QString path = dir.filePath(QString::fromLatin1(c.name));
    ASSERT_EQ(clipkit::WriteClip(path.toStdString(), spec), AVIERR_OK);
    w->OpenQueue() << path;
  }
  auto tick = [&] {
    now += 40;
    w->MasterTimer();
    w->Timer().stop();
  };
  tick();
  ASSERT_EQ(w->Children().size(), 3);
  std::vector<TDisplayForm*> windows;
  for (int i = 0; i < 3; ++i) {
    windows.push_back(qobject_cast<TDisplayForm*>(w->Children()[i]));
    ASSERT_NE(windows.back(), nullptr);
    windows.back()->SetFramePeriod(kClips[i].period);
    windows.back()->SetTimeOffset(kClips[i].offset);
  }
  tick();
  ASSERT_EQ(w->findChild<QSlider*>(QStringLiteral("TimeBar"))->maximum(), 220);

  const char* buttons[] = {"PlaySB", "RepeatSB", "StopSB", "TZeroSB",
                           "EndSB",  "StartSB",  "StepSB", "BackSB"};
  std::mt19937 random(20240611);
  auto pick = [&](int n) { return int(random() % unsigned(n)); };
  for (int round = 0; round < 150; ++round) {
    TDisplayForm* d = windows[std::size_t(pick(3))];
    switch (const int action = pick(12)) {
      case 8:
        w->findChild<QSlider*>(QStringLiteral("TimeBar"))->setValue(pick(221));
        break;
      case 9:
        d->FwdBtnClick();
        break;
      case 10:
        d->StopAtFrame(pick(250) - 20);
        break;
      case 11:
        d->PlayBtnClick();
        break;  // the next push stops the window's own playback
      default:
        w->findChild<QToolButton*>(QString::fromLatin1(buttons[action]))->click();
    }
    for (int t = pick(4); t >= 0; --t) tick();
    w->findChild<QToolButton*>(QStringLiteral("StopSB"))->click();
    tick();
    const float time = w->Timeline().MasterTime();
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(::testing::Message()
                   << "round " << round << ", time " << time << ", clip " << i);
      const int frame = expectedFrame(kClips[i], time);
      ASSERT_EQ(windows[std::size_t(i)]->CurrentFrame(), frame);
      ASSERT_FALSE(windows[std::size_t(i)]->LocalPlaying());
      ASSERT_TRUE(showsPixelsOf(*windows[std::size_t(i)], frame));
    }
  }
  w.reset();
  platform_clock::setSource({});
}

}  // namespace
