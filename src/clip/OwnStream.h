#pragma once

#include "platform/avifile/AviFile.h"

class TAVISTREAM;

// The clip stream's own read-only video stream for the AVI library. Every entry forwards to a
// virtual operation of the clip stream. Counting references never frees anything: the clip
// stream owns this object.
class TOwnStream final : public IAVIStream {
 public:
  explicit TOwnStream(TAVISTREAM& owner) : owner_(owner) {}
  ~TOwnStream() override = default;

  HRESULT QueryInterface(const GUID& iid, void** object) override;
  DWORD AddRef() override;
  DWORD Release() override;
  HRESULT Create(LONG lParam1, LONG lParam2) override;
  HRESULT Info(AVISTREAMINFOA* info, LONG size) override;
  LONG FindSample(LONG position, LONG flags) override;
  HRESULT ReadFormat(LONG position, void* format, LONG* formatSize) override;
  HRESULT SetFormat(LONG position, void* format, LONG formatSize) override;
  HRESULT Read(LONG start, LONG samples, void* buffer, LONG bufferSize, LONG* bytes,
               LONG* samplesRead) override;
  HRESULT Write(LONG start, LONG samples, void* buffer, LONG bufferSize, DWORD flags,
                LONG* samplesWritten, LONG* bytesWritten) override;
  HRESULT Delete(LONG start, LONG samples) override;
  HRESULT ReadData(FOURCC fcc, void* buffer, LONG* bufferSize) override;
  HRESULT WriteData(FOURCC fcc, void* buffer, LONG bufferSize) override;

 private:
  TAVISTREAM& owner_;
};
