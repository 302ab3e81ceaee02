#include "signals/DataTypes.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace sigtype {

namespace {

struct TypeRow {
  int code;
  std::string_view name;
  std::string_view extension;
  int fileSize;
  int memoryType;
};

constexpr TypeRow kTypes[] = {
    {kInt16, "INT16", ".I16", 2, kInt16},    {kInt32, "INT32", ".I32", 4, kInt32},
    {kReal32, "REAL32", ".R32", 4, kReal32}, {kReal64, "REAL64", ".R64", 8, kReal64},
    {kAscii, "ASCII", ".ASC", 0, kReal64},   {kWord8, "WORD8", ".W8", 1, kWord8},
    {kReal48, "REAL48", ".R48", 6, kReal64}, {kWord16, "WORD16", ".W16", 2, kWord16},
    {kWord32, "WORD32", ".W32", 4, kWord32}, {kAsciiAlt, "ASCII", ".ASC", 0, kReal64},
};

const TypeRow* row(int code) {
  for (const TypeRow& r : kTypes)
    if (r.code == code) return &r;
  return nullptr;
}

template <class T>
T load(const std::byte* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class T>
void store(T v, std::byte* p) {
  std::memcpy(p, &v, sizeof v);
}

// Round half to even into 64 bits; 0 for NaN and for values no integer type holds.
std::int64_t wholeNumber(double value) {
  const double r = std::nearbyint(value);
  if (!(std::fabs(r) < 9.2e18)) return 0;
  return std::int64_t(r);
}

}  // namespace

int FileSize(int code) {
  const TypeRow* r = row(code);
  return r ? r->fileSize : 0;
}

int MemoryType(int code) {
  const TypeRow* r = row(code);
  return r ? r->memoryType : code;
}

int MemorySize(int code) {
  switch (code) {
    case kInt16:
    case kWord16:
      return 2;
    case kInt32:
    case kReal32:
    case kWord32:
      return 4;
    case kReal64:
      return 8;
    case kWord8:
      return 1;
    default:
      return 0;
  }
}

std::string_view TypeName(int code) {
  const TypeRow* r = row(code);
  return r ? r->name : "UNKNOWN";
}

int TypeCode(std::string_view name) {
  for (const TypeRow& r : kTypes)
    if (r.name == name) return r.code;
  return -1;
}

std::string_view Extension(int code) {
  const TypeRow* r = row(code);
  return r ? r->extension : ".SIG";
}

double Decode(int memoryType, const std::byte* e) {
  switch (memoryType) {
    case kInt16:
      return load<std::int16_t>(e);
    case kInt32:
      return load<std::int32_t>(e);
    case kReal32:
      return load<float>(e);
    case kReal64:
      return load<double>(e);
    case kWord8:
      return load<std::uint8_t>(e);
    case kWord16:
      return load<std::uint16_t>(e);
    case kWord32:
      return load<std::uint32_t>(e);
    default:
      return 0;
  }
}

void Encode(int type, double value, std::byte* e) {
  switch (type) {
    case kInt16:
    case kWord16:
      return store(std::uint16_t(wholeNumber(value)), e);
    case kInt32:
    case kWord32:
      return store(std::uint32_t(wholeNumber(value)), e);
    case kWord8:
      return store(std::uint8_t(wholeNumber(value)), e);
    case kReal32:
      return store(float(value), e);
    case kReal64:
      return store(value, e);
    case kReal48:
      return DoubleToReal48(value, e);
    default:
      return;
  }
}

double Real48ToDouble(const std::byte* six) {
  const int exponent = std::to_integer<int>(six[0]);
  if (exponent == 0) return 0;
  std::uint64_t fraction = 0;
  for (int i = 5; i >= 1; --i) fraction = (fraction << 8) | std::to_integer<std::uint64_t>(six[i]);
  const bool negative = (fraction >> 39) & 1;
  fraction &= (std::uint64_t(1) << 39) - 1;
  const double magnitude = std::ldexp(1.0 + std::ldexp(double(fraction), -39), exponent - 129);
  return negative ? -magnitude : magnitude;
}

void DoubleToReal48(double value, std::byte* six) {
  std::memset(six, 0, 6);
  if (value == 0 || std::isnan(value)) return;
  int k = 0;
  const double m = std::frexp(std::fabs(value), &k);  // |value| = m * 2^k, m in [0.5, 1)
  int exponent = k + 128;
  std::uint64_t fraction = std::uint64_t(std::nearbyint(std::ldexp(2 * m - 1, 39)));
  if (fraction >> 39) {  // rounded up to the next power of two
    fraction = 0;
    ++exponent;
  }
  if (exponent <= 0) return;  // below the smallest 6-byte real: zero
  if (exponent > 255 || std::isinf(value)) {
    exponent = 255;
    fraction = (std::uint64_t(1) << 39) - 1;
  }
  if (std::signbit(value)) fraction |= std::uint64_t(1) << 39;
  six[0] = std::byte(exponent);
  for (int i = 1; i <= 5; ++i) six[i] = std::byte((fraction >> (8 * (i - 1))) & 0xFF);
}

}  // namespace sigtype
