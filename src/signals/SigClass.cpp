#include "signals/SigClass.h"

#include <algorithm>

#include "textio/FloatText.h"

QString TSigClass::Ident() const {
  if (Group.isEmpty()) return FormatName() + QLatin1Char('.') + Name;
  return FormatName() + QLatin1Char('.') + Group + QLatin1Char('/') + Name;
}

int TSigClass::SampleAt(double timeMs) const {
  return RoundHalfEven((timeMs - FirstTime) / Interval);
}

TDIAdemSigClass::TDIAdemSigClass(const TSignalData& channel) {
  Name = channel.Name();
  YLabel = channel.GetProperty(TSignalData::kUnits);
  Interval = channel.Interval();
  FirstTime = channel.PropertyFloat(TSignalData::kTimeOffset);
  Count = std::max(channel.DataCount(), 0);
  NullValue = channel.NullValue();
  const TSignalData::TValueRule rule = channel.ValueRule();
  fromIndex_ = rule.fromIndex;
  scale_ = rule.scale;
  offset_ = rule.offset;
  if (fromIndex_) return;
  values_.resize(std::size_t(std::min(Count, channel.HeldCount())));
  channel.GetValues(0, int(values_.size()), values_.data());
}

float TDIAdemSigClass::NextValue() {
  const int i = position_++;
  if (fromIndex_ && i < Count) return float(i * scale_ + offset_);
  return i < int(values_.size()) ? values_[std::size_t(i)] : NullValue;
}
