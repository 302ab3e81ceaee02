#pragma once

#include <QDialog>

#include "signals/GraphSettings.h"

class QWidget;

// The graph's customisation dialog: colours, fonts, grid, line width, data precision and
// annotations.
class TGraphCustomiseDialog : public QDialog {
  Q_OBJECT
 public:
  TGraphCustomiseDialog(const TGraphLook& look, QWidget* parent);
  TGraphLook Look() const;
  // Shows the dialog modally; true, with look changed, when the user confirmed.
  static bool Edit(TGraphLook& look, QWidget* parent);

 private:
  TGraphLook look_;
};
