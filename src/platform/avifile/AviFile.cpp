#include "platform/avifile/AviFile.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/FileCheck.h"
#include "platform/avifile/DecodingFrameGetter.h"
#include "platform/avifile/FfmpegFileStream.h"
#include "platform/avifile/FfmpegHandles.h"
#include "platform/avifile/FrameCount.h"
#include "platform/avifile/RiffScan.h"

// An open AVI file: its RIFF layout and the video streams FFmpeg found in it.
class AviFileImpl {
 public:
  std::string path;
  avifile::RiffLayout layout;
  std::vector<avifile::FileStreamSource> videos;
};

namespace {

std::atomic<int> initCount{0};

// A stream whose origin comes from its first packet: FFmpeg has no index of it.
struct PendingOrigin {
  std::size_t video;
  std::int64_t leadingEmpty;
};

// The stream's frames and origin from the file: FFmpeg's index (which an OpenDML index may
// extend past "idx1") and the "idx1" entries, or the chunks of "movi" when there is no index.
// The origin is FFmpeg's timestamp of the first chunk with data less the empty chunks before.
std::optional<PendingOrigin> PlaceStream(AVStream* stream, const avifile::RiffLayout& layout,
                                         std::size_t strl, avifile::StreamPlace& place) {
  avifile::ChunkTally tally = avifile::TallyIndex(place.path, layout, strl);
  if (tally.chunks == 0) tally = avifile::TallyMovi(place.path, layout, strl);
  place.frames = avifile::ClampFrames(tally.chunks);
  const int entries = avformat_index_get_entries_count(stream);
  if (entries <= 0) return PendingOrigin{0, tally.leadingEmpty};
  place.origin = avformat_index_get_entry(stream, 0)->timestamp - tally.leadingEmpty;
  const std::int64_t last = avformat_index_get_entry(stream, entries - 1)->timestamp;
  place.frames = avifile::ClampFrames(std::max(tally.chunks, last + 1 - place.origin));
  return std::nullopt;
}

// Reads packets from the start until each pending stream has shown its first one.
void LearnOrigins(AVFormatContext* input, std::vector<avifile::FileStreamSource>& videos,
                  std::vector<PendingOrigin> pending) {
  constexpr int kMaxPackets = 4096;
  avifile::PacketPtr packet = avifile::makePacket();
  for (int n = 0; !pending.empty() && n < kMaxPackets && av_read_frame(input, packet.get()) >= 0;
       ++n) {
    for (auto it = pending.begin(); it != pending.end(); ++it) {
      avifile::StreamPlace& place = videos[it->video].place;
      if (place.ffmpegIndex != packet->stream_index || packet->size <= 0 ||
          packet->dts == AV_NOPTS_VALUE)
        continue;
      place.origin = packet->dts - it->leadingEmpty;
      pending.erase(it);
      break;
    }
    av_packet_unref(packet.get());
  }
}

// FFmpeg's stream numbers follow the "strl" lists; match them by order among video streams
// when FFmpeg skipped a stream it does not know.
std::vector<avifile::FileStreamSource> FindVideos(AVFormatContext* input,
                                                  const avifile::RiffLayout& layout,
                                                  const std::string& path) {
  std::vector<std::size_t> videoStrl;
  for (std::size_t i = 0; i < layout.streams.size(); ++i)
    if (layout.streams[i].type() == streamtypeVIDEO) videoStrl.push_back(i);
  const bool sameOrder = input->nb_streams == layout.streams.size();
  std::vector<avifile::FileStreamSource> videos;
  std::vector<PendingOrigin> pending;
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    AVStream* stream = input->streams[i];
    if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
    const std::size_t k = videos.size();
    const std::size_t strl = sameOrder ? i : k < videoStrl.size() ? videoStrl[k] : SIZE_MAX;
    avifile::FileStreamSource& source = videos.emplace_back();
    source.place.path = path;
    source.place.ffmpegIndex = int(i);
    if (strl < layout.streams.size()) source.headers = layout.streams[strl];
    if (std::optional<PendingOrigin> p = PlaceStream(stream, layout, strl, source.place))
      pending.push_back(PendingOrigin{k, p->leadingEmpty});
  }
  if (!pending.empty()) LearnOrigins(input, videos, std::move(pending));
  return videos;
}

}  // namespace

