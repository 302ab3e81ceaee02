#pragma once

#include <QDialog>

#include "signals/SigInfo.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TEditNumeric;

// The one information dialog shared by all ASCII files: shows the reader's guesses for the user
// to confirm or correct. Result codes: Accepted for OK, kAll for "All", Rejected for Cancel.
class TSigInfoDlg : public QDialog, public ISigInfo {
  Q_OBJECT

 public:
  static constexpr int kAll = 2;

  explicit TSigInfoDlg(QWidget* parent = nullptr);

  // Setting the name also sets the caption to "<name> Signal Info".
  void SetSignalName(const QString& name) override;
  QString SignalName() const override;
  void SetAxisLabel(const QString& label) override;
  QString AxisLabel() const override;
  void SetFrequency(double hertz) override;
  double Frequency() const override;
  void SetFirstSampleMs(double ms) override;
  double FirstSampleMs() const override;
  // A column above 0 enables the time column display; 0 disables it and empties the number.
  void SetTimeColumn(int column) override;
  int TimeColumn() const override;
  bool Execute(bool& applyToAll) override;

  // OK and All are enabled exactly when the frequency is above 0 and the first-sample time,
  // the name and the axis label are all given.
  void InfoChange();

 private:
  void BuildUi();

  QLineEdit* SigNameEdit = nullptr;
  QLineEdit* AxisEN = nullptr;
  QLabel* TimeLB = nullptr;
  QLabel* TimeSpin = nullptr;
  TEditNumeric* FreqEN = nullptr;
  TEditNumeric* FirstSampMSEN = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* OKAllBtn = nullptr;
  QPushButton* BitBtn1 = nullptr;
};
