#include "platform/avifile/FfmpegFileStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/avifile/DecodingFrameGetter.h"

namespace avifile {

AVISTREAMINFOA StreamInfoFromHeaders(const StreamHeaders& headers, LONG frames) {
  const AVIStreamHeader h = headers.header();
  AVISTREAMINFOA info{};
  info.fccType = h.fccType;
  info.fccHandler = h.fccHandler;
  info.dwFlags = h.dwFlags;
  info.wPriority = h.wPriority;
  info.wLanguage = h.wLanguage;
  info.dwScale = h.dwScale;
  info.dwRate = h.dwRate;
  info.dwStart = h.dwStart;
  info.dwLength = DWORD(std::max<LONG>(frames, 0));
  info.dwInitialFrames = h.dwInitialFrames;
  info.dwSuggestedBufferSize = h.dwSuggestedBufferSize;
  info.dwQuality = h.dwQuality;
  info.dwSampleSize = h.dwSampleSize;
  info.rcFrame = RECT{h.rcLeft, h.rcTop, h.rcRight, h.rcBottom};
  if (info.rcFrame.right <= info.rcFrame.left || info.rcFrame.bottom <= info.rcFrame.top) {
    const auto format = RecordFrom<BITMAPINFOHEADER>(headers.strfData);
    info.rcFrame = RECT{0, 0, format.biWidth, std::abs(format.biHeight)};
  }
  const std::size_t name = std::min(headers.strnData.size(), sizeof info.szName - 1);
  if (name) std::memcpy(info.szName, headers.strnData.data(), name);
  return info;
}

FfmpegFileStream::FfmpegFileStream(FileStreamSource source)
    : source_(std::move(source)),
      info_(StreamInfoFromHeaders(source_.headers, source_.place.frames)) {}

FfmpegFileStream::~FfmpegFileStream() = default;

HRESULT FfmpegFileStream::QueryInterface(const GUID& iid, void** object) {
  if (!object) return AVIERR_BADPARAM;
  if (iid.Data1 != IID_IAVIStream.Data1) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  *object = static_cast<IAVIStream*>(this);
  return AVIERR_OK;
}

DWORD FfmpegFileStream::AddRef() {
  return ++references_;
}

DWORD FfmpegFileStream::Release() {
  const DWORD left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT FfmpegFileStream::Info(AVISTREAMINFOA* info, LONG size) {
  if (!info) return AVIERR_BADPARAM;
  if (size < LONG(sizeof info_)) return AVIERR_BUFFERTOOSMALL;
  *info = info_;
  return AVIERR_OK;
}

const BITMAPINFOHEADER* FfmpegFileStream::frame(LONG position) {
  if (!getter_) getter_ = DecodingFrameGetter::Open(source_.place);
  return getter_ ? static_cast<const BITMAPINFOHEADER*>(getter_->get(position)) : nullptr;
}

LONG FfmpegFileStream::FindSample(LONG position, LONG flags) {
  const LONG length = this->length();
  if (flags & FIND_FORMAT) return (flags & FIND_NEXT) && position > 0 ? -1 : 0;
  if (!(flags & FIND_KEY)) return position >= 0 && position < length ? position : -1;
  std::lock_guard guard(lock_);
  if (!frame(std::clamp<LONG>(position, 0, std::max<LONG>(length - 1, 0)))) return -1;
  const std::vector<LONG>& keys = getter_->timeline().keys();
  if (flags & FIND_NEXT) {
    auto it = std::lower_bound(keys.begin(), keys.end(), position);
    return it == keys.end() ? -1 : *it;
  }
  auto it = std::upper_bound(keys.begin(), keys.end(), position);
  return it == keys.begin() ? -1 : *(it - 1);
}

HRESULT FfmpegFileStream::ReadFormat(LONG position, void* format, LONG* formatSize) {
  if (!formatSize) return AVIERR_BADPARAM;
  std::lock_guard guard(lock_);
  const BITMAPINFOHEADER* dib = frame(std::max<LONG>(position, 0));
  if (!dib) return AVIERR_NODATA;
  const LONG needed = LONG(dib->biSize + 4 * dib->biClrUsed);
  const LONG given = *formatSize;
  *formatSize = needed;
  if (!format) return AVIERR_OK;
  if (given < needed) return AVIERR_BUFFERTOOSMALL;
  std::memcpy(format, dib, std::size_t(needed));
  return AVIERR_OK;
}

HRESULT FfmpegFileStream::Read(LONG start, LONG samples, void* buffer, LONG bufferSize, LONG* bytes,
                               LONG* samplesRead) {
  if (start < 0 || start >= length() || samples < 1) return AVIERR_BADPARAM;
  std::lock_guard guard(lock_);
  const BITMAPINFOHEADER* dib = frame(start);
  if (!dib) return AVIERR_FILEREAD;
  const LONG image = LONG(dib->biSizeImage);
  if (bytes) *bytes = image;
  if (samplesRead) *samplesRead = 1;
  if (!buffer) return AVIERR_OK;
  if (bufferSize < image) return AVIERR_BUFFERTOOSMALL;
  std::memcpy(buffer, reinterpret_cast<const BYTE*>(dib) + dib->biSize + 4 * dib->biClrUsed,
              std::size_t(image));
  return AVIERR_OK;
}

HRESULT FfmpegFileStream::ReadData(FOURCC fcc, void* buffer, LONG* bufferSize) {
  if (!bufferSize) return AVIERR_BADPARAM;
  if (fcc != MakeFourCC('s', 't', 'r', 'n') || source_.headers.strnData.empty())
    return AVIERR_NODATA;
  const auto& name = source_.headers.strnData;
  const LONG n = std::min<LONG>(*bufferSize, LONG(name.size()));
  if (buffer && n > 0) std::memcpy(buffer, name.data(), std::size_t(n));
  *bufferSize = buffer ? n : LONG(name.size());
  return AVIERR_OK;
}

}  // namespace avifile
