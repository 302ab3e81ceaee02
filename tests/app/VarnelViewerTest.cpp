#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolButton>

#include "AppTestSupport.h"
#include "app/AboutForm.h"
#include "platform/Browser.h"
#include "platform/RegIniFile.h"
#include "platform/avifile/SharedFrameBudget.h"

namespace {

class VarnelViewerTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::resetStore(); }
  template <typename T>
  static T* find(QObject* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
};

TEST_F(VarnelViewerTest, ComponentsCarryTheirNamesAndUnprovidedFeaturesStayHidden) {
  auto w = makeViewer();
  EXPECT_EQ(w->windowTitle(), "Lumetra");
  EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
  for (const char* name : {"AttachBtn", "CleanupBtn", "RecordBtn", "PresentationBtn"})
    EXPECT_TRUE(find<QToolButton>(w.get(), name)->isHidden()) << name;
  for (const char* name : {"OpenImager1", "DeleteSourceFiles", "AssignDatabaseFiles"})
    EXPECT_FALSE(find<QAction>(w.get(), name)->isVisible()) << name;
  EXPECT_EQ(find<QAction>(w.get(), "CloseAllItem")->text(), "C&lose All");
  EXPECT_EQ(find<QToolButton>(w.get(), "SaveBtn")->toolTip(), "Save Video Clip As");
  EXPECT_EQ(find<QAction>(w.get(), "CopyFrameItem")->shortcut(),
            QKeySequence(Qt::CTRL | Qt::Key_C));
  QStringList menus;
  for (QAction* a : w->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&Tools", "&Hide", "Hel&p"}));
  // Visible buttons are laid out edge to edge from x = 5.
  EXPECT_EQ(find<QToolButton>(w.get(), "OpenBtn")->x(), 5);
  EXPECT_EQ(find<QToolButton>(w.get(), "CloseAllBtn")->x(), 5 + 25);
  EXPECT_GE(w->width(), 230);
  EXPECT_LE(w->width(), 630);
  EXPECT_EQ(w->OpenDirectory(), w->ProgramDirectory() + "Samples");
}

TEST_F(VarnelViewerTest, HintsOffAtCloseAreOffAtNextStart) {
  {
    auto w = makeViewer();
    QAction* hints = find<QAction>(w.get(), "ShowHints");
    EXPECT_TRUE(hints->isChecked());
    hints->trigger();
    EXPECT_FALSE(w->ShowHintsOn());
    EXPECT_TRUE(w->close());
  }
  auto w = makeViewer();
  EXPECT_FALSE(find<QAction>(w.get(), "ShowHints")->isChecked());
  EXPECT_FALSE(w->ShowHintsOn());
}

TEST_F(VarnelViewerTest, FrameCachePreferenceLimitsTheSharedBudgetWithinItsRange) {
  const struct {
    const char* stored;  // null: no value
    int mb;
  } cases[] = {{nullptr, 1024}, {"256", 256}, {"1", 64},         {"-5", 64},
               {"abc", 1024},   {"", 1024},   {"100000", 16384}, {"99999999999", 1024}};
  for (const auto& c : cases) {
    testsupport::resetStore();
    if (c.stored)
      TRegIniFile(QStringLiteral("\\Software\\Orvanta\\Lumetra"))
          .WriteString(QStringLiteral("Preferences"), QStringLiteral("Frame Cache MB"),
                       QString::fromLatin1(c.stored));
    auto w = makeViewer();
    EXPECT_EQ(w->FrameCacheMb(), c.mb) << (c.stored ? c.stored : "none");
    EXPECT_EQ(avifile::SharedFrameBudget(), std::size_t(c.mb) << 20);
    EXPECT_TRUE(w->close());
    EXPECT_EQ(w->Registry()->ReadInteger(QStringLiteral("Preferences"),
                                         QStringLiteral("Frame Cache MB"), 0),
              c.mb);
  }
  avifile::SetSharedFrameBudget(std::size_t(1) << 30);
}

TEST_F(VarnelViewerTest, DatabaseFilesRoundTrip) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Crash Titles.INI"));
  testsupport::writeFile(path, "[B]\nx=2\n[A]\ny=1\n[C]\nz=3\n");
  TRegIniFile(QStringLiteral("\\Software\\Orvanta\\Lumetra"))
      .WriteString(QStringLiteral("Database Files"), path, QStringLiteral("B|A"));
  {
    auto w = makeViewer();
    TDatabases& db = w->Databases();
    ASSERT_EQ(db.files.size(), 1u);
    EXPECT_EQ(db.files[0].path, path);
    EXPECT_NE(db.files[0].age, -1);
    EXPECT_EQ(db.names, (QStringList{"crash titles.ini", "\\software\\orvanta\\lumetra"}));
    ASSERT_EQ(db.lists.Count(), 2);
    EXPECT_EQ(db.lists.Lists(0)->Names(), (QStringList{"A", "B"}));
    EXPECT_EQ(*db.lists.SectionValues(0, 0), QStringList{"y=1"});
    EXPECT_EQ(db.lists.Lists(1)->Names(),
              (QStringList{"Camera", "Default Titles", "Timing", "Titles"}));
    EXPECT_TRUE(w->close());
  }
  EXPECT_EQ(TRegIniFile(QStringLiteral("\\Software\\Orvanta\\Lumetra"))
                .ReadString(QStringLiteral("Database Files"), path, {}),
            "A|B");
}

