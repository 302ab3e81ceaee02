#include "JsonWriter.h"

#include <charconv>
#include <cmath>

namespace {

template <typename Real, typename... Format>
QString RealText(Real value, Format... format) {
  if (!std::isfinite(value)) return QStringLiteral("null");
  char text[400];  // fixed notation of the largest double has 309 digits before the point
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, format...);
  if (error != std::errc()) return QStringLiteral("null");
  return QString::fromLatin1(text, end - text);
}

}  // namespace

TJsonObject& TJsonObject::Member(const char* key, const QString& valueText) {
  if (!members_.isEmpty()) members_ += QStringLiteral(", ");
  members_ += JsonString(QString::fromUtf8(key)) + QStringLiteral(": ") + valueText;
  return *this;
}

TJsonObject& TJsonObject::Text(const char* key, const QString& value) {
  return Member(key, JsonString(value));
}

TJsonObject& TJsonObject::Bool(const char* key, bool value) {
  return Member(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

TJsonObject& TJsonObject::Integer(const char* key, std::int64_t value) {
  return Member(key, QString::number(value));
}

TJsonObject& TJsonObject::Number(const char* key, double value, int decimals) {
  return Member(
      key, decimals < 0 ? RealText(value) : RealText(value, std::chars_format::fixed, decimals));
}

TJsonObject& TJsonObject::Number(const char* key, float value) {
  return Member(key, RealText(value));
}

QString JsonString(const QString& text) {
  QString out = QStringLiteral("\"");
  for (QChar c : text) {
    if (c == u'"' || c == u'\\')
      out += u'\\' + QString(c);
    else if (c.unicode() < 0x20)
      out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
    else
      out += c;
  }
  return out + u'"';
}
