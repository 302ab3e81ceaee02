#pragma once

#include <QColor>
#include <QDialog>
#include <map>

#include "signals/GraphSettings.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QPlainTextEdit;
class QPushButton;

// The graph's customisation dialog: colours, fonts, grid, line width, data precision and
// annotations (one per line: the time in ms, a space, the text).
class TGraphCustomiseDialog : public QDialog {
  Q_OBJECT
 public:
  TGraphCustomiseDialog(const TGraphLook& look, QWidget* parent);
  TGraphLook Look() const;
  // Shows the dialog modally; true, with look changed, when the user confirmed.
  static bool Edit(TGraphLook& look, QWidget* parent);

  // Annotation lines to annotations; a line whose first word is no number is skipped.
  static std::vector<TGraphAnnotation> ParseAnnotations(const QString& text);
  static QString AnnotationText(const std::vector<TGraphAnnotation>& list);

 private:
  QPushButton* ColourButton(const char* name, QColor TGraphLook::*member);
  void Paint(QPushButton* button, const QColor& colour);

  TGraphLook look_;
  std::map<QPushButton*, QColor TGraphLook::*> colours_;
  QFontComboBox *titleFont_, *labelFont_;
  QCheckBox *titleBold_, *labelBold_, *shadows_, *marks_, *annotationsShown_;
  QComboBox *fontSize_, *precision_, *grid_, *gridStyle_;
  QDoubleSpinBox* lineWidth_;
  QPlainTextEdit* annotations_;
};
