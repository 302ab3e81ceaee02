// The single-instance hand-over between two real processes.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include "AppTestSupport.h"
#include "platform/SingleInstance.h"

namespace {

// Each test gets its own socket directory, so no real instance of the user is disturbed.
class HandOverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::resetStore();
    oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", sockets.path().toLocal8Bit());
  }
  void TearDown() override { qputenv("XDG_RUNTIME_DIR", oldRuntime); }

  void start(QProcess& p, const QStringList& args) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), sockets.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(LUMETRA_BINARY), args);
    ASSERT_TRUE(p.waitForStarted(5000));
  }
  // Runs our event loop (the first instance may live in this process) until p ends.
  static bool finishes(QProcess& p, int ms) {
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < ms) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      p.waitForFinished(20);
    }
    return p.state() == QProcess::NotRunning;
  }

  QTemporaryDir sockets;
  QTemporaryDir config;
  QByteArray oldRuntime;
};

TEST_F(HandOverTest, SecondStartHandsItsFilesToTheRunningInstanceInOrder) {
  TSingleInstance instance(QStringLiteral("Lumetra"));
  ASSERT_TRUE(instance.IsFirst());
  auto viewer = std::make_unique<TVarnelViewer>(&instance, QStringList{});
  viewer->Timer().stop();  // the queue is read here, not opened
  viewer->setWindowTitle(QStringLiteral("a.avi\nb.avi"));

  // Started from another folder: relative names arrive as absolute ones; a name may hold a line
  // break.
  QTemporaryDir elsewhere;
  QProcess second;
  second.setWorkingDirectory(elsewhere.path());
  start(second, {QStringLiteral("/tests/run1/cam1.avi"), QStringLiteral("run7.avi"),
                 QStringLiteral("/tests/cam\n2.avi")});
  ASSERT_TRUE(finishes(second, 15000));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(
      viewer->OpenQueue(),
      (QStringList{"/tests/run1/cam1.avi", elsewhere.filePath("run7.avi"), "/tests/cam\n2.avi"}));
  EXPECT_EQ(viewer->windowTitle(), "Lumetra");

  QProcess third;  // no files: only brings the running instance to the front
  start(third, {});
  ASSERT_TRUE(finishes(third, 15000));
  EXPECT_EQ(third.exitCode(), 0);
  EXPECT_EQ(viewer->OpenQueue().size(), 3);
}

TEST_F(HandOverTest, RealFirstInstanceSurvivesAStaleServerAndTakesAHandOver) {
  // A crashed instance left its socket file behind.
  TSingleInstance probe(QStringLiteral("Lumetra"));
  ASSERT_TRUE(testsupport::leaveStaleSocket(probe.serverName()));

  QProcess first;
  start(first, {});
  EXPECT_FALSE(first.waitForFinished(2000))
      << "the first instance ended: " << first.readAllStandardError().toStdString();

  QProcess second;
  start(second, {QStringLiteral("x.avi")});
  ASSERT_TRUE(finishes(second, 15000));
  EXPECT_EQ(second.exitCode(), 0);  // acknowledged by the real first instance
  first.kill();
  first.waitForFinished(5000);
}

}  // namespace
