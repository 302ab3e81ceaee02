#include <gtest/gtest.h>

#include <unistd.h>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <barrier>

#include "TestSupport.h"
#include "platform/Exception.h"
#include "platform/SingleInstance.h"

namespace {

// Every test gets its own runtime directory, so no real instance of the user is disturbed.
class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  }
  void TearDown() override { qputenv("XDG_RUNTIME_DIR", oldRuntime); }
  static QString uniqueText() {
    return QStringLiteral("LumetraTest%1-%2")
        .arg(getpid())
        .arg(QDateTime::currentMSecsSinceEpoch());
  }

  QTemporaryDir runtime;
  QByteArray oldRuntime;
};

TEST_F(SingleInstanceTest, OnlyTheFirstOfTwoIsFirstEvenAfterACrashedInstance) {
  const QString text = uniqueText();
  TSingleInstance probe(text);
  EXPECT_TRUE(probe.serverName().startsWith(runtime.path()));
  ASSERT_TRUE(testsupport::leaveStaleSocket(probe.serverName()));
  TSingleInstance first(text);
  EXPECT_TRUE(first.IsFirst());
  EXPECT_TRUE(first.IsFirst());  // cached
  TSingleInstance second(text);
  EXPECT_FALSE(second.IsFirst());
}

TEST_F(SingleInstanceTest, StartsAtTheSameMomentMakeExactlyOneFirstInstance) {
  // Probing and listening apart let each start see nobody, then take the name from the other.
  constexpr int kStarts = 2;
  for (int round = 0; round < 10; ++round) {
    const QString text = uniqueText() + QString::number(round);
    std::atomic<int> first = 0, failed = 0;
    std::barrier sync(kStarts);
    std::vector<std::unique_ptr<QThread>> starts;
    for (int i = 0; i < kStarts; ++i)
      starts.emplace_back(QThread::create([&] {
        TSingleInstance instance(text);
        sync.arrive_and_wait();
        try {
          if (instance.IsFirst()) ++first;
        } catch (const Exception&) {
          ++failed;
        }
        sync.arrive_and_wait();  // the first one listens until everybody has asked
      }));
    for (auto& t : starts) t->start();
    for (auto& t : starts) t->wait();
    ASSERT_EQ(first, 1) << "round " << round;
    ASSERT_EQ(failed, 0) << "round " << round;
  }
}

TEST_F(SingleInstanceTest, HandOverWithoutListenerFailsQuickly) {
  TSingleInstance nobody(uniqueText());
  QElapsedTimer t;
  t.start();
  EXPECT_FALSE(nobody.HandOver({QStringLiteral("a.avi")}, 500));
  EXPECT_LT(t.elapsed(), 3000);
}

TEST_F(SingleInstanceTest, NoServerAtAllRaisesCreateSemaphoreFailed) {
  // Socket directories that are plain files: nothing can lock or listen there.
  const QString file = runtime.filePath(QStringLiteral("not-a-directory"));
  QFile(file).open(QIODevice::WriteOnly);
  const QByteArray oldTmp = qgetenv("TMPDIR");
  qputenv("TMPDIR", file.toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", file.toLocal8Bit());
  TSingleInstance instance(uniqueText());
  try {
    instance.IsFirst();
    ADD_FAILURE() << "no error raised";
  } catch (const Exception& e) {
    EXPECT_TRUE(e.message().startsWith("CreateSemaphore Failed (")) << e.what();
    EXPECT_TRUE(e.message().endsWith(")"));
  }
  qputenv("TMPDIR", oldTmp);
}

}  // namespace
