#include "platform/SingleInstance.h"

#include <unistd.h>
#include <QLocalServer>
#include <QLocalSocket>
#include <QVariant>

#include "platform/Exception.h"

namespace {
// A list ends with an empty line, so an empty list is the empty line alone.
constexpr char kAck[] = "1\n";
}  // namespace

TSingleInstance::TSingleInstance(const QString& windowText, QObject* parent)
    : QObject(parent),
      name_(QStringLiteral("Semaphore:") + windowText + u'-' + QString::number(getuid())) {}

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
  // Ask first: listening would quietly take over the name from a live instance.
  QLocalSocket probe;
  probe.connectToServer(name_);
  if (probe.waitForConnected(1000)) {
    probe.abort();
    first_ = 0;
    return false;
  }
  // Nobody answers: whatever is left under the name belongs to a crashed instance.
  QLocalServer::removeServer(name_);
  if (!listen())
    throw Exception(QStringLiteral("CreateSemaphore Failed (%1)").arg(int(server_->serverError())));
  first_ = 1;
  return true;
}

bool TSingleInstance::HandOver(const QStringList& files, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  QByteArray message;
  for (const QString& f : files) message += f.toUtf8() + '\n';
  message += '\n';
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
  // Until the terminating empty line has arrived, keep what we have.
  const bool complete = buffer == "\n" || buffer.endsWith("\n\n");
  if (!complete) {
    socket->setProperty("buffer", buffer);
    return;
  }
  socket->setProperty("buffer", QByteArray());
  QStringList files;
  for (const QByteArray& line : buffer.split('\n'))
    if (!line.isEmpty()) files << QString::fromUtf8(line);
  socket->write(kAck);
  socket->flush();
  emit handOverReceived(files);
}
