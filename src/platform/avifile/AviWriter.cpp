#include "platform/avifile/AviWriter.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/avifile/AviEncoder.h"
#include "platform/avifile/DibConverter.h"
#include "platform/avifile/FfmpegHandles.h"
#include "platform/avifile/RiffEdit.h"

namespace avifile {

struct AviWriter::Muxer {
  OutputPtr context;
  AVStream* stream = nullptr;
  PacketPtr packet = makePacket();
};

std::optional<AviCodec> AviCodecFromHandler(FOURCC handler) {
  auto is = [handler](const char* code) {
    FOURCC upper = handler;
    for (int i = 0; i < 4; ++i) {
      const char c = char(handler >> (8 * i));
      if (c >= 'a' && c <= 'z') upper ^= DWORD(0x20) << (8 * i);
    }
    return upper == MakeFourCC(code[0], code[1], code[2], code[3]);
  };
  if (handler == 0 || is("DIB ") || is("RAW ")) return AviCodec::Dib;
  if (is("MJPG")) return AviCodec::Mjpeg;
  if (is("FFV1")) return AviCodec::Ffv1;
  if (is("FMP4") || is("XVID") || is("DIVX") || is("DX50") || is("MP4V")) return AviCodec::Mpeg4;
  if (is("H264") || is("X264") || is("AVC1")) return AviCodec::H264;
  if (is("HFYU") || is("FFVH")) return AviCodec::HuffYuv;
  if (is("ULRG") || is("ULRA") || is("ULY0") || is("ULY2") || is("ULY4") || is("ULH0") ||
      is("ULH2") || is("ULH4"))
    return AviCodec::UtVideo;
  if (is("CRAM") || is("MSVC") || is("WHAM")) return AviCodec::MsVideo1;
  if (is("CVID")) return AviCodec::Cinepak;
  return std::nullopt;
}

AviWriter::AviWriter() = default;

AviWriter::~AviWriter() {
  if (isOpen()) close();
}

HRESULT AviWriter::open(const std::string& path, LONG width, LONG height, WORD bitCount,
                        const RGBQUAD* palette, AviCodec codec, DWORD rate, DWORD scale,
                        DWORD keyFrameEvery, DWORD quality, DWORD bytesPerSecond) {
  if (isOpen()) return AVIERR_BADHANDLE;
  QuietFfmpeg();
  if (width <= 0 || height <= 0 || (bitCount != 8 && bitCount != 24) || rate == 0 || scale == 0 ||
      rate > INT_MAX || scale > INT_MAX)
    return AVIERR_BADPARAM;
  path_ = path;
  width_ = width, height_ = height, bitCount_ = bitCount, codec_ = codec;
  rate_ = rate, scale_ = scale, frames_ = trailingDrops_ = 0;
  for (int i = 0; i < 256; ++i)
    palette_[i] = palette ? RGBQUAD{palette[i].rgbBlue, palette[i].rgbGreen, palette[i].rgbRed, 0}
                          : RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};

