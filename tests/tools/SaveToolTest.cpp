#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cstring>

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
    clipkit::ClipSpec spec;
    spec.frames = frames;
    spec.width = spec.height = size;
    const QString path = folder.path(name);
    EXPECT_EQ(clipkit::WriteClip(path.toStdString(), spec), AVIERR_OK);
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
  static QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  testsupport::Folder folder;
};

TEST_F(SaveToolTest, ARangeSavedOverAnExistingClipKeepsPixelsAndTestTimes) {
  const QString source = clip("source.avi", 8);
  const QString target = folder.write("Run7.avi", "an older clip");
  const ToolRun r = RunTool({QStringLiteral("save"), source, target, QStringLiteral("--codec"),
                             QStringLiteral("dib"), QStringLiteral("--from"), QStringLiteral("2"),
                             QStringLiteral("--to"), QStringLiteral("5")});
  ASSERT_EQ(r.exitCode, 0) << r.err.constData();
  EXPECT_TRUE(r.err.contains("100%"));
  EXPECT_FALSE(QFile::exists(folder.path("~un7.avi")));

  const std::vector<QByteArray> before = pictures(source), after = pictures(target);
  ASSERT_EQ(after.size(), 4u);
  for (std::size_t n = 0; n < after.size(); ++n) EXPECT_EQ(after[n], before[n + 2]) << n;
  // Frame 0 of the new clip is frame 2 of the old one: 100 ms + 2 x 40 ms.
  const std::string text = ReadClipDescriptor(target).text;
  double mark = 0, time = 0;
  EXPECT_TRUE(GetDescriptorFloat(text, "Timing", "Mark Frame", mark));
  EXPECT_TRUE(GetDescriptorFloat(text, "Timing", "Time at Mark Frame", time));
  EXPECT_EQ(mark, -2);
  EXPECT_EQ(time, 100);
}

TEST_F(SaveToolTest, RefusalsLeaveTheTargetByteForByte) {
  const QString source = clip("source.avi", 4);
  const QString target = folder.write("keep.avi", "the user's clip");
  const QString fifo = folder.path("fifo.avi");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  struct Case {
    QStringList args;
    const char* message;
  };
  const Case cases[] = {
      {{folder.path("missing.avi"), target}, "Stream Open Failed"},
      {{fifo, target}, "Stream Open Failed"},
      {{source, target, QStringLiteral("--codec"), QStringLiteral("ZZZZ")}, "Unknown codec"},
      {{source, target, QStringLiteral("--from"), QStringLiteral("3"), QStringLiteral("--to"),
        QStringLiteral("4")},
       "must lie within 0 to 3"},
      {{source, target, QStringLiteral("--quality"), QStringLiteral("10001")}, "Q must be"},
  };
  for (const Case& c : cases) {
    const ToolRun r = RunTool(QStringList{QStringLiteral("save")} + c.args);
    EXPECT_EQ(r.exitCode, 1) << c.message;
    EXPECT_TRUE(r.err.contains(c.message)) << r.err.constData();
    EXPECT_EQ(bytes(target), "the user's clip") << c.message;
    EXPECT_FALSE(QFile::exists(folder.path("~eep.avi"))) << c.message;
  }
}

TEST_F(SaveToolTest, ASaveKilledHalfwayLeavesTheOriginalTarget) {
  const QString source = clip("long.avi", 1500, 256);
  const QString target = folder.write("run.avi", "original");
  QProcess p;
  p.start(QStringLiteral(LUMETRA_TOOL), {QStringLiteral("save"), source, target,
                                         QStringLiteral("--codec"), QStringLiteral("FFV1")});
  ASSERT_TRUE(p.waitForStarted());
  const QString work = folder.path("~un.avi");
  QElapsedTimer clock;
  clock.start();
  while (QFileInfo(work).size() < 200000 && clock.elapsed() < 20000) QThread::msleep(5);
  ASSERT_EQ(p.state(), QProcess::Running) << "the save ended before it could be killed";
  ::kill(pid_t(p.processId()), SIGKILL);
  p.waitForFinished();
  EXPECT_EQ(bytes(target), "original");
}

TEST_F(SaveToolTest, ScatterWritesEveryFrameByThePatternIntoNewFolders) {
  const QString source = clip("ten.avi", 10);
  struct Case {
    const char* type;
    const char* last;
  };
  for (const Case& c : {Case{"bmp", "F0000009.bmp"}, Case{"gif", "F0000009.gif"},
                        Case{"JPEG", "F0000009.jpg"}, Case{"tiff", "F0000009.tif"}}) {
    const QString dir = folder.path("deep/er/") + QLatin1String(c.type);
    const ToolRun r = RunTool(
        {QStringLiteral("scatter"), source, dir, QStringLiteral("--type"), QLatin1String(c.type)});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 10) << c.type;
    EXPECT_GT(QFileInfo(dir + u'/' + QLatin1String(c.last)).size(), 0) << c.type;
  }
  const ToolRun bad = RunTool({QStringLiteral("scatter"), source, folder.path("x"),
                               QStringLiteral("--type"), QStringLiteral("png")});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_TRUE(bad.err.contains("Unknown image type"));
}

}  // namespace
