#pragma once

// Writes AVI files with FFmpeg's muxer and encoders from frames given as packed DIBs or as
// rows of pixels: 24-bit BGR, or 8 bits with a palette (a grey clip is an 8-bit clip with a
// grey palette). The stream header gets the exact rate and scale asked for (FFmpeg's muxer
// writes 600 per second for clips faster than 1000 frames per second) and uncompressed
// video the handler "DIB ". Results are AVIERR codes. One thread at a time.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "platform/avifile/AviTypes.h"

namespace avifile {

enum class AviCodec {
  Dib,       // uncompressed: BGR24 or 8-bit palettized rows as stored in a DIB
  Mjpeg,     // "MJPG"
  Ffv1,      // "FFV1", lossless
  Mpeg4,     // MPEG-4 Part 2 with two B-frames between references
  H264,      // libx264; key frames exactly every keyFrameEvery frames
  HuffYuv,   // "HFYU", lossless RGB
  UtVideo,   // "ULRG", lossless planar RGB
  MsVideo1,  // "CRAM", 15-bit colour; sizes must be multiples of 4
  Cinepak,   // "cvid"
};

// The codec a compressor handler code names ("DIB " or 0, "MJPG", "FFV1", "XVID", "H264" ...).
std::optional<AviCodec> AviCodecFromHandler(FOURCC handler);

class AviEncoder;

class AviWriter {
 public:
  AviWriter();
  ~AviWriter();  // closes a file still open
  AviWriter(const AviWriter&) = delete;
  AviWriter& operator=(const AviWriter&) = delete;

  // bitCount 8 or 24. palette: 256 entries for 8-bit frames, null for a grey ramp. Frames
  // play at rate / scale per second. keyFrameEvery 0 lets the encoder choose. quality
  // 0..10000 (above: the encoder's default); DIB, FFV1, HuffYUV and UtVideo are lossless
  // regardless. bytesPerSecond: a data rate for the encoders that have one (MPEG-4, H.264), 0
  // for quality-driven coding.
  HRESULT open(const std::string& path, LONG width, LONG height, WORD bitCount,
               const RGBQUAD* palette, AviCodec codec, DWORD rate, DWORD scale, DWORD keyFrameEvery,
               DWORD quality, DWORD bytesPerSecond = 0);
  // A packed DIB of the opened size and bit count (its colour table is not used).
  HRESULT writeFrame(const BITMAPINFOHEADER* dib);
  // Rows as stored in a DIB: bottom-up, padded to 4 bytes.
  HRESULT writeBits(const void* bits);
  // Top-down rows, `stride` bytes apart (may be negative).
  HRESULT writeRows(const BYTE* top, std::ptrdiff_t stride);
  // A dropped frame: a zero-size chunk that repeats the previous picture. Only for codecs
  // without reordering (DIB, MJPEG, FFV1); AVIERR_UNSUPPORTED otherwise.
  HRESULT writeDroppedFrame();
  // Flushes the encoder, finishes the file and patches its headers.
  HRESULT close();

  bool isOpen() const { return muxer_ != nullptr; }
  LONG frames() const { return frames_; }

 private:
  struct Muxer;
  HRESULT writeEncoded();
  HRESULT writeDib(const BYTE* top, std::ptrdiff_t stride);
  HRESULT writeEmpty(LONG frame);
  HRESULT finish();
  void discard();

  std::unique_ptr<Muxer> muxer_;
  std::unique_ptr<AviEncoder> encoder_;
  std::string path_;
  LONG width_ = 0, height_ = 0;
  WORD bitCount_ = 24;
  RGBQUAD palette_[256] = {};
  AviCodec codec_ = AviCodec::Dib;
  DWORD rate_ = 0, scale_ = 0;
  LONG frames_ = 0;         // frames given, dropped ones included
  LONG trailingDrops_ = 0;  // dropped frames after the last frame given (all, if none was)
};

}  // namespace avifile
