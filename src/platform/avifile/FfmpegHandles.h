#pragma once

// Owning wrappers for the FFmpeg objects this folder uses. FFmpeg's headers are included here
// and in this folder only.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace avifile {

struct FormatInputDeleter {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct FormatOutputDeleter {
  void operator()(AVFormatContext* c) const {
    if (c && c->pb && !(c->oformat->flags & AVFMT_NOFILE)) avio_closep(&c->pb);
    avformat_free_context(c);
  }
};
struct CodecContextDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct BsfDeleter {
  void operator()(AVBSFContext* b) const { av_bsf_free(&b); }
};
struct SwsDeleter {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct ParametersDeleter {
  void operator()(AVCodecParameters* p) const { avcodec_parameters_free(&p); }
};
struct DictionaryDeleter {
  void operator()(AVDictionary* d) const { av_dict_free(&d); }
};

using InputPtr = std::unique_ptr<AVFormatContext, FormatInputDeleter>;
using OutputPtr = std::unique_ptr<AVFormatContext, FormatOutputDeleter>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using BsfPtr = std::unique_ptr<AVBSFContext, BsfDeleter>;
using SwsPtr = std::unique_ptr<SwsContext, SwsDeleter>;
using ParametersPtr = std::unique_ptr<AVCodecParameters, ParametersDeleter>;

// FFmpeg's log goes to stderr; the system keeps no log, so the AVI library silences it.
inline void QuietFfmpeg() {
  av_log_set_level(AV_LOG_QUIET);
}

inline PacketPtr makePacket() {
  return PacketPtr(av_packet_alloc());
}
inline FramePtr makeFrame() {
  return FramePtr(av_frame_alloc());
}

// A new reference to the same picture; null when src is null or the reference fails.
inline FramePtr refFrame(const AVFrame* src) {
  if (!src) return nullptr;
  FramePtr f = makeFrame();
  if (!f || av_frame_ref(f.get(), src) < 0) return nullptr;
  return f;
}

}  // namespace avifile
