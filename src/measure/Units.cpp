#include "measure/Units.h"

#include <algorithm>
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

QString FormatGeneral(float value, int digits) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
  if (value == 0) return QStringLiteral("0");
  digits = std::clamp(digits, 1, 9);
  // d.ddddde±XX, already rounded to `digits` significant digits. Built in buffers: a table
  // formats millions of cells, one allocation each.
  char sci[32];
  const char* end = std::to_chars(sci, sci + sizeof sci, std::fabs(value),
                                  std::chars_format::scientific, digits - 1)
                        .ptr;
  const char* e = std::find(static_cast<const char*>(sci), end, 'e');
  int exponent = 0;
  std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
  char mantissa[16];
  int m = 0;
  mantissa[m++] = sci[0];
  for (const char* p = sci + 2; p < e; ++p) mantissa[m++] = *p;
  while (m > 1 && mantissa[m - 1] == '0') --m;

  char out[48];
  int n = 0;
  const auto put = [&](char c) { out[n++] = c; };
  if (value < 0) put('-');
  if (exponent >= -5 && exponent < digits) {
    if (exponent < 0) {
      put('0');
      put('.');
      for (int i = 0; i < -exponent - 1; ++i) put('0');
      for (int i = 0; i < m; ++i) put(mantissa[i]);
    } else {
      for (int i = 0; i < std::max(m, exponent + 1); ++i) {
        if (i == exponent + 1) put('.');
        put(i < m ? mantissa[i] : '0');
      }
    }
  } else {
    put(mantissa[0]);
    if (m > 1) put('.');
    for (int i = 1; i < m; ++i) put(mantissa[i]);
    put('E');
    put(exponent < 0 ? '-' : '+');
    const int a = std::abs(exponent);
    if (a >= 100) put(char('0' + a / 100));
    put(char('0' + a / 10 % 10));
    put(char('0' + a % 10));
  }
  return QString::fromLatin1(out, n);
}
