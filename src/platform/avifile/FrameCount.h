#pragma once

// What the file itself says about one video stream: how many frame chunks it holds and where
// FFmpeg's numbering of them starts. Stream headers are not trusted for either: a recorder that
// stopped early leaves a length of 0, a hostile file any length at all, and FFmpeg numbers
// chunks from the header's start field (unless that lies beyond an hour) while frame N of this
// library is always the N-th chunk of the stream.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/avifile/RiffScan.h"

namespace avifile {

// Where a video stream lies, as a frame getter needs it.
struct StreamPlace {
  std::string path;
  int ffmpegIndex = -1;     // stream number in FFmpeg's demuxer
  std::int64_t origin = 0;  // FFmpeg's timestamp of the stream's first chunk
  LONG frames = 0;          // frame chunks the file holds, dropped (zero-size) ones included
};

// Frame chunks of one stream: "NNdb"/"NNdc"/... with NN its "strl" number; palette changes
// ("NNpc") are no frames.
struct ChunkTally {
  std::int64_t chunks = 0;
  std::int64_t leadingEmpty = 0;  // zero-size chunks before the first with data
};

// The stream's entries of the "idx1" index; zero chunks when the file has none.
ChunkTally TallyIndex(const std::string& path, const RiffLayout& layout, std::size_t strl);
// The stream's chunks in the "movi" list, "rec " lists included. A list size of 0 or one
// beyond the file (a recording that stopped) reads on to the end of the file; a chunk whose
// data the file does not hold in full ends the count.
ChunkTally TallyMovi(const std::string& path, const RiffLayout& layout, std::size_t strl);

// A count as a frame number range holds it.
inline LONG ClampFrames(std::int64_t frames) {
  return LONG(std::clamp<std::int64_t>(frames, 0, INT32_MAX));
}

}  // namespace avifile
