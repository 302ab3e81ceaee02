#include "platform/avifile/DibConverter.h"

#include <cstring>

namespace avifile {

BITMAPINFOHEADER MakeDibHeader(LONG width, LONG height, WORD bitCount) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bitCount;
  h.biSizeImage = DibConverter::RowBytes(width, bitCount) * DWORD(height);
  h.biClrUsed = bitCount <= 8 ? 1u << bitCount : 0;
  return h;
}

DibConverter::~DibConverter() { av_freep(&scratch_[0]); }

bool DibConverter::convert(const AVFrame& frame, std::vector<BYTE>& dib) {
  const auto format = AVPixelFormat(frame.format);
  const bool eight = !always24_ && (format == AV_PIX_FMT_PAL8 || format == AV_PIX_FMT_GRAY8);
  const WORD bitCount = eight ? 8 : 24;
  if (frame.width <= 0 || frame.height <= 0) return false;
  const BITMAPINFOHEADER header = MakeDibHeader(frame.width, frame.height, bitCount);
  const std::size_t paletteBytes = 4 * std::size_t(header.biClrUsed);
  dib.assign(sizeof header + paletteBytes + header.biSizeImage, 0);
  std::memcpy(dib.data(), &header, sizeof header);
  BYTE* palette = dib.data() + sizeof header;
  BYTE* bits = palette + paletteBytes;
  const DWORD stride = RowBytes(frame.width, bitCount);
  if (!eight) return toBgr(frame, bits, stride);

  for (int i = 0; i < 256; ++i) {
    BYTE* q = palette + 4 * i;
    if (format == AV_PIX_FMT_PAL8) {
      const uint32_t argb = reinterpret_cast<const uint32_t*>(frame.data[1])[i];
      q[0] = BYTE(argb), q[1] = BYTE(argb >> 8), q[2] = BYTE(argb >> 16);
    } else {
      q[0] = q[1] = q[2] = BYTE(i);
    }
  }
  for (int y = 0; y < frame.height; ++y)
    std::memcpy(bits + std::size_t(frame.height - 1 - y) * stride,
                frame.data[0] + std::ptrdiff_t(y) * frame.linesize[0], std::size_t(frame.width));
  return true;
}

bool DibConverter::ensureScratch(int width, int height) {
  if (scratch_[0] && width == scratchW_ && height == scratchH_) return true;
  av_freep(&scratch_[0]);
  scratchW_ = scratchH_ = 0;
  if (av_image_alloc(scratch_, scratchStride_, width, height, AV_PIX_FMT_BGR24, 64) < 0)
    return false;
  scratchW_ = width;
  scratchH_ = height;
  return true;
}

bool DibConverter::toBgr(const AVFrame& frame, BYTE* bits, DWORD stride) {
  const int w = frame.width, h = frame.height;
  sws_.reset(sws_getCachedContext(sws_.release(), w, h, AVPixelFormat(frame.format), w, h,
                                  AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr));
  if (!sws_ || !ensureScratch(w, h)) return false;
  int *inverse = nullptr, *table = nullptr;
  int srcFull = 0, dstFull = 0, brightness = 0, contrast = 0, saturation = 0;
  if (sws_getColorspaceDetails(sws_.get(), &inverse, &srcFull, &table, &dstFull, &brightness,
                               &contrast, &saturation) >= 0) {
    const int* coefficients = sws_getCoefficients(frame.colorspace);
    if (frame.color_range != AVCOL_RANGE_UNSPECIFIED)
      srcFull = frame.color_range == AVCOL_RANGE_JPEG;
    sws_setColorspaceDetails(sws_.get(), coefficients, srcFull, coefficients, dstFull,
                             brightness, contrast, saturation);
  }
  // Into an aligned top-down scratch image first: the scaler's vector code may write past the
  // end of a row, which a tightly packed DIB has no room for.
  if (sws_scale(sws_.get(), frame.data, frame.linesize, 0, h, scratch_, scratchStride_) != h)
    return false;
  const std::size_t rowBytes = std::size_t(w) * 3;
  for (int y = 0; y < h; ++y)
    std::memcpy(bits + std::size_t(h - 1 - y) * stride,
                scratch_[0] + std::ptrdiff_t(y) * scratchStride_[0], rowBytes);
  return true;
}

}  // namespace avifile
