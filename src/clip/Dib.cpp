#include "clip/Dib.h"

#include <cstdlib>

std::uint32_t DibColors(const BITMAPINFOHEADER& header) {
  if (header.biClrUsed) return header.biClrUsed;
  return header.biBitCount <= 8 ? 1u << header.biBitCount : 0u;
}

std::int64_t DibStride(const BITMAPINFOHEADER& header) {
  return (std::int64_t(header.biWidth) * header.biBitCount + 31) / 32 * 4;
}

std::int64_t DibImageSize(const BITMAPINFOHEADER& header) {
  return DibStride(header) * std::llabs(header.biHeight);
}

std::int64_t DibPixelOffset(const BITMAPINFOHEADER& header) {
  return std::int64_t(header.biSize) + 4 * std::int64_t(DibColors(header));
}
