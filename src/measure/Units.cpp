#include "measure/Units.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/Exception.h"

namespace units {
namespace {

struct TLengthUnit {
  const char* name;
  double factor;
};

constexpr TLengthUnit kLength[kLengthCount] = {
    {"mm", 1},    {"cm", 10},           {"m", 1000},          {"km", 1000000},
    {"in", 25.4}, {"ft", 304.8},        {"yds", 914.4},       {"mi", 1609344},
    {"pix", 1},   {"rev", 6.283185307}, {"deg", 0.017453293}, {"rad", 1}};

// The angle rows as singles, indices 8..11.
constexpr float kAngleSingle[4] = {1.0f, 6.2831855f, 0.017453292f, 1.0f};

struct TVelocityUnit {
  const char* name;
  float factor;
};

constexpr TVelocityUnit kVelocity[kVelocityCount] = {
    {"m/s", 0.001f},        {"ft/s", 0.0032808399f}, {"kph", 0.0036f},     {"mph", 0.0022369362f},
    {"rev/s", 0.15915494f}, {"rpm", 9.549296f},      {"deg/s", 57.29578f}, {"rad/s", 1.0f}};

void CheckIndex(int index, int count, const char* table) {
  if (index < 0 || index >= count)
    throw Exception(QStringLiteral("%1 unit index %2 out of range").arg(table).arg(index));
}

int AngleRow(int index) {
  if (index < 8 || index > kLastAngle)
    throw Exception(QStringLiteral("Angle unit index %1 out of range").arg(index));
  return index - 8;
}

}  // namespace

const char* LengthName(int index) {
  CheckIndex(index, kLengthCount, "Length");
  return kLength[index].name;
}

const char* VelocityName(int index) {
  CheckIndex(index, kVelocityCount, "Velocity");
  return kVelocity[index].name;
}

int LengthIndex(const QString& name, int first, int last) {
  for (int i = first; i <= last && i < kLengthCount; ++i)
    if (name == QLatin1String(kLength[i].name)) return i;
  return -1;
}

int VelocityIndex(const QString& name, int first, int last) {
  for (int i = first; i <= last && i < kVelocityCount; ++i)
    if (name == QLatin1String(kVelocity[i].name)) return i;
  return -1;
}

double ConvertLength(double value, int from, int to) {
  CheckIndex(from, kLengthCount, "Length");
  CheckIndex(to, kLengthCount, "Length");
  return value * kLength[from].factor / kLength[to].factor;
}

float ConvertAngle(float value, int from, int to) {
  return value * kAngleSingle[AngleRow(from)] / kAngleSingle[AngleRow(to)];
}

double ConvertVelocity(double value, int from, int to) {
  CheckIndex(from, kLengthCount, "Length");
  CheckIndex(to, kVelocityCount, "Velocity");
  return value * kLength[from].factor * double(kVelocity[to].factor);
}

}  // namespace units

namespace {

// Digits without trailing zeros, the first before the point.
QString Mantissa(const std::string& digits) {
  QString text = QString::fromLatin1(digits.substr(0, 1));
  if (digits.size() > 1) text += QLatin1Char('.') + QString::fromLatin1(digits.substr(1));
  return text;
}

QString FixedText(const std::string& digits, int exponent) {
  std::string text;
  if (exponent < 0) {
    text = "0." + std::string(std::size_t(-exponent - 1), '0') + digits;
  } else if (std::size_t(exponent) + 1 >= digits.size()) {
    text = digits + std::string(std::size_t(exponent) + 1 - digits.size(), '0');
  } else {
    text = digits.substr(0, std::size_t(exponent) + 1) + "." +
           digits.substr(std::size_t(exponent) + 1);
  }
  return QString::fromLatin1(text);
}

}  // namespace

QString FormatGeneral(float value, int digits) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
  if (value == 0) return QStringLiteral("0");
  char buffer[64];
  // d.ddddde±XX, already rounded to `digits` significant digits.
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                 std::chars_format::scientific, digits - 1)
                       .ptr;
  const std::string text(buffer, end);
  const std::size_t e = text.find('e');
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                  exponent);
  std::string mantissa = text.substr(0, 1) + (e > 2 ? text.substr(2, e - 2) : std::string());
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
  const QString sign = value < 0 ? QStringLiteral("-") : QString();
  if (exponent >= -5 && exponent < digits) return sign + FixedText(mantissa, exponent);
  const QString exp = QString::number(std::abs(exponent)).rightJustified(2, QLatin1Char('0'));
  return sign + Mantissa(mantissa) + (exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) +
         exp;
}
