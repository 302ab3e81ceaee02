#pragma once

// Which picture each frame number of an AVI video stream shows.
//
// In AVI a chunk's position in the stream is its frame number; there are no presentation
// times. A zero-size chunk is a dropped frame: it still counts as a frame and repeats the
// previous picture. The frame numbers that carry data are the "slots"; the n-th picture a
// decoder outputs, counted from the start of the stream, belongs to the n-th slot (its
// ordinal). After a seek to a key frame the first picture out has the key's ordinal plus the
// number of leading pictures (B pictures that follow the key in the file but are shown before
// it, and that a decoder cannot rebuild without the previous group).
//
// Plain data; not thread-safe.

#include <map>
#include <optional>
#include <vector>

#include "platform/avifile/AviTypes.h"

namespace avifile {

class PictureTimeline {
 public:
  // From a complete index: ascending frame numbers with data, and the key frames among them.
  void setIndex(std::vector<LONG> slots, std::vector<LONG> keys);
  // A file without an index is learnt while it is read in order.
  void learn(LONG frame);
  void learnEnd() { ended_ = true; }

  bool indexed() const { return indexed_; }
  // Every slot up to `frame` is known.
  bool knows(LONG frame) const;
  // The slot whose picture `frame` shows: the last slot at or before it, else (a clip that
  // starts with dropped frames) the first slot after it.
  std::optional<LONG> slotFor(LONG frame) const;
  LONG ordinalOf(LONG slot) const;  // -1 when `slot` carries no data
  std::optional<LONG> slotAt(LONG ordinal) const;
  LONG slotCount() const { return LONG(slots_.size()); }

  // The key frame to decode from for the picture at `ordinal`: the latest key whose first
  // output picture is at or before it. Unknown leading counts count as zero.
  std::optional<LONG> keyFor(LONG ordinal) const;
  // Ordinal of the first picture a decoder outputs after a seek to `key`.
  LONG firstOrdinal(LONG key) const;
  void setLeading(LONG key, LONG count) { leading_[key] = count; }
  // A key frame of the index that does not start a decodable group (a mislabelled index).
  void demoteKey(LONG key);
  const std::vector<LONG>& keys() const { return keys_; }

 private:
  std::vector<LONG> slots_;
  std::vector<LONG> keys_;
  std::map<LONG, LONG> leading_;
  bool indexed_ = false;
  bool ended_ = false;
};

}  // namespace avifile
