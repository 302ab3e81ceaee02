#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <atomic>
#include <chrono>
#include <thread>

#include "AviBytes.h"
#include "RiffFiles.h"
#include "ToolRunner.h"
#include "clip/AviStream.h"
#include "clip/RIFF.h"
#include "platform/Exception.h"

namespace {

using namespace std::chrono_literals;

// Every command refuses what is no clip, names the reason on stderr, prints nothing on stdout
// and exits with 1; none of them waits on a FIFO.
TEST(ToolFailure, EveryCommandRefusesWhatIsNoClipWithTheReason) {
  RiffFiles files;
  const QString fifo = files.Path("fifo.avi");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  QDir(files.Path({})).mkdir("folder.avi");
  const struct {
    QString path;
    const char* reason;  // lower case
  } inputs[] = {
      {files.Path("missing.avi"), "no such file"},
      {files.Path("folder.avi"), "folder"},
      {fifo, "a fifo, not a regular file"},
      {files.Write("not a clip at all", "t.avi"), "not a riff file"},
      {files.Write(riffbytes::Riff("WAVE", riffbytes::Chunk("fmt ", "x")), "w.avi"),
       "form 'wave', not an avi clip"},
  };
  const QString bmp = files.Path("out.bmp");
  const QStringList commands[] = {
      {"info"}, {"decode"}, {"descriptor"}, {"frame", "0", bmp}, {"chunks"}};
  for (const auto& input : inputs) {
    for (const QStringList& command : commands) {
      // chunks lists any RIFF file
      if (command[0] == "chunks" && input.path.endsWith("w.avi")) continue;
      SCOPED_TRACE((command[0] + u' ' + input.path).toStdString());
      const QStringList args = QStringList{command[0], input.path} + command.mid(1);
      const ToolRun r = RunTool(args);
      EXPECT_EQ(r.exitCode, 1);
      EXPECT_TRUE(r.err.toLower().contains(input.reason)) << r.err.constData();
      EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();
      if (command[0] != "chunks") {
        EXPECT_TRUE(r.err.contains("Stream Open Failed")) << r.err.constData();
      }
    }
  }
  EXPECT_FALSE(QFile::exists(bmp));

  const QString clip = files.Write(avibytes::RawAvi(avibytes::RawClip{}));
  const QStringList usage[] = {
      {"frame", clip, "3", bmp}, {"decode", clip, "--order", "sideways"}, {"bogus"}, {}};
  for (const QStringList& args : usage)
    EXPECT_EQ(RunTool(args).exitCode, 1) << args.join(u' ').toStdString();
}

// The library's own open paths refuse a FIFO before opening it, so that the program cannot hang
// on one either. Should an open wait for a writer all the same, a watchdog opens the writing end:
// the open then returns (and the test fails) instead of hanging.
TEST(ToolFailure, LibraryOpenPathsRefuseAFifoWithoutWaiting) {
  RiffFiles files;
  const QString fifo = files.Path("fifo.avi");
  const QByteArray name = QFile::encodeName(fifo);
  ASSERT_EQ(mkfifo(name.constData(), 0600), 0);
  std::atomic<bool> finished{false}, rescued{false};
  std::thread watchdog([&] {
    std::this_thread::sleep_for(1s);
    while (!finished) {
      // Succeeds only while a reader waits in open().
      if (const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK); fd >= 0) {
        rescued = true;
        ::close(fd);
      }
      std::this_thread::sleep_for(100ms);
    }
  });
  EXPECT_THROW(TRIFF{fifo}, Exception);
  TAVISTREAM stream("AVI");
  EXPECT_THROW(stream.Open(fifo), Exception);
  finished = true;
  watchdog.join();
  EXPECT_FALSE(rescued);
}

}  // namespace
