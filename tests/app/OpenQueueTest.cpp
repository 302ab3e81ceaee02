#include <gtest/gtest.h>

#include "app/OpenQueue.h"

namespace {

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
