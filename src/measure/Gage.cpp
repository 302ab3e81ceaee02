#include "measure/Gage.h"

#include <cmath>
#include <limits>

#include "descriptors/DescriptorText.h"

namespace {
constexpr std::string_view kScaling = "Scaling";
}

void TGageMeasure::Restart() {
  counter_ = 1;
  imageLength_ = 0;
}

void TGageMeasure::Click(TImagePoint p) {
  points_[counter_ - 1] = p;
  if (counter_ == 1) {
    counter_ = 2;
    return;
  }
  const double dx = double(points_[0].x) - points_[1].x, dy = double(points_[0].y) - points_[1].y;
  imageLength_ = std::sqrt(dx * dx + dy * dy);
  counter_ = 1;
}

QString TGageMeasure::Prompt() const {
  return "click Image Length Point " + QString::number(counter_);
}

std::optional<double> TGageMeasure::NewFactor() const {
  if (!(imageLength_ > 0)) return std::nullopt;
  return std::fabs(gageLength_) / imageLength_;
}

bool UsableFactor(double factor) {
  // Checked against the single's range first: converting a larger double is undefined.
  return factor > 0 && factor <= std::numeric_limits<float>::max() &&
         static_cast<float>(factor) > 0;
}

TScalingEntries ReadScaling(const std::string& descriptor) {
  TScalingEntries e;
  double number = 0;
  std::string text;
  if (GetDescriptorFloat(descriptor, kScaling, "GageLength", number)) e.gageLength = number;
  if (GetDescriptorValue(descriptor, kScaling, "GageUnits", text)) e.gageUnits = text;
  if (GetDescriptorFloat(descriptor, kScaling, "Factor", number) && UsableFactor(number))
    e.factor = number;
  return e;
}

void WriteScaling(std::string& descriptor, double gageLength, const std::string& gageUnits,
                  double factor) {
  SetDescriptorFloat(descriptor, kScaling, "GageLength", gageLength);
  SetDescriptorValue(descriptor, kScaling, "GageUnits", gageUnits);
  SetDescriptorFloat(descriptor, kScaling, "Factor", factor);
}