void AVIFileInit() {
  if (initCount++ == 0) avifile::QuietFfmpeg();
}

void AVIFileExit() {
  if (initCount > 0) --initCount;
}

HRESULT AVIFileOpenA(PAVIFILE* file, const char* fileName, DWORD mode, const void*) {
  if (!file || !fileName) return AVIERR_BADPARAM;
  *file = nullptr;
  if (mode & (OF_WRITE | OF_CREATE)) return AVIERR_READONLY;
  if (!IsRegularFile(fileName)) return AVIERR_FILEOPEN;  // a FIFO would block every open
  if (!avifile::OpenFile(fileName, "rb")) return AVIERR_FILEOPEN;
  std::optional<avifile::RiffLayout> layout = avifile::ScanRiff(fileName);
  AVFormatContext* context = nullptr;
  if (!layout || avformat_open_input(&context, fileName, av_find_input_format("avi"), nullptr) < 0)
    return AVIERR_BADFORMAT;
  avifile::InputPtr input(context);
  auto impl = std::make_unique<AviFileImpl>();
  impl->path = fileName;
  impl->videos = FindVideos(input.get(), *layout, impl->path);
  impl->layout = std::move(*layout);
  *file = impl.release();
  return AVIERR_OK;
}

HRESULT AVIFileGetStream(PAVIFILE file, PAVISTREAM* stream, DWORD fccType, LONG lParam) {
  if (!file || !stream) return AVIERR_BADPARAM;
  *stream = nullptr;
  if ((fccType != 0 && fccType != streamtypeVIDEO) || lParam < 0 ||
      std::size_t(lParam) >= file->videos.size())
    return AVIERR_NODATA;
  *stream = new avifile::FfmpegFileStream(file->videos[std::size_t(lParam)]);
  return AVIERR_OK;
}

DWORD AVIFileRelease(PAVIFILE file) {
  delete file;
  return 0;
}

HRESULT AVIFileReadData(PAVIFILE file, DWORD ckid, void* data, LONG* size) {
  if (!file || !size || *size < 0) return AVIERR_BADPARAM;
  const avifile::ChunkRef* chunk = file->layout.findTopLevel(ckid);
  if (!chunk) return AVIERR_NODATA;
  if (!data) {
    *size = LONG(chunk->size);
    return AVIERR_OK;
  }
  const std::size_t wanted = std::min<std::size_t>(std::size_t(*size), chunk->available);
  const std::size_t read = avifile::ReadChunkData(file->path, *chunk, data, wanted);
  *size = LONG(read);
  return read == wanted ? AVIERR_OK : AVIERR_FILEREAD;
}

HRESULT AVIStreamInfo(PAVISTREAM stream, AVISTREAMINFOA* info, LONG size) {
  return stream ? stream->Info(info, size) : AVIERR_BADHANDLE;
}

DWORD AVIStreamRelease(PAVISTREAM stream) {
  return stream ? stream->Release() : 0;
}

PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, const BITMAPINFOHEADER* wanted) {
  if (!stream) return nullptr;
  const bool always24 = wanted && wanted->biBitCount == 24;
  if (wanted && wanted->biBitCount != 0 && wanted->biBitCount != 8 && !always24) return nullptr;
  auto* file = dynamic_cast<avifile::FfmpegFileStream*>(stream);
  if (!file) return new avifile::StreamFrameGetter(stream);
  return avifile::DecodingFrameGetter::Open(file->place(), always24).release();
}

void* AVIStreamGetFrame(PGETFRAME getter, LONG position) {
  return getter ? const_cast<void*>(getter->get(position)) : nullptr;
}

HRESULT AVIStreamGetFrameClose(PGETFRAME getter) {
  delete getter;
  return AVIERR_OK;
}

DWORD PackedDibSize(const BITMAPINFOHEADER* header) {
  if (!header) return 0;
  const DWORD colors = header->biClrUsed         ? header->biClrUsed
                       : header->biBitCount <= 8 ? 1u << header->biBitCount
                                                 : 0;
  const DWORD image = header->biSizeImage
                          ? header->biSizeImage
                          : ((DWORD(header->biWidth) * header->biBitCount + 31) / 32) * 4 *
                                DWORD(std::abs(header->biHeight));
  return header->biSize + 4 * colors + image;
}
