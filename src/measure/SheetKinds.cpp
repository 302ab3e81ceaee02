#include "measure/SheetKinds.h"

#include <cmath>
#include <iterator>

#include "measure/FrameList.h"
#include "measure/Scaler.h"
#include "measure/Units.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831853f;
constexpr int kRadians = 11;

int FrameOf(const TSampleObject& s) {
  return s.Holder() ? s.Holder()->Frame() : 0;
}
float TimeOf(const TSampleObject& s) {
  return s.Holder() ? s.Holder()->Time() : 0.0f;
}

float Coordinate(TImagePoint p, int axis) {
  return axis == 0 ? p.x : p.y;
}

float Distance(TImagePoint a, TImagePoint b) {
  const float dx = a.x - b.x, dy = a.y - b.y;
  return std::sqrt(dx * dx + dy * dy);
}

// The sample's own angle (a line's direction, or the angle between two lines).
std::optional<float> AngleOf(const TSampleObject* s) {
  const auto* base = dynamic_cast<const TBaseObject*>(s);
  if (!base || !base->AngleValid()) return std::nullopt;
  return base->Angle();
}

}  // namespace

bool TImageOrdElement::Compute() {
  if (!sample_ || !sample_->HasPoint(PointIndex())) return false;
  value_ = Coordinate(sample_->GetPoint(PointIndex()), Axis());
  return true;
}

bool TObjectOrdElement::Compute() {
  if (!sample_) return false;
  const auto p = Referenced(*sample_);
  if (!p) return false;
  value_ = Coordinate(*p, Axis());
  return true;
}

std::optional<TImagePoint> TDisplacementOrdElement::Base() const {
  return first_ ? Referenced(*first_) : std::nullopt;
}

bool TDisplacementOrdElement::Compute() {
  if (!sample_) return false;
  const auto p = Referenced(*sample_), p0 = Base();
  if (!p || !p0) return false;
  value_ = Coordinate(*p, Axis()) - Coordinate(*p0, Axis());
  return true;
}

bool TDisplacementElement::Compute() {
  if (!sample_) return false;
  const auto p = Referenced(*sample_), p0 = Base();
  if (!p || !p0) return false;
  value_ = Distance(*p, *p0);
  return true;
}

static bool Same(const std::optional<TImagePoint>& a, const std::optional<TImagePoint>& b) {
  if (!a || !b) return !a && !b;
  return a->x == b->x && a->y == b->y;
}

void TDisplacementOrdElement::SampleChanged(TSampleObject& sample) {
  TSampleObject* first = List().First();
  bool moved = first != first_;
  first_ = first;
  // Every displacement is measured from the base: when it moved, no cell of the column holds.
  const auto base = Base();
  moved = moved || !Same(base, lastBase_);
  lastBase_ = base;
  if (moved)
    RecomputeColumn(first_);
  else
    WriteCell(sample);
}

void TDisplacementOrdElement::SampleRemoved(TSampleObject& sample) {
  TSheetElement::SampleRemoved(sample);
  if (&sample != first_) return;
  first_ = List().First();
  lastBase_ = Base();
  if (first_) RecomputeColumn(first_);
}

float TVelocityOrdElement::PerSecond(float delta, const TSampleObject& earlier) const {
  const float perSecond = delta / (TimeOf(*sample_) - TimeOf(earlier)) * 1000.0f;
  return static_cast<float>(
      units::ConvertVelocity(perSecond, Scaler().LengthUnit(), Scaler().LinearVelocityUnit()));
}

bool TVelocityOrdElement::Compute() {
  if (!sample_) return false;
  const TSampleObject* previous = List().Previous(*sample_);
  if (!previous) return false;
  const auto p = Referenced(*sample_), p0 = Referenced(*previous);
  if (!p || !p0) return false;
  value_ = PerSecond(Coordinate(*p, Axis()) - Coordinate(*p0, Axis()), *previous);
  return true;
}

