#include "measure/SheetElement.h"

#include <algorithm>
#include <iterator>

#include "measure/FrameList.h"
#include "measure/MotionDataBase.h"
#include "measure/Referencer.h"
#include "measure/Scaler.h"
#include "measure/Units.h"

namespace {

constexpr const char* kKindNames[kKindCount] = {
    "Image U",        "Image V",           "Object X",          "Object Y",     "X Displacement",
    "Y Displacement", "Abs. Displacement", "X Velocity",        "Y Velocity",   "Abs. Velocity",
    "Abs. Angle",     "Rel. Angle",        "Ang. Displacement", "Ang. Velocity"};

}  // namespace

const char* KindName(int kind) {
  return kind >= 0 && kind < kKindCount ? kKindNames[kind] : "";
}

TSheetElement::TSheetElement(TSheetElements& list, const QString& caption, int kind, int ordinate)
    : list_(list), caption_(caption), kind_(kind), ordinate_(ordinate) {
  list.Add(this);
  if (list.Menu()) list.Menu()->Add(this);
}

TSheetElement::~TSheetElement() {
  if (visible_) Hide();
  if (list_.Menu()) list_.Menu()->Remove(this);
}

TObjDef& TSheetElement::Object() const {
  return list_.Object();
}
TMyStringGrid* TSheetElement::Grid() const {
  return list_.Grid();
}
const TScaler& TSheetElement::Scaler() const {
  return *Object().Scaler();
}

QString TSheetElement::UnitLabel() const {
  const TScaler& s = Scaler();
  if (kind_ <= 1) return QStringLiteral("pixels");
  if (kind_ <= 6) return QString::fromLatin1(units::LengthName(s.LengthUnit()));
  if (kind_ <= 9) return QString::fromLatin1(units::VelocityName(s.LinearVelocityUnit()));
  if (kind_ <= 12) return QString::fromLatin1(units::LengthName(s.AngularUnit()));
  return QString::fromLatin1(units::VelocityName(s.AngularVelocityUnit()));
}

QString TSheetElement::MenuCaption() const {
  return Object().Name() + QStringLiteral(" - ") + caption_;
}

void TSheetElement::RefreshMenuItem() {
  menuVisible_ = !visible_ && HasKind(Object().List()->defaultVisibleKinds, kind_);
}

std::optional<TImagePoint> TSheetElement::Referenced(const TSampleObject& sample) const {
  return ReferencedPoint(sample, PointIndex());
}

void TSheetElement::WriteCell(TSampleObject& sample) {
  sample_ = &sample;
  if (!visible_ && !KeepsState()) return;
  const bool ok = Compute();
  TMyStringGrid* grid = Grid();
  if (!visible_ || !grid || !sample.Holder()) return;
  grid->SetCell(column_, sample.Holder()->GridRow(), ok ? FormatGeneral(value_) : QString());
}

void TSheetElement::EmptyCell(const TSampleObject& sample) {
  TMyStringGrid* grid = Grid();
  if (visible_ && grid && sample.Holder()) grid->SetCell(column_, sample.Holder()->GridRow(), {});
}

void TSheetElement::Forget(const TSampleObject& sample) {
  if (sample_ == &sample) sample_ = nullptr;
}

void TSheetElement::RecomputeColumn(const TSampleObject* from) {
  const auto& samples = list_.Samples();
  auto it = from && from->Holder() ? samples.lower_bound(from->Holder()->Frame()) : samples.begin();
  for (; it != samples.end(); ++it) WriteCell(*it->second);
}

void TSheetElement::SampleChanged(TSampleObject& sample) {
  WriteCell(sample);
}

void TSheetElement::SampleRemoved(TSampleObject& sample) {
  EmptyCell(sample);
  Forget(sample);
}

void TSheetElement::SetVisible(bool visible) {
  if (visible != visible_) visible ? Show() : Hide();
  RefreshMenuItem();
}

void TSheetElement::RefreshHeader() {
  TMyStringGrid* grid = Grid();
  if (!visible_ || !grid) return;
  grid->SetColWidth(column_, kWidth);
  grid->SetCell(column_, 0, Object().Name());
  grid->SetCell(column_, 1, caption_);
  grid->SetCell(column_, 2, UnitLabel());
}

