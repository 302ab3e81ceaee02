#include <gtest/gtest.h>

#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <ostream>
#include <random>

#include "AppTestSupport.h"
#include "ClipKit.h"
#include "display/DisplayForm.h"
#include "platform/Clock.h"
#include "platform/avifile/SharedFrameBudget.h"

namespace {

struct ClipTiming {
  float period;
  float offset;
  LONG frames;
};

// Clips of one test whose rates and trigger times do not line up.
struct Scenario {
  const char* what;
  std::vector<ClipTiming> clips;
  LONG width, height;
  int barMaximum;
  int rounds;
  std::size_t budget;  // bytes the decoded pictures of all clips may hold; 0: the preference's
};

// Sixteen clips: periods 1, 0.5, 2.5 and 2 ms from -10 ms onwards, 12 to 72 frames; together
// from -10 to 171.5 ms in steps of 0.5 ms.
std::vector<ClipTiming> sixteenClips() {
  const float periods[] = {1, 0.5f, 2.5f, 2};
  std::vector<ClipTiming> clips;
  for (int i = 0; i < 16; ++i) clips.push_back({periods[i % 4], float(i - 10), LONG(12 + 4 * i)});
  return clips;
}

const Scenario kScenarios[] = {
    {"three clips: 1 ms from -10, 0.5 ms from 0, 2.5 ms from 3.3",
     {{1, -10, 101}, {0.5f, 0, 201}, {2.5f, 3.3f, 30}},
     32,
     24,
     220,
     150,
     0},
    // Every push decodes a picture in each of the sixteen: the budget evicts all the time.
    {"sixteen clips at once on a small budget", sixteenClips(), 64, 48, 363, 40, 512 * 1024},
};

void PrintTo(const Scenario& s, std::ostream* os) {
  *os << s.what;
}

// The frame a window must show for a master time, computed here from the timing alone.
int expectedFrame(const ClipTiming& c, float time) {
  const double exact = (double(time) - double(c.offset)) / double(c.period);
  return int(std::clamp(std::nearbyint(exact), 0.0, double(c.frames - 1)));
}

// The picture drawn is the clip's own picture of that frame.
bool showsPixelsOf(const TDisplayForm& d, const Scenario& s, int frame) {
  const QImage& image = d.FrameImage();
  if (image.width() != s.width || image.height() != s.height) return false;
  const auto rows = clipkit::PatternRows(s.width, s.height, 24, frame);
  const DWORD stride = clipkit::RowBytes(s.width, 24);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      const BYTE* p = rows.data() + std::size_t(y) * stride + std::size_t(x) * 3;
      const QRgb c = image.pixel(x, y);
      if (qBlue(c) != p[0] || qGreen(c) != p[1] || qRed(c) != p[2]) return false;
    }
  return true;
}

class Alignment : public ::testing::TestWithParam<Scenario> {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    platform_clock::setSource([this] { return now; });
  }
  void TearDown() override {
    w.reset();
    platform_clock::setSource({});
    avifile::SetSharedFrameBudget(std::size_t(1) << 30);
  }
  void tick() {
    now += 40;
    w->MasterTimer();
    w->Timer().stop();
  }
  // One random command of the master time panel or of one window, then a few ticks.
  void randomMove(std::mt19937& random, const std::vector<TDisplayForm*>& windows, int barMax) {
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const char* buttons[] = {"PlaySB", "RepeatSB", "StopSB", "TZeroSB",
                             "EndSB",  "StartSB",  "StepSB", "BackSB"};
    TDisplayForm* d = windows[std::size_t(pick(int(windows.size())))];
    switch (const int action = pick(12)) {
      case 8:
        w->findChild<QSlider*>(QStringLiteral("TimeBar"))->setValue(pick(barMax + 1));
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
  }

  std::uint32_t now = 1000;
  std::unique_ptr<TVarnelViewer> w;
};

// After random play, repeat, steps, jumps, bar moves and windows stopping on their own, a Stop
// pushes the master time once: every window then shows its frame nearest to it, clamped to its
// clip, and draws that frame's pixels; the decoded pictures stay within their budget.
TEST_P(Alignment, EveryWindowShowsTheFrameNearestToTheMasterTime) {
  const Scenario& s = GetParam();
  QTemporaryDir dir;
  w = makeViewer();
  w->Timer().stop();
  if (s.budget) avifile::SetSharedFrameBudget(s.budget);
  for (std::size_t i = 0; i < s.clips.size(); ++i) {
    clipkit::ClipSpec spec;
    spec.width = s.width;
    spec.height = s.height;
    spec.frames = s.clips[i].frames;
    const QString path = dir.filePath(QStringLiteral("cam%1.avi").arg(i));
    ASSERT_EQ(clipkit::WriteClip(path.toStdString(), spec), AVIERR_OK);
    w->OpenQueue() << path;
  }
  tick();
  ASSERT_EQ(std::size_t(w->Children().size()), s.clips.size());
  std::vector<TDisplayForm*> windows;
  for (std::size_t i = 0; i < s.clips.size(); ++i) {
    windows.push_back(qobject_cast<TDisplayForm*>(w->Children()[qsizetype(i)]));
    ASSERT_NE(windows.back(), nullptr);
    windows.back()->SetFramePeriod(s.clips[i].period);
    windows.back()->SetTimeOffset(s.clips[i].offset);
  }
  tick();
  ASSERT_EQ(w->findChild<QSlider*>(QStringLiteral("TimeBar"))->maximum(), s.barMaximum);

  std::mt19937 random(20240611);
  std::size_t mostHeld = 0;
  for (int round = 0; round < s.rounds; ++round) {
    randomMove(random, windows, s.barMaximum);
    w->findChild<QToolButton*>(QStringLiteral("StopSB"))->click();
    tick();
    const float time = w->Timeline().MasterTime();
    for (std::size_t i = 0; i < windows.size(); ++i) {
      SCOPED_TRACE(::testing::Message()
                   << "round " << round << ", time " << time << ", clip " << i);
      const int frame = expectedFrame(s.clips[i], time);
      ASSERT_EQ(windows[i]->CurrentFrame(), frame);
      ASSERT_FALSE(windows[i]->LocalPlaying());
      ASSERT_TRUE(showsPixelsOf(*windows[i], s, frame));
    }
    mostHeld = std::max(mostHeld, avifile::SharedFrameBytes());
    if (s.budget) {
      ASSERT_LE(avifile::SharedFrameBytes(), s.budget) << "round " << round;
    }
  }
  if (s.budget) {
    EXPECT_GT(mostHeld, s.budget / 2) << "the budget was never tested";
  }
}

INSTANTIATE_TEST_SUITE_P(Clips, Alignment, ::testing::ValuesIn(kScenarios),
                         [](const auto& param) { return param.index ? "Sixteen" : "Three"; });

}  // namespace
