#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include "ClipKit.h"
#include "TestSupport.h"
#include "ToolRunner.h"
#include "descriptors/ClipDescriptor.h"
#include "descriptors/DescriptorText.h"

namespace {

class SaveToolTest : public ::testing::Test {
 protected:
  // A clip whose "ttls" puts 100 ms at frame 0 of a 25 frames per second recording.
  QString clip(const char* name, LONG frames, LONG size = 32) {
    const QString path = folder.path(name);
    EXPECT_EQ(
        clipkit::WriteClip(path.toStdString(), {.width = size, .height = size, .frames = frames}),
        AVIERR_OK);
    const auto block =
        DescriptorBlock("[Timing]\rFrame Rate=25\rMark Frame=0\rTime at Mark Frame=100\r");
    EXPECT_TRUE(clipkit::AppendRiffChunk(path.toStdString(), MakeFourCC('t', 't', 'l', 's'),
                                         block.data(), DWORD(block.size())));
    return path;
  }
  // The decoded frames of a clip, each as its packed DIB.
  static std::vector<QByteArray> pictures(const QString& path) {
    std::vector<QByteArray> out;
    PAVISTREAM s = clipkit::OpenVideoStream(path.toStdString());
    if (!s) return out;
    AVISTREAMINFOA info{};
    AVIStreamInfo(s, &info, sizeof info);
    PGETFRAME g = AVIStreamGetFrameOpen(s, nullptr);
    for (LONG n = 0; g && n < LONG(info.dwLength); ++n) {
      const auto* dib = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(g, n));
      if (dib) out.emplace_back(reinterpret_cast<const char*>(dib), int(PackedDibSize(dib)));
    }
    AVIStreamGetFrameClose(g);
    AVIStreamRelease(s);
    return out;
  }
  testsupport::Folder folder;
};

TEST_F(SaveToolTest, ARangeSavedOverAnExistingClipKeepsPixelsAndTestTimes) {
  const QString source = clip("source.avi", 8);
  const QString target = folder.write("Run7.avi", "an older clip");
  const ToolRun r = RunTool({"save", source, target, "--codec", "dib", "--from", "2", "--to", "5"});
  ASSERT_EQ(r.exitCode, 0) << r.err.constData();
  EXPECT_TRUE(r.err.contains("100%"));
  EXPECT_FALSE(QFile::exists(folder.path("~un7.avi")));

  const std::vector<QByteArray> before = pictures(source), after = pictures(target);
  ASSERT_EQ(after.size(), 4u);
  for (std::size_t n = 0; n < after.size(); ++n) EXPECT_EQ(after[n], before[n + 2]) << n;
  // Frame 0 of the new clip is frame 2 of the old one: 100 ms + 2 x 40 ms.
  const std::string text = ReadClipDescriptor(target).text;
  double mark = 0, time = 0;
  EXPECT_TRUE(GetDescriptorFloat(text, "Timing", "Mark Frame", mark) &&
              GetDescriptorFloat(text, "Timing", "Time at Mark Frame", time));
  EXPECT_EQ(std::pair(mark, time), std::pair(-2.0, 100.0));
}

TEST_F(SaveToolTest, RefusalsLeaveTheTargetByteForByte) {
  const QString source = clip("source.avi", 4);
  const QString target = folder.write("keep.avi", "the user's clip");
  const QString fifo = folder.path("fifo.avi");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const struct {
    QStringList args;
    const char* message;
  } cases[] = {
      {{folder.path("missing.avi"), target}, "Stream Open Failed"},
      {{fifo, target}, "Stream Open Failed"},
      {{source, target, "--codec", "ZZZZ"}, "Unknown codec"},
      {{source, target, "--from", "3", "--to", "4"}, "must lie within 0 to 3"},
      {{source, target, "--quality", "10001"}, "Q must be"},
  };
  for (const auto& c : cases) {
    const ToolRun r = RunTool(QStringList{"save"} + c.args);
    EXPECT_EQ(r.exitCode, 1) << c.message;
    EXPECT_TRUE(r.err.contains(c.message)) << r.err.constData();
    EXPECT_EQ(folder.read("keep.avi"), "the user's clip") << c.message;
    EXPECT_FALSE(QFile::exists(folder.path("~eep.avi"))) << c.message;
  }
}

TEST_F(SaveToolTest, ASaveKilledHalfwayLeavesTheOriginalTarget) {
  const QString source = clip("long.avi", 1500, 256);
  const QString target = folder.write("run.avi", "original");
  QProcess p;
  p.start(QStringLiteral(LUMETRA_TOOL), {"save", source, target, "--codec", "FFV1"});
  ASSERT_TRUE(p.waitForStarted());
  const QString work = folder.path("~un.avi");
  QElapsedTimer clock;
  clock.start();
  while (QFileInfo(work).size() < 200000 && clock.elapsed() < 20000) QThread::msleep(5);
  ASSERT_EQ(p.state(), QProcess::Running) << "the save ended before it could be killed";
  ::kill(pid_t(p.processId()), SIGKILL);
  p.waitForFinished();
  EXPECT_EQ(folder.read("run.avi"), "original");
}

TEST_F(SaveToolTest, ScatterWritesEveryFrameByThePatternIntoNewFolders) {
  const QString source = clip("ten.avi", 10);
  for (const auto& [type, ext] :
       {std::pair{"bmp", "bmp"}, {"gif", "gif"}, {"JPEG", "jpg"}, {"tiff", "tif"}, {"png", ""}}) {
    const QString dir = folder.path("deep/er/") + QLatin1String(type);
    const ToolRun r = RunTool({"scatter", source, dir, "--type", QLatin1String(type)});
    if (!*ext) {  // not offered
      EXPECT_EQ(r.exitCode, 1);
      EXPECT_TRUE(r.err.contains("Unknown image type"));
      continue;
    }
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 10) << type;
    EXPECT_GT(QFileInfo(dir + "/F0000009." + QLatin1String(ext)).size(), 0) << type;
  }
}

}  // namespace
