#pragma once

// Turns decoded pictures into packed DIBs (header, colour table, bottom-up rows padded to 4
// bytes): 8 bits with the picture's palette for palettized pictures and a grey ramp for grey
// ones, 24-bit BGR for everything else (or always, when asked). Colour conversion matches the
// ffmpeg command line's (bicubic scaler flags, matrix and range taken from the picture). Keeps
// its scaler and scratch image between calls; one per frame getter.

#include <vector>

#include "platform/avifile/AviTypes.h"
#include "platform/avifile/FfmpegHandles.h"

namespace avifile {

class DibConverter {
 public:
  explicit DibConverter(bool always24 = false) : always24_(always24) {}
  ~DibConverter();
  DibConverter(const DibConverter&) = delete;
  DibConverter& operator=(const DibConverter&) = delete;

  // Rebuilds `dib` from `frame`; false when the picture's format cannot be converted.
  bool convert(const AVFrame& frame, std::vector<BYTE>& dib);

  // Bytes of one DIB row of `width` pixels at `bitCount` bits.
  static DWORD RowBytes(LONG width, WORD bitCount) {
    return ((DWORD(width) * bitCount + 31) / 32) * 4;
  }

 private:
  bool toBgr(const AVFrame& frame, BYTE* bits, DWORD stride);
  bool ensureScaler(const AVFrame& frame);

  bool always24_;
  SwsPtr sws_;  // for the size, format, matrix and range below
  int width_ = 0, height_ = 0, format_ = -1;
  AVColorSpace colorspace_ = AVCOL_SPC_UNSPECIFIED;
  AVColorRange range_ = AVCOL_RANGE_UNSPECIFIED;
  FramePtr scratch_;
};

// Writes a BITMAPINFOHEADER for an uncompressed bottom-up DIB.
BITMAPINFOHEADER MakeDibHeader(LONG width, LONG height, WORD bitCount);

}  // namespace avifile
