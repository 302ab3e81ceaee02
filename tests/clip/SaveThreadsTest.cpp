#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <cstring>
#include <functional>
#include <optional>
#include <thread>

#include "ClipKit.h"
#include "TestSupport.h"
#include "clip/AviStream.h"
#include "clip/SaveThreads.h"

namespace {

constexpr FOURCC kRaw = MakeFourCC('D', 'I', 'B', ' ');
constexpr FOURCC kMjpeg = MakeFourCC('M', 'J', 'P', 'G');

// Runs the interface thread's events until pred holds; false after ms.
bool runUntil(const std::function<bool()>& pred, int ms = 30000) {
  QElapsedTimer clock;
  clock.start();
  while (!pred()) {
    if (clock.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

// What a save told its handlers, and on which threads.
struct Reports {
  std::vector<int> percents;
  bool offInterface = false;
  std::optional<HRESULT> done;

  void attach(TAVISTREAM& s, std::function<int(int)> answer = {}) {
    s.OnProgress = [this, answer](int p) {
      percents.push_back(p);
      offInterface |= QThread::currentThread() != qApp->thread();
      return answer ? answer(p) : 0;
    };
    s.OnDone = [this](TAVISTREAM*, HRESULT r) {
      offInterface |= QThread::currentThread() != qApp->thread();
      done = r;
    };
  }
  bool finished() const { return done.has_value(); }
};

// A clip of 16 x 8 frames from the stream's own interface, saved uncompressed.
void MakeSynthetic(TAVISTREAM& s, int frames) {
  s.FrameCount = frames;
  s.Width = 16;
  s.Height = 8;
  s.CompressOptions().fccHandler = kRaw;
  s.OptionsOK = true;
}

// Grey frames, and a source that cancels at one frame.
class SyntheticClip : public TAVISTREAM {
 public:
  explicit SyntheticClip(int frames, int cancelAt = -1)
      : TAVISTREAM(QStringLiteral("AVI")), cancelAt_(cancelAt) {
    MakeSynthetic(*this, frames);
  }

 protected:
  int ReadFrame(int frame, void* buffer) override {
    if (frame == cancelAt_) return kFrameCancel;
    std::memset(buffer, frame & 0xFF, std::size_t(ImageSize()));
    return kFrameRead;
  }

 private:
  int cancelAt_;
};

class SaveThreadsTest : public ::testing::Test {
 protected:
  std::string clip(const char* name, LONG frames, LONG width = 32) {
    clipkit::ClipSpec spec;
    spec.frames = frames;
    spec.width = width;
    const std::string path = folder.path(name).toStdString();
    EXPECT_EQ(clipkit::WriteClip(path, spec), AVIERR_OK);
    return path;
  }
  static LONG framesOf(const QString& path) {
    PAVISTREAM s = clipkit::OpenVideoStream(path.toStdString());
    if (!s) return -1;
    AVISTREAMINFOA info{};
    AVIStreamInfo(s, &info, sizeof info);
    AVIStreamRelease(s);
    return LONG(info.dwLength);
  }
  testsupport::Folder folder;
};

TEST_F(SaveThreadsTest, SaveEndsAsItsHandlerAndItsSourceSay) {
  struct Case {
    const char* name;
    int cancelAt;    // frame at which the source cancels
    int refuseFrom;  // percent from which the handler answers 1
    HRESULT result;
    int lastPercent;
  };
  const Case cases[] = {
      {"whole", -1, 1000, AVIERR_OK, 100},
      {"handler stops at half", -1, 50, AVIERR_USERABORT, 50},
      {"source cancels", 3, 1000, AVIERR_USERABORT, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SyntheticClip stream(10, c.cancelAt);
    Reports reports;
    reports.attach(stream, [&](int p) { return p >= c.refuseFrom || p < 0 ? 1 : 0; });
    const QString target = folder.path(c.name) + QStringLiteral(".avi");
    stream.Save(nullptr, 1, target);
    EXPECT_TRUE(stream.Busy);
    ASSERT_TRUE(runUntil([&] { return reports.finished(); }));
    EXPECT_EQ(*reports.done, c.result);
    EXPECT_FALSE(stream.Busy);
    EXPECT_FALSE(reports.offInterface);
    ASSERT_FALSE(reports.percents.empty());
    EXPECT_EQ(reports.percents.back(), c.lastPercent);
    // Nothing half written is left under the name.
    EXPECT_EQ(framesOf(target), c.result == AVIERR_OK ? 10 : -1);
  }
}

TEST_F(SaveThreadsTest, ScatterReportsEachPercentOnceAndStopsWhenAsked) {
  const std::string source = clip("ten.avi", 10);
  struct Case {
    const char* dir;
    int answerAt;  // percent answered with 7
    HRESULT result;
    std::vector<int> percents;
    int files;
  };
  const Case cases[] = {
      {"all/deep", -1, AVIERR_OK, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}, 10},
      {"first", 10, 7, {0, 10}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dir);
    TAVISTREAM stream(QStringLiteral("AVI"));
    stream.Open(QString::fromStdString(source));
    Reports reports;
    reports.attach(stream, [&](int p) { return p == c.answerAt ? 7 : 0; });
    const QString dir = folder.path(c.dir);
    stream.Save(nullptr, 3, dir);
    ASSERT_TRUE(runUntil([&] { return reports.finished(); }));
    EXPECT_EQ(*reports.done, c.result);
    EXPECT_EQ(reports.percents, c.percents);
    EXPECT_FALSE(reports.offInterface);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), c.files);
    EXPECT_EQ(QFile::exists(dir + QStringLiteral("/F0000009.bmp")), c.files > 0);
  }
}

TEST_F(SaveThreadsTest, SavesOfDifferentClipsRunAtOnceAndBothComplete) {
  TAVISTREAM first(QStringLiteral("AVI")), second(QStringLiteral("AVI"));
  first.Open(QString::fromStdString(clip("a.avi", 40, 64)));
  second.Open(QString::fromStdString(clip("b.avi", 30, 48)));
  Reports a, b;
  for (auto [stream, reports] : {std::pair{&first, &a}, std::pair{&second, &b}}) {
    reports->attach(*stream);
    stream->CompressOptions().fccHandler = kMjpeg;
    stream->OptionsOK = true;
  }
  first.Save(nullptr, 1, folder.path("a-out.avi"));
  second.Save(nullptr, 1, folder.path("b-out.avi"));
  ASSERT_TRUE(runUntil([&] { return a.finished() && b.finished(); }));
  EXPECT_EQ(*a.done, AVIERR_OK);
  EXPECT_EQ(*b.done, AVIERR_OK);
  EXPECT_EQ(framesOf(folder.path("a-out.avi")), 40);
  EXPECT_EQ(framesOf(folder.path("b-out.avi")), 30);
}

TEST_F(SaveThreadsTest, FreeingAStreamDuringItsSaveStopsItWithoutACompletion) {
  const QString target = folder.path("long.avi");
  Reports reports;
  {
    // The base class itself: a subclass's frame source would be gone before the base's
    // destructor stops the thread that reads it.
    TAVISTREAM stream(QStringLiteral("AVI"));
    MakeSynthetic(stream, 1000000);
    reports.attach(stream);
    stream.Save(nullptr, 1, target);
    ASSERT_TRUE(runUntil([&] { return reports.percents.size() >= 2; }));
  }
  QCoreApplication::processEvents();
  EXPECT_FALSE(reports.finished());
  EXPECT_FALSE(QFile::exists(target));
}

TEST_F(SaveThreadsTest, ReportsFromOutsideASaveThreadAreRefused) {
  SyntheticClip stream(3);
  int handled = 0;
  stream.OnProgress = [&](int) { return ++handled, 0; };
  EXPECT_EQ(TAVISaveThread::SaveCallback(5), AVIERR_USERABORT);
  HRESULT foreign = 0;
  std::thread([&] { foreign = TAVISaveThread::ReportStreamProgress(stream, -1); }).join();
  EXPECT_EQ(foreign, AVIERR_USERABORT);
  EXPECT_EQ(handled, 0);
  // On the interface thread the handler runs directly.
  EXPECT_EQ(TAVISaveThread::ReportStreamProgress(stream, -1), 0);
  EXPECT_EQ(handled, 1);
}

}  // namespace