TEST_F(VarnelViewerTest, ControlRulesFollowChildrenAndActiveChild) {
  auto w = makeViewer();
  auto enabled = [&](const char* name) { return find<QAction>(w.get(), name)->isEnabled(); };
  EXPECT_FALSE(enabled("CloseAllItem"));
  EXPECT_FALSE(enabled("SaveAs"));
  EXPECT_FALSE(enabled("CompressionOptions"));
  EXPECT_FALSE(enabled("QMeasureItem"));
  EXPECT_TRUE(enabled("Open1"));
  EXPECT_TRUE(enabled("SGraphItem"));
  EXPECT_FALSE(find<QToolButton>(w.get(), "DescriptorsBtn")->isEnabled());

  auto* child = new FakeChild;
  child->QuickMeasureAllowed = true;
  w->AddChild(child);
  EXPECT_TRUE(enabled("CloseAllItem"));
  EXPECT_TRUE(enabled("DescriptorsItem"));
  EXPECT_FALSE(enabled("SaveAs"));  // no active child yet
  w->ActiveFormChanged(child);
  EXPECT_EQ(w->ActiveChild(), child);
  EXPECT_TRUE(enabled("SaveAs"));
  EXPECT_TRUE(find<QToolButton>(w.get(), "QMeasureBtn")->isEnabled());
  child->Saving = true;
  w->ApplyControlRules();
  EXPECT_FALSE(enabled("SaveAs"));
  EXPECT_FALSE(enabled("CompressionOptions"));

  delete child;  // its destruction removes it and clears the active child
  EXPECT_TRUE(w->Children().isEmpty());
  EXPECT_EQ(w->ActiveChild(), nullptr);
  EXPECT_FALSE(enabled("CloseAllItem"));
}

