#pragma once

// Decoded pictures by slot, least recently used first out, bounded by bytes. Keeps at least
// two pictures however large they are. Stepping backward through a long group of pictures
// decodes the group once and then serves the steps from here.

#include <cstddef>
#include <list>
#include <unordered_map>

#include "platform/avifile/AviFile.h"
#include "platform/avifile/FfmpegHandles.h"

namespace avifile {

class FrameCache {
 public:
  static constexpr std::size_t kDefaultBudget = kFrameBudgetBytes;

  explicit FrameCache(std::size_t budgetBytes = kDefaultBudget) : budget_(budgetBytes) {}

  // Null when absent; a hit becomes the most recently used.
  const AVFrame* find(LONG slot);
  void put(LONG slot, FramePtr frame);
  void clear();

  std::size_t bytes() const { return bytes_; }
  std::size_t size() const { return entries_.size(); }

  // Bytes held by a picture's buffers.
  static std::size_t FrameBytes(const AVFrame& frame);

 private:
  struct Entry {
    LONG slot;
    FramePtr frame;
    std::size_t bytes;
  };
  void evict();

  std::size_t budget_;
  std::size_t bytes_ = 0;
  std::list<Entry> entries_;  // most recent first
  std::unordered_map<LONG, std::list<Entry>::iterator> bySlot_;
};

}  // namespace avifile
