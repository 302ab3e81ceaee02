#include "signals/GraphCustomiseDialog.h"

TGraphCustomiseDialog::TGraphCustomiseDialog(const TGraphLook& look, QWidget* parent)
    : QDialog(parent), look_(look) {}

TGraphLook TGraphCustomiseDialog::Look() const {
  return look_;
}

bool TGraphCustomiseDialog::Edit(TGraphLook& look, QWidget* parent) {
  TGraphCustomiseDialog dialog(look, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  look = dialog.Look();
  return true;
}
