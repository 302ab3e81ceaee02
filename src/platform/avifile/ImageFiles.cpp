#include "platform/avifile/ImageFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/avifile/DibConverter.h"
#include "platform/avifile/FfmpegHandles.h"

namespace avifile {

namespace {

bool Matches(const BITMAPINFOHEADER* dib, LONG width, LONG height, WORD bitCount) {
  return dib && dib->biWidth == width && std::abs(dib->biHeight) == height &&
         dib->biBitCount == bitCount && dib->biCompression == 0;
}

DWORD Colors(const BITMAPINFOHEADER& dib) {
  return dib.biClrUsed ? std::min<DWORD>(dib.biClrUsed, 256) : dib.biBitCount == 8 ? 256 : 0;
}

// A Windows bitmap: file header, bitmap header, the frame's colour table, its rows as they are.
class BmpWriter final : public ImageFileWriter {
 public:
  BmpWriter(LONG width, LONG height, WORD bitCount)
      : width_(width), height_(height), bitCount_(bitCount) {}

  bool write(const std::string& path, const BITMAPINFOHEADER* dib) override {
    if (!Matches(dib, width_, height_, bitCount_)) return false;
    const DWORD colors = Colors(*dib);
    const DWORD image = DibConverter::RowBytes(width_, bitCount_) * DWORD(height_);
    std::vector<BYTE> head(14 + 40 + 4 * colors);
    BITMAPINFOHEADER info = *dib;
    info.biSize = 40;
    info.biSizeImage = image;
    info.biClrUsed = info.biClrImportant = colors;
    const BITMAPFILEHEADER file{0x4D42, DWORD(head.size() + image), 0, 0, DWORD(head.size())};
    std::memcpy(head.data(), &file, 14);
    std::memcpy(head.data() + 14, &info, 40);
    const BYTE* table = reinterpret_cast<const BYTE*>(dib) + dib->biSize;
    std::memcpy(head.data() + 54, table, 4 * colors);
    return WriteWholeFile(path, head.data(), head.size(), table + 4 * colors, image);
  }

 private:
  LONG width_, height_;
  WORD bitCount_;
};

struct EncoderFormat {
  AVCodecID id;
  AVPixelFormat format;
};

// What each image encoder takes: palettes stay palettes where the format has them.
EncoderFormat FormatFor(ImageType type, WORD bitCount) {
  const bool pal = bitCount == 8;
  switch (type) {
    case ImageType::Gif:
      return {AV_CODEC_ID_GIF, pal ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_BGR8};
    case ImageType::Jpeg:
      return {AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ444P};
    case ImageType::Tiff:
      return {AV_CODEC_ID_TIFF, pal ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_RGB24};
    case ImageType::Bmp:
      break;
  }
  return {AV_CODEC_ID_NONE, AV_PIX_FMT_NONE};
}

// An FFmpeg image encoder fed through swscale (or, for palettes, the indices and table as
// they are).
class EncodedWriter final : public ImageFileWriter {
 public:
  bool open(ImageType type, LONG width, LONG height, WORD bitCount) {
    type_ = type, width_ = width, height_ = height, bitCount_ = bitCount;
    const EncoderFormat f = FormatFor(type, bitCount);
    const AVCodec* codec = avcodec_find_encoder(f.id);
    if (!codec) return false;
    context_.reset(avcodec_alloc_context3(codec));
    if (!context_) return false;
    AVCodecContext& c = *context_;
    c.width = width;
    c.height = height;
    c.pix_fmt = f.format;
    c.time_base = AVRational{1, 25};
    if (type == ImageType::Jpeg) {
      c.color_range = AVCOL_RANGE_JPEG;
      c.flags |= AV_CODEC_FLAG_QSCALE;
      c.global_quality = FF_QP2LAMBDA * 2;
    }
    if (avcodec_open2(&c, codec, nullptr) < 0) return false;
    frame_ = makeFrame();
    frame_->format = f.format;
    frame_->width = width;
    frame_->height = height;
    frame_->color_range = c.color_range;
    return av_frame_get_buffer(frame_.get(), 0) >= 0;
  }

