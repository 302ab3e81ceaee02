#include "descriptors/CameraHeader.h"

#include <QFile>

#include <array>
#include <cstring>
#include "platform/FileCheck.h"

#include "descriptors/DescriptorText.h"

namespace {

constexpr qint64 kHeaderSize = 44;
constexpr qint64 kRecordSize = 808;

std::uint32_t le32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
         std::uint32_t(b[3]) << 24;
}

bool readExactly(QFile& f, char* data, qint64 size) {
  return f.read(data, size) == size;
}

}  // namespace

QString CameraHeaderPath(const QString& clipPath) {
  const qsizetype dot = clipPath.lastIndexOf(u'.');
  if (dot < 1) return {};
  return clipPath.left(dot) + QStringLiteral("AVI.chd");
}

std::optional<TCameraTiming> ReadCameraHeader(const QString& clipPath) {
  const QString path = CameraHeaderPath(clipPath);
  // A side file is optional: anything but a regular file (a FIFO would block the open) is absent.
  if (path.isEmpty() || !IsRegularFile(QFile::encodeName(path).constData())) return std::nullopt;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  std::array<char, kHeaderSize> header{};
  if (!readExactly(f, header.data(), kHeaderSize) || header[0] != 'C' || header[1] != 'I')
    return std::nullopt;
  std::array<char, kRecordSize> record{};
  if (!f.seek(qint64(le32(&header[28]))) || !readExactly(f, record.data(), kRecordSize) ||
      record[140] != 'S' || record[141] != 'T')
    return std::nullopt;
  TCameraTiming t;
  t.frameRate = le32(&record[768]);
  if (t.frameRate == 0) return std::nullopt;
  // The file holds the negated mark frame; negate in unsigned arithmetic so that the most
  // negative value wraps instead of overflowing.
  t.markFrame = std::int32_t(std::uint32_t(0) - le32(&header[16]));
  return t;
}

std::string CameraTimingText(const TCameraTiming& timing) {
  return std::string("[Timing]") + kCR + "Frame Rate=" + std::to_string(timing.frameRate) + kCR +
         "Mark Frame=" + std::to_string(timing.markFrame) + kCR + "Time at Mark Frame=0" + kCR;
}
