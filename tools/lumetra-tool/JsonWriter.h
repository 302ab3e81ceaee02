#pragma once

#include <QString>
#include <cstdint>

// One JSON object on one line, members in the order they are added ("key": value, as the
// benchmark scripts read them). Every value is escaped or formatted on its own, so text taken
// from a file can never change another member. Numbers that are not finite are written as null,
// since JSON has no infinity.
class TJsonObject {
 public:
  TJsonObject& Text(const char* key, const QString& value);
  TJsonObject& Bool(const char* key, bool value);
  TJsonObject& Integer(const char* key, std::int64_t value);
  // Shortest text that reads back as the same number; `decimals` >= 0 gives fixed notation.
  TJsonObject& Number(const char* key, double value, int decimals = -1);
  // Shortest text that reads back as the same single-precision number.
  TJsonObject& Number(const char* key, float value);

  QString Line() const { return u'{' + members_ + u'}'; }

 private:
  TJsonObject& Member(const char* key, const QString& valueText);
  QString members_;
};

// JSON string literal: quotes, backslashes and control characters escaped.
QString JsonString(const QString& text);
