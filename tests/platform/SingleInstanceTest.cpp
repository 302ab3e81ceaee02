#include <gtest/gtest.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "platform/Exception.h"
#include "platform/SingleInstance.h"

namespace {

QString uniqueText() {
  return QStringLiteral("LumetraTest%1-%2").arg(getpid()).arg(QDateTime::currentMSecsSinceEpoch());
}

TEST(SingleInstance, StaleServerDoesNotBlockTheFirstInstance) {
  const QString text = uniqueText();
  TSingleInstance probe(text);
  ASSERT_TRUE(testsupport::leaveStaleSocket(QDir(QDir::tempPath()).filePath(probe.serverName())));
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
