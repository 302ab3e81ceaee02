#include "signals/Diadem.h"

#include "platform/Exception.h"
#include "signals/DataTypes.h"
#include "textio/FloatText.h"

namespace {

int keyNumber(const std::string& key) {
  try {
    return StrToInt(key);
  } catch (const Exception&) {
    return -1;
  }
}

QString text(const std::string& value) {
  return QString::fromLatin1(value.data(), qsizetype(value.size()));
}

}  // namespace

TBufFileStream& TDataFileCache::Stream(const QString& name) {
  for (auto& [cached, stream] : streams_)
    if (cached.compare(name, Qt::CaseInsensitive) == 0) return *stream;
  auto stream = std::make_unique<TBufFileStream>(folder_ + name, TFileStream::TMode::OpenRead);
  streams_.emplace_back(name, std::move(stream));
  return *streams_.back().second;
}

void TDiademSignalData::LoadHeader(TBufFileStream& header, TDataFileCache& cache) {
  SetProperty(kRefNumber, 1000.0 + (Owner ? Owner->Count() : 0));
  double timeFactor = 1;
  std::string key, value;
  for (;;) {
    header.ReadToken(key, value);
    if (key == "#ENDCHANNELHEADER") break;
    ApplyKey(keyNumber(key), value, timeFactor);
  }
  if (TimeChannel) ComputeTimeProperties(timeFactor);
  if (!Implicit) LoadData(cache.Stream(GetProperty(kDataFileName)));
}

void TDiademSignalData::ApplyKey(int key, const std::string& value, double& timeFactor) {
  const QString v = text(value);
  switch (key) {
    case 200:
      return SetProperty(kName, v);
    case 201: {
      const qsizetype ref = v.indexOf(QLatin1String(" Ref #"));
      if (ref < 0) return SetProperty(kComments, v);
      return SetProperty(kRefNumber, v.mid(ref + 6));
    }
    case 202:
      SetProperty(kTransducerUnits, v);
      SetProperty(kUnits, v);
      return TakeTimeUnit(v.toLower(), timeFactor);
    case 210:
      Implicit = v.toUpper() == QLatin1String("IMPLICIT");
      if (Implicit) {
        SetProperty(kDataFileType, double(sigtype::kReal32));
        SetProperty(kDataType, double(sigtype::kReal32));
      }
      return;
    case 211:
      return SetProperty(kDataFileName, v);
    case 214: {
      const int code = sigtype::TypeCode(value);
      if (code < 0) throw Exception(QStringLiteral("Invalid Data Type: 214,") + v);
      SetProperty(kDataFileType, double(code));
      return SetProperty(kDataType, double(sigtype::MemoryType(code)));
    }
    case 220:
      return SetProperty(kDataCount, double(StrToInt(value)));
    case 221: {
      const std::int64_t pointer = StrToInt(value);
      const int size = sigtype::FileSize(PropertyInt(kDataFileType));
      DataStart = size > 0 ? (pointer - 1) * size : pointer;
      return;
    }
    case 240:
      return SetNumber(kOffset, value);
    case 241:
      return SetNumber(kScaleFactor, value);
    case 250:
      return SetNumber(kMinValue, value);
    case 251:
      return SetNumber(kMaxValue, value);
    default:
      return;
  }
}

void TDiademSignalData::SetNumber(int index, const std::string& value) {
  if (!value.empty()) SetProperty(index, StrToFloat(value));
}

void TDiademSignalData::TakeTimeUnit(const QString& unit, double& timeFactor) {
  TimeChannel = true;
  if (unit.contains(QLatin1String("ms")) || unit.contains(QLatin1String("millisecond"))) {
    SetProperty(kTimeUnits, QStringLiteral("ms"));
    SetProperty(kTimeUnitsPerSecond, 1000.0);
    timeFactor = 1;
  } else if (unit == QLatin1String("s") || unit.contains(QLatin1String("sec"))) {
    SetProperty(kTimeUnits, QStringLiteral("s"));
    SetProperty(kTimeUnitsPerSecond, 1.0);
    timeFactor = 1000;
  } else {
    TimeChannel = false;
  }
}

void TDiademSignalData::ComputeTimeProperties(double timeFactor) {
  const int count = DataCount();
  if (Implicit) {
    SetProperty(kTimeOffset, PropertyFloat(kOffset) * timeFactor);
    SetProperty(kTimeScaleFactor, PropertyFloat(kScaleFactor) * timeFactor);
  } else {
    // The step comes from the header's extremes over count - 1 intervals.
    if (count < 2) throw Exception("Time Channel Needs Two Values");
    const double first = PropertyFloat(kMinValue);
    SetProperty(kTimeOffset, first * timeFactor);
    SetProperty(kTimeScaleFactor, (PropertyFloat(kMaxValue) - first) / (count - 1) * timeFactor);
  }
  SetProperty(kMinTime, GetProperty(kTimeOffset));
  SetProperty(kMaxTime, Interval() * (count - 1) + PropertyFloat(kMinTime));
}

TSignalData::TValueRule TDiademSignalData::ValueRule() const {
  if (Implicit && TimeChannel) {
    TValueRule rule;
    rule.fromIndex = true;
    rule.scale = Interval();
    rule.offset = PropertyFloat(kMinTime);
    return rule;
  }
  TValueRule rule = TSignalData::ValueRule();
  if (!Implicit && Origin && IsSet(kDataType) && PropertyInt(kDataType) == sigtype::kWord16) {
    rule.signedWord16 = true;
    rule.offset = -rule.offset;
  }
  return rule;
}
