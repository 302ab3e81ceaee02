#include "measure/Scaler.h"

#include <QString>

#include "measure/Units.h"
#include "platform/Exception.h"

namespace {

// A unit number from a file or a stored preference indexes a table: refuse what lies outside.
std::uint8_t Checked(int unit, int first, int last) {
  if (unit < first || unit > last)
    throw Exception("Unit Index of " + QString::number(unit) + " out of range");
  return static_cast<std::uint8_t>(unit);
}

}  // namespace

TScaler::TScaler() {
  SetGage(gageUnit_, gageFactor_);
}

void TScaler::SetGage(int unit, float factor) {
  gageUnit_ = Checked(unit, 0, units::kLastLength);
  gageFactor_ = factor;
  xFactor_ = yFactor_ = static_cast<float>(units::ConvertLength(factor, gageUnit_, lengthUnit_));
}

void TScaler::SetLengthUnit(int unit) {
  lengthUnit_ = Checked(unit, 0, units::kLastLength);
  SetGage(gageUnit_, gageFactor_);
}

void TScaler::SetAngularUnit(int unit) {
  angularUnit_ = Checked(unit, units::kFirstAngle, units::kLastAngle);
}

void TScaler::SetAngularVelocityUnit(int unit) {
  angularVelocityUnit_ = Checked(unit, units::kFirstAngularVelocity, units::kVelocityCount - 1);
}

void TScaler::SetLinearVelocityUnit(int unit) {
  linearVelocityUnit_ = Checked(unit, 0, units::kLastLinearVelocity);
}

// Four acceleration names are offered; none is used in a quantity.
void TScaler::SetAccelerationUnit(int unit) {
  accelerationUnit_ = Checked(unit, 0, 3);
}
