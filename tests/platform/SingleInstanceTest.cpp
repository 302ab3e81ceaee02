#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>

#include "platform/Exception.h"
#include "platform/SingleInstance.h"

namespace {

QString uniqueText() {
  return QStringLiteral("LumetraTest%1-%2").arg(getpid()).arg(QDateTime::currentMSecsSinceEpoch());
}

// Leaves a socket file behind with nobody listening, as a crashed instance does.
void leaveStaleSocket(const QString& name) {
  const QByteArray path = QDir(QDir::tempPath()).filePath(name).toLocal8Bit();
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.constData(), sizeof(addr.sun_path) - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  ::close(fd);
}

TEST(SingleInstance, StaleServerDoesNotBlockTheFirstInstance) {
  const QString text = uniqueText();
  TSingleInstance probe(text);
  leaveStaleSocket(probe.serverName());
  TSingleInstance first(text);
  EXPECT_TRUE(first.IsFirst());
  EXPECT_TRUE(first.IsFirst());  // cached
}

TEST(SingleInstance, SecondInstanceIsNotFirst) {
  const QString text = uniqueText();
  TSingleInstance first(text);
  ASSERT_TRUE(first.IsFirst());
  TSingleInstance second(text);
  EXPECT_FALSE(second.IsFirst());
}

TEST(SingleInstance, HandOverWithoutListenerFailsQuickly) {
  TSingleInstance nobody(uniqueText());
  QElapsedTimer t;
  t.start();
  EXPECT_FALSE(nobody.HandOver({QStringLiteral("a.avi")}, 500));
  EXPECT_LT(t.elapsed(), 3000);
}

}  // namespace

namespace {

TEST(SingleInstance, NoServerAtAllRaisesCreateSemaphoreFailed) {
  // A socket directory that is a plain file: nothing can listen there.
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("not-a-directory"));
  QFile(file).open(QIODevice::WriteOnly);
  const QByteArray old = qgetenv("TMPDIR");
  qputenv("TMPDIR", file.toLocal8Bit());
  TSingleInstance instance(uniqueText());
  try {
    instance.IsFirst();
    ADD_FAILURE() << "no error raised";
  } catch (const Exception& e) {
    EXPECT_TRUE(e.message().startsWith("CreateSemaphore Failed (")) << e.what();
    EXPECT_TRUE(e.message().endsWith(")"));
  }
  qputenv("TMPDIR", old);
}

}  // namespace