  bool write(const std::string& path, const BITMAPINFOHEADER* dib) override {
    if (!Matches(dib, width_, height_, bitCount_)) return false;
    // The GIF encoder codes later pictures as changes to earlier ones; every file must stand
    // alone, so each gets an encoder of its own.
    if (type_ == ImageType::Gif && written_++ > 0 && !open(type_, width_, height_, bitCount_))
      return false;
    if (!fill(dib)) return false;
    frame_->quality = context_->global_quality;
    PacketPtr packet = makePacket();
    if (avcodec_send_frame(context_.get(), frame_.get()) < 0 ||
        avcodec_receive_packet(context_.get(), packet.get()) < 0)
      return false;
    return WriteWholeFile(path, packet->data, std::size_t(packet->size), nullptr, 0);
  }

 private:
  bool fill(const BITMAPINFOHEADER* dib) {
    if (av_frame_make_writable(frame_.get()) < 0) return false;
    const BYTE* table = reinterpret_cast<const BYTE*>(dib) + dib->biSize;
    const BYTE* bits = table + 4 * Colors(*dib);
    const std::ptrdiff_t row = DibConverter::RowBytes(width_, bitCount_);
    // Bottom-up DIB rows read top-down by a negative stride.
    const BYTE* top = dib->biHeight > 0 ? bits + row * (height_ - 1) : bits;
    const std::ptrdiff_t stride = dib->biHeight > 0 ? -row : row;
    if (frame_->format == AV_PIX_FMT_PAL8) {
      for (LONG y = 0; y < height_; ++y)
        std::memcpy(frame_->data[0] + frame_->linesize[0] * y, top + stride * y,
                    std::size_t(width_));
      auto* palette = reinterpret_cast<std::uint32_t*>(frame_->data[1]);
      std::memset(palette, 0, 1024);
      for (DWORD i = 0; i < Colors(*dib); ++i)  // FFmpeg's palette: 0xAARRGGBB, opaque
        palette[i] = 0xFF000000u | table[4 * i + 2] << 16 | table[4 * i + 1] << 8 | table[4 * i];
      return true;
    }
    const AVPixelFormat source = bitCount_ == 8 ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_BGR24;
    sws_.reset(sws_getCachedContext(sws_.release(), width_, height_, source, width_, height_,
                                    AVPixelFormat(frame_->format), SWS_BICUBIC, nullptr, nullptr,
                                    nullptr));
    if (!sws_) return false;
    std::uint32_t palette[256] = {};
    for (DWORD i = 0; i < Colors(*dib); ++i)
      palette[i] = 0xFF000000u | table[4 * i + 2] << 16 | table[4 * i + 1] << 8 | table[4 * i];
    const std::uint8_t* planes[4] = {top, reinterpret_cast<const std::uint8_t*>(palette)};
    const int strides[4] = {int(stride)};
    return sws_scale(sws_.get(), planes, strides, 0, height_, frame_->data, frame_->linesize) ==
           height_;
  }

  CodecPtr context_;
  FramePtr frame_;
  SwsPtr sws_;
  ImageType type_ = ImageType::Gif;
  LONG width_ = 0, height_ = 0;
  WORD bitCount_ = 24;
  int written_ = 0;
};

}  // namespace

std::unique_ptr<ImageFileWriter> ImageFileWriter::Open(ImageType type, LONG width, LONG height,
                                                       WORD bitCount) {
  if (width <= 0 || height <= 0 || (bitCount != 8 && bitCount != 24)) return nullptr;
  if (type == ImageType::Bmp) return std::make_unique<BmpWriter>(width, height, bitCount);
  QuietFfmpeg();
  auto writer = std::make_unique<EncodedWriter>();
  if (!writer->open(type, width, height, bitCount)) return nullptr;
  return writer;
}

bool WriteWholeFile(const std::string& path, const void* head, std::size_t headSize,
                    const void* body, std::size_t bodySize) {
  // Never blocks on a FIFO or writes through a device that sits where a frame file goes.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return false;
  }
  std::FILE* file = ::fdopen(fd, "wb");
  if (!file) {
    ::close(fd);
    return false;
  }
  bool ok = std::fwrite(head, 1, headSize, file) == headSize;
  if (ok && bodySize) ok = std::fwrite(body, 1, bodySize, file) == bodySize;
  ok = std::fclose(file) == 0 && ok;
  if (!ok) std::remove(path.c_str());
  return ok;
}

}  // namespace avifile
