#include "textio/FloatText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/Exception.h"

namespace {

// |value| = 0.digits x 10^exponent, rounded to `significant` digits (zero: empty digits).
struct Decimal {
  std::string digits;
  int exponent = 0;
};

Decimal toDecimal(double magnitude, int significant) {
  Decimal d;
  if (magnitude == 0) return d;
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                               significant - 1);
  const std::string_view text(buf, r.ptr - buf);
  const auto e = text.find('e');
  for (char c : text.substr(0, e))
    if (c != '.') d.digits += c;
  int exponent = 0;
  std::string_view tail = text.substr(e + 1);
  if (!tail.empty() && tail.front() == '+') tail.remove_prefix(1);
  std::from_chars(tail.data(), tail.data() + tail.size(), exponent);
  d.exponent = exponent + 1;
  return d;
}

std::string zeros(int n) {
  return std::string(std::size_t(std::max(n, 0)), '0');
}

std::string stripTrailingZeros(std::string digits) {
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  return digits;
}

std::string exponentText(int exponent, int minDigits, bool plusSign) {
  std::string text = std::to_string(std::abs(exponent));
  text = zeros(minDigits - int(text.size())) + text;
  if (exponent < 0) return "E-" + text;
  return (plusSign ? "E+" : "E") + text;
}

std::string scientific(const std::string& digits, int exponent, int minExpDigits, bool plusSign) {
  std::string out(1, digits.empty() ? '0' : digits[0]);
  if (digits.size() > 1) out += '.' + digits.substr(1);
  return out + exponentText(digits.empty() ? 0 : exponent - 1, minExpDigits, plusSign);
}

std::string generalText(double magnitude, int precision, int digits) {
  const Decimal d = toDecimal(magnitude, precision);
  const std::string sig = stripTrailingZeros(d.digits);
  if (sig.empty()) return "0";
  const int e = d.exponent;
  if (e > precision || e < -4) return scientific(sig, e, digits, false);
  if (e <= 0) return "0." + zeros(-e) + sig;
  if (int(sig.size()) <= e) return sig + zeros(e - int(sig.size()));
  return sig.substr(0, e) + '.' + sig.substr(e);
}

// Fixed notation without sign; empty when the value needs scientific notation.
std::string fixedText(double magnitude, int precision, int digits) {
  const Decimal d = toDecimal(magnitude, precision);
  if (d.exponent > precision) return {};
  if (d.digits.empty() || d.exponent + digits < precision) {
    // Rounding at the decimals keeps fewer than `precision` digits: round once, exactly.
    char buf[400];
    const auto r =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed, digits);
    return std::string(buf, r.ptr - buf);
  }
  const int e = d.exponent;
  const std::string whole = e > 0 ? d.digits.substr(0, e) : "0";
  std::string fraction =
      e >= 0 ? d.digits.substr(std::min<std::size_t>(e, d.digits.size())) : zeros(-e) + d.digits;
  fraction.resize(std::size_t(digits), '0');
  return digits > 0 ? whole + '.' + fraction : whole;
}

std::string grouped(const std::string& fixed) {
  const auto point = fixed.find('.');
  const std::string whole = fixed.substr(0, point);
  std::string out;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) out += ',';
    out += whole[i];
  }
  return point == std::string::npos ? out : out + fixed.substr(point);
}

bool allZero(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
}

[[noreturn]] void notFloat(std::string_view text) {
  throw Exception(QStringLiteral("'%1' is not a valid floating point value")
                      .arg(QString::fromLatin1(text.data(), qsizetype(text.size()))));
}

[[noreturn]] void notInteger(std::string_view text) {
  throw Exception(QStringLiteral("'%1' is not a valid integer value")
                      .arg(QString::fromLatin1(text.data(), qsizetype(text.size()))));
}

// Splits off an optional sign; true when the number is negative.
bool takeSign(std::string_view& body) {
  if (body.empty() || (body.front() != '+' && body.front() != '-')) return false;
  const bool negative = body.front() == '-';
  body.remove_prefix(1);
  return negative;
}

}  // namespace

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  precision = std::clamp(precision, 1, 18);
  const bool negative = std::signbit(value);
  const double magnitude = std::fabs(value);
  std::string body;
  switch (format) {
    case TFloatFormat::General:
      body = generalText(magnitude, precision, std::clamp(digits, 0, 4));
      break;
    case TFloatFormat::Exponent: {
      const Decimal d = toDecimal(magnitude, precision);
      body = scientific(d.digits.empty() ? zeros(precision) : d.digits, d.exponent,
                        std::clamp(digits, 0, 4), true);
      break;
    }
    case TFloatFormat::Fixed:
    case TFloatFormat::Number:
    case TFloatFormat::Currency:
      body = fixedText(magnitude, precision, std::clamp(digits, 0, 18));
      if (body.empty()) {
        body = generalText(magnitude, precision, 0);
        break;
      }
      if (format != TFloatFormat::Fixed) body = grouped(body);
      if (format == TFloatFormat::Currency) {
        body = '$' + body;
        return negative && !allZero(body) ? '(' + body + ')' : body;
      }
      break;
  }
  return negative && !allZero(body.substr(0, body.find('E'))) ? '-' + body : body;
}

std::string FloatToStr(double value) {
  return FloatToStrF(value, TFloatFormat::General, 15, 0);
}

std::string_view TrimText(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

double StrToFloat(std::string_view text) {
  std::string_view body = TrimText(text);
  const bool negative = takeSign(body);
  // from_chars would take "inf" and "nan", which are not numbers a user can type here.
  if (body.empty() || !(std::isdigit(static_cast<unsigned char>(body.front())) || body[0] == '.'))
    notFloat(text);
  double value = 0;
  const auto r =
      std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != body.data() + body.size()) notFloat(text);
  return negative ? -value : value;
}

std::int32_t StrToInt(std::string_view text) {
  std::string_view body = TrimText(text);
  const bool negative = takeSign(body);
  if (body.empty() || !std::isdigit(static_cast<unsigned char>(body.front()))) notInteger(text);
  std::int64_t value = 0;
  const auto r = std::from_chars(body.data(), body.data() + body.size(), value);
  if (r.ec != std::errc() || r.ptr != body.data() + body.size()) notInteger(text);
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    notInteger(text);
  return std::int32_t(value);
}

double StrToFloat(const QString& text) {
  return StrToFloat(std::string_view(text.toLatin1().toStdString()));
}

std::int32_t StrToInt(const QString& text) {
  return StrToInt(std::string_view(text.toLatin1().toStdString()));
}

std::int32_t RoundHalfEven(double value) {
  if (!(std::fabs(value) < 2147483648.5)) notInteger(FloatToStr(value));
  const double below = std::floor(value);
  const double fraction = value - below;
  double rounded = below;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0)) rounded = below + 1;
  if (rounded < std::numeric_limits<std::int32_t>::min() ||
      rounded > std::numeric_limits<std::int32_t>::max())
    notInteger(FloatToStr(value));
  return std::int32_t(rounded);
}
