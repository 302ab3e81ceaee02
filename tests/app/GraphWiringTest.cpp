// The global graph window on the master timeline, driven through the real main window: moving
// the graph cursor moves every clip to its frame nearest that time, and playing moves the cursor.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <cmath>

#include "AppTestSupport.h"
#include "ClipKit.h"
#include "display/DisplayForm.h"
#include "platform/Clock.h"
#include "signals/GraphForm.h"
#include "signals/PESGraph.h"

namespace {

struct GraphWiring : ::testing::Test {
  void SetUp() override {
    testsupport::resetStore();
    // The information dialog is not asked for: the reader's guesses stand.
    TRegIniFile(QStringLiteral("\\Software\\Orvanta\\Lumetra\\Graph Signals"))
        .WriteBool("Open", "Prompt", false);
    platform_clock::setSource([this] { return now; });
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
  // Confirms the selection dialog of the next tick with every pool item in the overlay group.
  void confirmNextSelection() {
    QTimer::singleShot(0, w.get(), [this] {
      TSigSelectDlg& dlg = w->GraphLink().Window()->SelectDialog();
      dlg.IncAllBtnClick(dlg.findChild<QListWidget*>("OverlayList"));
      dlg.findChild<QPushButton*>("OKBtn")->click();
    });
  }
  std::uint32_t now = 1000;
  std::unique_ptr<TVarnelViewer> w;
};

TEST_F(GraphWiring, CursorAndMasterTimeFollowEachOther) {
  QTemporaryDir dir;
  w = makeViewer();
  w->Timer().stop();
  const struct { float period, offset; } clips[] = {{1, -10}, {2.5f, 3}};
  for (int i = 0; i < 2; ++i) {
    clipkit::ClipSpec spec;
    spec.frames = 60;
    const QString path = dir.filePath(QStringLiteral("cam%1.avi").arg(i));
    ASSERT_EQ(clipkit::WriteClip(path.toStdString(), spec), AVIERR_OK);
    w->OpenQueue() << path;
  }
  // 0.5 ms samples from -10 ms.
  QByteArray text = "Time (ms),Accel\n";
  for (int i = 0; i < 400; ++i)
    text += QByteArray::number(-10 + 0.5 * i) + "," + QByteArray::number(i % 37) + "\n";
  testsupport::writeFile(dir.filePath("accel.csv"), text);
  w->OpenQueue() << dir.filePath("accel.csv");
  w->GraphLink();  // the window is made by the tick that takes the file
  QTimer::singleShot(0, w.get(), [this] { confirmNextSelection(); });
  tick();
  TGraphForm* graph = w->GraphLink().Window();
  ASSERT_NE(graph, nullptr);
  ASSERT_EQ(graph->Graph().Subsets(), 1);
  ASSERT_EQ(w->Children().size(), 2);
  std::vector<TDisplayForm*> windows;
  for (int i = 0; i < 2; ++i) {
    windows.push_back(qobject_cast<TDisplayForm*>(w->Children()[i]));
    windows[std::size_t(i)]->SetFramePeriod(clips[i].period);
    windows[std::size_t(i)]->SetTimeOffset(clips[i].offset);
  }
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
  for (int i = 0; i < 2; ++i) {
    const double frame = std::nearbyint((double(x) - clips[i].offset) / clips[i].period);
    EXPECT_EQ(windows[std::size_t(i)]->CurrentFrame(), int(frame)) << i;
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

}  // namespace
