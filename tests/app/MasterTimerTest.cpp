#include <gtest/gtest.h>

#include <QAction>
#include <QSlider>
#include <QToolButton>

#include "TimelineKit.h"
#include "app/OpenQueue.h"
#include "platform/Clock.h"

namespace {

// The real main window, its timer ticked by hand at a clock the test moves. Clips are made by a
// factory that hands out the windows the test wants and records the requests.
class MasterTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    platform_clock::setSource([this] { return now; });
    w = makeViewer();
    w->Timer().stop();
    w->SetDisplayFactory([this](const TVarnelViewer::TDisplayRequest& r) -> TChildForm* {
      requests.push_back(r.fileName + u'|' + r.section + u'|' + r.caption);
      if (r.fileName.contains(QStringLiteral("bad"))) throw Exception("Stream Open Failed");
      const auto [period, offset, frames] = timings[made.size() % timings.size()];
      auto* clip = new TimedClip(period, offset, frames);
      clip->setParent(r.owner, Qt::Window);
      clip->FileName = r.fileName;
      made.push_back(clip);
      r.onOpened(clip);
      return clip;
    });
  }
  void TearDown() override {
    w.reset();
    platform_clock::setSource({});
  }
  // One tick after the period the last one set; returns the period the next one runs at.
  int tick() {
    now += 100;
    w->MasterTimer();
    const int period = w->Timer().interval();
    w->Timer().stop();
    return period;
  }
  template <typename T>
  T* find(const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
  }
  void click(const char* name) { find<QToolButton>(name)->click(); }
  bool down(const char* name) { return find<QToolButton>(name)->isChecked(); }

  std::uint32_t now = 1000;
  std::unique_ptr<TVarnelViewer> w;
  std::vector<std::tuple<float, float, int>> timings = {{1, -10, 101}, {0.5f, 0, 201}};
  std::vector<TimedClip*> made;
  QStringList requests;
};

TEST_F(MasterTimerTest, TimePanelCommandsReachTheClipsAtTheNextTick) {
  w->OpenQueue() << "/t/a.avi"
                 << "/t/b.avi";
  tick();
  ASSERT_EQ(made.size(), 2u);
  auto* bar = find<QSlider>("TimeBar");
  EXPECT_TRUE(find<QWidget>("TimePanel")->isVisible());
  EXPECT_EQ(bar->maximum(), 220);
  EXPECT_EQ(bar->tickInterval(), 22);

  click("PlaySB");
  click("RepeatSB");
  EXPECT_FALSE(down("PlaySB"));
  EXPECT_TRUE(down("RepeatSB"));
  click("PlaySB");
  EXPECT_EQ(tick(), 34);  // 67 x 0.5 ms, the half rounded to even
  find<QAction>("x21")->trigger();
  EXPECT_EQ(tick(), 16);
  EXPECT_TRUE(down("PlaySB"));

  click("EndSB");
  EXPECT_FALSE(down("PlaySB"));
  tick();
  EXPECT_EQ(bar->value(), 220);
  EXPECT_EQ(made[1]->CurrentFrame(), 200);
  click("PlaySB");
  bar->setValue(20);  // the user's move stops playback
  EXPECT_FALSE(down("PlaySB"));
  tick();
  EXPECT_EQ(made[0]->CurrentFrame(), 10);  // 20 x 0.5 - 10 = 0 ms
  EXPECT_EQ(bar->value(), 20);

  w->Timer().start(5000);
  click("BackSB");  // a command does not wait for a slow playback period
  EXPECT_EQ(w->Timer().interval(), 25);
  w->Timer().stop();

  click("RepeatSB");
  EXPECT_TRUE(w->CloseAllChildren());
  tick();
  EXPECT_FALSE(find<QWidget>("TimePanel")->isVisible());
  EXPECT_FALSE(down("RepeatSB"));
  EXPECT_FALSE(down("PlaySB"));
}

