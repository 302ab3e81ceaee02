#pragma once

// Decoded pictures by slot, least recently used first out. The caches of all open clips share
// one budget of bytes, so that many open clips do not each hold their own; the least recently
// used picture of any cache goes first. Each cache keeps its two newest pictures however large
// they are: its getter may be reading them. Stepping backward through a long group of pictures
// decodes the group once and then serves the steps from here.

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/avifile/AviFile.h"
#include "platform/avifile/FfmpegHandles.h"

namespace avifile {

class FrameCache;

// Bytes of decoded pictures that a set of caches may hold together. Thread-safe: a scatter
// decodes on its worker thread while the interface thread shows frames of other clips.
class FrameBudget {
 public:
  static constexpr std::size_t kDefaultLimit = std::size_t(1) << 30;

  explicit FrameBudget(std::size_t limit = kDefaultLimit) : limit_(limit) {}
  FrameBudget(const FrameBudget&) = delete;
  FrameBudget& operator=(const FrameBudget&) = delete;

  // The budget of every clip's cache (the user's preference sets its limit).
  static FrameBudget& shared();

  // Drops pictures at once when the new limit is lower.
  void setLimit(std::size_t bytes);
  std::size_t limit() const;
  std::size_t bytes() const;

 private:
  friend class FrameCache;
  void evictLocked();

  mutable std::mutex mutex_;
  std::size_t limit_;
  std::size_t bytes_ = 0;
  std::uint64_t clock_ = 0;  // use stamps, increasing over all caches
  std::vector<FrameCache*> caches_;
};

class FrameCache {
 public:
  // Not a size: a cache made with it joins FrameBudget::shared().
  static constexpr std::size_t kSharedBudget = SIZE_MAX;
  static constexpr std::size_t kDefaultBudget = kSharedBudget;

  // budgetBytes other than kSharedBudget: a budget of its own of that many bytes.
  explicit FrameCache(std::size_t budgetBytes = kDefaultBudget);
  explicit FrameCache(FrameBudget& budget);
  ~FrameCache();
  FrameCache(const FrameCache&) = delete;
  FrameCache& operator=(const FrameCache&) = delete;

  // Null when absent; a hit becomes the most recently used.
  const AVFrame* find(LONG slot);
  void put(LONG slot, FramePtr frame);
  void clear();

  std::size_t bytes() const;
  std::size_t size() const;

  // Bytes held by a picture's buffers.
  static std::size_t FrameBytes(const AVFrame& frame);

 private:
  friend class FrameBudget;
  static constexpr std::size_t kKept = 2;
  struct Entry {
    LONG slot;
    FramePtr frame;
    std::size_t bytes;
    std::uint64_t used;
  };
  void eraseLocked(std::list<Entry>::iterator it);
  // Stamp of the oldest picture the budget may take, or none when only the kept ones are left.
  bool oldestLocked(std::uint64_t& used) const;

  std::unique_ptr<FrameBudget> own_;
  FrameBudget& budget_;
  std::size_t bytes_ = 0;
  std::list<Entry> entries_;  // most recent first
  std::unordered_map<LONG, std::list<Entry>::iterator> bySlot_;
};

}  // namespace avifile
