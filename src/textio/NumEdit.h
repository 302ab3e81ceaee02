#pragma once

#include <QLineEdit>

#include "textio/FloatText.h"

// The single-line edit for numbers. It keeps the last text that read as a number and refuses
// any change that does not: the conversion error is shown and the text goes back. An empty
// field stands for BlankValue, and BlankValue is shown as an empty field.
class TEditNumeric : public QLineEdit {
  Q_OBJECT
  Q_PROPERTY(double BlankValue READ BlankValue WRITE SetBlankValue)
  Q_PROPERTY(int Digits READ Digits WRITE SetDigits)
  Q_PROPERTY(bool FloatingPoint READ FloatingPoint WRITE SetFloatingPoint)
  Q_PROPERTY(int Precision READ Precision WRITE SetPrecision)

 public:
  explicit TEditNumeric(QWidget* parent = nullptr);

  double BlankValue() const { return blankValue_; }
  void SetBlankValue(double v) { blankValue_ = v; }
  int Digits() const { return digits_; }
  void SetDigits(int d) { digits_ = d; }
  bool FloatingPoint() const { return floatingPoint_; }
  void SetFloatingPoint(bool on) { floatingPoint_ = on; }
  TFloatFormat Formating() const { return formating_; }
  void SetFormating(TFloatFormat f) { formating_ = f; }
  int Precision() const { return precision_; }
  void SetPrecision(int p) { precision_ = p; }
  QString LastText() const { return lastText_; }

  // The field is empty (or blanks only): it reads as BlankValue.
  bool IsBlank() const { return text().trimmed().isEmpty(); }
  // Both throw Exception when the text is not a number of the field's kind.
  double FloatValue() const;
  int IntegerValue() const;
  void SetFloatValue(double value);
  void SetIntegerValue(int value);
  // Puts a text in place unchecked and without a change notification, taking it as the last
  // accepted text; for loading a field from data that a reader checks afterwards.
  void LoadText(const QString& text);

 signals:
  // A change of the text that reads as a number (the control's change event).
  void Change();

 private:
  void textWasChanged(const QString& text);

  double blankValue_ = 0;
  int digits_ = 0;
  bool floatingPoint_ = false;
  TFloatFormat formating_ = TFloatFormat::General;
  int precision_ = 15;
  QString lastText_;
  bool loading_ = false;
};
