#include "textio/NumEdit.h"

#include <cmath>

#include "platform/Dialogs.h"
#include "platform/Exception.h"

TEditNumeric::TEditNumeric(QWidget* parent) : QLineEdit(parent) {
  lastText_ = text();
  connect(this, &QLineEdit::textChanged, this, &TEditNumeric::textWasChanged);
}

double TEditNumeric::FloatValue() const {
  const QString t = text().trimmed();
  if (t.isEmpty()) return blankValue_;
  if (t == u'-') return 0;  // the start of a negative number
  return StrToFloat(t);
}

int TEditNumeric::IntegerValue() const {
  const QString t = text().trimmed();
  if (t.isEmpty()) return RoundHalfEven(blankValue_);
  if (floatingPoint_) return RoundHalfEven(StrToFloat(t));
  if (t == u'-') return 0;
  return StrToInt(t);
}

void TEditNumeric::SetFloatValue(double value) {
  if (std::isnan(value) || value == blankValue_) {
    setText(QString());
    return;
  }
  setText(QString::fromStdString(FloatToStrF(value, formating_, precision_, digits_)));
}

void TEditNumeric::SetIntegerValue(int value) {
  if (std::isfinite(blankValue_) && std::fabs(blankValue_) < 2147483648.0 &&
      value == RoundHalfEven(blankValue_)) {
    setText(QString());
    return;
  }
  setText(QString::number(value));
}

void TEditNumeric::LoadText(const QString& t) {
  loading_ = true;
  setText(t);
  loading_ = false;
  lastText_ = t;
}

void TEditNumeric::textWasChanged(const QString& t) {
  if (loading_ || t == lastText_) return;
  try {
    if (floatingPoint_)
      FloatValue();
    else
      IntegerValue();
  } catch (const Exception& e) {
    dialogs::showError(this, e.message());
    loading_ = true;
    setText(lastText_);
    loading_ = false;
    setFocus();
    return;
  }
  lastText_ = t;
  emit Change();
}
