#pragma once

// One FFmpeg video encoder for the AVI writer: converts BGR24 or palettized rows into the
// codec's pixel format and encodes them. Timestamps count frames.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/avifile/AviWriter.h"
#include "platform/avifile/FfmpegHandles.h"

namespace avifile {

class AviEncoder {
 public:
  // Null when the codec is not available or refuses the parameters.
  static std::unique_ptr<AviEncoder> Open(AviCodec codec, int width, int height, DWORD rate,
                                          DWORD scale, DWORD keyFrameEvery, DWORD quality,
                                          DWORD bytesPerSecond = 0);

  const AVCodecContext& context() const { return *context_; }
  // Top-down rows of BGR24 (bitCount 24) or 8-bit indices into `palette` (256 entries).
  bool send(const BYTE* top, std::ptrdiff_t stride, WORD bitCount, const RGBQUAD* palette,
            std::int64_t pts);
  bool sendEnd();
  // 0 with a packet, AVERROR(EAGAIN) when the encoder wants more, AVERROR_EOF at the end.
  int receive(AVPacket* packet);

 private:
  bool configure(AviCodec codec, DWORD keyFrameEvery, DWORD quality, DWORD bytesPerSecond);

  CodecPtr context_;
  FramePtr frame_;
  SwsPtr sws_;
};

}  // namespace avifile
