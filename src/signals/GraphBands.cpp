#include "signals/GraphBands.h"

#include <algorithm>

TGraphBands::TGraphBands(int subsets, int overlay, bool shareFirstAxis)
    : subsets_(std::max(subsets, 0)), overlay_(std::clamp(overlay, 0, std::max(subsets, 0))) {
  if (overlay_ >= 1) {
    overlayEnd_ = overlay_ - 1;
    if (shareFirstAxis) sharedAxisEnd_ = overlay_ - 1;
  }
}

int TGraphBands::BandCount() const {
  if (subsets_ == 0) return 0;
  return overlay_ >= 1 ? subsets_ - overlay_ + 1 : subsets_;
}

int TGraphBands::AxisOf(int subset) const {
  return subset <= sharedAxisEnd_ ? 0 : subset - sharedAxisEnd_;
}

int TGraphBands::BandOf(int subset) const {
  return subset <= overlayEnd_ ? 0 : subset - sharedAxisEnd_;
}

int TGraphBands::BandOfAxis(int axis) const {
  // Without a shared axis the overlay axes 0..overlay-1 all lie in band 0.
  return axis <= overlayEnd_ - sharedAxisEnd_ ? 0 : axis;
}

int TGraphBands::SubsetsOnAxis(int axis) const {
  if (axis < 0 || axis >= AxisCount()) return 0;
  return axis == 0 ? sharedAxisEnd_ + 1 : 1;
}

int TGraphBands::AxesInBand(int axis) const {
  if (axis < 0 || axis >= AxisCount() || BandOfAxis(axis) != axis) return 0;
  return axis == 0 && overlay_ >= 1 ? overlay_ - sharedAxisEnd_ : 1;
}
