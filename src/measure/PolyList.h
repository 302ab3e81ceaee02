#pragma once

#include <cstddef>
#include <vector>

class TPolyList;

// An item that may belong to one list. Destroying an item takes it out of its list, so an item
// can be deleted directly or by its list.
class TPolyListItem {
 public:
  TPolyListItem() = default;
  TPolyListItem(const TPolyListItem&) = delete;
  TPolyListItem& operator=(const TPolyListItem&) = delete;
  virtual ~TPolyListItem();

  TPolyList* Owner() const { return owner_; }

 private:
  friend class TPolyList;
  TPolyList* owner_ = nullptr;
};

// An ordered list that owns its items (allocated with new) and frees them last to first.
class TPolyList : public TPolyListItem {
 public:
  TPolyList() = default;
  ~TPolyList() override;

  std::size_t Count() const { return items_.size(); }
  TPolyListItem* Item(std::size_t i) const { return items_[i]; }
  // Takes ownership; an item in another list leaves it first.
  void Add(TPolyListItem* item) { Insert(items_.size(), item); }
  void Insert(std::size_t index, TPolyListItem* item);
  // Gives up ownership without freeing; false when the item is not in this list.
  bool Remove(TPolyListItem* item);
  // -1 when not in this list.
  long IndexOf(const TPolyListItem* item) const;
  // Frees every item, last to first.
  void Clear();

 private:
  std::vector<TPolyListItem*> items_;
};
