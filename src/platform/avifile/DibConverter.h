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
  bool ensureScratch(int width, int height);

  bool always24_;
  SwsPtr sws_;
  BYTE* scratch_[4] = {};
  int scratchStride_[4] = {};
  int scratchW_ = 0, scratchH_ = 0;
};

// Writes a BITMAPINFOHEADER for an uncompressed bottom-up DIB.
BITMAPINFOHEADER MakeDibHeader(LONG width, LONG height, WORD bitCount);

}  // namespace avifile
