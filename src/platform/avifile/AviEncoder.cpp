#include "platform/avifile/AviEncoder.h"

#include <algorithm>
#include <climits>
#include <string>

namespace avifile {

namespace {

constexpr DWORD kDefaultQuality = 7500;

const AVCodec* FindEncoder(AviCodec codec) {
  switch (codec) {
    case AviCodec::Mjpeg:
      return avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    case AviCodec::Ffv1:
      return avcodec_find_encoder(AV_CODEC_ID_FFV1);
    case AviCodec::Mpeg4:
      return avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    case AviCodec::H264:
      return avcodec_find_encoder_by_name("libx264");
    case AviCodec::HuffYuv:
      return avcodec_find_encoder(AV_CODEC_ID_HUFFYUV);
    case AviCodec::UtVideo:
      return avcodec_find_encoder(AV_CODEC_ID_UTVIDEO);
    case AviCodec::MsVideo1:
      return avcodec_find_encoder(AV_CODEC_ID_MSVIDEO1);
    case AviCodec::Cinepak:
      return avcodec_find_encoder(AV_CODEC_ID_CINEPAK);
    case AviCodec::Dib:
      break;
  }
  return nullptr;
}

AVPixelFormat PixelFormat(AviCodec codec, int width, int height) {
  switch (codec) {
    case AviCodec::Mjpeg:  // full range, see Open
      return AV_PIX_FMT_YUV420P;
    case AviCodec::Ffv1:
      return AV_PIX_FMT_0RGB32;
    case AviCodec::H264:
      // 4:2:0 needs even sizes; odd ones keep full chroma instead.
      return (width | height) & 1 ? AV_PIX_FMT_YUV444P : AV_PIX_FMT_YUV420P;
    case AviCodec::HuffYuv:
    case AviCodec::Cinepak:
      return AV_PIX_FMT_RGB24;
    case AviCodec::UtVideo:
      return AV_PIX_FMT_GBRP;
    case AviCodec::MsVideo1:
      return AV_PIX_FMT_RGB555;
    default:
      return AV_PIX_FMT_YUV420P;
  }
}

// The encoder needs only the order of frames (the stream header carries the real rate), but
// MPEG-4 limits its clock to 16 bits.
AVRational EncoderTimeBase(DWORD rate, DWORD scale) {
  int num = 0, den = 0;
  av_reduce(&num, &den, scale, rate, INT_MAX);
  if (num <= 0 || den <= 0 || num > 65535 || den > 65535) return AVRational{1, 1000};
  return AVRational{num, den};
}

}  // namespace

std::unique_ptr<AviEncoder> AviEncoder::Open(AviCodec codec, int width, int height, DWORD rate,
                                             DWORD scale, DWORD keyFrameEvery, DWORD quality,
                                             DWORD bytesPerSecond) {
  const AVCodec* encoder = FindEncoder(codec);
  if (!encoder) return nullptr;
  std::unique_ptr<AviEncoder> e(new AviEncoder);
  e->context_.reset(avcodec_alloc_context3(encoder));
  if (!e->context_) return nullptr;
  AVCodecContext& c = *e->context_;
  c.width = width;
  c.height = height;
  c.pix_fmt = PixelFormat(codec, width, height);
  c.time_base = EncoderTimeBase(rate, scale);
  c.framerate = AVRational{c.time_base.den, c.time_base.num};
  if (codec == AviCodec::Mjpeg) c.color_range = AVCOL_RANGE_JPEG;
  c.thread_count = 0;
  if (!e->configure(codec, keyFrameEvery, quality > 10000 ? kDefaultQuality : quality,
                    bytesPerSecond) ||
      avcodec_open2(&c, encoder, nullptr) < 0)
    return nullptr;
  e->frame_ = makeFrame();
  e->frame_->format = c.pix_fmt;
  e->frame_->color_range = c.color_range;
  e->frame_->width = width;
  e->frame_->height = height;
  if (av_frame_get_buffer(e->frame_.get(), 0) < 0) return nullptr;
  return e;
}

// Quality 0..10000 onto each encoder's own scale: quantiser 31..2 for MJPEG, MPEG-4 and
// Cinepak, CRF 51..1 for H.264. A data rate, where the encoder has one, replaces the quality.
bool AviEncoder::configure(AviCodec codec, DWORD keyFrameEvery, DWORD quality,
                           DWORD bytesPerSecond) {
  AVCodecContext& c = *context_;
  if (keyFrameEvery > 0) c.gop_size = int(std::min<DWORD>(keyFrameEvery, INT_MAX));
  const int spoiled = int(10000 - quality);  // 0 best .. 10000 worst
  const bool byRate = bytesPerSecond > 0 && (codec == AviCodec::Mpeg4 || codec == AviCodec::H264);
  if (byRate) c.bit_rate = std::int64_t(bytesPerSecond) * 8;
  switch (codec) {
    case AviCodec::Mpeg4:
      c.max_b_frames = keyFrameEvery == 1 ? 0 : 2;
      if (byRate) return true;
      [[fallthrough]];
    case AviCodec::Mjpeg:
    case AviCodec::Cinepak:
      c.flags |= AV_CODEC_FLAG_QSCALE;
      c.global_quality = FF_QP2LAMBDA * (2 + spoiled * 29 / 10000);
      return true;
    case AviCodec::H264: {
      const std::string crf = std::to_string(1 + spoiled * 50 / 10000);
      // No extra key frames at scene cuts: the interval asked for is the interval written.
      return (byRate || av_opt_set(c.priv_data, "crf", crf.c_str(), 0) >= 0) &&
             av_opt_set(c.priv_data, "preset", "faster", 0) >= 0 &&
             av_opt_set(c.priv_data, "x264-params", "scenecut=0", 0) >= 0;
    }
    case AviCodec::MsVideo1:
      if (keyFrameEvery > 0) c.keyint_min = c.gop_size;
      return true;
    case AviCodec::Ffv1:
    case AviCodec::HuffYuv:
    case AviCodec::UtVideo:
      return true;
    case AviCodec::Dib:
      break;
  }
  return false;
}

bool AviEncoder::send(const BYTE* top, std::ptrdiff_t stride, WORD bitCount, const RGBQUAD* palette,
                      std::int64_t pts) {
  AVCodecContext& c = *context_;
  const AVPixelFormat source = bitCount == 8 ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_BGR24;
  sws_.reset(sws_getCachedContext(sws_.release(), c.width, c.height, source, c.width, c.height,
                                  c.pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr));
  if (!sws_ || av_frame_make_writable(frame_.get()) < 0) return false;
  if (c.color_range == AVCOL_RANGE_JPEG) {
    int *inverse, *table, srcFull, dstFull, brightness, contrast, saturation;
    sws_getColorspaceDetails(sws_.get(), &inverse, &srcFull, &table, &dstFull, &brightness,
                             &contrast, &saturation);
    sws_setColorspaceDetails(sws_.get(), inverse, srcFull, table, 1, brightness, contrast,
                             saturation);
  }
  const std::uint8_t* planes[4] = {top, reinterpret_cast<const std::uint8_t*>(palette)};
  const int strides[4] = {int(stride)};
  if (sws_scale(sws_.get(), planes, strides, 0, c.height, frame_->data, frame_->linesize) !=
      c.height)
    return false;
  frame_->pts = pts;
  frame_->quality = c.global_quality;
  frame_->pict_type = AV_PICTURE_TYPE_NONE;
  return avcodec_send_frame(&c, frame_.get()) >= 0;
}

bool AviEncoder::sendEnd() {
  return avcodec_send_frame(context_.get(), nullptr) >= 0;
}

int AviEncoder::receive(AVPacket* packet) {
  return avcodec_receive_packet(context_.get(), packet);
}

}  // namespace avifile
