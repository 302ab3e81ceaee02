#include "signals/SignalData.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/Exception.h"
#include "signals/DataTypes.h"
#include "textio/BufFileStream.h"
#include "textio/FloatText.h"

namespace {

const char* const kPropertyNames[TSignalData::kPropertyCount] = {
    "ISO Signal Name",
    "Ref. Number",
    "Channel",
    "Test ID",
    "Test Date",
    "Test Time",
    "Comments",
    "Engineer",
    "Technician",
    "Transducer ID",
    "Transducer Maker",
    "Transducer Model",
    "Transducer Units",
    "Transducer Sensitivity",
    "Transducer Arm Ohms",
    "Transducer Cal Date",
    "Gain Used",
    "Full Scale",
    "Anti-Alias Freq.",
    "Max Value",
    "Min Value",
    "Scale Factor",
    "Offset",
    "Units",
    "Max Time",
    "Min Time",
    "Time Scale Factor",
    "Time Offset",
    "Time Units",
    "Time Units/S",
    "Data File Name",
    "Data File Type",
    "Data Type",
    "Data Count",
    "Null Data Value",
};

void checkIndex(int index) {
  if (index < 0 || index >= TSignalData::kPropertyCount) throw Exception("Range check error");
}

std::string latin1(const QString& text) {
  return text.toLatin1().toStdString();
}

}  // namespace

QString TSignalData::GetProperty(int index) const {
  checkIndex(index);
  if (index == kName && !UseNames)
    return properties_[kRefNumber] + QLatin1Char(' ') + properties_[kDataFileName];
  return properties_[std::size_t(index)];
}

void TSignalData::SetProperty(int index, const QString& value) {
  checkIndex(index);
  properties_[std::size_t(index)] = value;
  marks_.set(std::size_t(index));
}

void TSignalData::SetProperty(int index, double value) {
  SetProperty(index, QString::fromStdString(FloatToStr(value)));
}

QString TSignalData::PropertyName(int index) {
  if (index >= 0 && index < kPropertyCount) return QLatin1String(kPropertyNames[index]);
  return QStringLiteral("Ident(%1)").arg(index);
}

double TSignalData::PropertyFloat(int index) const {
  return StrToFloat(latin1(GetProperty(index)));
}

int TSignalData::PropertyInt(int index) const {
  return StrToInt(latin1(GetProperty(index)));
}

float TSignalData::NullValue() const {
  if (!IsSet(kNullDataValue)) return kSignalNullValue;
  try {
    const double v = PropertyFloat(kNullDataValue);
    if (std::fabs(v) <= std::numeric_limits<float>::max()) return float(v);
  } catch (const Exception&) {
  }
  return kSignalNullValue;
}

TSignalData::TValueRule TSignalData::ValueRule() const {
  TValueRule rule;
  rule.fromIndex = Implicit;
  rule.scale = PropertyFloat(kScaleFactor);
  rule.offset = PropertyFloat(kOffset);
  return rule;
}

double TSignalData::Stored(const TValueRule& rule, int i) const {
  const std::byte* e = data_.get() + std::size_t(i) * std::size_t(sigtype::MemorySize(memoryType_));
  if (rule.signedWord16 && memoryType_ == sigtype::kWord16)
    return sigtype::Decode(sigtype::kInt16, e);
  return sigtype::Decode(memoryType_, e);
}

double TSignalData::GetValue(int i) const {
  if (!Implicit && (i < 0 || i >= heldCount_)) return NullValue();
  const TValueRule rule = ValueRule();
  if (rule.fromIndex) return i * rule.scale + rule.offset;
  return Stored(rule, i) * rule.scale + rule.offset;
}

// Calls fn(i, value) for every held sample, decoded by one loop per element type.
template <class Fn>
void TSignalData::ForEachHeld(const TValueRule& rule, Fn&& fn) const {
  sigtype::VisitMemoryType(memoryType_, rule.signedWord16, [&](auto tag) {
    using T = decltype(tag);
    for (int i = 0; i < heldCount_; ++i) {
      double stored = 0;
      if constexpr (!std::is_same_v<T, std::nullptr_t>) {
        T v;
        std::memcpy(&v, data_.get() + std::size_t(i) * sizeof(T), sizeof(T));
        stored = double(v);
      }
      fn(i, stored * rule.scale + rule.offset);
    }
  });
}

void TSignalData::GetValues(int first, int count, float* out) const {
  const TValueRule rule = ValueRule();
  const float null = NullValue();
  for (int k = 0; k < count; ++k) {
    const int i = first + k;
    if (rule.fromIndex)
      out[k] = float(i * rule.scale + rule.offset);
    else if (i < 0 || i >= heldCount_)
      out[k] = null;
  }
  if (rule.fromIndex) return;
  ForEachHeld(rule, [&](int i, double v) {
    if (i >= first && i - first < count) out[i - first] = float(v);
  });
}

void TSignalData::SetRawValue(int i, double value) {
  if (Implicit) return;
  if (i < 0 || i >= heldCount_) throw Exception("Variant or safe array index out of bounds");
  const int size = sigtype::MemorySize(memoryType_);
  sigtype::Encode(memoryType_, value, data_.get() + std::size_t(i) * std::size_t(size));
}

void TSignalData::HoldSamples(std::unique_ptr<std::byte[]> data, int count, int memoryType) {
  data_ = std::move(data);
  heldCount_ = count;
  memoryType_ = memoryType;
}

