#pragma once

// The object behind a PGETFRAME: hands out frames of one stream as packed DIBs that it owns
// until the next fetch or its destruction. One thread at a time per getter; separate getters
// on one stream may run on separate threads.

#include <memory>
#include <vector>

#include "platform/avifile/AviFile.h"

class FrameGetter {
 public:
  virtual ~FrameGetter() = default;
  // A packed DIB, or null when the frame cannot be had.
  virtual const void* get(LONG position) = 0;
};

namespace avifile {

// Builds frames from a stream that is not an FFmpeg file stream (a synthetic source): its
// ReadFormat gives the header and colour table, its Read the uncompressed rows. Holds a
// reference to the stream.
class StreamFrameGetter : public FrameGetter {
 public:
  explicit StreamFrameGetter(PAVISTREAM stream);
  ~StreamFrameGetter() override;
  StreamFrameGetter(const StreamFrameGetter&) = delete;
  StreamFrameGetter& operator=(const StreamFrameGetter&) = delete;

  const void* get(LONG position) override;

 private:
  PAVISTREAM stream_;
  std::vector<BYTE> dib_;
};

}  // namespace avifile
