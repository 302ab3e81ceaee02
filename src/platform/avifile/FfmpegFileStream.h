#pragma once

// The video stream of an AVI file, as the AVI library hands it out. Its information comes
// from the file's own stream header; ReadFormat and Read give decompressed frames (the format
// a frame getter produces), decoded on demand. Reference counted; safe to AddRef and Release
// from any thread, the other calls serialize on an internal lock.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/avifile/AviFile.h"
#include "platform/avifile/FrameCount.h"
#include "platform/avifile/RiffScan.h"

namespace avifile {

class DecodingFrameGetter;

struct FileStreamSource {
  StreamPlace place;
  StreamHeaders headers;  // "strh", "strf", "strn" of the stream's "strl"
};

class FfmpegFileStream final : public IAVIStream {
 public:
  explicit FfmpegFileStream(FileStreamSource source);

  HRESULT QueryInterface(const GUID& iid, void** object) override;
  DWORD AddRef() override;
  DWORD Release() override;
  HRESULT Create(LONG, LONG) override { return AVIERR_UNSUPPORTED; }
  HRESULT Info(AVISTREAMINFOA* info, LONG size) override;
  LONG FindSample(LONG position, LONG flags) override;
  HRESULT ReadFormat(LONG position, void* format, LONG* formatSize) override;
  HRESULT SetFormat(LONG, void*, LONG) override { return AVIERR_READONLY; }
  HRESULT Read(LONG start, LONG samples, void* buffer, LONG bufferSize, LONG* bytes,
               LONG* samplesRead) override;
  HRESULT Write(LONG, LONG, void*, LONG, DWORD, LONG*, LONG*) override { return AVIERR_READONLY; }
  HRESULT Delete(LONG, LONG) override { return AVIERR_READONLY; }
  HRESULT ReadData(FOURCC fcc, void* buffer, LONG* bufferSize) override;
  HRESULT WriteData(FOURCC, void*, LONG) override { return AVIERR_READONLY; }

  const StreamPlace& place() const { return source_.place; }
  LONG length() const { return source_.place.frames; }

 private:
  ~FfmpegFileStream() override;
  const BITMAPINFOHEADER* frame(LONG position);  // caller holds lock_

  FileStreamSource source_;
  AVISTREAMINFOA info_{};
  std::atomic<DWORD> references_{1};
  std::mutex lock_;
  std::unique_ptr<DecodingFrameGetter> getter_;  // for Read, ReadFormat and FindSample
};

// Stream information from a stream header and its format chunk; the length is the frames the
// file holds, whatever the header says. Frame positions count from 0 whatever dwStart says.
AVISTREAMINFOA StreamInfoFromHeaders(const StreamHeaders& headers, LONG frames);

}  // namespace avifile
