#pragma once

#include <QColor>
#include <QString>
#include <array>
#include <memory>

#include "display/ImageMapping.h"
#include "measure/PolyList.h"

class QPainter;
class TObjDef;
class TFrameObject;

// The sample classes an object may use; the object's kind decides it.
enum class TSampleClass { Point, Hidden, Line, Angle };

// The clicked image points of one object in one frame. Points are image pixels, y upward.
// A sample that belongs to its frame holder is owned by it; the ends of a line and the lines of
// a two-line sample carry the same object and holder but are owned by their parent sample.
class TSampleObject : public TPolyListItem {
 public:
  TSampleObject(TObjDef* def, TFrameObject* holder) : def_(def), holder_(holder) {}

  TObjDef* ObjDef() const { return def_; }
  TFrameObject* Holder() const { return holder_; }

  virtual QString ClassName() const = 0;
  virtual bool HasPoint(int i) const = 0;
  // Raise "<class> Point Index of <i>" for an index outside 0..PointCount-1.
  virtual TImagePoint GetPoint(int i) const = 0;
  virtual void SetPoint(int i, TImagePoint p) = 0;
  virtual int PointCount() const { return 0; }
  // Only checks n: above PointCount raises "<class> SetPointCount of <n>".
  void SetPointCount(int n) const;
  virtual int LineCount() const = 0;
  // Paints the sample in its object's colour and marker, in paint-box coordinates.
  virtual void Draw(QPainter& painter, const TImageMapping& mapping) const = 0;

 protected:
  void CheckIndex(int i) const;

 private:
  TObjDef* def_;
  TFrameObject* holder_;
};

class TPointObject : public TSampleObject {
 public:
  using TSampleObject::TSampleObject;
  QString ClassName() const override { return "TPointObject"; }
  bool HasPoint(int i) const override { return i >= 0 && i < PointCount(); }
  TImagePoint GetPoint(int i) const override;
  void SetPoint(int i, TImagePoint p) override;
  int PointCount() const override { return 1; }
  int LineCount() const override { return 0; }
  void Draw(QPainter& painter, const TImageMapping& mapping) const override;

 private:
  TImagePoint p_;
};

// The fixed reference point: a point sample that has no columns.
class THiddenPoint : public TPointObject {
 public:
  using TPointObject::TPointObject;
  QString ClassName() const override { return "THiddenPoint"; }
};

// A sample with a direction angle (radians, [0, 2 pi), counter-clockwise with y upward).
class TBaseObject : public TSampleObject {
 public:
  using TSampleObject::TSampleObject;
  bool AngleValid() const { return angleValid_; }
  float Angle() const { return angle_; }
  // Unwrapped angle minus the object's first angle; kept up to date by the angle columns.
  float AngularDisplacement() const { return angularDisplacement_; }
  void SetAngularDisplacement(float a) { angularDisplacement_ = a; }

 protected:
  void SetAngle(bool valid, float angle) {
    angleValid_ = valid;
    angle_ = valid ? angle : 0.0f;
  }

 private:
  bool angleValid_ = false;
  float angle_ = 0;
  float angularDisplacement_ = 0;
};

// A line from end 0 to end 1; its angle is the direction from end 0 to end 1.
class TLineObject : public TBaseObject {
 public:
  using TBaseObject::TBaseObject;
  QString ClassName() const override { return "TLineObject"; }
  bool HasPoint(int i) const override { return i >= 0 && i < 2 && ends_[i] != nullptr; }
  // A missing end raises "TLineObject coordinate <i> is nil".
  TImagePoint GetPoint(int i) const override;
  void SetPoint(int i, TImagePoint p) override;
  int PointCount() const override { return 2; }
  int LineCount() const override { return 1; }
  void Draw(QPainter& painter, const TImageMapping& mapping) const override;

 private:
  std::array<std::unique_ptr<TPointObject>, 2> ends_;
};

// Two lines: points 0, 1 are line 0 and points 2, 3 line 1; the angle runs from line 0 to line 1.
class TAngleObject : public TBaseObject {
 public:
  using TBaseObject::TBaseObject;
  QString ClassName() const override { return "TAngleObject"; }
  bool HasPoint(int i) const override;
  TImagePoint GetPoint(int i) const override;
  void SetPoint(int i, TImagePoint p) override;
  int PointCount() const override { return 4; }
  int LineCount() const override { return 2; }
  void Draw(QPainter& painter, const TImageMapping& mapping) const override;
  // Line 0 or 1, or nullptr while none of its points was set.
  const TLineObject* Line(int i) const { return i >= 0 && i < 2 ? lines_[i].get() : nullptr; }

 private:
  std::array<std::unique_ptr<TLineObject>, 2> lines_;
};

// A new sample of the given class for the holder (not yet added to it).
std::unique_ptr<TSampleObject> CreateSample(TSampleClass cls, TObjDef* def, TFrameObject* holder);

// Directed angle from the direction of line A (a0 to a1) to that of line B, radians in
// [0, 2 pi), counter-clockwise with y upward; single precision.
float AngleBetween(TImagePoint a0, TImagePoint a1, TImagePoint b0, TImagePoint b1);

// Marker `shape` of `size` at image point p, in paint-box pixels through the mapping.
void DrawMarkerAt(QPainter& painter, const TImageMapping& mapping, TImagePoint p, int shape,
                  QRgb colour, int size);
