#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Sample data type codes as signal files store them.
namespace sigtype {

constexpr int kInt16 = 2;
constexpr int kInt32 = 3;
constexpr int kReal32 = 4;
constexpr int kReal64 = 5;
constexpr int kAscii = 8;
constexpr int kWord8 = 17;
constexpr int kReal48 = 18;
constexpr int kWord16 = 19;
constexpr int kWord32 = 20;
constexpr int kAsciiAlt = 256;

// Bytes of one element in a data file; 0 for text (and unknown) types.
int FileSize(int code);
// Code of the type in which samples of this file type are held in memory.
int MemoryType(int code);
// Bytes of one element in memory; 0 when the code has no binary layout.
int MemorySize(int code);
// "INT16" .. "WORD32", "ASCII" for 8 and 256, "UNKNOWN" otherwise.
std::string_view TypeName(int code);
// The file type code of a type name (exact, case-sensitive), or -1.
int TypeCode(std::string_view name);
// Channel data file extension: ".I16" .. ".W32", ".ASC"; ".SIG" for unknown codes.
std::string_view Extension(int code);

// Calls fn with a value of the element type held in memory for this code (std::int16_t for
// signedWord16 with WORD16), or with std::nullptr_t for a type without a decoder.
template <class Fn>
void VisitMemoryType(int memoryType, bool signedWord16, Fn&& fn) {
  switch (memoryType) {
    case kInt16:
      return fn(std::int16_t{});
    case kInt32:
      return fn(std::int32_t{});
    case kReal32:
      return fn(float{});
    case kReal64:
      return fn(double{});
    case kWord8:
      return fn(std::uint8_t{});
    case kWord16:
      return signedWord16 ? fn(std::int16_t{}) : fn(std::uint16_t{});
    case kWord32:
      return fn(std::uint32_t{});
    default:
      return fn(nullptr);
  }
}

// The value of an element held in memory with this type; 0 for a type without a decoder.
double Decode(int memoryType, const std::byte* element);
// Stores value as one element of this type: integers round half to even and keep their low
// bits, values beyond any integer (and NaN) become 0; floats round to the type's precision.
void Encode(int type, double value, std::byte* element);

// The 6-byte real: exponent byte biased by 129 (0 is zero), 39-bit fraction least significant
// byte first, sign in the top bit of the last byte.
double Real48ToDouble(const std::byte* six);
void DoubleToReal48(double value, std::byte* six);

}  // namespace sigtype
