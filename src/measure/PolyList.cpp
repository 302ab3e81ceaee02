#include "measure/PolyList.h"

#include <algorithm>

TPolyListItem::~TPolyListItem() {
  if (owner_) owner_->Remove(this);
}

TPolyList::~TPolyList() {
  Clear();
}

void TPolyList::Insert(std::size_t index, TPolyListItem* item) {
  if (item->owner_) item->owner_->Remove(item);
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(std::min(index, items_.size())), item);
  item->owner_ = this;
}

bool TPolyList::Remove(TPolyListItem* item) {
  // Items are usually removed from the end (last to first), so search backward.
  const auto it = std::find(items_.rbegin(), items_.rend(), item);
  if (it == items_.rend()) return false;
  items_.erase(std::next(it).base());
  item->owner_ = nullptr;
  return true;
}

long TPolyList::IndexOf(const TPolyListItem* item) const {
  const auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<long>(it - items_.begin());
}

void TPolyList::Clear() {
  while (!items_.empty()) delete items_.back();  // the item's destructor takes it out
}
