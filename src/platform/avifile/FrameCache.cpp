#include "platform/avifile/FrameCache.h"

namespace avifile {

std::size_t FrameCache::FrameBytes(const AVFrame& frame) {
  std::size_t n = 0;
  for (const AVBufferRef* b : frame.buf)
    if (b) n += b->size;
  return n;
}

const AVFrame* FrameCache::find(LONG slot) {
  auto it = bySlot_.find(slot);
  if (it == bySlot_.end()) return nullptr;
  entries_.splice(entries_.begin(), entries_, it->second);
  return it->second->frame.get();
}

void FrameCache::put(LONG slot, FramePtr frame) {
  if (!frame) return;
  if (auto it = bySlot_.find(slot); it != bySlot_.end()) {
    bytes_ -= it->second->bytes;
    entries_.erase(it->second);
    bySlot_.erase(it);
  }
  const std::size_t n = FrameBytes(*frame);
  entries_.push_front(Entry{slot, std::move(frame), n});
  bySlot_[slot] = entries_.begin();
  bytes_ += n;
  evict();
}

void FrameCache::evict() {
  while (bytes_ > budget_ && entries_.size() > 2) {
    bytes_ -= entries_.back().bytes;
    bySlot_.erase(entries_.back().slot);
    entries_.pop_back();
  }
}

void FrameCache::clear() {
  entries_.clear();
  bySlot_.clear();
  bytes_ = 0;
}

}  // namespace avifile
