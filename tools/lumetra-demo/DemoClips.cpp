#include "DemoClips.h"

#include <QFile>
#include <array>
#include <cstring>

#include "Raster.h"
#include "clip/AviStream.h"
#include "clip/RIFF.h"
#include "descriptors/CameraHeader.h"
#include "descriptors/DescriptorStore.h"
#include "descriptors/DescriptorText.h"
#include "platform/Exception.h"

namespace demo {
namespace {

// A marker chunk: 4 data bytes under an identifier whose first byte is 0x90 or above and whose
// second byte is 1.
constexpr FOURCC kMarkerCode = 0x90u | 0x01u << 8 | FOURCC('T') << 16 | FOURCC('0') << 24;

// Camera header side file: a 44-byte header pointing at an 808-byte camera record.
constexpr std::size_t kHeaderSize = 44, kRecordSize = 808;

void PutLe32(char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = char((v >> (8 * i)) & 0xFF);
}

void Fail(const QString& path, const QString& why) {
  throw Exception(QStringLiteral("%1: %2").arg(path, why));
}

void WriteFrames(const QString& path, const Camera& camera) {
  const std::vector<RGBQUAD> palette = PaletteOf(camera);
  avifile::AviWriter writer;
  HRESULT r = writer.open(QFile::encodeName(path).toStdString(), camera.width, camera.height,
                          camera.bitCount, palette.empty() ? nullptr : palette.data(), camera.codec,
                          camera.rate, 1, 0, 9000);
  for (int f = 0; r == AVIERR_OK && f < camera.frames; ++f) {
    const std::vector<BYTE> rows = RenderFrame(camera, TimeOfFrame(camera, f));
    r = writer.writeRows(rows.data(), std::ptrdiff_t(RowBytes(camera)));
  }
  const HRESULT closed = writer.isOpen() ? writer.close() : AVIERR_OK;
  if (r == AVIERR_OK) r = closed;
  if (r != AVIERR_OK)
    Fail(path, QStringLiteral("AVI writer error 0x%1").arg(std::uint32_t(r), 0, 16));
}

void StoreTtls(const QString& path, const Camera& camera) {
  TAVISTREAM stream(QStringLiteral("AVI"));
  PGETFRAME noReader = nullptr;
  TWriteFailure why = TWriteFailure::None;
  if (!StoreDescriptor(stream, noReader, path, DescriptorTextOf(camera), &why))
    Fail(path, WriteFailureText(why));
}

void StoreMarker(const QString& path, const Camera& camera) {
  const float timeOfFrame0 = float(TimeOfFrame(camera, 0));
  std::uint32_t bits = 0;
  std::memcpy(&bits, &timeOfFrame0, sizeof bits);
  char data[4];
  PutLe32(data, bits);
  TRIFF riff(path);
  TWriteFailure why = TWriteFailure::None;
  if (!riff.WriteChunk(kMarkerCode, data, sizeof data, &why)) Fail(path, WriteFailureText(why));
}

void WriteCameraHeader(const QString& clipPath, const Camera& camera) {
  std::array<char, kHeaderSize + kRecordSize> bytes{};
  bytes[0] = 'C';
  bytes[1] = 'I';
  PutLe32(&bytes[16], std::uint32_t(-camera.triggerFrame));  // the mark frame, negated
  PutLe32(&bytes[28], kHeaderSize);                          // where the camera record starts
  char* record = &bytes[kHeaderSize];
  record[140] = 'S';
  record[141] = 'T';
  PutLe32(record + 768, camera.rate);
  const QString path = CameraHeaderPath(clipPath);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      f.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !f.flush())
    Fail(path, f.errorString());
}

}  // namespace

std::string DescriptorTextOf(const Camera& camera) {
  std::string text;
  SetDescriptorFloat(text, "Timing", "Frame Rate", camera.rate);
  SetDescriptorValue(text, "Timing", "Mark Frame", std::to_string(camera.triggerFrame));
  SetDescriptorFloat(text, "Timing", "Time at Mark Frame", 0);
  SetDescriptorValue(text, "Camera", "Camera Type", "Synthetic demo camera");
  SetDescriptorValue(text, "Camera", "Camera ID", camera.file);
  SetDescriptorValue(text, "Camera", "Session ID", "Lumetra demo");
  SetDescriptorValue(text, "Camera", "Recording Rate", std::to_string(camera.rate));
  SetDescriptorValue(text, "Camera", "Exposure Setting", "no motion blur");
  SetDescriptorValue(text, "Camera", "Date and Time", "01.06.2024 12:00:00");
  SetDescriptorValue(text, "Titles", "Description",
                     "Demo test: thrown disc, turning bar, 1000 mm scale bar");
  return text;
}

void WriteCameraClip(const QString& folder, const Camera& camera) {
  const QString path = folder + u'/' + QString::fromStdString(camera.file);
  WriteFrames(path, camera);
  switch (camera.carrier) {
    case Carrier::Ttls:
      return StoreTtls(path, camera);
    case Carrier::Marker:
      return StoreMarker(path, camera);
    case Carrier::CameraHeader:
      return WriteCameraHeader(path, camera);
  }
}

}  // namespace demo
