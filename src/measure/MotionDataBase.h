#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "measure/FrameList.h"
#include "measure/ObjDef.h"
#include "measure/Referencer.h"
#include "measure/Scaler.h"

// The measurement model of one display window: frame holders, objects, the one scaler and the
// one referencer. The reference object "Ref" (object 0, a hidden point) and its sample in
// frame 0, the fixed reference point, exist from the start. Operations that change what
// columns show recompute the cells they touch, or all of them when the scale or the reference
// changes.
class TMotionDataBase {
 public:
  explicit TMotionDataBase(TColumnsFactory columnsFactory = {});
  ~TMotionDataBase();
  TMotionDataBase(const TMotionDataBase&) = delete;
  TMotionDataBase& operator=(const TMotionDataBase&) = delete;

  TFrameObjectList& Frames() { return *frames_; }
  const TFrameObjectList& Frames() const { return *frames_; }
  TObjDefList& Objects() { return *objects_; }
  const TObjDefList& Objects() const { return *objects_; }
  TScaler& Scaler() { return *scaler_; }
  TReferencer& Referencer() { return *referencer_; }
  const TReferencer& Referencer() const { return *referencer_; }
  TObjDef& RefObject() const { return *refObject_; }

  // A new object of kind 0..3 (see kObjectKinds), named from its kind unless a name is given.
  TObjDef* CreateObject(int kind, const QString& name = {});
  TObjDef* CreateObject(TSampleClass cls, const QString& name, std::uint16_t visibleKinds);
  // True when the object was the moving reference (referencing is now the image point).
  bool DeleteObject(TObjDef* def);

  // Point i of the object in that frame: holder and sample are made when missing, the
  // object's columns hear of it. Returns the sample.
  TSampleObject& SetPoint(int frame, TObjDef& def, int i, TImagePoint p);
  // Removes the object's sample of that frame, if any; the holder stays.
  void DeleteSample(int frame, const TObjDef& def);

  // The display window's timing changed: holders take their new times, velocities follow.
  void SetTiming(int decimals, float period, float offset);
  // Every cell again, after a change of units, scale or reference.
  void RecomputeAll() const { frames_->RecomputeAll(); }

  // Reference actions; each recomputes everything.
  void SetImagePoint(TImagePoint p);
  void SelectFixedReference();
  void SelectMovingReference(TObjDef* object, int point = 0);
  void SetReferencePoint(int point);
  void SetReferenceBase(bool use, float x, float y);
  // Scale actions; each recomputes everything. A new length unit converts the base so that
  // it stays at the same place.
  void SetGage(int unit, float factor);
  void SetLengthUnit(int unit);

  // Where the pointer should go for point i of the object in that frame (cursor positioning).
  std::optional<TImagePoint> PredictPoint(const TObjDef& def, int frame, int i) const;

 private:
  std::unique_ptr<TFrameObjectList> frames_;
  std::unique_ptr<TObjDefList> objects_;
  std::unique_ptr<TScaler> scaler_;
  std::unique_ptr<TReferencer> referencer_;
  TObjDef* refObject_ = nullptr;
};