TEST_F(MasterTimerTest, QueueOpensEachFileByItsKindInArrivalOrder) {
  QList<QStringList> handed;
  w->SetSignalOpener([&](const QStringList& names) { handed << names; });
  testsupport::script().files.push_back(
      {{"/t/run1/cam2.avi", "/t/run1/CAM1.AVI", "/t/run1/cam2.avi"}, 0});
  find<QToolButton>("OpenBtn")->click();
  w->OpenQueue() << "/t/run.avi.txt"
                 << "/t/image.tiff"
                 << "/t/n.csv"
                 << "/t/s.mav"
                 << "/t/other/";
  tick();
  EXPECT_EQ(requests, (QStringList{"/t/run1/cam2.avi|AVI|cam2.avi", "/t/run1/CAM1.AVI|AVI|CAM1.AVI",
                                   "/t/s.mav|Motion Analysis Video|s.mav"}));
  EXPECT_EQ(w->Children().size(), 3);
  EXPECT_TRUE(made[0]->PlaceByDefault) << "a clip without a stored place is placed on show";
  EXPECT_EQ(handed, (QList<QStringList>{{"/t/run.avi.txt", "/t/n.csv"}}));
  QStringList shown;
  for (const auto& m : testsupport::script().shown) shown << m.text;
  ASSERT_EQ(shown.size(), 2);
  EXPECT_EQ(shown[0], "/t/image.tiff is an unrecognized file type.");
  EXPECT_EQ(shown[1], "/t/other/ is an unrecognized file type.");
  EXPECT_EQ(w->OpenDirectory(), "/t/other/");
  EXPECT_TRUE(w->OpenQueue().isEmpty());
}

TEST_F(MasterTimerTest, AClipThatFailsEndsTheRunAndTheRestOpenAtTheNextTick) {
  QList<QStringList> handed;
  w->SetSignalOpener([&](const QStringList& names) { handed << names; });
  w->OpenQueue() << "/t/a.txt"
                 << "/t/b.dat"
                 << "/t/bad.avi"
                 << "/t/c.avi";
  w->Timer().start(5000);
  EXPECT_THROW(w->MasterTimer(), Exception);
  EXPECT_TRUE(w->Timer().isActive()) << "the timer runs on after the error";
  EXPECT_EQ(w->OpenQueue(), QStringList{"/t/c.avi"});
  EXPECT_EQ(handed, (QList<QStringList>{{"/t/a.txt", "/t/b.dat"}}));
  EXPECT_EQ(w->OpenDirectory(), "/t/");
  tick();
  EXPECT_EQ(w->Children().size(), 1);
  EXPECT_EQ(w->CurrentFileName(), "/t/c.avi");
}

TEST(OpenQueue, KindComesFromTheFirstPatternFoundFromRow12Down) {
  const struct {
    const char* name;
    int row;
    TOpenKind kind;
  } kCases[] = {
      {"/t/clip.avi", 1, TOpenKind::Clip},
      {"/t/CLIP.AVI", 1, TOpenKind::Clip},
      {"/t/run.avi.txt", 7, TOpenKind::Signal},  // row 7 is met before row 1
      {"/t/x.avidata", 1, TOpenKind::Clip},      // a substring, not the extension
      {"/t/image.tiff", 3, TOpenKind::Unrecognised},
      {"/t/frame.dib", 2, TOpenKind::Unrecognised},
      {"/t/s.Mav", 5, TOpenKind::Clip},
      {"/t/signals.TDM", 12, TOpenKind::Signal},
      {"/t/cam.avi/readme", 0, TOpenKind::Unrecognised},  // only the file-name part counts
      {"/t/run1/", 0, TOpenKind::Unrecognised},
      {"", 0, TOpenKind::Unrecognised},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const TOpenType type = OpenTypeOf(QString::fromUtf8(c.name));
    EXPECT_EQ(type.row, c.row);
    EXPECT_EQ(type.kind, c.kind);
  }
}

TEST(OpenQueue, DirectoryKeepsItsTrailingSeparator) {
  const struct {
    const char* name;
    const char* directory;
    const char* file;
  } kCases[] = {
      {"/tests/run1/cam2.avi", "/tests/run1/", "cam2.avi"},
      {"cam2.avi", "", "cam2.avi"},
      {"/tests/run1/", "/tests/run1/", ""},
      {"/a=b/c=d.avi", "/a=b/", "c=d.avi"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(DirectoryPart(QString::fromUtf8(c.name)), c.directory) << c.name;
    EXPECT_EQ(FileNamePart(QString::fromUtf8(c.name)), c.file) << c.name;
  }
}

}  // namespace
