#pragma once

// The AVI library: open clip files, read stream information and chunks, fetch decompressed
// frames as packed DIBs. Implemented over FFmpeg; FFmpeg's headers stay inside this folder.

#include <cstddef>
#include <cstdint>

#include "platform/avifile/AviTypes.h"

// The bytes of decoded pictures one frame getter may keep. The largest picture the library
// hands out is one whose 24-bit DIB alone fills this budget (256 MiB: about 89.5 million
// pixels, e.g. 9450 x 9450 or 16384 x 5460); a larger picture fails like a frame that cannot be
// decoded, before anything of its size is allocated.
constexpr std::size_t kFrameBudgetBytes = std::size_t(256) << 20;
constexpr std::int64_t kMaxFramePixels = std::int64_t(kFrameBudgetBytes / 3);

// Whether a width x height picture is within the bound above.
constexpr bool FrameSizeAllowed(std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0 || width > kMaxFramePixels || height > kMaxFramePixels)
    return false;
  return (width * 24 + 31) / 32 * 4 * height <= std::int64_t(kFrameBudgetBytes);
}

// A read-only video stream. Reference counted: a new stream starts at 1 and frees itself when
// Release brings the count to 0. Both the FFmpeg file stream and the clip stream's own
// interface implement it, so every frame and save call accepts either.
class IAVIStream {
 public:
  virtual HRESULT QueryInterface(const GUID& iid, void** object) = 0;
  virtual DWORD AddRef() = 0;
  virtual DWORD Release() = 0;
  virtual HRESULT Create(LONG lParam1, LONG lParam2) = 0;
  virtual HRESULT Info(AVISTREAMINFOA* info, LONG size) = 0;
  virtual LONG FindSample(LONG position, LONG flags) = 0;
  // Writes the frame format (BITMAPINFOHEADER + palette) into format when *formatSize is
  // large enough; always sets *formatSize to the size needed.
  virtual HRESULT ReadFormat(LONG position, void* format, LONG* formatSize) = 0;
  virtual HRESULT SetFormat(LONG position, void* format, LONG formatSize) = 0;
  // Reads `samples` frames from `start` as the stream's native data (for a synthetic stream:
  // uncompressed DIB rows); reports the bytes and samples that were (or would be) read.
  virtual HRESULT Read(LONG start, LONG samples, void* buffer, LONG bufferSize, LONG* bytes,
                       LONG* samplesRead) = 0;
  virtual HRESULT Write(LONG start, LONG samples, void* buffer, LONG bufferSize, DWORD flags,
                        LONG* samplesWritten, LONG* bytesWritten) = 0;
  virtual HRESULT Delete(LONG start, LONG samples) = 0;
  virtual HRESULT ReadData(FOURCC fcc, void* buffer, LONG* bufferSize) = 0;
  virtual HRESULT WriteData(FOURCC fcc, void* buffer, LONG bufferSize) = 0;

 protected:
  virtual ~IAVIStream() = default;
};
using PAVISTREAM = IAVIStream*;

class AviFileImpl;
using PAVIFILE = AviFileImpl*;
class FrameGetter;
using PGETFRAME = FrameGetter*;

void AVIFileInit();
void AVIFileExit();
// mode OF_READ; handler may be null (the standard AVI handler). 0 on success.
HRESULT AVIFileOpenA(PAVIFILE* file, const char* fileName, DWORD mode, const void* handler);
// The lParam-th stream of type fccType (streamtypeVIDEO); AVIERR_NODATA when there is none.
HRESULT AVIFileGetStream(PAVIFILE file, PAVISTREAM* stream, DWORD fccType, LONG lParam);
DWORD AVIFileRelease(PAVIFILE file);
// A top-level chunk's data: *size in = buffer size, out = bytes copied.
HRESULT AVIFileReadData(PAVIFILE file, DWORD ckid, void* data, LONG* size);
HRESULT AVIStreamInfo(PAVISTREAM stream, AVISTREAMINFOA* info, LONG size);
DWORD AVIStreamRelease(PAVISTREAM stream);
// wanted: null for the default (24-bit BGR, or 8-bit with palette for 8-bit sources).
PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, const BITMAPINFOHEADER* wanted);
// A packed DIB (header, colour table, bottom-up rows padded to 4 bytes) owned by the getter
// and valid until the next call or close; null when the frame cannot be had.
void* AVIStreamGetFrame(PGETFRAME getter, LONG position);
HRESULT AVIStreamGetFrameClose(PGETFRAME getter);

// Size in bytes of a packed DIB: header + colour table + image.
DWORD PackedDibSize(const BITMAPINFOHEADER* header);
