#pragma once

#include <QString>

// The calls the ASCII reader makes on the signal information dialog: it hands over its guesses,
// asks for confirmation and reads back what was accepted. Values persist between files, so a
// guess that fails leaves the previous file's frequency and first-sample time in place.
class ISigInfo {
 public:
  virtual ~ISigInfo() = default;
  virtual void SetSignalName(const QString& name) = 0;
  virtual QString SignalName() const = 0;
  virtual void SetAxisLabel(const QString& label) = 0;
  virtual QString AxisLabel() const = 0;
  virtual void SetFrequency(double hertz) = 0;
  virtual double Frequency() const = 0;
  virtual void SetFirstSampleMs(double ms) = 0;
  virtual double FirstSampleMs() const = 0;
  // 0: no time column.
  virtual void SetTimeColumn(int column) = 0;
  virtual int TimeColumn() const = 0;
  // True when the values are accepted. With applyToAll already set nothing is asked; "All" sets
  // it for the files that follow.
  virtual bool Execute(bool& applyToAll) = 0;
};

// The dialog without a screen: accepts what it holds, numbers kept as the dialog's fields show
// them (7 significant digits). Starts at 1000 Hz and 0 ms, samples at their index.
class TSigInfoRecord : public ISigInfo {
 public:
  void SetSignalName(const QString& name) override { name_ = name; }
  QString SignalName() const override { return name_; }
  void SetAxisLabel(const QString& label) override { axis_ = label; }
  QString AxisLabel() const override { return axis_; }
  void SetFrequency(double hertz) override;
  double Frequency() const override { return frequency_; }
  void SetFirstSampleMs(double ms) override;
  double FirstSampleMs() const override { return firstMs_; }
  void SetTimeColumn(int column) override { timeColumn_ = column; }
  int TimeColumn() const override { return timeColumn_; }
  bool Execute(bool&) override { return true; }

 private:
  QString name_;
  QString axis_;
  double frequency_ = 1000;
  double firstMs_ = 0;
  int timeColumn_ = 0;
};

// A number as a field of 7 significant digits in general format holds it.
double AsShownInField(double value);