  auto muxer = std::make_unique<Muxer>();
  AVFormatContext* context = nullptr;
  if (avformat_alloc_output_context2(&context, nullptr, "avi", path.c_str()) < 0)
    return AVIERR_INTERNAL;
  muxer->context.reset(context);
  muxer->stream = avformat_new_stream(context, nullptr);
  if (!muxer->stream) return AVIERR_MEMORY;
  AVCodecParameters* parameters = muxer->stream->codecpar;
  if (codec == AviCodec::Dib) {
    parameters->codec_type = AVMEDIA_TYPE_VIDEO;
    parameters->codec_id = AV_CODEC_ID_RAWVIDEO;
    parameters->codec_tag = 0;
    parameters->width = width;
    parameters->height = height;
    parameters->bits_per_coded_sample = bitCount;
    parameters->format = bitCount == 8 ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_BGR24;
  } else {
    encoder_ =
        AviEncoder::Open(codec, width, height, rate, scale, keyFrameEvery, quality, bytesPerSecond);
    if (!encoder_) return AVIERR_NOCOMPRESSOR;
    avcodec_parameters_from_context(parameters, &encoder_->context());
  }
  muxer->stream->time_base = AVRational{int(scale), int(rate)};
  muxer->stream->avg_frame_rate = AVRational{int(rate), int(scale)};
  if (avio_open(&context->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) {
    encoder_.reset();
    return AVIERR_FILEOPEN;
  }
  AVDictionary* options = nullptr;
  av_dict_set(&options, "flipped_raw_rgb", "1", 0);  // DIB rows are stored bottom-up
  const int written = avformat_write_header(context, &options);
  av_dict_free(&options);
  muxer_ = std::move(muxer);
  if (written < 0) {
    discard();
    return AVIERR_FILEWRITE;
  }
  return AVIERR_OK;
}

HRESULT AviWriter::writeFrame(const BITMAPINFOHEADER* dib) {
  if (!isOpen()) return AVIERR_BADHANDLE;
  if (!dib || dib->biWidth != width_ || std::abs(dib->biHeight) != height_ ||
      dib->biBitCount != bitCount_ || dib->biCompression != 0)
    return AVIERR_BADFORMAT;
  const DWORD colors = dib->biClrUsed ? dib->biClrUsed : bitCount_ == 8 ? 256 : 0;
  const BYTE* bits = reinterpret_cast<const BYTE*>(dib) + dib->biSize + 4 * colors;
  const std::ptrdiff_t row = DibConverter::RowBytes(width_, bitCount_);
  if (dib->biHeight < 0) return writeRows(bits, row);
  return writeBits(bits);
}

HRESULT AviWriter::writeBits(const void* bits) {
  const std::ptrdiff_t row = DibConverter::RowBytes(width_, bitCount_);
  const BYTE* top = static_cast<const BYTE*>(bits) + row * (height_ - 1);
  return writeRows(top, -row);
}

HRESULT AviWriter::writeRows(const BYTE* top, std::ptrdiff_t stride) {
  if (!isOpen()) return AVIERR_BADHANDLE;
  if (!top) return AVIERR_BADPARAM;
  if (codec_ == AviCodec::Dib) return writeDib(top, stride);
  if (!encoder_->send(top, stride, bitCount_, palette_, frames_)) return AVIERR_COMPRESSOR;
  ++frames_;
  trailingDrops_ = 0;
  return writeEncoded();
}

HRESULT AviWriter::writeDib(const BYTE* top, std::ptrdiff_t stride) {
  const std::size_t row = DibConverter::RowBytes(width_, bitCount_);
  AVPacket* packet = muxer_->packet.get();
  if (av_new_packet(packet, int(row * std::size_t(height_))) < 0) return AVIERR_MEMORY;
  std::memset(packet->data, 0, std::size_t(packet->size));
  const std::size_t used = std::size_t(width_) * bitCount_ / 8;
  for (LONG y = 0; y < height_; ++y)
    std::memcpy(packet->data + row * std::size_t(height_ - 1 - y), top + stride * y, used);
  packet->pts = packet->dts = frames_++;
  trailingDrops_ = 0;
  packet->duration = 1;
  packet->flags |= AV_PKT_FLAG_KEY;
  packet->stream_index = muxer_->stream->index;
  const int r = av_write_frame(muxer_->context.get(), packet);
  av_packet_unref(packet);
  return r < 0 ? AVIERR_FILEWRITE : AVIERR_OK;
}

HRESULT AviWriter::writeDroppedFrame() {
  if (!isOpen()) return AVIERR_BADHANDLE;
  if (codec_ != AviCodec::Dib && codec_ != AviCodec::Mjpeg && codec_ != AviCodec::Ffv1)
    return AVIERR_UNSUPPORTED;
  // After a frame, the muxer fills the gap in frame numbers with a zero-size chunk; before the
  // first one it fills none, and no encoder output can be pending yet.
  if (frames_ == trailingDrops_) {
    const HRESULT r = writeEmpty(frames_++);
    trailingDrops_ = frames_;
    return r;
  }
  ++frames_;
  ++trailingDrops_;
  return AVIERR_OK;
}

HRESULT AviWriter::writeEmpty(LONG frame) {
  AVPacket* packet = muxer_->packet.get();
  av_packet_unref(packet);
  packet->pts = packet->dts = frame;
  packet->stream_index = muxer_->stream->index;
  return av_write_frame(muxer_->context.get(), packet) < 0 ? AVIERR_FILEWRITE : AVIERR_OK;
}

// Moves every packet the encoder has ready into the file.
HRESULT AviWriter::writeEncoded() {
  AVPacket* packet = muxer_->packet.get();
  for (;;) {
    const int r = encoder_->receive(packet);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return AVIERR_OK;
    if (r < 0) return AVIERR_COMPRESSOR;
    packet->stream_index = muxer_->stream->index;
    packet->duration = 1;
    const int w = av_write_frame(muxer_->context.get(), packet);
    av_packet_unref(packet);
    if (w < 0) return AVIERR_FILEWRITE;
  }
}

HRESULT AviWriter::close() {
  if (!isOpen()) return AVIERR_BADHANDLE;
  HRESULT result = finish();
  muxer_.reset();
  encoder_.reset();
  if (result != AVIERR_OK) return result;
  const bool patched =
      PatchStreamRate(path_, 0, rate_, scale_) &&
      (codec_ != AviCodec::Dib || PatchStreamHandler(path_, 0, MakeFourCC('D', 'I', 'B', ' '))) &&
      (codec_ != AviCodec::Dib || bitCount_ != 8 || PatchStreamPalette(path_, 0, palette_, 256));
  return patched ? AVIERR_OK : AVIERR_FILEWRITE;
}

HRESULT AviWriter::finish() {
  HRESULT result = AVIERR_OK;
  if (encoder_) {
    if (!encoder_->sendEnd()) result = AVIERR_COMPRESSOR;
    if (const HRESULT r = writeEncoded(); result == AVIERR_OK) result = r;
  }
  // Frames dropped at the end have no later packet to make the muxer fill the gap.
  if (result == AVIERR_OK && trailingDrops_ > 0 && trailingDrops_ < frames_)
    result = writeEmpty(frames_ - 1);
  if (av_write_trailer(muxer_->context.get()) < 0 && result == AVIERR_OK) result = AVIERR_FILEWRITE;
  if (avio_closep(&muxer_->context->pb) < 0 && result == AVIERR_OK) result = AVIERR_FILEWRITE;
  return result;
}

void AviWriter::discard() {
  muxer_.reset();
  encoder_.reset();
  std::remove(path_.c_str());
}

}  // namespace avifile
