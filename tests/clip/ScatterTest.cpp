// The clip stream's scatter: frame files by the type table's pattern in created folders
// (ffmpeg's decoder as the witness of their pixels), progress and cancel, a clip without
// frames, and the AMF helper loaded at run time.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "../avifile/FfmpegReference.h"
#include "ClipKit.h"
#include "RiffFiles.h"
#include "clip/AmfLibrary.h"
#include "clip/AviStream.h"
#include "platform/Exception.h"

namespace {

struct Progress {
  std::vector<int> percents;
  int cancelAt = -1000;
  static int Call(void* data, int percent) {
    auto* p = static_cast<Progress*>(data);
    p->percents.push_back(percent);
    return percent == p->cancelAt || p->cancelAt == 0 ? 1 : 0;
  }
};

std::string Clip(const QTemporaryDir& dir, const clipkit::ClipSpec& spec) {
  const std::string path = dir.filePath("clip.avi").toStdString();
  EXPECT_EQ(clipkit::WriteClip(path, spec), AVIERR_OK);
  return path;
}

HRESULT ScatterClip(const std::string& clip, const QString& target, int type, Progress& p,
                    TAVISTREAM* stream = nullptr) {
  TAVISTREAM own(QStringLiteral("AVI"));
  TAVISTREAM& s = stream ? *stream : own;
  s.Open(QString::fromStdString(clip));
  return s.Scatter(target, type, Progress::Call, &p);
}

TEST(Scatter, FrameFilesInCreatedFoldersHoldTheClipsPictures) {
  QTemporaryDir dir;
  const std::vector<RGBQUAD> palette = clipkit::ColourPalette();
  const struct {
    int type;
    WORD bitCount;
    const char* pixFmt;  // how ffmpeg reads them back; exact unless lossy
    bool exact;
    const char* first;
  } cases[] = {
      {3, 24, "bgr24", true, "F0000000.bmp"}, {3, 8, "pal8", true, "F0000000.bmp"},
      {4, 8, "bgr24", true, "F0000000.gif"},  {5, 24, "bgr24", false, "F0000000.jpg"},
      {6, 24, "bgr24", true, "F0000000.tif"}, {6, 8, "pal8", true, "F0000000.tif"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first + std::to_string(c.bitCount));
    const std::string clip = Clip(dir, {.width = 9,
                                        .height = 5,
                                        .bitCount = c.bitCount,
                                        .palette = c.bitCount == 8 ? palette.data() : nullptr,
                                        .frames = 3});
    const QString target =
        dir.filePath(QStringLiteral("new/deeper/%1").arg(c.type * 100 + c.bitCount));
    Progress p;
    ASSERT_EQ(ScatterClip(clip, target, c.type, p), AVIERR_OK);
    EXPECT_EQ(p.percents, (std::vector<int>{33, 66, 100}));
    const QStringList files = QDir(target).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(files[0].toStdString(), c.first);
    const auto frames = avitest::FfmpegPictures(clip, c.pixFmt, 9, 5);
    ASSERT_EQ(frames.size(), 3u);
    for (int n = 0; n < 3; ++n) {
      const auto picture =
          avitest::FfmpegPictures(QDir(target).filePath(files[n]).toStdString(), c.pixFmt, 9, 5);
      ASSERT_EQ(picture.size(), 1u);
      if (c.exact) {
        EXPECT_EQ(picture[0], frames[std::size_t(n)]) << n;
      }
    }
  }
}

TEST(Scatter, CancelAndEmptyClipsWriteNothing) {
  QTemporaryDir dir;
  const std::string ten = Clip(dir, {.width = 8, .height = 8, .frames = 10});
  Progress first;
  first.cancelAt = 0;
  EXPECT_EQ(ScatterClip(ten, dir.filePath("a"), 3, first), 1);
  EXPECT_EQ(first.percents, std::vector<int>{10});
  EXPECT_TRUE(QDir(dir.filePath("a")).entryList(QDir::Files).isEmpty());
  Progress half;
  half.cancelAt = 50;
  EXPECT_EQ(ScatterClip(ten, dir.filePath("b"), 3, half), 1);
  EXPECT_EQ(QDir(dir.filePath("b")).entryList(QDir::Files).size(), 4);

  // A clip whose information reports no frames: nothing written, no percent computed.
  const std::string empty = dir.filePath("empty.avi").toStdString();
  ASSERT_EQ(clipkit::WriteClip(empty, {.frames = 0}), AVIERR_OK);
  for (const std::string& clip : {empty, std::string()}) {
    TAVISTREAM stream(QStringLiteral("AVI"));  // the unopened one reports no frames either
    if (!clip.empty()) stream.Open(QString::fromStdString(clip));
    Progress p;
    EXPECT_EQ(stream.Scatter(dir.filePath("c"), 3, Progress::Call, &p), AVIERR_NODATA);
    EXPECT_TRUE(p.percents.empty());
    EXPECT_TRUE(stream.Scattered);
  }
  EXPECT_FALSE(QDir(dir.filePath("c")).exists());
}

TEST(Scatter, AmfHelperLoadedAtRunTime) {
  QTemporaryDir dir;
  const std::string clip = Clip(dir, {.width = 8, .height = 6, .frames = 4});
  for (const QString& library :
       {dir.filePath("libNoSuchAMF.so"), QStringLiteral(FAKE_AMF_NO_CLOSE)}) {
    SetAmfLibraryFileForTesting(library);
    for (int attempt = 0; attempt < 2; ++attempt) {
      Progress p;
      try {
        ScatterClip(clip, dir.filePath("x.amf"), 7, p);
        ADD_FAILURE() << "no error";
      } catch (const Exception& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("AMF Helper ScatterAMF.dll or a Sub-Library Missing"));
      }
    }
  }
  SetAmfLibraryFileForTesting(QStringLiteral(FAKE_AMF));
  TAVISTREAM stream(QStringLiteral("AVI"));
  stream.CompressOptions().dwQuality = 5000;
  Progress all, half;
  half.cancelAt = 50;
  ASSERT_EQ(ScatterClip(clip, dir.filePath("first.amf"), 7, all, &stream), AVIERR_OK);
  ASSERT_EQ(stream.Scatter(dir.filePath("second.amf"), 7, Progress::Call, &half), 1);
  const int dibSize = 40 + 24 * 6;
  EXPECT_EQ(RiffFiles::Read(dir.filePath("first.amf")),
            QStringLiteral("open first.amf 50 4 8x6\nframe 0 %1\nframe 1 %1\nframe 2 %1\n"
                           "frame 3 %1\nclose 0\n")
                .arg(dibSize)
                .toLatin1());
  // The name stays the first target's; a cancelled scatter closes as incomplete.
  EXPECT_EQ(
      RiffFiles::Read(dir.filePath("second.amf")),
      QStringLiteral("open first.amf 50 4 8x6\nframe 0 %1\nclose 1\n").arg(dibSize).toLatin1());
  SetAmfLibraryFileForTesting(kAmfLibraryName);
}

}  // namespace
