#pragma once

#include <QString>
#include <optional>
#include <string>

#include "display/ImageMapping.h"

// Measuring a gage length on the image: two clicks give an image length in pixels; the known
// gage length over it is the new factor (gage units per pixel).
class TGageMeasure {
 public:
  // The page was shown: start again at point 1, forget the image length.
  void Restart();
  // A click on the image at p; after the second the image length is known.
  void Click(TImagePoint p);
  // "click Image Length Point 1" or "... Point 2", for the status bar.
  QString Prompt() const;
  int Counter() const { return counter_; }

  void SetGageLength(double length) { gageLength_ = length; }
  double GageLength() const { return gageLength_; }
  double ImageLength() const { return imageLength_; }
  // |gage length| / image length; empty while the image length is 0 or unknown.
  std::optional<double> NewFactor() const;

 private:
  int counter_ = 1;
  TImagePoint points_[2];
  double imageLength_ = 0;
  double gageLength_ = 0;
};

// A gage factor that can scale coordinates: positive and finite once stored as a single. Zero
// would collapse every value to 0 and an overflow would turn them all into infinities.
bool UsableFactor(double factor);

// The scale as a clip's descriptor keeps it in its "Scaling" section. A missing or unreadable
// entry stays empty.
struct TScalingEntries {
  std::optional<double> gageLength;
  std::optional<std::string> gageUnits;
  std::optional<double> factor;
};
TScalingEntries ReadScaling(const std::string& descriptor);
void WriteScaling(std::string& descriptor, double gageLength, const std::string& gageUnits,
                  double factor);