bool TVelocityElement::Compute() {
  if (!sample_) return false;
  const TSampleObject* previous = List().Previous(*sample_);
  if (!previous) return false;
  const auto p = Referenced(*sample_), p0 = Referenced(*previous);
  if (!p || !p0) return false;
  value_ = PerSecond(Distance(*p, *p0), *previous);
  return true;
}

void TVelocityOrdElement::SampleChanged(TSampleObject& sample) {
  WriteCell(sample);
  if (TSampleObject* next = List().Next(sample)) WriteCell(*next);
}

void TVelocityOrdElement::SampleRemoved(TSampleObject& sample) {
  TSheetElement::SampleRemoved(sample);
  if (TSampleObject* next = List().Next(sample)) WriteCell(*next);
}

bool TAbsAngleElement::Compute() {
  std::optional<float> angle;
  if (const auto* two = dynamic_cast<const TAngleObject*>(sample_))
    angle = AngleOf(two->Line(Ordinate()));
  else
    angle = AngleOf(sample_);
  if (!angle) return false;
  value_ = units::ConvertAngle(*angle, kRadians, Scaler().AngularUnit());
  return true;
}

bool TRelAngleElement::Compute() {
  const auto angle = AngleOf(sample_);
  if (!angle) return false;
  value_ = units::ConvertAngle(*angle, kRadians, Scaler().AngularUnit());
  return true;
}

// One step of the unwrapping from the turn before: the same single-precision steps as walking
// every sample from the first one.
TAngleDispElement::TTurn TAngleDispElement::Unwrap(TTurns::iterator it,
                                                   TSampleObject& sample) const {
  const float angle = *AngleOf(&sample);
  if (it == turns_.begin()) return {&sample, angle, 0.0f};
  const TTurn& before = std::prev(it)->second;
  TTurn turn{&sample, angle + before.offset, before.offset};
  if (before.angle - turn.angle > kPi) {
    turn.angle += kTwoPi;
    turn.offset += kTwoPi;
  } else if (turn.angle - before.angle > kPi) {
    turn.angle -= kTwoPi;
    turn.offset -= kTwoPi;
  }
  return turn;
}

void TAngleDispElement::RecomputeTurns() {
  for (auto it = turns_.begin(); it != turns_.end(); ++it)
    it->second = Unwrap(it, *it->second.sample);
  RecomputeColumn(nullptr);
}

void TAngleDispElement::Propagate(TTurns::iterator it) {
  // The next cell depends on this turn (its velocity at least); later ones only while the
  // unwrapped angles keep changing.
  for (auto next = std::next(it); next != turns_.end(); ++next) {
    const TTurn old = next->second;
    next->second = Unwrap(next, *old.sample);
    WriteCell(*old.sample);
    if (next->second.angle == old.angle && next->second.offset == old.offset) break;
  }
}

void TAngleDispElement::SampleChanged(TSampleObject& sample) {
  const int frame = FrameOf(sample);
  auto it = turns_.find(frame);
  if (!AngleOf(&sample)) {
    if (it != turns_.end()) {
      const bool wasBase = it == turns_.begin();
      const auto next = turns_.erase(it);
      if (wasBase) {
        RecomputeTurns();
      } else if (next != turns_.end()) {
        Propagate(std::prev(next));
      }
    }
    WriteCell(sample);
    return;
  }
  const bool added = it == turns_.end();
  if (added) it = turns_.emplace(frame, TTurn{&sample, 0, 0}).first;
  const TTurn old = it->second;
  it->second = Unwrap(it, sample);
  if (it == turns_.begin() && (added || old.angle != it->second.angle)) {
    RecomputeTurns();  // a new or moved base shifts every displacement
    return;
  }
  WriteCell(sample);
  if (added || old.angle != it->second.angle || old.offset != it->second.offset) Propagate(it);
}

