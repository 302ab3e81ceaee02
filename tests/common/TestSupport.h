#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

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

}  // namespace testsupport
