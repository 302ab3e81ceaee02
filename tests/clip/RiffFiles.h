#pragma once

// Temporary files for RIFF tests, and the bounds every parsed chunk tree must keep.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "clip/RIFF.h"
#include "platform/avifile/RiffScan.h"

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

struct TreeStats {
  std::int64_t chunks = 0, bytes = 0;
  int deepest = 0;
};

// Every held buffer within its chunk, its kind's cap and the file; every child knows its parent.
inline void CheckTree(const TRIFFChunk& c, std::int64_t fileSize, TreeStats& s, int depth = 0) {
  ++s.chunks;
  s.deepest = std::max(s.deepest, depth);
  if (c.Data) {
    const std::uint32_t cap = c.Size == 4 ? 4 : avifile::HeldDataCap(c.ID);
    ASSERT_LE(c.Data->size(), std::min(c.Size, cap));
    ASSERT_LE(c.Position + std::int64_t(c.Data->size()), fileSize);
    s.bytes += std::int64_t(c.Data->size());
  }
  for (const auto& child : c.Children) {
    ASSERT_EQ(child->Parent, &c);
    CheckTree(*child, fileSize, s, depth + 1);
  }
}
