#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "SignalKit.h"
#include "platform/Exception.h"
#include "signals/DataTypes.h"
#include "signals/SigClass.h"
#include "signals/SignalData.h"
#include "textio/BufFileStream.h"

namespace {

using signalkit::Folder;
using signalkit::le;

// A channel of `type` in a data file, held in memory as `memoryType`.
void Describe(TSignalData& ch, int type, int memoryType, int count, double scale, double offset) {
  ch.SetProperty(TSignalData::kDataFileType, double(type));
  ch.SetProperty(TSignalData::kDataType, double(memoryType));
  ch.SetProperty(TSignalData::kDataCount, double(count));
  ch.SetProperty(TSignalData::kScaleFactor, scale);
  ch.SetProperty(TSignalData::kOffset, offset);
}

// A channel of `type` whose samples come from `bytes` in a data file, scaled.
struct LoadedChannel {
  LoadedChannel(int type, const QByteArray& bytes, int count, double scale, double offset) {
    Describe(ch, type, sigtype::MemoryType(type), count, scale, offset);
    TBufFileStream data(folder.write("d.bin", bytes), TFileStream::TMode::OpenRead);
    ch.LoadData(data);
  }
  Folder folder;
  TSignalData ch;
};

// The 6-byte real of sign, biased exponent and 39-bit fraction, built from the bit layout.
QByteArray real48(bool negative, int exponent, std::uint64_t fraction) {
  QByteArray six(6, '\0');
  six[0] = char(exponent);
  if (negative) fraction |= std::uint64_t(1) << 39;
  for (int i = 1; i <= 5; ++i) six[i] = char((fraction >> (8 * (i - 1))) & 0xFF);
  return six;
}

TEST(SignalData, PropertyNamesAndComposedName) {
  EXPECT_EQ(TSignalData::PropertyName(34), "Null Data Value");
  EXPECT_EQ(TSignalData::PropertyName(255), "Ident(255)");
  TSignalData ch;
  ch.SetProperty(TSignalData::kRefNumber, QStringLiteral("1003"));
  ch.SetProperty(TSignalData::kDataFileName, QStringLiteral("TEST7.R32"));
  EXPECT_EQ(ch.Name(), "1003 TEST7.R32");
  ch.UseNames = true;
  EXPECT_EQ(ch.Name(), "");
  EXPECT_FALSE(ch.IsSet(TSignalData::kName));
  ch.SetProperty(TSignalData::kName, QString());  // the mark rises even for an equal value
  EXPECT_TRUE(ch.IsSet(TSignalData::kName));
  EXPECT_THROW(ch.SetProperty(35, QStringLiteral("x")), Exception);
  EXPECT_THROW(ch.GetProperty(35), Exception);
}

TEST(SignalData, BinaryTypesDecodeScaleAndGiveExtremes) {
  const struct {
    int type;
    QByteArray bytes;
    double scale, offset;
    std::vector<double> values;
  } cases[] = {
      {sigtype::kInt16, le<std::int16_t>({-3, 5, 2}), 0.5, 1, {-0.5, 3.5, 2.0}},
      {sigtype::kInt16, le<std::int16_t>({-32768, 32767}), 1, 0, {-32768, 32767}},
      {sigtype::kInt32, le<std::int32_t>({-2000000000, 2000000000, 7}), 1, 0, {-2e9, 2e9, 7}},
      {sigtype::kReal32, le<float>({-4, -1.5f, -9}), 1, 0, {-4, -1.5, -9}},
      {sigtype::kReal64, le<double>({0, 0, 0}), 2, 0, {0, 0, 0}},
      {sigtype::kWord8, QByteArray("\xff\x00\x10", 3), 1, 0, {255, 0, 16}},
      {sigtype::kWord16, le<std::uint16_t>({65535, 1}), 1, 0, {65535, 1}},
      {sigtype::kWord32, le<std::uint32_t>({4000000000u, 1}), 1, 0, {4e9, 1}},
      {sigtype::kReal48,
       real48(false, 129, 0) + real48(true, 130, std::uint64_t(1) << 38) + real48(false, 0, 12345),
       1,
       0,
       {1.0, -3.0, 0.0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    LoadedChannel l(c.type, c.bytes, int(c.values.size()), c.scale, c.offset);
    ASSERT_EQ(l.ch.HeldCount(), int(c.values.size()));
    for (std::size_t i = 0; i < c.values.size(); ++i)
      EXPECT_DOUBLE_EQ(l.ch.GetValue(int(i)), c.values[i]) << i;
    const auto [min, max] = std::minmax_element(c.values.begin(), c.values.end());
    EXPECT_DOUBLE_EQ(l.ch.PropertyFloat(TSignalData::kMaxValue), *max);
    EXPECT_DOUBLE_EQ(l.ch.PropertyFloat(TSignalData::kMinValue), *min);
  }
  // Data Count below 2 loads nothing and keeps the extremes unset.
  LoadedChannel one(sigtype::kInt16, le<std::int16_t>({9}), 1, 1, 0);
  EXPECT_EQ(one.ch.HeldCount(), 0);
  EXPECT_FALSE(one.ch.IsSet(TSignalData::kMaxValue));
}

TEST(SignalData, Real48RoundTripsWithinItsPrecision) {
  for (double v : {1.0, -1.0, 0.1, 12345.678, -1e-30, 1.5e38, 3.0e-39}) {
    std::byte six[6];
    sigtype::DoubleToReal48(v, six);
    EXPECT_NEAR(sigtype::Real48ToDouble(six), v, std::fabs(v) * 2e-12) << v;
  }
  std::byte six[6];
  sigtype::DoubleToReal48(1e-50, six);  // below the smallest: zero
  EXPECT_EQ(sigtype::Real48ToDouble(six), 0);
}

TEST(SignalData, ShortOrHugeCountsFailBeforeAllocating) {
  // A count that claims gigabytes of a file holding six bytes must not allocate them.
  for (int count : {4, 2000000000}) {
    TSignalData ch;
    Describe(ch, sigtype::kReal64, sigtype::kReal64, count, 1, 0);
    Folder folder;
    TBufFileStream data(folder.write("d.bin", QByteArray(6, '\1')), TFileStream::TMode::OpenRead);
    EXPECT_THROW(ch.LoadData(data), Exception) << count;
    EXPECT_EQ(ch.HeldCount(), 0);
    EXPECT_FLOAT_EQ(float(ch.GetValue(0)), kSignalNullValue);  // not loaded: null
  }
}

TEST(SignalData, TextSamplesAndTheirFailures) {
  Folder folder;
  TSignalData ch;
  Describe(ch, sigtype::kAscii, sigtype::kReal64, 3, 2, 0);
  ch.DataStart = 2;
  TBufFileStream data(folder.write("d.asc", "9\r\n1.5\r\n-2\r\n4\r\n"),
                      TFileStream::TMode::OpenRead);
  ch.LoadData(data);
  EXPECT_DOUBLE_EQ(ch.GetValue(0), 3);
  EXPECT_DOUBLE_EQ(ch.GetValue(2), 8);
  EXPECT_EQ(ch.GetProperty(TSignalData::kMinValue), "-4");
  ch.SetProperty(TSignalData::kDataFileType, double(sigtype::kAsciiAlt));
  EXPECT_THROW(ch.LoadData(data), Exception);  // "Bad Datatype": only code 8 is read as text
  EXPECT_EQ(ch.HeldCount(), 0);
}

TEST(SignalData, ImplicitValuesAndAssign) {
  TSignalData implicit;
  implicit.Implicit = true;
  implicit.SetProperty(TSignalData::kScaleFactor, 0.1);
  implicit.SetProperty(TSignalData::kOffset, -5.0);
  EXPECT_DOUBLE_EQ(implicit.GetValue(0), -5);
  EXPECT_DOUBLE_EQ(implicit.GetValue(2), -4.8);
  EXPECT_EQ(implicit.HeldCount(), 0);

  LoadedChannel source(sigtype::kInt16, le<std::int16_t>({4, 6}), 2, 1, 0);
  source.ch.Selected = false;
  LoadedChannel target(sigtype::kInt16, le<std::int16_t>({1, 2}), 2, 1, 0);
  TSignalData propertiesOnly;
  propertiesOnly.SetProperty(TSignalData::kUnits, QStringLiteral("g"));
  target.ch.Assign(propertiesOnly);  // no data type mark: the samples stay
  EXPECT_DOUBLE_EQ(target.ch.GetValue(1), 2);
  EXPECT_EQ(target.ch.GetProperty(TSignalData::kUnits), "g");
  target.ch.Assign(source.ch);
  EXPECT_DOUBLE_EQ(target.ch.GetValue(1), 6);
  EXPECT_FALSE(target.ch.Selected);
}

TEST(SignalData, SourceTakesValuesNullAndTimeIndex) {
  LoadedChannel l(sigtype::kReal32, le<float>({1, 2, 3}), 3, 1, 0);
  l.ch.SetProperty(TSignalData::kTimeScaleFactor, 0.5);
  l.ch.SetProperty(TSignalData::kTimeOffset, -20.0);
  TDIAdemSigClass source(l.ch);
  EXPECT_EQ(source.NullValue, kSignalNullValue);  // property 34 never set
  EXPECT_EQ(source.Ident(), "DIAdem. ");
  EXPECT_EQ(source.SampleAt(0), 40);
  EXPECT_EQ(source.SampleAt(-19.75), 0);  // 0.5 rounds to the even 0
  for (float v : {1.f, 2.f, 3.f}) EXPECT_EQ(source.NextValue(), v);
  EXPECT_TRUE(source.AtEnd());
  source.Reset();
  EXPECT_EQ(source.NextValue(), 1.f);
  // A file's null marker beyond single range matches no sample and does not fail.
  for (const char* null : {"9.9E+300", "none", "-1E39"}) {
    l.ch.SetProperty(TSignalData::kNullDataValue, QString::fromLatin1(null));
    EXPECT_EQ(TDIAdemSigClass(l.ch).NullValue, kSignalNullValue) << null;
  }
  l.ch.SetProperty(TSignalData::kNullDataValue, QStringLiteral("-999"));
  EXPECT_EQ(TDIAdemSigClass(l.ch).NullValue, -999.f);
}

}  // namespace
