// The main window's "Save As" on a real clip window: the window saves and reopens on the new
// file, and stays one entry in the main window's list.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>

#include "AppTestSupport.h"
#include "ClipKit.h"
#include "clip/AviStream.h"
#include "display/DisplayForm.h"
#include "platform/avifile/AviSaveOptions.h"

namespace {

TEST(SaveAs, ReopenedWindowStaysOneChild) {
  testsupport::resetStore();
  testsupport::Folder f;
  const QString clip = f.path("a.avi");
  ASSERT_EQ(clipkit::WriteClip(clip.toStdString(), {.width = 8, .height = 6, .frames = 4}),
            AVIERR_OK);
  avifile::SetSaveOptionsAnswererForTesting([](const auto&, AVICOMPRESSOPTIONS& chosen) {
    chosen.fccHandler = MakeFourCC('D', 'I', 'B', ' ');
    return true;
  });
  auto w = makeViewer();
  w->Timer().stop();
  w->OpenQueue() << clip;
  w->MasterTimer();
  ASSERT_EQ(w->Children().size(), 1);
  auto* child = qobject_cast<TDisplayForm*>(w->Children().first());
  ASSERT_NE(child, nullptr);
  w->ActiveFormChanged(child);

  testsupport::script().files.push_back({{f.path("b")}, 0});
  w->findChild<QAction*>(QStringLiteral("SaveAs"))->trigger();
  QElapsedTimer clock;
  clock.start();
  while ((child->Saving || child->ClipStream()->Busy) && clock.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_EQ(child->FileName, f.path("b.avi"));
  EXPECT_EQ(w->Children().size(), 1);
  delete child;
  EXPECT_TRUE(w->Children().isEmpty());
  avifile::SetSaveOptionsAnswererForTesting({});
}

}  // namespace
