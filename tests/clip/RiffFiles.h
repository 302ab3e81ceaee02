#pragma once

// Temporary files for RIFF tests.
#include <QFile>
#include <QTemporaryDir>

class RiffFiles {
 public:
  // Always a new file: rewriting a truncated one makes some file systems flush it on close.
  QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("clip.avi")) {
    const QString path = dir_.filePath(name);
    QFile::remove(path);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
  }
  static QByteArray Read(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};
