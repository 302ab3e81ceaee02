#pragma once

#include <cstdint>

#include "display/ImageMapping.h"

// Units in use and the scale from image pixels to length units. Unit numbers index the length
// table (gage, length 0..8; angular 9..11) and the velocity table (linear 0..3, angular 4..7).
class TScaler {
 public:
  TScaler();

  // Gage factor in gage units per pixel; the x and y factors follow in the length unit.
  // A unit outside the length table raises.
  void SetGage(int unit, float factor);
  void SetLengthUnit(int unit);
  void SetAngularUnit(int unit);
  void SetAngularVelocityUnit(int unit);
  void SetLinearVelocityUnit(int unit);
  void SetAccelerationUnit(int unit);

  int GageUnit() const { return gageUnit_; }
  int LengthUnit() const { return lengthUnit_; }
  int AngularUnit() const { return angularUnit_; }
  int AngularVelocityUnit() const { return angularVelocityUnit_; }
  int LinearVelocityUnit() const { return linearVelocityUnit_; }
  int AccelerationUnit() const { return accelerationUnit_; }
  float GageFactor() const { return gageFactor_; }
  float XFactor() const { return xFactor_; }
  float YFactor() const { return yFactor_; }

  TImagePoint Scale(TImagePoint p) const { return {p.x * xFactor_, p.y * yFactor_}; }

 private:
  std::uint8_t accelerationUnit_ = 0;
  std::uint8_t gageUnit_ = 0;
  std::uint8_t lengthUnit_ = 0;
  std::uint8_t angularUnit_ = 9;
  std::uint8_t angularVelocityUnit_ = 4;
  std::uint8_t linearVelocityUnit_ = 0;
  float gageFactor_ = 1;
  float xFactor_ = 1;
  float yFactor_ = 1;
};
