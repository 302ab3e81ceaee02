#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstring>

#include "platform/Dialogs.h"
#include "platform/RegIniFile.h"

namespace testsupport {

// Every test starts from an empty preference store and an empty dialog script.
inline void resetStore() {
  QFile::remove(TRegIniFile::storeFile());
  TRegIniFile(QStringLiteral("\\Software\\Orvanta\\Lumetra")).flush();
  if (auto* s = dialogs::scripted()) s->clear();
}

inline dialogs::ScriptedBackend& script() {
  return *dialogs::scripted();
}

inline void writeFile(const QString& path, const QByteArray& text) {
  QFile f(path);
  f.open(QIODevice::WriteOnly | QIODevice::Truncate);
  f.write(text);
}

// A private folder with files written byte for byte.
struct Folder {
  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  QString write(const char* name, const QByteArray& bytes) const {
    writeFile(path(name), bytes);
    return path(name);
  }
  QByteArray read(const char* name) const {
    QFile f(path(name));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }
  QTemporaryDir dir;
};

// Leaves a socket file at path with nobody listening, as a crashed instance does.
inline bool leaveStaleSocket(const QString& path) {
  const QByteArray local = path.toLocal8Bit();
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, local.constData(), sizeof(addr.sun_path) - 1);
  const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
  ::close(fd);
  return bound;
}

}  // namespace testsupport
