#pragma once

// Tiny AVI clips for tests, written with the AVI library's writer: deterministic test
// pictures, dropped frames, and the byte-level edits of platform/avifile/RiffEdit.h (extra
// top-level chunks such as "ttls" or marker chunks, odd sizes, a RIFF size that promises more
// than the file holds, no index). Header-only so that any test program linking
// lumetra_avifile can use it.

#include <algorithm>
#include <string>
#include <vector>

#include "platform/avifile/AviFile.h"
#include "platform/avifile/AviWriter.h"
#include "platform/avifile/RiffEdit.h"

namespace clipkit {

using avifile::AppendRiffChunk;
using avifile::AviCodec;
using avifile::RenameTopLevelChunk;
using avifile::SetRiffSize;
using avifile::TruncateFile;

inline DWORD RowBytes(LONG width, WORD bitCount) {
  return ((DWORD(width) * bitCount + 31) / 32) * 4;
}

// Picture `frame` as top-down rows of RowBytes each: smooth gradients that drift from frame to
// frame and a bright square that moves, so that inter-frame codecs see motion.
inline std::vector<BYTE> PatternRows(LONG width, LONG height, WORD bitCount, LONG frame) {
  const DWORD row = RowBytes(width, bitCount);
  std::vector<BYTE> rows(std::size_t(row) * std::size_t(height), 0);
  const LONG boxX = (frame * 3) % std::max<LONG>(width, 1),
             boxY = frame % std::max<LONG>(height, 1);
  for (LONG y = 0; y < height; ++y) {
    for (LONG x = 0; x < width; ++x) {
      const bool box = x >= boxX && x < boxX + 6 && y >= boxY && y < boxY + 6;
      BYTE* p = rows.data() + std::size_t(y) * row + std::size_t(x) * (bitCount / 8);
      if (bitCount == 8) {
        p[0] = box ? 250 : BYTE(x * 3 + y * 5 + frame * 7);
      } else {
        p[0] = box ? 240 : BYTE(x * 5 + frame * 3);
        p[1] = box ? 240 : BYTE(y * 7 + frame * 11);
        p[2] = box ? 240 : BYTE((x + y) * 3 + frame * 17);
      }
    }
  }
  return rows;
}

// A colourful 256-entry palette that is not a grey ramp.
inline std::vector<RGBQUAD> ColourPalette() {
  std::vector<RGBQUAD> palette(256);
  for (int i = 0; i < 256; ++i)
    palette[std::size_t(i)] = RGBQUAD{BYTE(i * 7), BYTE(255 - i), BYTE(i * 3 + 40), 0};
  return palette;
}

struct ClipSpec {
  LONG width = 32;
  LONG height = 24;
  WORD bitCount = 24;
  const RGBQUAD* palette = nullptr;  // 8-bit clips: null for a grey ramp
  AviCodec codec = AviCodec::Dib;
  DWORD rate = 25;
  DWORD scale = 1;
  DWORD keyFrameEvery = 0;
  DWORD quality = 9000;
  LONG frames = 5;
  std::vector<LONG> dropped = {};  // frame numbers written as zero-size chunks
};

// Writes PatternRows pictures; an AVIERR code.
inline HRESULT WriteClip(const std::string& path, const ClipSpec& spec) {
  avifile::AviWriter writer;
  HRESULT r = writer.open(path, spec.width, spec.height, spec.bitCount, spec.palette, spec.codec,
                          spec.rate, spec.scale, spec.keyFrameEvery, spec.quality);
  for (LONG f = 0; r == AVIERR_OK && f < spec.frames; ++f) {
    if (std::find(spec.dropped.begin(), spec.dropped.end(), f) != spec.dropped.end()) {
      r = writer.writeDroppedFrame();
    } else {
      const std::vector<BYTE> rows = PatternRows(spec.width, spec.height, spec.bitCount, f);
      r = writer.writeRows(rows.data(), std::ptrdiff_t(RowBytes(spec.width, spec.bitCount)));
    }
  }
  const HRESULT closed = writer.isOpen() ? writer.close() : AVIERR_OK;
  return r != AVIERR_OK ? r : closed;
}

// The first video stream of a clip file, as the clip stream opens it; null when that fails.
inline PAVISTREAM OpenVideoStream(const std::string& path) {
  PAVIFILE file = nullptr;
  if (AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr) != AVIERR_OK) return nullptr;
  PAVISTREAM stream = nullptr;
  AVIFileGetStream(file, &stream, streamtypeVIDEO, 0);
  AVIFileRelease(file);
  return stream;
}

}  // namespace clipkit
