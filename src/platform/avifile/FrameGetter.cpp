#include "platform/avifile/FrameGetter.h"

#include <cstdlib>
#include <cstring>

#include "platform/avifile/DibConverter.h"

namespace avifile {

StreamFrameGetter::StreamFrameGetter(PAVISTREAM stream) : stream_(stream) {
  stream_->AddRef();
}

StreamFrameGetter::~StreamFrameGetter() {
  stream_->Release();
}

const void* StreamFrameGetter::get(LONG position) {
  LONG formatSize = 0;
  // A header and at most a full colour table of 256 entries.
  constexpr LONG kMaxFormat = LONG(sizeof(BITMAPINFOHEADER)) + 4 * 256;
  if (stream_->ReadFormat(position, nullptr, &formatSize) < 0 ||
      formatSize < LONG(sizeof(BITMAPINFOHEADER)) || formatSize > kMaxFormat)
    return nullptr;
  std::vector<BYTE> format(std::size_t(formatSize), 0);
  LONG given = formatSize;
  if (stream_->ReadFormat(position, format.data(), &given) < 0) return nullptr;
  BITMAPINFOHEADER header;
  std::memcpy(&header, format.data(), sizeof header);
  const std::int64_t height = std::abs(std::int64_t(header.biHeight));
  if (header.biCompression != 0 || !FrameSizeAllowed(header.biWidth, height) ||
      (header.biBitCount != 8 && header.biBitCount != 24 && header.biBitCount != 32))
    return nullptr;
  const DWORD image = DibConverter::RowBytes(header.biWidth, header.biBitCount) * DWORD(height);
  // The colour table is whatever the format carries beyond its header.
  header.biSize = sizeof header;
  header.biSizeImage = image;
  header.biClrUsed = DWORD(formatSize - LONG(sizeof header)) / 4;
  dib_.assign(sizeof header + 4 * std::size_t(header.biClrUsed) + image, 0);
  std::memcpy(dib_.data(), &header, sizeof header);
  if (header.biClrUsed)
    std::memcpy(dib_.data() + sizeof header, format.data() + sizeof header, 4 * header.biClrUsed);
  LONG bytes = 0, samples = 0;
  BYTE* bits = dib_.data() + dib_.size() - image;
  if (stream_->Read(position, 1, bits, LONG(image), &bytes, &samples) != AVIERR_OK) return nullptr;
  return dib_.data();
}

}  // namespace avifile
