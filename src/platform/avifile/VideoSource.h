#pragma once

// Demuxes one video stream of an AVI file and decodes it into pictures in display order, each
// tagged with the frame number (slot) whose data it came from: FFmpeg's timestamp less the
// stream's origin, so that the stream's first chunk is frame 0. Random access goes through the
// file's index: seek to a key frame, then read forward. A file without an index is read from
// its start. One per frame getter; used by one thread at a time.

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/avifile/FfmpegHandles.h"
#include "platform/avifile/FrameCount.h"
#include "platform/avifile/PictureTimeline.h"

namespace avifile {

struct Picture {
  LONG slot = -1;
  FramePtr frame;  // null: the slot's data could not be decoded
};

class VideoSource {
 public:
  // Null when the file cannot be opened or the stream has no decoder.
  static std::unique_ptr<VideoSource> Open(const StreamPlace& place);
  ~VideoSource();
  VideoSource(const VideoSource&) = delete;
  VideoSource& operator=(const VideoSource&) = delete;

  const PictureTimeline& timeline() const { return timeline_; }
  // Positions the source so that the next picture starts the group of `key` (a key frame of
  // the index); a file without an index, or key < 0, starts over from the first frame.
  // `longRun`: many pictures follow in a row, so a frame-threaded decoder may take them (it
  // holds a picture back per thread, which single steps would pay for).
  bool seek(LONG key, bool longRun = false);
  // The next picture in display order; nullopt when the stream is exhausted, not positioned
  // or the seek landed on a frame that does not start a group (the key is demoted then).
  std::optional<Picture> next();
  // Ordinal of the next picture, or -1 when next() would give nothing.
  LONG nextOrdinal() const { return active() ? nextOrdinal_ : -1; }
  bool active() const { return positioned_ && !(drained_ && ready_.empty()); }

 private:
  VideoSource() = default;
  bool openInput(const std::string& path);
  bool openDecoder();
  CodecPtr newDecoder(bool frameThreads) const;
  void loadIndex();
  void resetSession(LONG key, LONG ordinal);
  // The frame number of an FFmpeg timestamp; nullopt outside 0 .. INT32_MAX.
  std::optional<LONG> slotOf(std::int64_t timestamp) const;
  bool readPacket();
  bool feedDecoder();
  void takeFrame(AVFrame* frame);
  void noteLeading(const AVPacket& packet);
  void settleLeading();
  void releaseHeld();

  std::string path_;
  int stream_ = -1;
  std::int64_t origin_ = 0;
  InputPtr input_;
  BsfPtr bsf_;
  const AVCodec* decoderCodec_ = nullptr;
  ParametersPtr parameters_;           // what the decoders are opened with
  CodecPtr stepDecoder_;               // slice threads: no picture held back
  CodecPtr runDecoder_;                // frame threads, opened on the first long run
  AVCodecContext* decoder_ = nullptr;  // the one in use
  PacketPtr packet_ = makePacket();
  PacketPtr raw_ = makePacket();
  FramePtr frame_ = makeFrame();
  PictureTimeline timeline_;
  AVCodecID codec_ = AV_CODEC_ID_NONE;
  bool tagged_ = false;  // the decoder gives one picture per packet, in order
  bool sniff_ = false;   // leading B pictures are counted from the packets

  static constexpr int kMaxErrors = 64;  // decoder errors in a row before giving up
  int errors_ = 0;
  bool positioned_ = false;
  bool demuxEnded_ = false;
  bool drained_ = false;
  LONG startKey_ = -1;
  bool firstPacket_ = false;
  bool leadingKnown_ = true;
  LONG leading_ = 0;
  LONG nextOrdinal_ = 0;
  std::deque<Picture> ready_;
  std::vector<FramePtr> held_;  // output before the leading count of the group is known
};

}  // namespace avifile
