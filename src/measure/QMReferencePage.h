#pragma once

#include <QWidget>

#include "display/ImageMapping.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class TEditNumeric;
class TObjDef;
struct TQMContext;

// The Reference page of a Quick Measure window: where object coordinates are measured from, a
// fixed image point set by a click or a point of another object, optionally taken to lie at a
// base location. Every change goes through the model's reference operations, which recompute
// all cells. Interface thread only.
class TQMReferencePage : public QWidget {
  Q_OBJECT
 public:
  TQMReferencePage(TQMContext& ctx, QWidget* parent = nullptr);

  // The page was shown.
  void Start();
  bool ImagePointMode() const;
  // A click on the image while the page is shown: the fixed point in image point mode.
  void ImageClick(TImagePoint p);
  // The object chosen in the object selector (whether or not the reference follows it now).
  bool IsReferenceObject(const TObjDef* def) const;
  // The model's length unit changed (the model converted the base already).
  void LengthUnitChanged(int unit);
  // A measurement file was loaded: every control from the model's referencer.
  void SyncFromModel();

 public slots:
  void ObjectCreated(TObjDef* def);
  void ObjectRenamed(TObjDef* def);
  // Before the object is destroyed.
  void ObjectDeleting(TObjDef* def);

 private:
  void BuildControls();
  QWidget* BuildBaseRow();
  void ImagePointChosen(bool checked);
  void RelativeChosen(bool checked);
  void ObjectChosen(int index);
  void PointChanged(int number);
  void BaseChanged();
  TObjDef* SelectedObject() const;
  TObjDef* ObjectAt(int index) const;
  int IndexOf(const TObjDef* def) const;
  void InsertSorted(TObjDef* def);
  void SelectObjectQuietly(const TObjDef* def);
  void ShowPointRange(const TObjDef* def, int number);
  void ShowImagePoint(TImagePoint p);
  void ShowBase();
  void ShowPrompt();
  void Changed();

  TQMContext& ctx_;
  QRadioButton* imagePoint_ = nullptr;
  QRadioButton* relative_ = nullptr;
  QLabel* imagePointText_ = nullptr;
  QComboBox* objects_ = nullptr;
  QLineEdit* coordinate_ = nullptr;
  QSpinBox* pointSpin_ = nullptr;
  QCheckBox* useBase_ = nullptr;
  TEditNumeric* baseX_ = nullptr;
  TEditNumeric* baseY_ = nullptr;
  QLabel* offsetUnits_ = nullptr;
};