TEST_F(VarnelViewerTest, ActiveChildFollowsWindowActivation) {
  // A clip window holds nothing that takes the keyboard focus; activating it must still count.
  auto w = makeViewer();
  FakeChild first, second;
  for (FakeChild* child : {&first, &second}) {
    w->AddChild(child);
    child->show();
  }
  for (FakeChild* child : {&first, &second, &first}) {
    child->activateWindow();
    for (int i = 0; i < 10 && w->ActiveChild() != child; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(w->ActiveChild(), child);
  }
  w->activateWindow();  // the main window taking over keeps the active child
  QCoreApplication::processEvents();
  EXPECT_EQ(w->ActiveChild(), &first);
}

TEST_F(VarnelViewerTest, RestoringTheMainWindowRestoresTheWindowsItMinimised) {
  auto w = makeViewer();
  FakeChild clip, userMinimised, maximised;
  for (FakeChild* child : {&clip, &userMinimised, &maximised}) {
    w->AddChild(child);
    child->show();
  }
  maximised.showMaximized();
  userMinimised.showMinimized();
  find<QAction>(w.get(), "Minimize1")->trigger();
  EXPECT_TRUE(w->isMinimized());
  EXPECT_TRUE(clip.isMinimized());
  EXPECT_TRUE(maximised.isMinimized());
  w->showNormal();
  EXPECT_FALSE(clip.isMinimized());
  EXPECT_EQ(maximised.windowState(), Qt::WindowMaximized);
  EXPECT_TRUE(userMinimised.isMinimized());
  EXPECT_FALSE(w->About()->isVisible());
}

TEST_F(VarnelViewerTest, ChildThatRefusesKeepsEverythingOpen) {
  auto w = makeViewer();
  auto* keeper = new FakeChild;
  keeper->allowClose = false;
  auto* other = new FakeChild;
  w->AddChild(keeper);
  w->AddChild(other);
  EXPECT_FALSE(w->close());
  EXPECT_EQ(w->Children().size(), 2);
  EXPECT_TRUE(w->Timer().isActive());
  EXPECT_EQ(other->closeQueries, 1);  // asked last first, before the refusal
  keeper->allowClose = true;
  EXPECT_TRUE(w->close());
  EXPECT_TRUE(w->Children().isEmpty());
}

TEST_F(VarnelViewerTest, CommandLineDropsAndOpenDialogFeedTheQueueInOrder) {
  QTemporaryDir dir;
  auto w = makeViewer({"a.avi", "b.txt", "", "ignored.avi"});
  EXPECT_EQ(w->OpenQueue(), (QStringList{"a.avi", "b.txt"}));
  w->DropFiles({dir.path(), QStringLiteral("c.avi")});
  EXPECT_EQ(w->OpenQueue(), (QStringList{"a.avi", "b.txt", "c.avi"}));
  ASSERT_EQ(testsupport::script().shown.size(), 1u);
  EXPECT_EQ(testsupport::script().shown[0].text, "Drag-Drop of Folders not supported");
  testsupport::script().files.push_back({{"/t/3.avi", "/t/1.avi"}, 0});
  find<QToolButton>(w.get(), "OpenBtn")->click();
  EXPECT_EQ(w->OpenQueue(), (QStringList{"a.avi", "b.txt", "c.avi", "/t/3.avi", "/t/1.avi"}));
  ASSERT_EQ(testsupport::script().fileRequests.size(), 1u);
  EXPECT_EQ(testsupport::script().fileRequests[0].caption, "Select File to Preview or Graph");
}

TEST_F(VarnelViewerTest, HelpItemsOpenTheGuideBesideTheProgram) {
  QStringList opened;
  browser::setOpenerForTesting([&](const QString& path, const QString&) {
    opened << path;
    return true;
  });
  auto w = makeViewer();
  find<QAction>(w.get(), "ContactUs1")->trigger();
  find<QAction>(w.get(), "HelpTopics1")->trigger();
  find<QAction>(w.get(), "ffdshowhelp1")->trigger();
  browser::setOpenerForTesting({});
  const QString help = w->ProgramDirectory() + "Lumtool/";
  EXPECT_EQ(opened, (QStringList{help + "html/vmak75m8.htm", help + "index.html",
                                 help + "html/ffdshow.htm"}));
  for (const QString& page : opened) EXPECT_TRUE(QFile::exists(page)) << page.toStdString();
}

TEST_F(VarnelViewerTest, SplashFadesInThenOutAndMenuBoxStays) {
  auto w = makeViewer();
  TAboutForm* about = w->About();
  EXPECT_TRUE(about->IsSplash());
  EXPECT_TRUE(about->isVisible());
  int ticks = 0;
  while (about->Opacity() < 255 && ticks++ < 100) about->FadeTick();
  EXPECT_EQ(ticks, 21);  // 0, 12, ..., 240, then past 242 → 255
  while (about->isVisible() && ticks++ < 200) about->FadeTick();
  EXPECT_FALSE(about->isVisible());

  find<QAction>(w.get(), "About2")->trigger();
  EXPECT_FALSE(about->IsSplash());
  EXPECT_EQ(about->windowTitle(), "About Lumetra");
  for (int i = 0; i < 100; ++i) about->FadeTick();
  EXPECT_EQ(about->Opacity(), 255);
  EXPECT_TRUE(about->isVisible());
}

}  // namespace
