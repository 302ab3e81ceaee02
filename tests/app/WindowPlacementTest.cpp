#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <climits>

#include "AppTestSupport.h"
#include "ClipKit.h"
#include "platform/Clock.h"
#include "platform/Placement.h"
#include "platform/RegIniFile.h"
#include "platform/Screens.h"

namespace {

TEST(CascadePosition, StepsDownAndRightAndStaysInsideTheWorkArea) {
  const QRect area(0, 0, 400, 300);
  struct Case {
    const char* what;
    QPoint origin;
    int slot;
    QSize frame;
    QPoint expected;
  };
  const Case cases[] = {
      {"first slot at the origin", {10, 100}, 0, {200, 150}, {10, 100}},
      {"second slot one step on", {10, 100}, 1, {200, 150}, {40, 130}},
      // From y 100 a 150 high window fits twice (100 and 130) above the bottom at 300.
      {"starts over once it would leave", {10, 100}, 2, {200, 150}, {10, 100}},
      {"and goes on from there", {10, 100}, 3, {200, 150}, {40, 130}},
      {"origin below the area: from its corner", {10, 290}, 1, {200, 150}, {30, 30}},
      {"origin left of the area: from its corner", {-500, 10}, 0, {200, 150}, {0, 0}},
      {"larger than the area: fitted", {10, 100}, 1, {900, 900}, {0, 0}},
      {"negative slot taken as the first", {10, 100}, -5, {200, 150}, {10, 100}},
      {"a huge slot stays inside", {0, 0}, INT_MAX, {100, 100}, {30, 30}},
  };
  for (const Case& c : cases) {
    const QPoint at = CascadePosition(c.origin, c.slot, c.frame, area);
    EXPECT_EQ(at, c.expected) << c.what;
    const QRect placed(at, c.frame.boundedTo(area.size()));
    EXPECT_TRUE(area.contains(placed)) << c.what;
  }
}

// Answers like the scripted backend and notes, for each message, how many clip windows could
// be seen beside it.
class WatchingBackend : public dialogs::ScriptedBackend {
 public:
  TVarnelViewer* viewer = nullptr;
  std::vector<int> clipsVisible;
  dialogs::Answer message(QWidget* parent, const dialogs::Message& m) override {
    int visible = 0;
    for (const TChildForm* child : viewer->Children()) visible += child->isVisible() ? 1 : 0;
    clipsVisible.push_back(visible);
    return ScriptedBackend::message(parent, m);
  }
};

class WindowPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    screens::setLayoutForTesting({{QRect(0, 0, 1600, 1000), QRect(0, 0, 1600, 960)}});
    platform_clock::setSource([this] { return now += 40; });
    auto backend = std::make_unique<WatchingBackend>();
    watcher = backend.get();
    dialogs::install(std::move(backend));
    for (const char* name : {"cam1.avi", "cam2.avi", "cam3.avi"}) {
      clipkit::ClipSpec spec;
      spec.frames = 4;
      clips << dir.filePath(QString::fromLatin1(name));
      ASSERT_EQ(clipkit::WriteClip(clips.last().toStdString(), spec), AVIERR_OK);
    }
  }
  void TearDown() override {
    dialogs::install(std::make_unique<dialogs::ScriptedBackend>());
    screens::setLayoutForTesting({});
    platform_clock::setSource({});
  }
  std::unique_ptr<TVarnelViewer> openAll() {
    auto w = makeViewer(clips + QStringList{dir.filePath(QStringLiteral("run.csv"))});
    w->Timer().stop();
    watcher->viewer = w.get();
    // The selection dialog that the signal file brings up is cancelled as soon as it shows.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [] {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    cancel.start(10);
    w->MasterTimer();
    w->Timer().stop();
    return w;
  }

  std::uint32_t now = 1000;
  QTemporaryDir dir;
  QStringList clips;
  WatchingBackend* watcher = nullptr;
};

// Without stored places the main window takes the platform's default and the clips cascade
// below it; the signal file's box waits until they show. Each clip window keeps an entry of its
// own, so the next start puts every one back where it was.
TEST_F(WindowPlacementTest, NewClipWindowsCascadeAndComeBackWhereTheyWere) {
  std::vector<QPoint> places;
  {
    auto w = openAll();
    EXPECT_EQ(w->pos(), DefaultWindowPosition());
    ASSERT_EQ(w->Children().size(), 3);
    const QPoint origin = w->CascadeOrigin();
    EXPECT_GT(origin.y(), w->frameGeometry().bottom());
    std::vector<QPoint> expected;
    for (int slot = 0; slot < 3; ++slot)
      expected.push_back(origin + QPoint(slot, slot) * kCascadeStep);
    QStringList names;
    for (TChildForm* child : w->Children()) {
      EXPECT_TRUE(child->isVisible());
      places.push_back(child->pos());
      names << child->objectName();
    }
    EXPECT_EQ(names, (QStringList{"DisplayForm", "DisplayForm_1", "DisplayForm_2"}));
    std::vector<QPoint> sorted = places;
    std::sort(sorted.begin(), sorted.end(), [](QPoint a, QPoint b) { return a.x() < b.x(); });
    EXPECT_EQ(sorted, expected);
    ASSERT_EQ(watcher->clipsVisible, std::vector<int>{3});
    EXPECT_EQ(watcher->shown[0].caption, "run.csv Signal Not Added");
    w->Children()[0]->move(700, 400);
    places[0] = QPoint(700, 400);
    EXPECT_TRUE(w->close());
  }
  auto w = openAll();
  ASSERT_EQ(w->Children().size(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(w->Children()[i]->pos(), places[std::size_t(i)]) << i;
}

// An entry written on a monitor that has since been unplugged still opens the clip on screen.
TEST_F(WindowPlacementTest, AClipWindowStoredOnAMonitorThatIsGoneOpensOnScreen) {
  TRegIniFile reg(QStringLiteral("\\Software\\Orvanta\\Lumetra"));
  WritePlacement(QStringLiteral("DisplayForm"), &reg,
                 {.left = 3500, .top = 100, .width = 300, .height = 200});
  auto w = openAll();
  const auto children = w->Children();
  const auto clip = std::find_if(children.begin(), children.end(), [](TChildForm* c) {
    return c->objectName() == QStringLiteral("DisplayForm");
  });
  ASSERT_NE(clip, children.end());
  EXPECT_TRUE(QRect(0, 0, 1600, 1000).contains((*clip)->geometry())) << (*clip)->x();
}

}  // namespace
