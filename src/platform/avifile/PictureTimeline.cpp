#include "platform/avifile/PictureTimeline.h"

#include <algorithm>

namespace avifile {

void PictureTimeline::setIndex(std::vector<LONG> slots, std::vector<LONG> keys) {
  slots_ = std::move(slots);
  keys_ = std::move(keys);
  leading_.clear();
  indexed_ = true;
  ended_ = true;
}

void PictureTimeline::learn(LONG frame) {
  if (indexed_ || (!slots_.empty() && frame <= slots_.back())) return;
  slots_.push_back(frame);
  if (keys_.empty()) keys_.push_back(frame);  // decoding starts at the first chunk
}

bool PictureTimeline::knows(LONG frame) const {
  return indexed_ || ended_ || (!slots_.empty() && slots_.back() > frame);
}

std::optional<LONG> PictureTimeline::slotFor(LONG frame) const {
  if (slots_.empty()) return std::nullopt;
  auto it = std::upper_bound(slots_.begin(), slots_.end(), frame);
  if (it == slots_.begin()) return slots_.front();
  return *(it - 1);
}

LONG PictureTimeline::ordinalOf(LONG slot) const {
  auto it = std::lower_bound(slots_.begin(), slots_.end(), slot);
  return it != slots_.end() && *it == slot ? LONG(it - slots_.begin()) : -1;
}

std::optional<LONG> PictureTimeline::slotAt(LONG ordinal) const {
  if (ordinal < 0 || ordinal >= LONG(slots_.size())) return std::nullopt;
  return slots_[std::size_t(ordinal)];
}

LONG PictureTimeline::firstOrdinal(LONG key) const {
  auto it = leading_.find(key);
  return ordinalOf(key) + (it == leading_.end() ? 0 : it->second);
}

std::optional<LONG> PictureTimeline::keyFor(LONG ordinal) const {
  // Keys are few next to slots; leading counts make the order of first ordinals differ from
  // the keys' order only for neighbours, so scan back from the last key at or before.
  const std::optional<LONG> slot = slotAt(ordinal);
  if (!slot) return std::nullopt;
  auto it = std::upper_bound(keys_.begin(), keys_.end(), *slot);
  while (it != keys_.begin()) {
    --it;
    if (firstOrdinal(*it) <= ordinal) return *it;
  }
  return std::nullopt;
}

void PictureTimeline::demoteKey(LONG key) {
  auto it = std::lower_bound(keys_.begin(), keys_.end(), key);
  if (it != keys_.end() && *it == key) keys_.erase(it);
}

}  // namespace avifile
