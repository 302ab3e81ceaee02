#include "display/ChildForm.h"

TChildForm::TChildForm(QWidget* owner) : QWidget(owner, Qt::Window) {}

TChildForm::~TChildForm() = default;
