// The display window's "Save As" on real clips: the work file beside an existing target, failures
// and cancels that leave the target as it was, a play loop saved alone, a window gone mid-save.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "DisplayKit.h"
#include "platform/avifile/AviSaveOptions.h"

namespace {

constexpr FOURCC kDib = MakeFourCC('D', 'I', 'B', ' ');
const clipkit::ClipSpec kSpec{.width = 8, .height = 6, .frames = 10};

class DisplaySaveTest : public DisplayKit {
 protected:
  void SetUp() override {
    DisplayKit::SetUp();
    answerOptions(kDib, true);
  }
  void TearDown() override {
    avifile::SetSaveOptionsAnswererForTesting({});
    DisplayKit::TearDown();
  }

  void answerOptions(FOURCC codec, bool ok) {
    avifile::SetSaveOptionsAnswererForTesting(
        [codec, ok](const avifile::SaveOptionsRequest&, AVICOMPRESSOPTIONS& chosen) {
          chosen.fccHandler = codec;
          return ok;
        });
  }
  QString source() { return writeClip(kSpec, TimingText(1000, 2, -5), "source.avi"); }

  // Answers the next save dialog with name and 0-based type position.
  static void choose(const QString& name, int filter = 0) {
    testsupport::script().files.push_back({{name}, filter});
  }

  // Calls act once the progress bar reaches percent, after the progress report has returned.
  static void atProgress(TDisplayForm& form, int percent, std::function<void()> act) {
    auto* bar = part<QProgressBar>(form, "ProgressBar");
    QObject::connect(bar, &QProgressBar::valueChanged, bar,
                     [percent, act, done = false](int v) mutable {
                       if (done || v < percent) return;
                       done = true;
                       QTimer::singleShot(0, act);
                     });
  }

  static bool waitFor(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 20000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return condition();
  }
  static bool waitSaved(TDisplayForm& form) {
    return waitFor([&] { return !form.ClipStream()->Busy && !form.Saving; });
  }
};

TEST_F(DisplaySaveTest, OverAnExistingClipTheWorkFileReplacesItOnlyWhenWhole) {
  auto form = open(source());
  const QString target = f_.write("run7.avi", "the old clip");
  bool workSeen = false, targetKept = true;
  atProgress(*form, 10, [&] {
    workSeen = QFile::exists(f_.path("~un7.avi"));
    targetKept = f_.read("run7.avi") == "the old clip";
  });
  choose(f_.path("run7"));
  testsupport::script().answers.push_back(dialogs::Answer::Yes);
  form->SaveClipAs();
  EXPECT_TRUE(form->Saving);
  EXPECT_FALSE(part(*form, "LegendPanel")->isVisibleTo(form.get()));
  EXPECT_TRUE(part(*form, "SaveTimePanel")->isVisibleTo(form.get()));
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Video Clip File RUN7"));
  ASSERT_TRUE(waitSaved(*form));

  const auto& s = testsupport::script();
  ASSERT_EQ(s.shown.size(), 1u);  // the question, no failure
  EXPECT_EQ(s.shown[0].text, QStringLiteral("Overwrite Video Clip File run7.avi?"));
  EXPECT_EQ(s.fileRequests[0].caption, QStringLiteral("Save source.avi As"));
  EXPECT_EQ(s.fileRequests[0].filterIndex, 1);  // the stored type 2 by default
  EXPECT_TRUE(workSeen);
  EXPECT_TRUE(targetKept);
  EXPECT_FALSE(QFile::exists(f_.path("~un7.avi")));
  EXPECT_EQ(form->FileName, target);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("run7.avi"));
  EXPECT_TRUE(form->Opened());
  EXPECT_EQ(form->FrameCount(), 10);
  EXPECT_EQ(opened_, 2);
  EXPECT_FALSE(part(*form, "SaveTimePanel")->isVisibleTo(form.get()));
  EXPECT_EQ(form->EffectiveFramePeriod(), 1.0f);  // read back from the new file
  EXPECT_EQ(form->TimeOffset(), -7.0f);
  EXPECT_EQ(registry_.ReadInteger("Save", "FilterIndex", 0), 1);
  EXPECT_EQ(registry_.ReadString("Save", "FileName", {}), target);
}

