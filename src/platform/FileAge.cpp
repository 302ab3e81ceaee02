#include "platform/FileAge.h"

#include <QFileInfo>

std::int32_t FileAge(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists() || info.isDir()) return -1;
  return static_cast<std::int32_t>(info.lastModified().toSecsSinceEpoch());
}