void TAngleDispElement::SampleRemoved(TSampleObject& sample) {
  TSheetElement::SampleRemoved(sample);
  const auto it = turns_.find(FrameOf(sample));
  if (it == turns_.end() || it->second.sample != &sample) return;
  const bool wasBase = it == turns_.begin();
  const auto next = turns_.erase(it);
  if (wasBase)
    RecomputeTurns();
  else if (next != turns_.end())
    Propagate(std::prev(next));
}

TAngleDispElement::TTurns::const_iterator TAngleDispElement::Current() const {
  if (!sample_) return turns_.end();
  const auto it = turns_.find(FrameOf(*sample_));
  return it != turns_.end() && it->second.sample == sample_ ? it : turns_.end();
}

bool TAngleDispElement::Compute() {
  const auto it = Current();
  if (it == turns_.end()) return false;
  const float radians = Displacement(it);
  if (auto* base = dynamic_cast<TBaseObject*>(sample_)) base->SetAngularDisplacement(radians);
  value_ = units::ConvertAngle(radians, kRadians, Scaler().AngularUnit());
  return true;
}

bool TAnglularVelocityElement::Compute() {
  const auto it = Current();
  if (it == turns_.end() || it == turns_.begin()) return false;
  const auto before = std::prev(it);
  const float perSecond = (Displacement(it) - Displacement(before)) /
                          (TimeOf(*it->second.sample) - TimeOf(*before->second.sample)) * 1000.0f;
  const int unit = Scaler().AngularUnit();
  value_ = static_cast<float>(units::ConvertVelocity(units::ConvertAngle(perSecond, kRadians, unit),
                                                     unit, Scaler().AngularVelocityUnit()));
  return true;
}

void CreateColumns(TSheetElements& list) {
  const TObjDef& def = list.Object();
  if (def.SampleClass() == TSampleClass::Hidden) return;
  static const char* const kPointCaptions[10] = {"U",
                                                 "V",
                                                 "X",
                                                 "Y",
                                                 "X Displacement",
                                                 "Y Displacement",
                                                 "Abs. Displacement",
                                                 "X Velocity",
                                                 "Y Velocity",
                                                 "Abs. Velocity"};
  const int points = def.PointCount(), lines = def.LineCount();
  for (int p = 0; p < points; ++p) {
    const QString number = points > 1 ? QString::number(p + 1) : QString();
    const auto caption = [&](int kind) { return QLatin1String(kPointCaptions[kind]) + number; };
    new TImageOrdElement(list, caption(0), 0, 2 * p);
    new TImageOrdElement(list, caption(1), 1, 2 * p + 1);
    new TObjectOrdElement(list, caption(2), 2, 2 * p);
    new TObjectOrdElement(list, caption(3), 3, 2 * p + 1);
    new TDisplacementOrdElement(list, caption(4), 4, 2 * p);
    new TDisplacementOrdElement(list, caption(5), 5, 2 * p + 1);
    new TDisplacementElement(list, caption(6), 6, 2 * p);
    new TVelocityOrdElement(list, caption(7), 7, 2 * p);
    new TVelocityOrdElement(list, caption(8), 8, 2 * p + 1);
    new TVelocityElement(list, caption(9), 9, 2 * p);
  }
  for (int l = 0; l < lines; ++l)
    new TAbsAngleElement(
        list, QStringLiteral("Abs. Angle") + (lines > 1 ? QString::number(l + 1) : QString()), 10,
        l);
  if (lines > 0) {
    const int ordinate = lines > 1 ? 1 : 0;
    if (lines > 1) new TRelAngleElement(list, QStringLiteral("Rel. Angle"), 11, ordinate);
    new TAngleDispElement(list, QStringLiteral("Ang. Displacement"), 12, ordinate);
    new TAnglularVelocityElement(list, QStringLiteral("Ang. Velocity"), 13, ordinate);
  }
  for (std::size_t i = 0; i < list.Count(); ++i)
    if (HasKind(def.initialVisibleKinds, list.Element(i)->Kind()))
      list.Element(i)->SetVisible(true);
  for (std::size_t i = 0; i < list.Count(); ++i) list.Element(i)->RefreshMenuItem();
}
