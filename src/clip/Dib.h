#pragma once

// Packed device-independent bitmaps as frames travel through the system: the header, the
// colour table, then bottom-up rows padded to 4 bytes.
#include <cstdint>

#include "platform/avifile/AviTypes.h"

// Entries in the colour table: biClrUsed, or the full table of a palette format that leaves
// it 0.
std::uint32_t DibColors(const BITMAPINFOHEADER& header);
// Bytes per row, padded to 4.
std::int64_t DibStride(const BITMAPINFOHEADER& header);
// Bytes of all rows.
std::int64_t DibImageSize(const BITMAPINFOHEADER& header);
// Offset of the first pixel byte from the start of the header.
std::int64_t DibPixelOffset(const BITMAPINFOHEADER& header);
inline const std::uint8_t* DibPixels(const BITMAPINFOHEADER* header) {
  return reinterpret_cast<const std::uint8_t*>(header) + DibPixelOffset(*header);
}
