#pragma once

#include <QString>
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>

class TBufFileStream;
class TSignalDatabase;
class TStream;

// The system's marker of a missing sample: 1E34 as a single.
inline constexpr float kSignalNullValue = 1E34f;

// One recorded channel: 35 descriptive properties held as text, marks of the properties that
// were given, and the samples in their stored binary type.
class TSignalData {
 public:
  static constexpr int kPropertyCount = 35;
  enum Property {
    kName = 0,
    kRefNumber = 1,
    kTestId = 3,
    kTestDate = 4,
    kTestTime = 5,
    kComments = 6,
    kEngineer = 7,
    kTransducerUnits = 12,
    kMaxValue = 19,
    kMinValue = 20,
    kScaleFactor = 21,
    kOffset = 22,
    kUnits = 23,
    kMaxTime = 24,
    kMinTime = 25,
    kTimeScaleFactor = 26,
    kTimeOffset = 27,
    kTimeUnits = 28,
    kTimeUnitsPerSecond = 29,
    kDataFileName = 30,
    kDataFileType = 31,
    kDataType = 32,
    kDataCount = 33,
    kNullDataValue = 34,
  };

  TSignalData() = default;
  virtual ~TSignalData() = default;
  TSignalData(const TSignalData&) = delete;
  TSignalData& operator=(const TSignalData&) = delete;

  // Index 0 reads as "<Ref. Number> <Data File Name>" while UseNames is false. An index outside
  // 0..34 raises the bounds error.
  virtual QString GetProperty(int index) const;
  void SetProperty(int index, const QString& value);
  void SetProperty(int index, double value);  // stored as its general-format text
  bool IsSet(int index) const { return index >= 0 && index < 40 && marks_.test(index); }
  static QString PropertyName(int index);

  // Properties as numbers: the conversion error when the text is not one (empty included).
  double PropertyFloat(int index) const;
  int PropertyInt(int index) const;
  QString Name() const { return GetProperty(kName); }
  double Interval() const { return PropertyFloat(kTimeScaleFactor); }
  int DataCount() const { return PropertyInt(kDataCount); }

  // Engineering value of sample i. An explicit channel whose sample i is not held (never
  // loaded, or a failed load) reads as NullValue().
  double GetValue(int i) const;
  // Values first .. first + count - 1 as singles, the scaling read once.
  void GetValues(int first, int count, float* out) const;
  void SetRawValue(int i, double value);
  virtual void LoadData(TBufFileStream& stream);
  virtual void SaveData(TStream& stream);
  virtual void Assign(const TSignalData& source);
  // Takes every property marked in source; flags and samples stay.
  void TakeMarkedProperties(const TSignalData& source);

  // The channel's own missing-sample marker: property 34 when it is a finite single, else the
  // system's. A file marker beyond single range (9.9E+300) matches no sample.
  float NullValue() const;
  int HeldCount() const { return heldCount_; }
  // Whether SaveData writes engineering values rather than the stored samples.
  bool SavesEngineeringValues() const;

  bool UseNames = false;
  bool Selected = true;
  bool Implicit = false;
  bool TimeChannel = false;
  TSignalDatabase* Owner = nullptr;
  // Byte offset of the first sample (binary types) or its line number (text types).
  std::int64_t DataStart = 0;

  // value = stored × scale + offset, or index × scale + offset.
  struct TValueRule {
    bool fromIndex = false;
    bool signedWord16 = false;
    double scale = 1;
    double offset = 0;
  };
  virtual TValueRule ValueRule() const;

 private:
  void LoadBinary(TBufFileStream& stream, int count, int fileType);
  void LoadText(TBufFileStream& stream, int count);
  void ScanExtremes();
  void HoldSamples(std::unique_ptr<std::byte[]> data, int count, int memoryType);
  double Stored(const TValueRule& rule, int i) const;
  template <class Fn>
  void ForEachHeld(const TValueRule& rule, Fn&& fn) const;

  std::array<QString, kPropertyCount> properties_;
  std::bitset<40> marks_;
  std::unique_ptr<std::byte[]> data_;
  int heldCount_ = 0;
  int memoryType_ = 0;
};