// Whatever ends a save early, the existing target stays byte for byte and no work file stays.
TEST_F(DisplaySaveTest, FailedOrCancelledSavesLeaveTheTargetAsItWas) {
  const struct {
    const char* name;
    FOURCC codec;
    bool optionsOk;
    int cancelAt;         // 0: no cancel
    bool fromSource;      // the cancel arrives as a -1 report, else by the button
    const char* caption;  // the message after the question; null: none
  } cases[] = {
      {"button at 50 %", kDib, true, 50, false, nullptr},
      {"-1 report", kDib, true, 30, true, nullptr},
      {"options cancelled", kDib, false, 0, false, nullptr},
      {"no encoder", MakeFourCC('i', 'v', '3', '2'), true, 0, false, "Save Failed"},
  };
  const QString from = source();
  for (const auto& c : cases) {
    testsupport::script().clear();
    opened_ = 0;
    auto form = open(from);
    const QString target = f_.write("run7.avi", "the old clip");
    answerOptions(c.codec, c.optionsOk);
    if (c.cancelAt) {
      TDisplayForm* w = form.get();
      atProgress(*w, c.cancelAt, [w, &c] {
        if (c.fromSource)
          EXPECT_EQ(w->SaveProgress(-1), AVIERR_USERABORT);
        else
          part<QPushButton>(*w, "SaveCancelBtn")->click();
      });
    }
    choose(target);
    form->SaveClipAs();
    ASSERT_TRUE(waitSaved(*form)) << c.name;
    const auto& shown = testsupport::script().shown;
    ASSERT_EQ(shown.size(), c.caption ? 2u : 1u) << c.name;
    if (c.caption) {
      EXPECT_EQ(shown[1].caption, QString::fromLatin1(c.caption)) << c.name;
      EXPECT_TRUE(shown[1].text.startsWith("Error creating file " + f_.path("~un7.avi") + '\r'));
      EXPECT_FALSE(form->ClipStream()->OptionsOK) << c.name;  // asked again next time
    }
    EXPECT_EQ(f_.read("run7.avi"), "the old clip") << c.name;
    EXPECT_FALSE(QFile::exists(f_.path("~un7.avi"))) << c.name;
    EXPECT_EQ(form->FileName, from) << c.name;
    EXPECT_TRUE(form->Opened()) << c.name;
    EXPECT_EQ(opened_, 1) << c.name;  // not reopened on anything
  }
}

TEST_F(DisplaySaveTest, NarrowerPlayLoopSavesItsFramesWithTheirTestTimes) {
  auto form = open(source());
  const float timeOfFrame3 = form->EffectiveFramePeriod() * 3 + form->TimeOffset();
  form->FrameBarSelect(3, 6);
  choose(f_.path("part.avi"));
  form->SaveClipAs();
  ASSERT_TRUE(waitSaved(*form));
  EXPECT_EQ(testsupport::script().fileRequests[0].caption,
            QStringLiteral("Save source.avi As (clip files: play loop frames 3 to 6 of 10)"));
  EXPECT_TRUE(testsupport::script().shown.empty());  // a new file: no question
  EXPECT_EQ(form->FileName, f_.path("part.avi"));
  ASSERT_EQ(form->FrameCount(), 4);
  EXPECT_FLOAT_EQ(form->TimeOffset(), timeOfFrame3);
  form->ShowFrame(0);
  const std::vector<BYTE> rows = clipkit::PatternRows(kSpec.width, kSpec.height, 24, 3);
  const QImage& image = form->FrameImage();
  const BYTE* topLeft = rows.data();
  EXPECT_EQ(image.pixel(0, 0), qRgb(topLeft[2], topLeft[1], topLeft[0]));
}

TEST_F(DisplaySaveTest, ImageDirectoryKeepsTheWindowOnItsClip) {
  registry_.WriteInteger("Save", "FilterIndex", 9);
  const QString from = source();
  auto form = open(from);
  choose(f_.path("out/run7.~~~"), 2);
  form->SaveClipAs();
  ASSERT_TRUE(waitSaved(*form));
  EXPECT_EQ(testsupport::script().fileRequests[0].filterIndex, -1);
  EXPECT_TRUE(testsupport::script().shown.empty());
  EXPECT_EQ(QDir(f_.path("out/run7")).entryList(QDir::Files).size(), 10);
  EXPECT_TRUE(QFile::exists(f_.path("out/run7/F0000009.bmp")));
  EXPECT_EQ(form->FileName, from);
  EXPECT_EQ(registry_.ReadString("Save", "FileName", {}), f_.path("out/run7"));
  EXPECT_EQ(opened_, 1);
}

// Closing asks, cancels on Yes and waits; freeing the window (the program quits) stops the
// thread. Either way nothing half written stays under the target's name.
TEST_F(DisplaySaveTest, WindowClosedOrFreedDuringItsSave) {
  const QString from = source();
  for (const bool existing : {true, false}) {
    for (const bool freed : {false, true}) {
      testsupport::script().clear();
      QFile::remove(f_.path("run7.avi"));
      if (existing) f_.write("run7.avi", "the old clip");
      auto form = open(from);
      bool closed = true;
      atProgress(*form, 20, [&] {
        if (freed)
          form.reset();
        else
          closed = form->close();
      });
      choose(f_.path("run7.avi"));
      form->SaveClipAs();
      ASSERT_TRUE(waitFor([&] { return !form || !form->ClipStream()->Busy; }));
      if (!freed) {
        EXPECT_FALSE(closed);  // the user closes again once the save has ended
        EXPECT_EQ(testsupport::script().shown.back().text,
                  QStringLiteral("Cancel Save in Progress?"));
        EXPECT_TRUE(form->close());
        form.reset();
      }
      EXPECT_EQ(QFile::exists(f_.path("run7.avi")), existing);
      if (existing) {
        EXPECT_EQ(f_.read("run7.avi"), "the old clip");
      }
      EXPECT_FALSE(QFile::exists(f_.path("~un7.avi")));
    }
  }
}

}  // namespace
