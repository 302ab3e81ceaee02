#pragma once

// Frames of an AVI file's video stream by frame number, decoded with FFmpeg.
//
// The next frame is read without seeking; any other comes from the latest key frame whose
// group holds it, through the index, decoding forward. Every decoded picture goes into a
// bounded cache, so stepping backward decodes a group once and then reads the cache. A file
// without an index is read in order, from its start when the target lies behind.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/avifile/DibConverter.h"
#include "platform/avifile/FrameCache.h"
#include "platform/avifile/FrameGetter.h"
#include "platform/avifile/VideoSource.h"

namespace avifile {

class DecodingFrameGetter : public FrameGetter {
 public:
  struct Stats {
    long decoded = 0;  // pictures out of the decoder
    long seeks = 0;    // repositionings (seek to a key frame or start over)
  };

  // Frames 0 .. place.frames - 1; every other position fails. always24: 24-bit BGR even for
  // 8-bit sources. Null when the file or its decoder cannot be opened.
  static std::unique_ptr<DecodingFrameGetter> Open(
      const StreamPlace& place, bool always24 = false,
      std::size_t cacheBytes = FrameCache::kDefaultBudget);

  const void* get(LONG position) override;
  // The decoded picture behind a frame (owned by the cache), or null.
  const AVFrame* picture(LONG position);
  const Stats& stats() const { return stats_; }
  const PictureTimeline& timeline() const { return source_->timeline(); }

 private:
  DecodingFrameGetter(std::unique_ptr<VideoSource> source, LONG frameCount, bool always24,
                      std::size_t cacheBytes);
  bool learnThrough(LONG position);
  const AVFrame* decodeTo(LONG slot);
  bool positionFor(LONG ordinal, bool fromStart);
  void keep(Picture picture);

  std::unique_ptr<VideoSource> source_;
  LONG frameCount_;
  FrameCache cache_;
  DibConverter converter_;
  std::vector<BYTE> dib_;
  std::set<LONG> failed_;  // slots whose data could not be decoded
  Stats stats_;
};

}  // namespace avifile
