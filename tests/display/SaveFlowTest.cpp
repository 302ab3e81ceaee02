// The plain parts of a display window's save: the dialog's type, the target and the question
// before replacing it, the work file, the time estimate and the end messages.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "descriptors/SaveReplace.h"
#include "display/SaveFlow.h"

namespace {

using namespace save_flow;

TEST(SaveFlow, StoredTypeOpensTheDialogAndTheAnswerChoosesTheType) {
  const struct { int stored, expected; } stored[] = {{2, 1}, {7, 6}, {9, -1}, {0, -1}, {-3, -1}};
  for (const auto& c : stored) EXPECT_EQ(DialogFilterIndex(c.stored, 7), c.expected) << c.stored;

  const QStringList extensions = {"avi", "mav", "", "", "", "", "amf"};
  const struct {
    int answered;
    const char* name;
    int type;
  } chosen[] = {{2, "/o/run7", 3}, {-1, "/o/run7.MAV", 2}, {-1, "/o/run7.x", 1}, {9, "/o/a", 1}};
  for (const auto& c : chosen)
    EXPECT_EQ(ChosenType(c.answered, extensions, QString::fromLatin1(c.name)), c.type) << c.name;
  EXPECT_EQ(DialogFilter({"AVI - Video Clip|*.avi", "BMP - Image Files Directory|*.~~~"}),
            QStringLiteral("AVI - Video Clip (*.avi);;BMP - Image Files Directory (*.~~~)"));
}

// The question is about exactly what the save will write, in the letter case typed.
TEST(SaveFlow, OverwriteCheckTestsTheTargetTheSaveWrites) {
  testsupport::Folder f;
  QDir(f.dir.path()).mkpath(QStringLiteral("data.set"));
  QDir(f.dir.path()).mkpath(QStringLiteral("out/run7"));
  f.write("run7.avi", "old");
  f.write("Case.avi", "old");
  f.write("data.set/run7.avi", "old");
  const char *clip = "Video Clip File", *bmp = "Bitmap Files Directory";
  const struct {
    const char *chosen, *description, *extension, *target;
    bool exists;
    const char* question;
  } cases[] = {
      {"run7", clip, "avi", "run7.avi", true, "Overwrite Video Clip File run7.avi?"},
      {"run7.mav", clip, "avi", "run7.avi", true, "Overwrite Video Clip File run7.avi?"},
      {"Case.avi", clip, "avi", "Case.avi", true, "Overwrite Video Clip File Case.avi?"},
      {"case.avi", clip, "avi", "case.avi", false, "Overwrite Video Clip File case.avi?"},
      {"data.set/run7", clip, "avi", "data.set/run7.avi", true,
       "Overwrite Video Clip File run7.avi?"},
      {"out/run7.~~~", bmp, "", "out/run7", true,
       "Overwrite Images in Bitmap Files Directory run7?"},
      {"data.set/new.~~~", bmp, "", "data.set/new", false,
       "Overwrite Images in Bitmap Files Directory new?"},
      {"run7.avi", "AMF Video File", "amf", "run7.amf", false,
       "Overwrite AMF Video File run7.amf?"},
  };
  for (const auto& c : cases) {
    const TOverwrite o = OverwriteCheck(f.path(c.chosen), QString::fromLatin1(c.description),
                                        QString::fromLatin1(c.extension));
    EXPECT_EQ(o.target, f.path(c.target)) << c.chosen;
    EXPECT_EQ(o.exists, c.exists) << c.chosen;
    EXPECT_EQ(o.question, QString::fromLatin1(c.question)) << c.chosen;
    EXPECT_EQ(o.caption, QString::fromLatin1(c.description) + " Already Exists");
  }
}

TEST(SaveFlow, WorkFileIsNeverTheTarget) {
  const struct {
    const char *target, *work;
  } cases[] = {{"/d/run7.avi", "/d/~un7.avi"}, {"/d/~un7.avi", "/d/~~un7.avi"}, {"/d/a", "/d/~"}};
  for (const auto& c : cases)
    EXPECT_EQ(TSaveReplace::WorkPathOf(QString::fromLatin1(c.target)), QString::fromLatin1(c.work));
}

TEST(SaveFlow, EstimateComesTenSecondsAfterTheLastAndSaysMinutesAboveNinetySeconds) {
  const std::uint32_t wrap = 0xFFFFF000u;  // the tick counter wraps during the save
  const struct {
    std::uint32_t start;
    int percent;
    std::uint32_t after;
    const char* text;  // null: nothing shown yet
  } cases[] = {
      {0, 25, 40000, "Time Remaining 2:00"},
      {0, 50, 30000, "30 Seconds Remaining"},
      {0, 10, 10000, nullptr},
      {0, 10, 10001, "90 Seconds Remaining"},
      {0, 4, 10800, "Time Remaining 4:19"},
      {0, 100, 20000, "0 Seconds Remaining"},
      {wrap, 25, 40000, "Time Remaining 2:00"},
  };
  for (const auto& c : cases) {
    TSaveEstimate e;
    e.Start(c.start);
    const auto text = e.Report(c.percent, c.start + c.after);
    EXPECT_EQ(text.value_or(QStringLiteral("none")),
              c.text ? QString::fromLatin1(c.text) : QStringLiteral("none"))
        << c.percent << " after " << c.after;
  }
  TSaveEstimate e;
  e.Start(0);
  EXPECT_TRUE(e.Report(20, 12000));
  EXPECT_FALSE(e.Report(30, 22000));  // the next comes only 10 s after this one
  EXPECT_TRUE(e.Report(40, 22001));
  EXPECT_FALSE(e.Report(0, 40000));  // a new start
  EXPECT_FALSE(e.Report(50, 49000));
}

TEST(SaveFlow, OnlyRealFailuresAreReported) {
  const HRESULT failed = AVIERR_NOCOMPRESSOR;
  const struct {
    HRESULT code;
    bool cancelled, directory;
    const char* caption;  // null: no message
  } cases[] = {
      {AVIERR_OK, false, false, nullptr},
      {AVIERR_USERABORT, false, false, nullptr},
      {failed, true, false, nullptr},
      {failed, false, false, "Save Failed"},
      {failed, false, true, "Scatter/Save Failed"},
  };
  for (const auto& c : cases) {
    const auto m = FailureMessage(c.code, c.cancelled, c.directory, QStringLiteral("/d/~un7.avi"));
    ASSERT_EQ(m.has_value(), c.caption != nullptr) << c.code;
    if (m) {
      EXPECT_EQ(m->caption, QString::fromLatin1(c.caption));
    }
  }
  EXPECT_EQ(FailureMessage(failed, false, false, "/d/~un7.avi")->text,
            QStringLiteral("Error creating file /d/~un7.avi\rAVI Save Error Code: 80044071"));
  EXPECT_EQ(FailureMessage(failed, false, true, "/o/run7")->text,
            QStringLiteral("Error Scattering files to /o/run7\rError Code: 80044071"));
}

}  // namespace
