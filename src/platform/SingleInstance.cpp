#include "platform/SingleInstance.h"

#include <unistd.h>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QVariant>

#include "platform/Exception.h"

namespace {

constexpr char kAck[] = "1\n";
// Names end with a NUL, which no file name holds, and the list with an empty name.
constexpr char kEnd = '\0';
constexpr int kLockWaitMs = 5000;

// The user's own runtime directory keeps other users from taking the name first.
QString socketDirectory() {
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

}  // namespace

TSingleInstance::TSingleInstance(const QString& windowText, QObject* parent)
    : QObject(parent),
      name_(QDir(socketDirectory())
                .filePath(QStringLiteral("Semaphore:") + windowText + u'-' +
                          QString::number(getuid()))) {}

TSingleInstance::~TSingleInstance() = default;

bool TSingleInstance::listen() {
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (server_->listen(name_)) {
    connect(server_.get(), &QLocalServer::newConnection, this, &TSingleInstance::acceptConnection);
    return true;
  }
  return false;
}

bool TSingleInstance::IsFirst() {
  if (first_ >= 0) return first_ == 1;
  // Two starts at once must not both find nobody and then take the name from each other.
  QLockFile lock(name_ + QStringLiteral(".lock"));
  if (!lock.tryLock(kLockWaitMs))
    throw Exception(QStringLiteral("CreateSemaphore Failed (%1)").arg(int(lock.error())));
  first_ = probeAndListen() ? 1 : 0;
  return first_ == 1;
}

bool TSingleInstance::probeAndListen() {
  // Ask first: listening would quietly take over the name from a live instance.
  QLocalSocket probe;
  probe.connectToServer(name_);
  if (probe.waitForConnected(1000)) {
    probe.abort();
    return false;
  }
  // Nobody answers: whatever is left under the name belongs to a crashed instance.
  QLocalServer::removeServer(name_);
  if (!listen())
    throw Exception(QStringLiteral("CreateSemaphore Failed (%1)").arg(int(server_->serverError())));
  return true;
}

bool TSingleInstance::HandOver(const QStringList& files, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  QByteArray message;
  for (const QString& f : files) message += f.toUtf8() + kEnd;
  message += kEnd;
  socket.write(message);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  while (socket.bytesAvailable() < 2 && socket.waitForReadyRead(timeoutMs)) {
  }
  return socket.readAll().startsWith(kAck);
}

void TSingleInstance::acceptConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readHandOver(socket); });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (socket->bytesAvailable() > 0) readHandOver(socket);
  }
}

void TSingleInstance::readHandOver(QLocalSocket* socket) {
  QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
  // Until the terminating empty name has arrived, keep what we have.
  const bool complete = buffer == QByteArray(1, kEnd) || buffer.endsWith(QByteArray(2, kEnd));
  if (!complete) {
    socket->setProperty("buffer", buffer);
    return;
  }
  socket->setProperty("buffer", QByteArray());
  QStringList files;
  for (const QByteArray& name : buffer.split(kEnd))
    if (!name.isEmpty()) files << QString::fromUtf8(name);
  socket->write(kAck);
  socket->flush();
  emit handOverReceived(files);
}
