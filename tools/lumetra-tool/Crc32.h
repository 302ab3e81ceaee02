#pragma once

#include <cstddef>
#include <cstdint>

// CRC-32 as zlib and PNG compute it (reflected polynomial 0xEDB88320), fed in pieces.
class TCrc32 {
 public:
  void Add(const std::uint8_t* data, std::size_t n);
  std::uint32_t Value() const { return ~state_; }

 private:
  std::uint32_t state_ = 0xFFFFFFFFu;
};
