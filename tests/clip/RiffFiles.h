#pragma once

// Temporary files for RIFF tests.
#include <QFile>
#include <QTemporaryDir>

class RiffFiles {
 public:
  QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("clip.avi")) {
    const QString path = dir_.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
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