void TSheetElement::Show() {
  TMyStringGrid* grid = Grid();
  if (!grid) return;
  const int index = grid->ColCount();
  grid->SetColCount(index + 1);
  if (index == 1) grid->SetFixedCols(1);
  visible_ = true;
  column_ = index;
  RefreshHeader();
  grid->SetObject(index, 0, this);
  // Beside its own object's visible columns: after the last one that precedes it in the list,
  // else before the first one that follows it.
  const long me = list_.IndexOf(this);
  int target = -1;
  for (long i = 0; i < me; ++i)
    if (const TSheetElement* e = list_.Element(std::size_t(i)); e->visible_)
      target = std::max(target, e->column_ + 1);
  if (target < 0)
    for (std::size_t i = std::size_t(me) + 1; i < list_.Count(); ++i)
      if (const TSheetElement* e = list_.Element(i); e->visible_)
        target = target < 0 ? e->column_ : std::min(target, e->column_);
  if (target > 0 && target != column_) grid->MoveColumn(column_, target);
  RecomputeColumn(nullptr);
}

void TSheetElement::Hide() {
  TMyStringGrid* grid = Grid();
  if (grid && column_ >= 0) {
    grid->ClearColumn(column_);
    grid->DeleteColumn(column_);
  }
  visible_ = false;
  column_ = -1;
}

TSheetElements::TSheetElements(TObjDef& def, TMyStringGrid* grid, TShowMenu* menu)
    : def_(def), grid_(grid), menu_(menu) {}

// The elements go while the members they use still exist.
TSheetElements::~TSheetElements() {
  Clear();
}

namespace {
int FrameOf(const TSampleObject& s) {
  return s.Holder() ? s.Holder()->Frame() : 0;
}
}  // namespace

TSampleObject* TSheetElements::Next(const TSampleObject& sample) const {
  const auto it = samples_.upper_bound(FrameOf(sample));
  return it == samples_.end() ? nullptr : it->second;
}

TSampleObject* TSheetElements::Previous(const TSampleObject& sample) const {
  const auto it = samples_.lower_bound(FrameOf(sample));
  return it == samples_.begin() ? nullptr : std::prev(it)->second;
}

void TSheetElements::SampleChanged(TSampleObject& sample) {
  if (sample.Holder()) samples_[FrameOf(sample)] = &sample;
  for (std::size_t i = 0; i < Count(); ++i) Element(i)->SampleChanged(sample);
}

void TSheetElements::SampleRemoved(TSampleObject& sample) {
  if (const auto it = samples_.find(FrameOf(sample)); it != samples_.end() && it->second == &sample)
    samples_.erase(it);
  for (std::size_t i = 0; i < Count(); ++i) Element(i)->SampleRemoved(sample);
}

void TSheetElements::ApplyKinds(std::uint16_t kinds) {
  for (std::size_t i = 0; i < Count(); ++i)
    Element(i)->SetVisible(HasKind(kinds, Element(i)->Kind()));
  def_.currentVisibleKinds = kinds;
}

void TSheetElements::RefreshHeaders() {
  for (std::size_t i = 0; i < Count(); ++i) Element(i)->RefreshHeader();
}

void TShowMenu::Remove(const TSheetElement* element) {
  std::erase(items_, element);
}

void TShowMenu::Refresh() {
  for (TSheetElement* e : items_) e->RefreshMenuItem();
}

std::vector<TSheetElement*> TShowMenu::VisibleItems() const {
  std::vector<TSheetElement*> shown;
  for (TSheetElement* e : items_)
    if (e->MenuVisible()) shown.push_back(e);
  return shown;
}

void TShowMenu::ShowAll(TObjDefList& objects) {
  for (std::size_t i = 0; i < objects.Count(); ++i)
    if (auto* columns = dynamic_cast<TSheetElements*>(objects.Object(i)->Columns()))
      columns->ApplyKinds(objects.defaultVisibleKinds);
}

TColumnsFactory MakeColumnsFactory(TMyStringGrid& grid, TShowMenu* menu) {
  QPointer<TMyStringGrid> guarded(&grid);
  grid.OnColumnMoved = [guarded](int from, int to) {
    if (!guarded) return;
    for (int c = std::min(from, to); c <= std::max(from, to); ++c)
      if (auto* e = static_cast<TSheetElement*>(guarded->Object(c, 0))) e->SetColumn(c);
  };
  return [guarded, menu](TObjDef& def) -> std::unique_ptr<IObjectColumns> {
    auto columns = std::make_unique<TSheetElements>(def, guarded.data(), menu);
    CreateColumns(*columns);
    return columns;
  };
}
