// Real clips in the real main window, its timer ticked by hand at a clock the test moves: the
// windows aligned on the master time, the graph cursor linked to it, a clip saved as another.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <ostream>
#include <random>

#include "AppTestSupport.h"
#include "ClipKit.h"
#include "clip/AviStream.h"
#include "display/DisplayForm.h"
#include "platform/Clock.h"
#include "platform/avifile/AviSaveOptions.h"
#include "platform/avifile/SharedFrameBudget.h"
#include "signals/GraphForm.h"
#include "signals/PESGraph.h"

namespace {

struct ClipTiming {
  float period;
  float offset;
  LONG frames;
};

class ClipWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    platform_clock::setSource([this] { return now; });
    w = makeViewer();
    w->Timer().stop();
  }
  void TearDown() override {
    w.reset();
    platform_clock::setSource({});
  }
  void tick() {
    now += 40;
    w->MasterTimer();
    w->Timer().stop();
  }
  // Writes a clip per timing, opens them and `more` at the next tick, then gives each window its
  // timing.
  std::vector<TDisplayForm*> openClips(const std::vector<ClipTiming>& timings, LONG width = 32,
                                       LONG height = 24, const QStringList& more = {}) {
    for (std::size_t i = 0; i < timings.size(); ++i) {
      const QString path = dir.filePath(QStringLiteral("cam%1.avi").arg(i));
      const clipkit::ClipSpec spec{.width = width, .height = height, .frames = timings[i].frames};
      EXPECT_EQ(clipkit::WriteClip(path.toStdString(), spec), AVIERR_OK);
      w->OpenQueue() << path;
    }
    w->OpenQueue() << more;
    tick();
    std::vector<TDisplayForm*> windows;
    for (TChildForm* child : w->Children())
      if (auto* d = qobject_cast<TDisplayForm*>(child)) windows.push_back(d);
    EXPECT_EQ(windows.size(), timings.size());
    for (std::size_t i = 0; i < std::min(windows.size(), timings.size()); ++i) {
      windows[i]->SetFramePeriod(timings[i].period);
      windows[i]->SetTimeOffset(timings[i].offset);
    }
    return windows;
  }

  std::uint32_t now = 1000;
  std::unique_ptr<TVarnelViewer> w;
  QTemporaryDir dir;
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
    // 1 ms from -10, 0.5 ms from 0, 2.5 ms from 3.3.
    {"three clips", {{1, -10, 101}, {0.5f, 0, 201}, {2.5f, 3.3f, 30}}, 32, 24, 220, 150, 0},
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

