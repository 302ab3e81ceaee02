#pragma once

#include "platform/avifile/AviFile.h"

// Frames first .. first + count - 1 of another stream as a stream of their own, the decoded
// pictures as its native data, so that a save writes only that part of a clip. It reads through
// a frame getter of its own, so it may run on a save thread while the source's owner keeps
// fetching frames with its getter. Reference counting frees nothing: its owner keeps it alive
// until the save that reads it has ended.
class TFrameRangeStream : public IAVIStream {
 public:
  TFrameRangeStream(PAVISTREAM source, LONG first, LONG count);
  ~TFrameRangeStream() override;
  TFrameRangeStream(const TFrameRangeStream&) = delete;
  TFrameRangeStream& operator=(const TFrameRangeStream&) = delete;

  HRESULT QueryInterface(const GUID& iid, void** object) override;
  DWORD AddRef() override { return 1; }
  DWORD Release() override { return 1; }
  HRESULT Create(LONG, LONG) override { return AVIERR_OK; }
  HRESULT Info(AVISTREAMINFOA* info, LONG size) override;
  LONG FindSample(LONG position, LONG) override { return position; }
  HRESULT ReadFormat(LONG position, void* format, LONG* formatSize) override;
  HRESULT SetFormat(LONG, void*, LONG) override { return AVIERR_UNSUPPORTED; }
  HRESULT Read(LONG start, LONG samples, void* buffer, LONG bufferSize, LONG* bytes,
               LONG* samplesRead) override;
  HRESULT Write(LONG, LONG, void*, LONG, DWORD, LONG*, LONG*) override {
    return AVIERR_UNSUPPORTED;
  }
  HRESULT Delete(LONG, LONG) override { return AVIERR_UNSUPPORTED; }
  HRESULT ReadData(FOURCC, void*, LONG*) override { return AVIERR_UNSUPPORTED; }
  HRESULT WriteData(FOURCC, void*, LONG) override { return AVIERR_UNSUPPORTED; }

 private:
  const BITMAPINFOHEADER* picture(LONG position);

  PAVISTREAM source_;
  LONG first_, count_;
  PGETFRAME getter_ = nullptr;
};
