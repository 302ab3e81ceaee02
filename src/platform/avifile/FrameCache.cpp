#include "platform/avifile/FrameCache.h"

#include <algorithm>

namespace avifile {

FrameBudget& FrameBudget::shared() {
  // Never destroyed: a cache freed during exit must still find it.
  static FrameBudget* budget = new FrameBudget;
  return *budget;
}

void FrameBudget::setLimit(std::size_t bytes) {
  std::lock_guard lock(mutex_);
  limit_ = bytes;
  evictLocked();
}

std::size_t FrameBudget::limit() const {
  std::lock_guard lock(mutex_);
  return limit_;
}

std::size_t FrameBudget::bytes() const {
  std::lock_guard lock(mutex_);
  return bytes_;
}

void FrameBudget::evictLocked() {
  while (bytes_ > limit_) {
    FrameCache* victim = nullptr;
    std::uint64_t oldest = 0;
    for (FrameCache* cache : caches_) {
      std::uint64_t used = 0;
      if (cache->oldestLocked(used) && (!victim || used < oldest)) {
        victim = cache;
        oldest = used;
      }
    }
    if (!victim) return;
    victim->eraseLocked(std::prev(victim->entries_.end()));
  }
}

FrameCache::FrameCache(std::size_t budgetBytes)
    : own_(budgetBytes == kSharedBudget ? nullptr : std::make_unique<FrameBudget>(budgetBytes)),
      budget_(own_ ? *own_ : FrameBudget::shared()) {
  std::lock_guard lock(budget_.mutex_);
  budget_.caches_.push_back(this);
}

FrameCache::FrameCache(FrameBudget& budget) : budget_(budget) {
  std::lock_guard lock(budget_.mutex_);
  budget_.caches_.push_back(this);
}

FrameCache::~FrameCache() {
  std::lock_guard lock(budget_.mutex_);
  budget_.bytes_ -= bytes_;
  auto& caches = budget_.caches_;
  caches.erase(std::remove(caches.begin(), caches.end(), this), caches.end());
}

std::size_t FrameCache::FrameBytes(const AVFrame& frame) {
  std::size_t n = 0;
  for (const AVBufferRef* b : frame.buf)
    if (b) n += b->size;
  return n;
}

const AVFrame* FrameCache::find(LONG slot) {
  std::lock_guard lock(budget_.mutex_);
  auto it = bySlot_.find(slot);
  if (it == bySlot_.end()) return nullptr;
  entries_.splice(entries_.begin(), entries_, it->second);
  it->second->used = ++budget_.clock_;
  return it->second->frame.get();
}

void FrameCache::put(LONG slot, FramePtr frame) {
  if (!frame) return;
  std::lock_guard lock(budget_.mutex_);
  if (auto it = bySlot_.find(slot); it != bySlot_.end()) eraseLocked(it->second);
  const std::size_t n = FrameBytes(*frame);
  entries_.push_front(Entry{slot, std::move(frame), n, ++budget_.clock_});
  bySlot_[slot] = entries_.begin();
  bytes_ += n;
  budget_.bytes_ += n;
  budget_.evictLocked();
}

void FrameCache::eraseLocked(std::list<Entry>::iterator it) {
  bytes_ -= it->bytes;
  budget_.bytes_ -= it->bytes;
  bySlot_.erase(it->slot);
  entries_.erase(it);
}

bool FrameCache::oldestLocked(std::uint64_t& used) const {
  if (entries_.size() <= kKept) return false;
  used = entries_.back().used;
  return true;
}

void FrameCache::clear() {
  std::lock_guard lock(budget_.mutex_);
  budget_.bytes_ -= bytes_;
  bytes_ = 0;
  entries_.clear();
  bySlot_.clear();
}

std::size_t FrameCache::bytes() const {
  std::lock_guard lock(budget_.mutex_);
  return bytes_;
}

std::size_t FrameCache::size() const {
  std::lock_guard lock(budget_.mutex_);
  return entries_.size();
}

}  // namespace avifile
