#include "measure/Referencer.h"

#include "measure/FrameList.h"
#include "measure/ObjDef.h"
#include "measure/Scaler.h"

void TReferencer::SetMoving(TObjDef* object, int point) {
  object_ = object;
  point_ = point;
  moving_ = object != nullptr;
}

void TReferencer::SetBase(bool use, float x, float y) {
  useBase_ = use;
  baseX_ = x;
  baseY_ = y;
}

bool TReferencer::Forget(const TObjDef* object) {
  if (object_ != object) return false;
  const bool wasMoving = moving_;
  object_ = nullptr;
  point_ = 0;
  moving_ = false;
  return wasMoving;
}

std::optional<TImagePoint> TReferencer::ReferencePointOf(const TSampleObject& sample) const {
  if (!moving_ || !object_) {
    if (!imagePoint_) return TImagePoint{};
    return imagePoint_->ObjDef()->Scaler()->Scale(imagePoint_->GetPoint(0));
  }
  // A frame where the reference object was not clicked (or lacks that point) cannot be
  // referenced; its cells stay blank rather than stopping the computation of the others.
  if (!sample.Holder()) return std::nullopt;
  const TSampleObject* ref = TFrameObjectList::FindSample(*sample.Holder(), object_);
  if (!ref || !ref->HasPoint(point_)) return std::nullopt;
  return object_->Scaler()->Scale(ref->GetPoint(point_));
}

std::optional<TImagePoint> TReferencer::Reference(const TSampleObject& sample, int i) const {
  if (!sample.HasPoint(i)) return std::nullopt;
  const std::optional<TImagePoint> r = ReferencePointOf(sample);
  if (!r) return std::nullopt;
  const TImagePoint p = sample.ObjDef()->Scaler()->Scale(sample.GetPoint(i));
  TImagePoint out{p.x - r->x, p.y - r->y};
  if (useBase_) out = {out.x + baseX_, out.y + baseY_};
  return out;
}

std::optional<TImagePoint> ReferencedPoint(const TSampleObject& sample, int i) {
  if (const TReferencer* referencer = sample.ObjDef()->Referencer())
    return referencer->Reference(sample, i);
  if (!sample.HasPoint(i)) return std::nullopt;
  const TScaler* scaler = sample.ObjDef()->Scaler();
  return scaler ? scaler->Scale(sample.GetPoint(i)) : sample.GetPoint(i);
}
