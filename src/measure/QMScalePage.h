#pragma once

#include <QWidget>
#include <optional>

#include "measure/Gage.h"

class QComboBox;
class QLabel;
class QPushButton;
class TEditNumeric;
struct TQMContext;

// The Scale page of a Quick Measure window: two clicks on the image measure a known gage
// length in pixels; applying the new factor rescales every measurement and stores the scale in
// the clip's descriptor so that reopening the clip restores it. Interface thread only.
class TQMScalePage : public QWidget {
  Q_OBJECT
 public:
  TQMScalePage(TQMContext& ctx, QWidget* parent = nullptr);

  // The page was shown: the measurement starts again and a scale kept in the descriptor is
  // taken up.
  void Start();
  // A click on the image while the page is shown.
  void ImageClick(TImagePoint p);

 private:
  void BuildControls();
  void LoadDescriptor();
  void GageLengthChanged();
  void RecomputeFactor();
  void Apply();
  int GageUnit() const;
  double GageLengthValue() const;
  void ShowScaleFactor(const QString& factorText, int unit);

  TQMContext& ctx_;
  TGageMeasure gage_;
  std::optional<double> newFactor_;

  TEditNumeric* gageLength_ = nullptr;
  QComboBox* unit_ = nullptr;
  TEditNumeric* imageLength_ = nullptr;
  QLabel* newFactorText_ = nullptr;
  QPushButton* apply_ = nullptr;
  QLabel* scaleFactor_ = nullptr;
};