void TSignalData::ScanExtremes() {
  double lowest = 1E37, highest = -1E37;
  ForEachHeld(ValueRule(), [&](int, double v) {
    if (v < lowest) lowest = v;
    if (v > highest) highest = v;
  });
  SetProperty(kMaxValue, highest);
  SetProperty(kMinValue, lowest);
}

void TSignalData::LoadData(TBufFileStream& stream) {
  HoldSamples(nullptr, 0, 0);
  if (Implicit) return;
  const int count = DataCount();
  if (count - 1 < 1) return;
  const int fileType = PropertyInt(kDataFileType);
  if (sigtype::FileSize(fileType) > 0)
    LoadBinary(stream, count, fileType);
  else
    LoadText(stream, count);
  ScanExtremes();
}

void TSignalData::LoadBinary(TBufFileStream& stream, int count, int fileType) {
  const int memoryType = PropertyInt(kDataType);
  if (memoryType != sigtype::MemoryType(fileType)) throw Exception("Bad Datatype");
  const std::int64_t fileSize = sigtype::FileSize(fileType);
  const std::int64_t total = fileSize * count;
  // The header's count is checked against the file before anything is allocated.
  const std::int64_t available = stream.Size() - DataStart;
  if (DataStart < 0 || total > available) throw Exception("Stream read error");
  const std::size_t memorySize = std::size_t(sigtype::MemorySize(memoryType));
  std::unique_ptr<std::byte[]> data(new std::byte[memorySize * std::size_t(count)]);
  stream.Seek(DataStart, TStream::TOrigin::Beginning);
  if (fileType != sigtype::kReal48) {
    if (stream.Read(data.get(), total) != total) throw Exception("Stream read error");
  } else {
    std::unique_ptr<std::byte[]> six(new std::byte[std::size_t(total)]);
    if (stream.Read(six.get(), total) != total) throw Exception("Stream read error");
    for (int i = 0; i < count; ++i) {
      const double v = sigtype::Real48ToDouble(six.get() + 6 * std::size_t(i));
      std::memcpy(data.get() + 8 * std::size_t(i), &v, 8);
    }
  }
  HoldSamples(std::move(data), count, memoryType);
}

void TSignalData::LoadText(TBufFileStream& stream, int count) {
  if (PropertyInt(kDataFileType) != sigtype::kAscii) throw Exception("Bad Datatype");
  // Every value takes at least one byte of the file, which bounds the allocation.
  if (count > stream.Size()) throw Exception("Stream read error");
  std::unique_ptr<std::byte[]> data(new std::byte[8 * std::size_t(count)]);
  stream.GotoLine(int(std::clamp<std::int64_t>(DataStart, 0, std::numeric_limits<int>::max())));
  for (int i = 0; i < count; ++i) {
    const double v = StrToFloat(stream.ReadWord());
    std::memcpy(data.get() + 8 * std::size_t(i), &v, 8);
  }
  HoldSamples(std::move(data), count, sigtype::kReal64);
}

bool TSignalData::SavesEngineeringValues() const {
  const int fileType = PropertyInt(kDataFileType);
  return sigtype::FileSize(fileType) == 0 || fileType != memoryType_ || heldCount_ != DataCount();
}

void TSignalData::SaveData(TStream& stream) {
  if (Implicit) return;
  const int count = DataCount();
  const int fileType = PropertyInt(kDataFileType);
  const int size = sigtype::FileSize(fileType);
  if (size == 0 && fileType != sigtype::kAscii) return;
  if (!SavesEngineeringValues()) {
    stream.Write(data_.get(), std::int64_t(size) * count);
    return;
  }
  constexpr int kBlock = 65536;  // values per write: a huge count never means a huge buffer
  std::string text;
  std::vector<std::byte> bytes;
  for (int first = 0; first < count; first += kBlock) {
    const int last = std::min(count, first + kBlock);
    text.clear();
    bytes.assign(std::size_t(last - first) * std::size_t(size), std::byte{0});
    for (int i = first; i < last; ++i) {
      if (size == 0)
        text += FloatToStr(GetValue(i)) + "\r\n";
      else
        sigtype::Encode(fileType, GetValue(i), bytes.data() + std::size_t(i - first) * size);
    }
    if (size == 0)
      WriteString(stream, text);
    else
      stream.Write(bytes.data(), std::int64_t(bytes.size()));
  }
}

void TSignalData::TakeMarkedProperties(const TSignalData& source) {
  for (int i = 0; i < kPropertyCount; ++i)
    if (source.IsSet(i)) SetProperty(i, source.GetProperty(i));
}

void TSignalData::Assign(const TSignalData& source) {
  Selected = source.Selected;
  Implicit = source.Implicit;
  TakeMarkedProperties(source);
  if (!source.IsSet(kDataType)) return;
  const int count = DataCount();
  if (Implicit || source.heldCount_ != count || count <= 0) {
    HoldSamples(nullptr, 0, 0);  // nothing to copy: the samples read as missing
    return;
  }
  const std::size_t bytes =
      std::size_t(count) * std::size_t(sigtype::MemorySize(source.memoryType_));
  std::unique_ptr<std::byte[]> data(new std::byte[bytes]);
  std::memcpy(data.get(), source.data_.get(), bytes);
  HoldSamples(std::move(data), count, source.memoryType_);
}
