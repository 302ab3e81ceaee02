#pragma once

#include <optional>

#include "display/ImageMapping.h"

class TObjDef;
class THiddenPoint;
class TSampleObject;

// The origin of object coordinates: a fixed image point, or a point of another object that
// moves with it frame by frame, optionally taken to lie at a base location (length units).
class TReferencer {
 public:
  // The image point sample is the reference object's sample in frame 0 (not owned).
  explicit TReferencer(THiddenPoint* imagePoint) : imagePoint_(imagePoint) {}

  THiddenPoint* ImagePoint() const { return imagePoint_; }
  bool Moving() const { return moving_; }
  TObjDef* ReferenceObject() const { return object_; }
  int ReferencePoint() const { return point_; }
  bool UseBase() const { return useBase_; }
  float BaseX() const { return baseX_; }
  float BaseY() const { return baseY_; }

  // Fixed reference at the image point sample.
  void SetFixed() { moving_ = false; }
  // Moving reference: point `point` (0-based) of `object`; nullptr falls back to fixed.
  void SetMoving(TObjDef* object, int point);
  void SetReferencePoint(int point) { point_ = point; }
  void SetBase(bool use, float x, float y);
  // The object is going away: a moving reference on it becomes fixed. True when it did.
  bool Forget(const TObjDef* object);

  // Object coordinate of point i of the sample: scaled, minus the scaled reference, plus the
  // base. Empty when it cannot be referenced: the sample lacks the point, or the moving
  // reference object has no sample in that frame or lacks the reference point there.
  std::optional<TImagePoint> Reference(const TSampleObject& sample, int i) const;

 private:
  std::optional<TImagePoint> ReferencePointOf(const TSampleObject& sample) const;

  THiddenPoint* imagePoint_;
  bool moving_ = false;
  TObjDef* object_ = nullptr;
  int point_ = 0;
  bool useBase_ = false;
  float baseX_ = 0;
  float baseY_ = 0;
};

// The referenced coordinate of point i of a sample, through its object's referencer.
std::optional<TImagePoint> ReferencedPoint(const TSampleObject& sample, int i);
