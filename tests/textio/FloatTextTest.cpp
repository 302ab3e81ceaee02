#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "textio/FloatText.h"

namespace {

struct FormatCase {
  double value;
  TFloatFormat format;
  int precision;
  int digits;
  const char* text;
};

TEST(FloatToStrF, WritesEachFormatWithAPointWhateverTheLocale) {
  const FormatCase cases[] = {
      {1000, TFloatFormat::General, 15, 0, "1000"},
      {29.97, TFloatFormat::General, 15, 0, "29.97"},
      {double(float(1.0 / double(1000.0f / 30.0f))) * 1000, TFloatFormat::General, 15, 0,
       "30.0000011920929"},
      {0, TFloatFormat::General, 15, 0, "0"},
      {-0.0, TFloatFormat::General, 15, 0, "0"},
      {0.00001, TFloatFormat::General, 15, 0, "0.00001"},
      {0.000001, TFloatFormat::General, 15, 0, "1E-6"},
      {-2.5e-7, TFloatFormat::General, 15, 0, "-2.5E-7"},
      {999999999999999.0, TFloatFormat::General, 15, 0, "999999999999999"},
      {1e15, TFloatFormat::General, 15, 0, "1E15"},
      {1e15, TFloatFormat::General, 15, 3, "1E015"},
      {1234.5678, TFloatFormat::General, 8, 4, "1234.5678"},
      {99999.5, TFloatFormat::General, 5, 0, "1E5"},   // rounding adds a digit before the point
      {-12.25, TFloatFormat::General, 3, 0, "-12.2"},  // exactly half: to even
      {1234.5678, TFloatFormat::Fixed, 7, 4, "1234.5680"},
      {2.5, TFloatFormat::Fixed, 7, 4, "2.5000"},
      {-0.00001, TFloatFormat::Fixed, 7, 2, "0.00"},
      {0.125, TFloatFormat::Fixed, 7, 2, "0.12"},
      {1e9, TFloatFormat::Fixed, 7, 2, "1E9"},
      {1234567.891, TFloatFormat::Number, 15, 2, "1,234,567.89"},
      {-1234.5, TFloatFormat::Currency, 15, 2, "($1,234.50)"},
      {1234.56, TFloatFormat::Exponent, 4, 3, "1.235E+003"},
      {-0.000125, TFloatFormat::Exponent, 3, 0, "-1.25E-4"},
  };
  for (const FormatCase& c : cases)
    EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits), c.text) << c.text;
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), "NAN");
}

TEST(StrToFloat, AcceptsOnlyAWholeDecimalNumber) {
  for (const auto& [text, value] :
       {std::pair{" 12.5\t", 12.5}, {"+3", 3.0}, {"-.5e1", -5.0}, {"1.", 1.0}})
    EXPECT_DOUBLE_EQ(StrToFloat(std::string_view(text)), value) << text;
  for (const char* bad : {"", "-", "abc", "1e", "1,5", "inf", "nan", "--1", "0x10", "1 2"})
    EXPECT_THROW(StrToFloat(std::string_view(bad)), Exception) << bad;
  try {
    StrToFloat(QStringLiteral("x1"));
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.message(), "'x1' is not a valid floating point value");
  }
}

TEST(StrToInt, RefusesFractionsAndValuesBeyond32Bits) {
  EXPECT_EQ(StrToInt(std::string_view(" -42 ")), -42);
  EXPECT_EQ(StrToInt(std::string_view("+7")), 7);
  EXPECT_EQ(StrToInt(std::string_view("-2147483648")), std::numeric_limits<std::int32_t>::min());
  for (const char* bad : {"", "1.0", "2147483648", "99999999999999999999", "a", "-"})
    EXPECT_THROW(StrToInt(std::string_view(bad)), Exception) << bad;
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  for (const auto& [value, rounded] :
       {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}})
    EXPECT_EQ(RoundHalfEven(value), rounded) << value;
  EXPECT_THROW(RoundHalfEven(3e9), Exception);
  EXPECT_THROW(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), Exception);
}

}  // namespace
