#include "measure/ObjDef.h"

#include <algorithm>

#include "measure/FrameList.h"
#include "measure/MotionDataBase.h"
#include "measure/Referencer.h"

TObjDef* TObjDefList::Object(std::size_t i) const {
  return static_cast<TObjDef*>(Item(i));
}

TObjDef* TObjDefList::FindByName(const QString& name, TSampleClass cls) const {
  for (std::size_t i = 0; i < Count(); ++i) {
    TObjDef* def = Object(i);
    if (def->SampleClass() == cls && def->Name().compare(name, Qt::CaseInsensitive) == 0)
      return def;
  }
  return nullptr;
}

QString TObjDefList::NewName(const QString& baseName, TSampleClass cls) const {
  int n = 1;
  for (std::size_t i = 0; i < Count(); ++i)
    if (Object(i)->SampleClass() == cls) ++n;
  const auto candidate = [&] { return n == 1 ? baseName : baseName + QString::number(n); };
  while (FindByName(candidate(), cls)) ++n;
  return candidate();
}

int TObjDefList::TakeMarker() {
  const int marker = nextMarker_;
  nextMarker_ = (nextMarker_ + 1) % 8;
  return marker;
}

QRgb TObjDefList::TakeColour() {
  const QRgb colour = kObjectColours[nextColour_];
  nextColour_ = (nextColour_ + 1) % 13;
  return colour;
}

TObjDef::TObjDef(TObjDefList* list, std::uint16_t visibleKinds, TSampleClass cls,
                 TReferencer* referencer, TScaler* scaler, const QString& name)
    : initialVisibleKinds(visibleKinds),
      currentVisibleKinds(visibleKinds),
      list_(list),
      name_(name),
      class_(cls),
      scaler_(scaler),
      referencer_(referencer),
      marker_(list->TakeMarker()),
      colour_(list->TakeColour()) {
  list->Add(this);
  const auto probe = NewSample(nullptr);
  pointCount_ = probe->PointCount();
  lineCount_ = probe->LineCount();
  if (list->columnsFactory) columns_ = list->columnsFactory(*this);
}

TObjDef::~TObjDef() {
  // The samples go first, while the columns that hear of them still exist.
  if (list_->Database()) list_->Database()->Frames().DeleteSamples(*this);
  if (referencer_) referencer_->Forget(this);
}

void TObjDef::SetPolymarker(int marker) {
  marker_ = std::clamp(marker, 0, 7);
}

std::unique_ptr<TSampleObject> TObjDef::NewSample(TFrameObject* holder) {
  return CreateSample(class_, this, holder);
}