class Alignment : public ClipWindows, public ::testing::WithParamInterface<Scenario> {
 protected:
  void TearDown() override {
    ClipWindows::TearDown();
    avifile::SetSharedFrameBudget(std::size_t(1) << 30);
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
};

// After random play, repeat, steps, jumps, bar moves and windows stopping on their own, a Stop
// pushes the master time once: every window then shows its frame nearest to it, clamped to its
// clip, and draws that frame's pixels; the decoded pictures stay within their budget.
TEST_P(Alignment, EveryWindowShowsTheFrameNearestToTheMasterTime) {
  const Scenario& s = GetParam();
  if (s.budget) avifile::SetSharedFrameBudget(s.budget);
  const std::vector<TDisplayForm*> windows = openClips(s.clips, s.width, s.height);
  ASSERT_EQ(windows.size(), s.clips.size());
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

struct GraphWiring : ClipWindows {
  void SetUp() override {
    ClipWindows::SetUp();
    // The information dialog is not asked for: the reader's guesses stand.
    TRegIniFile(QStringLiteral("\\Software\\Orvanta\\Lumetra\\Graph Signals"))
        .WriteBool("Open", "Prompt", false);
  }
  // Confirms the selection dialog of the next tick with every pool item in the overlay group.
  void confirmNextSelection() {
    QTimer::singleShot(0, w.get(), [this] {
      TSigSelectDlg& dlg = w->GraphLink().Window()->SelectDialog();
      dlg.IncAllBtnClick(dlg.findChild<QListWidget*>("OverlayList"));
      dlg.findChild<QPushButton*>("OKBtn")->click();
    });
  }
};

// A graph window opened once the clips' timing has settled still takes the master step as the
// cursor's tolerance (it was lost while no window existed).
TEST_F(GraphWiring, AGraphOpenedLaterTakesTheMasterStep) {
  ASSERT_EQ(openClips({{1, -10, 60}, {2.5f, 3, 60}}).size(), 2u);
  tick();
  testsupport::writeFile(dir.filePath("later.csv"), "Time (ms),Accel\n0,1\n1,2\n2,3\n");
  w->OpenQueue() << dir.filePath("later.csv");
  QTimer::singleShot(0, w.get(), [this] { confirmNextSelection(); });
  tick();
  ASSERT_NE(w->GraphLink().Window(), nullptr);
  EXPECT_EQ(w->GraphLink().Window()->TimeTolerance(), 1.0);
}

// Moving the graph cursor moves every clip to its frame nearest that time; playing moves the
// cursor.
TEST_F(GraphWiring, CursorAndMasterTimeFollowEachOther) {
  // 0.5 ms samples from -10 ms.
  QByteArray text = "Time (ms),Accel\n";
  for (int i = 0; i < 400; ++i)
    text += QByteArray::number(-10 + 0.5 * i) + "," + QByteArray::number(i % 37) + "\n";
  testsupport::writeFile(dir.filePath("accel.csv"), text);
  w->GraphLink();  // the window is made by the tick that takes the file
  QTimer::singleShot(0, w.get(), [this] { confirmNextSelection(); });
  const std::vector<ClipTiming> clips = {{1, -10, 60}, {2.5f, 3, 60}};
  const std::vector<TDisplayForm*> windows = openClips(clips, 32, 24, {dir.filePath("accel.csv")});
  ASSERT_EQ(windows.size(), 2u);
  TGraphForm* graph = w->GraphLink().Window();
  ASSERT_NE(graph, nullptr);
  ASSERT_EQ(graph->Graph().Subsets(), 1);
  tick();
  ASSERT_EQ(graph->TimeTolerance(), 1.0) << "the master step is the graph's tolerance";

  // The user puts the cursor on the sample nearest 37.5 ms: the next tick moves every clip.
  PESGraph& g = graph->Graph();
  const double first = g.PointX(0, 0), interval = g.PointX(0, 1) - first;
  g.SetCursorPoint(int(std::lround((37.5 - first) / interval)));
  g.OnCursorMoved();
  const float x = g.PointX(0, g.CursorPoint());
  ASSERT_NEAR(x, 37.5, interval);
  tick();
  EXPECT_EQ(w->Timeline().MasterTime(), x);
  for (std::size_t i = 0; i < 2; ++i) {
    const double frame = std::nearbyint((double(x) - clips[i].offset) / clips[i].period);
    EXPECT_EQ(windows[i]->CurrentFrame(), int(frame)) << i;
  }
  EXPECT_FALSE(w->Timeline().Playing());

  // Playing walks the cursor along: each tick puts it on the sample at the time it pushed.
  w->findChild<QToolButton*>(QStringLiteral("PlaySB"))->click();
  for (int i = 0; i < 5; ++i) {
    const float pushed = w->Timeline().MasterTime();
    tick();
    if (i == 0) continue;  // the press itself starts playing
    EXPECT_EQ(graph->CursorTime(), pushed) << i;
    EXPECT_NEAR(g.PointX(0, g.CursorPoint()), pushed, interval / 2) << i;
  }
  EXPECT_GT(w->Timeline().MasterTime(), x);
  float t = w->Timeline().MasterTime();
  EXPECT_FALSE(graph->TakeCursorTime(t)) << "a cursor moved by the timeline is no user's move";
}

TEST_F(ClipWindows, SaveAsReopensTheWindowOnTheNewFileAndKeepsItOneChild) {
  avifile::SetSaveOptionsAnswererForTesting([](const auto&, AVICOMPRESSOPTIONS& chosen) {
    chosen.fccHandler = MakeFourCC('D', 'I', 'B', ' ');
    return true;
  });
  const std::vector<TDisplayForm*> windows = openClips({{1, 0, 4}}, 8, 6);
  ASSERT_EQ(windows.size(), 1u);
  TDisplayForm* child = windows[0];
  w->ActiveFormChanged(child);
  testsupport::script().files.push_back({{dir.filePath("b")}, 0});
  w->findChild<QAction*>(QStringLiteral("SaveAs"))->trigger();
  QElapsedTimer clock;
  clock.start();
  while ((child->Saving || child->ClipStream()->Busy) && clock.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  avifile::SetSaveOptionsAnswererForTesting({});
  EXPECT_EQ(child->FileName, dir.filePath("b.avi"));
  EXPECT_EQ(w->Children().size(), 1);
  delete child;
  EXPECT_TRUE(w->Children().isEmpty());
}

}  // namespace
