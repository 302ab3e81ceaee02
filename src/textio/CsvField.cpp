#include "textio/CsvField.h"

#include <algorithm>

void AppendCsvField(QString& out, const QString& text) {
  const bool special = std::any_of(text.begin(), text.end(), [](QChar c) {
    return c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
  });
  if (!special) {
    out += text;
    return;
  }
  out += QLatin1Char('"');
  for (const QChar c : text) {
    if (c == QLatin1Char('"')) out += c;
    out += c;
  }
  out += QLatin1Char('"');
}
