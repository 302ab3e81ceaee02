#include "measure/Samples.h"

#include <QPainter>
#include <cmath>
#include <numbers>

#include "display/Marker.h"
#include "measure/ObjDef.h"
#include "platform/Exception.h"

namespace {

constexpr int kMarkerSize = 20;

QPoint ToScreen(const TImageMapping& mapping, TImagePoint p) {
  return {static_cast<int>(std::lround(mapping.ImageToScreenX(p.x))),
          static_cast<int>(std::lround(mapping.ImageToScreenY(p.y)))};
}

// Slope of a line in [0, pi]: its direction folded onto the upper half-plane.
float SlopeAngle(float dx, float dy) {
  constexpr float kPi = std::numbers::pi_v<float>;
  if (std::fabs(dx) <= 1e-20f) return kPi / 2;
  const float a = std::atan(dy / dx);
  return (a < 0 || (dy == 0 && dx < 0)) ? a + kPi : a;
}

}  // namespace

void TSampleObject::SetPointCount(int n) const {
  if (n > PointCount()) throw Exception(ClassName() + " SetPointCount of " + QString::number(n));
}

void TSampleObject::CheckIndex(int i) const {
  // An index equal to the count is refused too: it would read past the stored points.
  if (i < 0 || i >= PointCount())
    throw Exception(ClassName() + " Point Index of " + QString::number(i));
}

TImagePoint TPointObject::GetPoint(int i) const {
  CheckIndex(i);
  return p_;
}

void TPointObject::SetPoint(int i, TImagePoint p) {
  CheckIndex(i);
  p_ = p;
}

void TPointObject::Draw(QPainter& painter, const TImageMapping& mapping) const {
  DrawMarkerAt(painter, mapping, p_, ObjDef()->Polymarker(), ObjDef()->Colour(), kMarkerSize);
}

TImagePoint TLineObject::GetPoint(int i) const {
  CheckIndex(i);
  if (!ends_[i]) throw Exception(ClassName() + " coordinate " + QString::number(i) + " is nil");
  return ends_[i]->GetPoint(0);
}

void TLineObject::SetPoint(int i, TImagePoint p) {
  CheckIndex(i);
  if (!ends_[i]) ends_[i] = std::make_unique<TPointObject>(ObjDef(), Holder());
  ends_[i]->SetPoint(0, p);
  if (!ends_[0] || !ends_[1]) return SetAngle(false, 0);
  const TImagePoint p0 = ends_[0]->GetPoint(0);
  SetAngle(true, AngleBetween(p0, {p0.x + 100, p0.y}, p0, ends_[1]->GetPoint(0)));
}

void TLineObject::Draw(QPainter& painter, const TImageMapping& mapping) const {
  for (const auto& end : ends_)
    if (end) end->Draw(painter, mapping);
  if (!ends_[0] || !ends_[1]) return;
  painter.save();
  painter.setPen(QPen(QColor(ObjDef()->Colour()), 0));
  painter.drawLine(ToScreen(mapping, ends_[0]->GetPoint(0)),
                   ToScreen(mapping, ends_[1]->GetPoint(0)));
  painter.restore();
}

bool TAngleObject::HasPoint(int i) const {
  return i >= 0 && i < 4 && lines_[i / 2] && lines_[i / 2]->HasPoint(i % 2);
}

TImagePoint TAngleObject::GetPoint(int i) const {
  CheckIndex(i);
  if (!lines_[i / 2])
    throw Exception(ClassName() + " coordinate " + QString::number(i) + " is nil");
  return lines_[i / 2]->GetPoint(i % 2);
}

void TAngleObject::SetPoint(int i, TImagePoint p) {
  CheckIndex(i);
  auto& line = lines_[i / 2];
  if (!line) line = std::make_unique<TLineObject>(ObjDef(), Holder());
  line->SetPoint(i % 2, p);
  for (int k = 0; k < 4; ++k)
    if (!HasPoint(k)) return SetAngle(false, 0);
  SetAngle(true, AngleBetween(GetPoint(0), GetPoint(1), GetPoint(2), GetPoint(3)));
}

void TAngleObject::Draw(QPainter& painter, const TImageMapping& mapping) const {
  for (const auto& line : lines_)
    if (line) line->Draw(painter, mapping);
}

std::unique_ptr<TSampleObject> CreateSample(TSampleClass cls, TObjDef* def, TFrameObject* holder) {
  switch (cls) {
    case TSampleClass::Point:
      return std::make_unique<TPointObject>(def, holder);
    case TSampleClass::Hidden:
      return std::make_unique<THiddenPoint>(def, holder);
    case TSampleClass::Line:
      return std::make_unique<TLineObject>(def, holder);
    case TSampleClass::Angle:
      return std::make_unique<TAngleObject>(def, holder);
  }
  return nullptr;
}

float AngleBetween(TImagePoint a0, TImagePoint a1, TImagePoint b0, TImagePoint b1) {
  constexpr float kPi = std::numbers::pi_v<float>;
  const float dxA = a1.x - a0.x, dyA = a1.y - a0.y;
  const float dxB = b1.x - b0.x, dyB = b1.y - b0.y;
  const float slopeA = SlopeAngle(dxA, dyA), slopeB = SlopeAngle(dxB, dyB);
  if (std::fabs(slopeA - slopeB) <= 1e-20f) {
    // Parallel: opposite when the directions disagree. The dot product also tells two
    // vertical lines apart, where comparing the signs of dx alone cannot.
    return dxA * dxB + dyA * dyB < 0 ? kPi : 0.0f;
  }
  const float r = slopeB - slopeA;
  const bool sameSide = (dyA >= 0 && dyB >= 0) || (dyA < 0 && dyB < 0);
  if (!sameSide) return r + kPi;
  return r >= 0 ? r : r + 2 * kPi;
}

void DrawMarkerAt(QPainter& painter, const TImageMapping& mapping, TImagePoint p, int shape,
                  QRgb colour, int size) {
  DrawPolymarker(painter, ToScreen(mapping, p), shape, QColor(colour), size);
}
