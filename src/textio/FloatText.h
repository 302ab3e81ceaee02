#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

// Numbers as text, always with "." as the decimal separator whatever the locale.

// How a floating value is written.
//  General:  the shorter of fixed and scientific, trailing zeros dropped; scientific when the
//            magnitude is below 0.00001 (zero excepted) or there are more than `precision`
//            digits before the point. `digits` is the least number of exponent digits (0..4).
//  Exponent: "d.ddd" with `precision` digits, "E", a sign and at least `digits` exponent digits.
//  Fixed:    `digits` decimals (0..18), at most `precision` significant digits; scientific as
//            General when there are more than `precision` digits before the point.
//  Number:   as Fixed with "," between groups of three digits.
//  Currency: as Number after a "$"; a negative amount is put in parentheses.
enum class TFloatFormat { General, Exponent, Fixed, Number, Currency };

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
// The general format with 15 significant digits: "1000", "29.97", "30.0000011920929", "1E-6".
std::string FloatToStr(double value);

// Strict conversions of a whole text (surrounding blanks and control characters allowed, an
// optional sign, no thousands separators, no "inf" or "nan"). Both throw Exception with the
// platform's message ("'x' is not a valid floating point value", "... integer value").
double StrToFloat(std::string_view text);
std::int32_t StrToInt(std::string_view text);
double StrToFloat(const QString& text);
std::int32_t StrToInt(const QString& text);

// Round to nearest, halves to even; throws the integer conversion error when the result does
// not fit in 32 bits (or the value is not a number).
std::int32_t RoundHalfEven(double value);

// The text without leading and trailing characters up to and including the blank.
std::string_view TrimText(std::string_view text);
