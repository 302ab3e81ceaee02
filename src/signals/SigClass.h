#pragma once

#include <QString>
#include <vector>

#include "signals/SignalData.h"

// A signal source as the graph sees it: a named run of singles on a uniform time base in
// milliseconds, read front to back after Reset.
class TSigClass {
 public:
  virtual ~TSigClass() = default;
  virtual bool AtEnd() = 0;
  virtual QString FormatName() const = 0;
  // "<FormatName>.<Name>", or "<FormatName>.<Group>/<Name>" with a group.
  virtual QString Ident() const;
  virtual void Reset() = 0;
  virtual float NextValue() = 0;
  // The sample nearest to a test time (ms), halves to even.
  int SampleAt(double timeMs) const;

  QString Group;
  QString Name;
  QString XLabel = QStringLiteral("Time (mS)");
  QString YLabel;
  double Interval = 0;
  double FirstTime = 0;
  int Count = 0;
  float NullValue = kSignalNullValue;
};

// A channel's values taken once, at construction; the source keeps no reference to it.
class TDIAdemSigClass : public TSigClass {
 public:
  explicit TDIAdemSigClass(const TSignalData& channel);

  bool AtEnd() override { return position_ >= Count; }
  QString FormatName() const override { return QStringLiteral("DIAdem"); }
  void Reset() override { position_ = 0; }
  float NextValue() override;

 private:
  int position_ = 0;
  std::vector<float> values_;
  // An implicit channel holds no samples: its values follow from the index, so a header's
  // count alone never decides how much memory a source takes.
  bool fromIndex_ = false;
  double scale_ = 0;
  double offset_ = 0;
};
