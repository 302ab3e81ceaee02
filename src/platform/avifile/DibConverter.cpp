#include "platform/avifile/DibConverter.h"

#include <cstring>

#include "platform/avifile/AviFile.h"

namespace avifile {

namespace {

void KeepMemory(void*, std::uint8_t*) {}  // the DIB buffer belongs to the getter

}  // namespace

BITMAPINFOHEADER MakeDibHeader(LONG width, LONG height, WORD bitCount) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bitCount;
  h.biSizeImage = DibConverter::RowBytes(width, bitCount) * DWORD(height);
  h.biClrUsed = bitCount <= 8 ? 1u << bitCount : 0;
  return h;
}

DibConverter::~DibConverter() = default;

bool DibConverter::convert(const AVFrame& frame, std::vector<BYTE>& dib) {
  const auto format = AVPixelFormat(frame.format);
  const bool eight = !always24_ && (format == AV_PIX_FMT_PAL8 || format == AV_PIX_FMT_GRAY8);
  const WORD bitCount = eight ? 8 : 24;
  if (!FrameSizeAllowed(frame.width, frame.height)) return false;
  const BITMAPINFOHEADER header = MakeDibHeader(frame.width, frame.height, bitCount);
  const std::size_t paletteBytes = 4 * std::size_t(header.biClrUsed);
  const std::size_t size = sizeof header + paletteBytes + header.biSizeImage;
  if (dib.size() != size) dib.assign(size, 0);  // row padding stays zero from here on
  std::memcpy(dib.data(), &header, sizeof header);
  BYTE* palette = dib.data() + sizeof header;
  BYTE* bits = palette + paletteBytes;
  const DWORD stride = RowBytes(frame.width, bitCount);
  if (!eight) return toBgr(frame, bits, stride);

  for (int i = 0; i < 256; ++i) {
    BYTE* q = palette + 4 * i;
    if (format == AV_PIX_FMT_PAL8) {
      const uint32_t argb = reinterpret_cast<const uint32_t*>(frame.data[1])[i];
      q[0] = BYTE(argb), q[1] = BYTE(argb >> 8), q[2] = BYTE(argb >> 16), q[3] = 0;
    } else {
      q[0] = q[1] = q[2] = BYTE(i), q[3] = 0;
    }
  }
  for (int y = 0; y < frame.height; ++y)
    std::memcpy(bits + std::size_t(frame.height - 1 - y) * stride,
                frame.data[0] + std::ptrdiff_t(y) * frame.linesize[0], std::size_t(frame.width));
  return true;
}

bool DibConverter::ensureScaler(const AVFrame& frame) {
  if (sws_ && frame.width == width_ && frame.height == height_ && frame.format == format_ &&
      frame.colorspace == colorspace_ && frame.color_range == range_)
    return true;
  sws_.reset(sws_alloc_context());
  if (!sws_) return false;
  SwsContext* s = sws_.get();
  av_opt_set_int(s, "srcw", frame.width, 0);
  av_opt_set_int(s, "srch", frame.height, 0);
  av_opt_set_int(s, "src_format", frame.format, 0);
  av_opt_set_int(s, "dstw", frame.width, 0);
  av_opt_set_int(s, "dsth", frame.height, 0);
  av_opt_set_int(s, "dst_format", AV_PIX_FMT_BGR24, 0);
  av_opt_set_int(s, "sws_flags", SWS_BICUBIC, 0);
  av_opt_set_int(s, "threads", 0, 0);  // slices on every core, as the command line does
  if (sws_init_context(s, nullptr, nullptr) < 0) {
    sws_.reset();
    return false;
  }
  int *inverse = nullptr, *table = nullptr;
  int srcFull = 0, dstFull = 0, brightness = 0, contrast = 0, saturation = 0;
  if (sws_getColorspaceDetails(s, &inverse, &srcFull, &table, &dstFull, &brightness, &contrast,
                               &saturation) >= 0) {
    const int* coefficients = sws_getCoefficients(frame.colorspace);
    if (frame.color_range != AVCOL_RANGE_UNSPECIFIED)
      srcFull = frame.color_range == AVCOL_RANGE_JPEG;
    sws_setColorspaceDetails(s, coefficients, srcFull, coefficients, dstFull, brightness, contrast,
                             saturation);
  }
  width_ = frame.width, height_ = frame.height, format_ = frame.format;
  colorspace_ = frame.colorspace, range_ = frame.color_range;
  scratch_.reset();
  return true;
}

bool DibConverter::toBgr(const AVFrame& frame, BYTE* bits, DWORD stride) {
  if (!ensureScaler(frame)) return false;
  const int w = frame.width, h = frame.height;
  FramePtr target = makeFrame();
  target->format = AV_PIX_FMT_BGR24;
  target->width = w;
  target->height = h;
  // The scaler's vector code may write past a row's last pixel up to a multiple of 8 pixels;
  // narrower rows than that go through an aligned scratch image first.
  const bool direct = w % 32 == 0;
  if (direct) {
    target->buf[0] = av_buffer_create(bits, int(stride) * h, KeepMemory, nullptr, 0);
    target->data[0] = bits + std::size_t(h - 1) * stride;  // bottom-up
    target->linesize[0] = -int(stride);
  } else {
    if (!scratch_) {
      scratch_ = makeFrame();
      scratch_->format = AV_PIX_FMT_BGR24, scratch_->width = w, scratch_->height = h;
      if (av_frame_get_buffer(scratch_.get(), 0) < 0) scratch_.reset();
    }
    if (!scratch_ || av_frame_ref(target.get(), scratch_.get()) < 0) return false;
  }
  if (!target->buf[0] || sws_scale_frame(sws_.get(), target.get(), &frame) < 0) return false;
  if (!direct) {
    const std::size_t rowBytes = std::size_t(w) * 3;
    for (int y = 0; y < h; ++y)
      std::memcpy(bits + std::size_t(h - 1 - y) * stride,
                  scratch_->data[0] + std::ptrdiff_t(y) * scratch_->linesize[0], rowBytes);
  }
  return true;
}

}  // namespace avifile
