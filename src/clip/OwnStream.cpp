// The clip stream's own read-only video stream: a synthetic source of 24-bit frames whose
// rows come from ReadFrame, so that the AVI library's frame and save calls accept the clip
// stream itself.
#include "clip/OwnStream.h"

#include <cstring>

#include "clip/AviStream.h"
#include "clip/SaveThreads.h"

namespace {
// The handler code that the own interface reports.
constexpr FOURCC kOwnHandler = MakeFourCC('l', 'm', 't', 'r');
}  // namespace

HRESULT TOwnStream::QueryInterface(const GUID& iid, void** object) {
  return owner_.StreamQueryInterface(iid, object);
}
DWORD TOwnStream::AddRef() {
  return owner_.StreamAddRef();
}
DWORD TOwnStream::Release() {
  return owner_.StreamRelease();
}
HRESULT TOwnStream::Create(LONG lParam1, LONG lParam2) {
  return owner_.StreamCreate(lParam1, lParam2);
}
HRESULT TOwnStream::Info(AVISTREAMINFOA* info, LONG size) {
  return owner_.StreamInfo(info, size);
}
LONG TOwnStream::FindSample(LONG position, LONG flags) {
  return owner_.StreamFindSample(position, flags);
}
HRESULT TOwnStream::ReadFormat(LONG position, void* format, LONG* formatSize) {
  return owner_.StreamReadFormat(position, format, formatSize);
}
HRESULT TOwnStream::SetFormat(LONG position, void* format, LONG formatSize) {
  return owner_.StreamSetFormat(position, format, formatSize);
}
HRESULT TOwnStream::Read(LONG start, LONG samples, void* buffer, LONG bufferSize, LONG* bytes,
                         LONG* samplesRead) {
  return owner_.StreamRead(start, samples, buffer, bufferSize, bytes, samplesRead);
}
HRESULT TOwnStream::Write(LONG start, LONG samples, void* buffer, LONG bufferSize, DWORD flags,
                          LONG* samplesWritten, LONG* bytesWritten) {
  return owner_.StreamWrite(start, samples, buffer, bufferSize, flags, samplesWritten,
                            bytesWritten);
}
HRESULT TOwnStream::Delete(LONG start, LONG samples) {
  return owner_.StreamDelete(start, samples);
}
HRESULT TOwnStream::ReadData(FOURCC fcc, void* buffer, LONG* bufferSize) {
  return owner_.StreamReadData(fcc, buffer, bufferSize);
}
HRESULT TOwnStream::WriteData(FOURCC fcc, void* buffer, LONG bufferSize) {
  return owner_.StreamWriteData(fcc, buffer, bufferSize);
}

HRESULT TAVISTREAM::StreamQueryInterface(const GUID& iid, void** object) {
  if (!object) return E_NOINTERFACE;
  if (iid.Data1 != IID_IAVIStream.Data1) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  StreamAddRef();
  *object = static_cast<IAVIStream*>(&ownInterface_);
  return AVIERR_OK;
}

DWORD TAVISTREAM::StreamAddRef() {
  return DWORD(++refCount_);
}
DWORD TAVISTREAM::StreamRelease() {
  return DWORD(--refCount_);
}

HRESULT TAVISTREAM::StreamCreate(LONG, LONG) {
  refCount_.store(1);
  return AVIERR_OK;
}

HRESULT TAVISTREAM::StreamInfo(AVISTREAMINFOA* info, LONG size) {
  if (!info || size < LONG(sizeof(AVISTREAMINFOA))) return AVIERR_BUFFERTOOSMALL;
  *info = AVISTREAMINFOA{};
  info->fccType = streamtypeVIDEO;
  info->fccHandler = kOwnHandler;
  info->dwScale = 1;
  info->dwRate = 15;
  info->dwLength = DWORD(FrameCount);
  int width = 0, height = 0;
  FrameSize(width, height);
  info->dwSuggestedBufferSize = DWORD(ImageSize(width, height));
  info->rcFrame = RECT{0, 0, width, height};
  return AVIERR_OK;
}

LONG TAVISTREAM::StreamFindSample(LONG position, LONG flags) {
  if (!(flags & FIND_FORMAT)) return position;  // every frame is a key frame
  // One format for the whole stream, at position 0.
  return (flags & 0x0F) != FIND_NEXT || position < 1 ? 0 : -1;
}

HRESULT TAVISTREAM::StreamReadFormat(LONG, void* format, LONG* formatSize) {
  if (!formatSize) return AVIERR_BADPARAM;
  const LONG needed = LONG(sizeof(BITMAPINFOHEADER)) + 4 * PaletteEntries();
  HRESULT result = AVIERR_OK;
  if (format && *formatSize != 0) {
    if (*formatSize < needed) {
      result = AVIERR_BUFFERTOOSMALL;
    } else {
      int width = 0, height = 0;
      FrameSize(width, height);
      BITMAPINFOHEADER header{};
      header.biSize = sizeof header;
      header.biWidth = width;
      header.biHeight = height;
      header.biPlanes = 1;
      header.biBitCount = WORD(BitCount());
      header.biSizeImage = DWORD(ImageSize(width, height));
      header.biClrUsed = header.biClrImportant = DWORD(PaletteEntries());
      std::memcpy(format, &header, sizeof header);
      auto* palette = reinterpret_cast<RGBQUAD*>(static_cast<BYTE*>(format) + sizeof header);
      for (int i = 0; i < PaletteEntries(); ++i) palette[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    }
  }
  *formatSize = needed;
  return result;
}

HRESULT TAVISTREAM::StreamSetFormat(LONG, void*, LONG) {
  return AVIERR_UNSUPPORTED;
}

HRESULT TAVISTREAM::StreamRead(LONG start, LONG, void* buffer, LONG bufferSize, LONG* bytes,
                               LONG* samplesRead) {
  if (start < 0 || start >= FrameCount) return AVIERR_BADPARAM;
  const LONG image = ImageSize();  // one snapshot: the size may change on another thread
  if (samplesRead) *samplesRead = 1;
  if (bytes) *bytes = image;
  if (!buffer || bufferSize == 0) return AVIERR_OK;
  if (image > bufferSize) return AVIERR_BUFFERTOOSMALL;
  switch (ReadFrame(start, buffer)) {
    case kFrameRead:
      return AVIERR_OK;
    case kFrameCancel:
      // Read runs on a save thread: the report reaches the handler on the interface thread.
      TAVISaveThread::ReportStreamProgress(*this, -1);
      return AVIERR_USERABORT;
    case kFrameEndOfData:
      endOfData_ = true;
      return AVIERR_OK;
    default:
      return AVIERR_FILEREAD;
  }
}

HRESULT TAVISTREAM::StreamWrite(LONG, LONG, void*, LONG, DWORD, LONG*, LONG*) {
  return AVIERR_UNSUPPORTED;
}
HRESULT TAVISTREAM::StreamDelete(LONG, LONG) {
  return AVIERR_UNSUPPORTED;
}
HRESULT TAVISTREAM::StreamReadData(FOURCC, void*, LONG*) {
  return AVIERR_UNSUPPORTED;
}
HRESULT TAVISTREAM::StreamWriteData(FOURCC, void*, LONG) {
  return AVIERR_UNSUPPORTED;
}

int TAVISTREAM::ReadFrame(int, void* buffer) {
  std::memset(buffer, 0, std::size_t(ImageSize()));
  return kFrameEndOfData;
}
