#include "clip/FrameRangeStream.h"

#include <cstring>

namespace {

std::size_t HeaderBytes(const BITMAPINFOHEADER& dib) {
  const DWORD colours = dib.biClrUsed         ? dib.biClrUsed
                        : dib.biBitCount <= 8 ? DWORD(1) << dib.biBitCount
                                              : 0;
  return dib.biSize + 4 * std::size_t(colours);
}

}  // namespace

TFrameRangeStream::TFrameRangeStream(PAVISTREAM source, LONG first, LONG count)
    : source_(source), first_(first), count_(count) {}

TFrameRangeStream::~TFrameRangeStream() {
  if (getter_) AVIStreamGetFrameClose(getter_);
}

HRESULT TFrameRangeStream::QueryInterface(const GUID&, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT TFrameRangeStream::Info(AVISTREAMINFOA* info, LONG size) {
  const HRESULT r = source_->Info(info, size);
  if (r == AVIERR_OK) {
    info->dwStart = 0;
    info->dwLength = DWORD(count_);
  }
  return r;
}

HRESULT TFrameRangeStream::ReadFormat(LONG position, void* format, LONG* formatSize) {
  const BITMAPINFOHEADER* dib = picture(position);
  if (!dib || !formatSize) return AVIERR_FILEREAD;
  const LONG needed = LONG(HeaderBytes(*dib));
  if (format && *formatSize >= needed) std::memcpy(format, dib, std::size_t(needed));
  *formatSize = needed;
  return AVIERR_OK;
}

HRESULT TFrameRangeStream::Read(LONG start, LONG, void* buffer, LONG bufferSize, LONG* bytes,
                                LONG* samples) {
  const BITMAPINFOHEADER* dib = picture(start);
  if (!dib) return AVIERR_FILEREAD;
  const std::size_t header = HeaderBytes(*dib), image = PackedDibSize(dib) - header;
  if (bytes) *bytes = LONG(image);
  if (samples) *samples = 1;
  if (!buffer) return AVIERR_OK;
  if (bufferSize < 0 || std::size_t(bufferSize) < image) return AVIERR_BUFFERTOOSMALL;
  std::memcpy(buffer, reinterpret_cast<const BYTE*>(dib) + header, image);
  return AVIERR_OK;
}

const BITMAPINFOHEADER* TFrameRangeStream::picture(LONG position) {
  if (position < 0 || position >= count_) return nullptr;
  if (!getter_) getter_ = AVIStreamGetFrameOpen(source_, nullptr);
  if (!getter_) return nullptr;
  return static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(getter_, first_ + position));
}
