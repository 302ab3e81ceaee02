#include "platform/avifile/AviSave.h"

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/avifile/AviWriter.h"
#include "platform/avifile/FfmpegFileStream.h"
#include "platform/avifile/FrameGetter.h"
#include "platform/avifile/RiffEdit.h"
#include "platform/avifile/RiffScan.h"

namespace {

using avifile::AviCodec;

struct GetterCloser {
  void operator()(FrameGetter* g) const { AVIStreamGetFrameClose(g); }
};
using GetterPtr = std::unique_ptr<FrameGetter, GetterCloser>;

// The descriptor chunk of the file behind a file stream; empty for any other stream.
std::vector<BYTE> SourceDescriptor(PAVISTREAM stream) {
  const auto* file = dynamic_cast<const avifile::FfmpegFileStream*>(stream);
  if (!file) return {};
  const std::optional<avifile::RiffLayout> layout = avifile::ScanRiff(file->place().path);
  const avifile::ChunkRef* chunk =
      layout ? layout->findTopLevel(MakeFourCC('t', 't', 'l', 's')) : nullptr;
  if (!chunk) return {};
  std::vector<BYTE> data(chunk->available);
  data.resize(avifile::ReadChunkData(file->place().path, *chunk, data.data(), data.size()));
  return data;
}

// Fetches (decodes) frames on a thread of its own, a few ahead of the encoder, so that
// decoding and encoding share the work on two cores. A frame that cannot be had ends the queue.
class FramePrefetch {
 public:
  FramePrefetch(FrameGetter* getter, LONG frames)
      : thread_([this, getter, frames] { run(getter, frames); }) {}
  ~FramePrefetch() {
    {
      std::lock_guard<std::mutex> lock(lock_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  // The next frame's packed DIB, empty when it could not be had.
  std::vector<BYTE> next() {
    std::unique_lock<std::mutex> lock(lock_);
    changed_.wait(lock, [this] { return !ready_.empty(); });
    std::vector<BYTE> dib = std::move(ready_.front());
    ready_.pop_front();
    changed_.notify_all();
    return dib;
  }

 private:
  static constexpr std::size_t kAhead = 3;
  void run(FrameGetter* getter, LONG frames) {
    for (LONG n = 0; n < frames; ++n) {
      const auto* dib = static_cast<const BITMAPINFOHEADER*>(getter->get(n));
      std::vector<BYTE> copy;
      if (dib)
        copy.assign(reinterpret_cast<const BYTE*>(dib),
                    reinterpret_cast<const BYTE*>(dib) + PackedDibSize(dib));
      std::unique_lock<std::mutex> lock(lock_);
      changed_.wait(lock, [this] { return stop_ || ready_.size() < kAhead; });
      if (stop_) return;
      ready_.push_back(std::move(copy));
      changed_.notify_all();
      if (!dib) return;
    }
  }

  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<std::vector<BYTE>> ready_;
  bool stop_ = false;
  std::thread thread_;  // last: starts when the rest is ready
};

// One save: frames from a getter of its own into the writer, percent to the callback whenever
// it changes.
class StreamSaver {
 public:
  StreamSaver(PAVISTREAM stream, const AVICOMPRESSOPTIONS& options, AVISAVECALLBACK callback)
      : stream_(stream), options_(options), callback_(callback) {}

  HRESULT run(const std::string& path) {
    AVISTREAMINFOA info{};
    if (stream_->Info(&info, sizeof info) != AVIERR_OK) return AVIERR_BADPARAM;
    const LONG frames = LONG(std::min<DWORD>(info.dwLength, 0x7FFFFFFF));
    if (frames <= 0) return AVIERR_NODATA;
    const std::optional<AviCodec> codec = avifile::AviCodecFromHandler(options_.fccHandler);
    if (!codec) return AVIERR_NOCOMPRESSOR;
    GetterPtr getter(AVIStreamGetFrameOpen(stream_, nullptr));
    if (!getter) return AVIERR_BADFORMAT;
    if (cancelled(0)) return AVIERR_USERABORT;
    HRESULT result = AVIERR_OK;
    for (LONG n = 0; n < frames && result == AVIERR_OK; ++n) {
      const auto* dib = static_cast<const BITMAPINFOHEADER*>(getter->get(n));
      if (!dib)
        result = AVIERR_FILEREAD;
      else if (n == 0)
        result = open(path, *codec, info, *dib);
      if (result == AVIERR_OK) result = writer_.writeFrame(dib);
      if (result == AVIERR_OK && cancelled(LONG((std::int64_t(n) + 1) * 100 / frames)))
        result = AVIERR_USERABORT;
    }
    return finish(path, result);
  }

 private:
  bool cancelled(LONG percent) {
    if (percent == percent_) return false;
    percent_ = percent;
    return callback_ && callback_(int(percent)) != 0;
  }

  HRESULT open(const std::string& path, AviCodec codec, const AVISTREAMINFOA& info,
               const BITMAPINFOHEADER& dib) {
    // A stream without a rate plays as a clip without timing: 1000 frames per second.
    const bool timed = info.dwRate > 0 && info.dwScale > 0;
    const auto* palette =
        reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(&dib) + dib.biSize);
    RGBQUAD table[256] = {};
    if (dib.biBitCount == 8) std::memcpy(table, palette, 4 * std::min<DWORD>(dib.biClrUsed, 256));
    const DWORD keyFrames =
        options_.dwFlags & AVICOMPRESSF_KEYFRAMES ? options_.dwKeyFrameEvery : 0;
    const DWORD rate = options_.dwFlags & AVICOMPRESSF_DATARATE ? options_.dwBytesPerSecond : 0;
    return writer_.open(path, dib.biWidth, std::abs(dib.biHeight), dib.biBitCount,
                        dib.biBitCount == 8 ? table : nullptr, codec, timed ? info.dwRate : 1000,
                        timed ? info.dwScale : 1, keyFrames, options_.dwQuality, rate);
  }

  // Closes the file; a failed or cancelled save leaves nothing behind.
  HRESULT finish(const std::string& path, HRESULT result) {
    if (writer_.isOpen()) {
      const HRESULT closed = writer_.close();
      if (result == AVIERR_OK) result = closed;
    }
    if (result == AVIERR_OK) {
      const std::vector<BYTE> descriptor = SourceDescriptor(stream_);
      if (!descriptor.empty() &&
          !avifile::AppendRiffChunk(path, MakeFourCC('t', 't', 'l', 's'), descriptor.data(),
                                    DWORD(descriptor.size())))
        result = AVIERR_FILEWRITE;
    }
    if (result != AVIERR_OK) std::remove(path.c_str());
    return result;
  }

  PAVISTREAM stream_;
  AVICOMPRESSOPTIONS options_;
  AVISAVECALLBACK callback_;
  avifile::AviWriter writer_;
  LONG percent_ = -1;
};

}  // namespace

HRESULT AVISaveVA(const char* fileName, const void* handler, AVISAVECALLBACK callback, int streams,
                  PAVISTREAM* streamList, AVICOMPRESSOPTIONS** options) {
  if (!fileName || handler || streams != 1 || !streamList || !streamList[0] || !options ||
      !options[0])
    return AVIERR_BADPARAM;
  StreamSaver saver(streamList[0], *options[0], callback);
  return saver.run(fileName);
}
