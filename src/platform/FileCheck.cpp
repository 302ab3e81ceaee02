#include "platform/FileCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include "platform/Exception.h"

const char* PathKindText(TPathKind kind) {
  switch (kind) {
    case TPathKind::Regular:
      return "";
    case TPathKind::Missing:
      return "no such file";
    case TPathKind::Directory:
      return "a folder, not a file";
    case TPathKind::Fifo:
      return "a FIFO, not a regular file";
    case TPathKind::Device:
      return "a device, not a regular file";
    case TPathKind::Socket:
      return "a socket, not a regular file";
    case TPathKind::Inaccessible:
      break;
  }
  return "not accessible";
}

QString NotRegularFileReason(const QString& path) {
  // An empty name would be looked up as "" and fail as missing, which is what it is.
  return QString::fromLatin1(PathKindText(PathKind(QFile::encodeName(path).constData())));
}

void RefuseSpecialFile(const QString& path) {
  const TPathKind kind = PathKind(QFile::encodeName(path).constData());
  if (kind == TPathKind::Regular || kind == TPathKind::Missing || kind == TPathKind::Inaccessible)
    return;
  QString reason = QLatin1String(PathKindText(kind));
  reason[0] = reason[0].toUpper();
  throw Exception(QStringLiteral("Cannot open file \"%1\". %2.")
                      .arg(QFileInfo(path).absoluteFilePath(), reason));
}
