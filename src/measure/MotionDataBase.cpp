#include "measure/MotionDataBase.h"

#include "measure/Units.h"
#include "platform/Exception.h"

TMotionDataBase::TMotionDataBase(TColumnsFactory columnsFactory)
    : frames_(std::make_unique<TFrameObjectList>()),
      objects_(std::make_unique<TObjDefList>(this)),
      scaler_(std::make_unique<TScaler>()),
      referencer_(std::make_unique<TReferencer>(nullptr)) {
  objects_->columnsFactory = std::move(columnsFactory);
  refObject_ = CreateObject(TSampleClass::Hidden, "Ref", 0);
  TFrameObject* frame0 = frames_->FindOrAddFrame(0);
  auto* imagePoint = static_cast<THiddenPoint*>(frames_->FindOrAddSample(*frame0, *refObject_));
  *referencer_ = TReferencer(imagePoint);
}

TMotionDataBase::~TMotionDataBase() {
  // Holders and samples go quietly first: the columns may write into a table that is gone.
  frames_->Clear();
  objects_.reset();
}

TObjDef* TMotionDataBase::CreateObject(int kind, const QString& name) {
  if (kind < 0 || kind >= static_cast<int>(std::size(kObjectKinds)))
    throw Exception("Object Kind of " + QString::number(kind));
  const TObjectKind& k = kObjectKinds[kind];
  const QString chosen = name.isEmpty() ? objects_->NewName(k.baseName, k.sampleClass) : name;
  return CreateObject(k.sampleClass, chosen, objects_->defaultVisibleKinds);
}

TObjDef* TMotionDataBase::CreateObject(TSampleClass cls, const QString& name,
                                       std::uint16_t visibleKinds) {
  return new TObjDef(objects_.get(), visibleKinds, cls, referencer_.get(), scaler_.get(), name);
}

bool TMotionDataBase::DeleteObject(TObjDef* def) {
  if (def == refObject_) throw Exception("Ref cannot be deleted");
  const bool changed = referencer_->Forget(def);
  delete def;
  if (changed) RecomputeAll();
  return changed;
}

TSampleObject& TMotionDataBase::SetPoint(int frame, TObjDef& def, int i, TImagePoint p) {
  TFrameObject* holder = frames_->FindOrAddFrame(frame);
  TSampleObject* sample = frames_->FindSample(*holder, &def);
  if (!sample) {
    // Check the index before the sample joins its holder, so a refused click leaves nothing.
    auto probe = def.NewSample(holder);
    probe->SetPoint(i, p);
    sample = probe.get();
    holder->Add(probe.get());
    (void)probe.release();  // the holder owns it now
  } else {
    sample->SetPoint(i, p);
  }
  if (IObjectColumns* columns = def.Columns()) columns->SampleChanged(*sample);
  // A reference object's point moves every object's coordinates in that frame.
  if (&def == referencer_->ReferenceObject() && referencer_->Moving()) RecomputeAll();
  return *sample;
}

void TMotionDataBase::DeleteSample(int frame, const TObjDef& def) {
  if (const TFrameObject* holder = frames_->FindHolder(frame))
    if (TSampleObject* s = frames_->FindSample(*holder, &def)) frames_->DestroySample(s);
}

void TMotionDataBase::SetTiming(int decimals, float period, float offset) {
  frames_->SetTiming(decimals, period, offset);
  RecomputeAll();
}

void TMotionDataBase::SetImagePoint(TImagePoint p) {
  referencer_->ImagePoint()->SetPoint(0, p);
  RecomputeAll();
}

void TMotionDataBase::SelectFixedReference() {
  referencer_->SetFixed();
  RecomputeAll();
}

void TMotionDataBase::SelectMovingReference(TObjDef* object, int point) {
  if (object && (point < 0 || point >= object->PointCount()))
    throw Exception(object->Name() + " Point Index of " + QString::number(point));
  referencer_->SetMoving(object, point);
  RecomputeAll();
}

void TMotionDataBase::SetReferencePoint(int point) {
  const TObjDef* object = referencer_->ReferenceObject();
  if (object && (point < 0 || point >= object->PointCount()))
    throw Exception(object->Name() + " Point Index of " + QString::number(point));
  referencer_->SetReferencePoint(point);
  RecomputeAll();
}

void TMotionDataBase::SetReferenceBase(bool use, float x, float y) {
  referencer_->SetBase(use, x, y);
  RecomputeAll();
}

void TMotionDataBase::SetGage(int unit, float factor) {
  scaler_->SetGage(unit, factor);
  RecomputeAll();
}

void TMotionDataBase::SetLengthUnit(int unit) {
  const int old = scaler_->LengthUnit();
  scaler_->SetLengthUnit(unit);
  const TReferencer& r = *referencer_;
  referencer_->SetBase(r.UseBase(), static_cast<float>(units::ConvertLength(r.BaseX(), old, unit)),
                       static_cast<float>(units::ConvertLength(r.BaseY(), old, unit)));
  RecomputeAll();
}
