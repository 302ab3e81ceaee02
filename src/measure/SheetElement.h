#pragma once

#include <QPointer>
#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "measure/MyStringGrid.h"
#include "measure/ObjDef.h"
#include "measure/PolyList.h"

class TFrameObjectList;
class TSheetElements;
class TShowMenu;

// The 14 quantities a column can show, in the order of the "Visible Columns" list.
inline constexpr int kKindCount = 14;
inline constexpr std::uint16_t kAllKinds = (1u << kKindCount) - 1;
const char* KindName(int kind);
inline bool HasKind(std::uint16_t kinds, int kind) {
  return (kinds >> kind) & 1u;
}

// One derived column of an object: which quantity, from which point or line, where it stands in
// the table and in which unit. Compute works on the sample last stored; a failed Compute is no
// error, the cell stays blank.
class TSheetElement : public TPolyListItem {
 public:
  TSheetElement(TSheetElements& list, const QString& caption, int kind, int ordinate);
  ~TSheetElement() override;

  int Kind() const { return kind_; }
  const QString& Caption() const { return caption_; }
  int Ordinate() const { return ordinate_; }
  bool Visible() const { return visible_; }
  int Column() const { return column_; }  // -1 while hidden
  static constexpr int kWidth = 50;
  float Value() const { return value_; }
  TObjDef& Object() const;
  QString UnitLabel() const;
  // The entry in the "Show" menu: object name, " - ", caption; offered while hidden and while
  // its kind is enabled list-wide.
  QString MenuCaption() const;
  bool MenuVisible() const { return menuVisible_; }
  void RefreshMenuItem();

  virtual bool Compute() = 0;
  virtual void SampleChanged(TSampleObject& sample);
  virtual void SampleRemoved(TSampleObject& sample);

  void SetVisible(bool visible);
  // Width and the three header cells: name, caption, unit.
  void RefreshHeader();
  // The table moved this element's column.
  void SetColumn(int column) { column_ = column; }

 protected:
  // Stores the sample, computes, and writes the value or a blank into its cell.
  void WriteCell(TSampleObject& sample);
  void EmptyCell(const TSampleObject& sample);
  // WriteCell for every sample of the object from `from` on (all when nullptr).
  void RecomputeColumn(const TSampleObject* from);
  // Hidden columns skip Compute unless it keeps state that later cells use.
  virtual bool KeepsState() const { return false; }
  void Forget(const TSampleObject& sample);

  TSheetElements& List() const { return list_; }
  const TScaler& Scaler() const;
  int PointIndex() const { return ordinate_ / 2; }
  int Axis() const { return ordinate_ % 2; }
  // Referenced coordinate of this element's point of a sample; empty when it cannot be had.
  std::optional<TImagePoint> Referenced(const TSampleObject& sample) const;

  TSampleObject* sample_ = nullptr;
  float value_ = 0;

 private:
  void Show();
  void Hide();
  TMyStringGrid* Grid() const;

  TSheetElements& list_;
  QString caption_;
  int kind_;
  int ordinate_;
  bool visible_ = false;
  int column_ = -1;
  bool menuVisible_ = false;
};

// The columns of one object, in creation order; they hear of its samples.
class TSheetElements : public TPolyList, public IObjectColumns {
 public:
  TSheetElements(TObjDef& def, TMyStringGrid* grid, TShowMenu* menu);
  ~TSheetElements() override;

  TObjDef& Object() const { return def_; }
  TMyStringGrid* Grid() const { return grid_; }
  TShowMenu* Menu() const { return menu_; }
  TSheetElement* Element(std::size_t i) const { return static_cast<TSheetElement*>(Item(i)); }

  void SampleChanged(TSampleObject& sample) override;
  void SampleRemoved(TSampleObject& sample) override;
  // The object's samples by frame, as the columns have heard of them: neighbours in O(log n),
  // also while a whole object goes last to first.
  TSampleObject* First() const { return samples_.empty() ? nullptr : samples_.begin()->second; }
  TSampleObject* Next(const TSampleObject& sample) const;
  TSampleObject* Previous(const TSampleObject& sample) const;
  const std::map<int, TSampleObject*>& Samples() const { return samples_; }
  // Shows the elements whose kind is in the set, hides the others, and keeps the set.
  void ApplyKinds(std::uint16_t kinds);
  void RefreshHeaders();

 private:
  TObjDef& def_;
  std::map<int, TSampleObject*> samples_;
  QPointer<TMyStringGrid> grid_;
  TShowMenu* menu_;
};

// The table's "Show" submenu as a model: every element of every object in creation order; the
// window builds its menu from the visible items.
class TShowMenu {
 public:
  void Add(TSheetElement* element) { items_.push_back(element); }
  void Remove(const TSheetElement* element);
  // Opening the submenu: which items are offered.
  void Refresh();
  std::vector<TSheetElement*> VisibleItems() const;
  // Clicking an item toggles its column.
  static void Click(TSheetElement& element) { element.SetVisible(!element.Visible()); }
  // "&All": every object takes the list-wide kinds.
  static void ShowAll(TObjDefList& objects);
  // A long menu starts a new column at the 20th offered item and after every further 19.
  static bool BreaksBefore(int visibleIndex) {
    return visibleIndex >= 19 && (visibleIndex - 19) % 19 == 0;
  }

 private:
  std::vector<TSheetElement*> items_;
};

// Builds each new object's columns in the grid; hidden points get none. The grid and the menu
// must outlive the objects. Also makes the grid renumber the elements when a column moves.
TColumnsFactory MakeColumnsFactory(TMyStringGrid& grid, TShowMenu* menu);
// Creates the columns an object's sample class has, showing those of its initial kinds.
void CreateColumns(TSheetElements& list);
