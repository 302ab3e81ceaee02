#include "clip/RIFFReader.h"

#include <QFile>
#include <algorithm>
#include <cstring>

namespace {
constexpr std::int64_t kSequentialBlock = 64 * 1024;
constexpr std::int64_t kJumpBlock = 4 * 1024;
}  // namespace

TRIFFReader::TRIFFReader(QFile& file)
    : file_(file), size_(file.size()), buffer_(std::size_t(kSequentialBlock)) {}

bool TRIFFReader::Fill(std::int64_t blockSize) {
  const std::int64_t length = std::min(blockSize, size_ - pos_);
  bufferStart_ = pos_;
  bufferLength_ = 0;
  if (length <= 0 || !file_.seek(pos_)) return false;
  const qint64 got = file_.read(buffer_.data(), length);
  if (got <= 0) return false;
  bufferLength_ = got;
  return true;
}

bool TRIFFReader::Read(void* out, std::int64_t n) {
  if (n < 0 || pos_ < 0 || n > size_ - pos_) return false;
  if (n == 0) return true;
  auto* dest = static_cast<char*>(out);
  const std::int64_t bufferEnd = bufferStart_ + bufferLength_;
  if (pos_ >= bufferStart_ && pos_ + n <= bufferEnd) {
    std::memcpy(dest, buffer_.data() + (pos_ - bufferStart_), std::size_t(n));
    pos_ += n;
    return true;
  }
  if (n > kJumpBlock) {
    // Large data (an index) goes straight to its destination.
    if (!file_.seek(pos_) || file_.read(dest, n) != n) return false;
    pos_ += n;
    return true;
  }
  const bool sequential = pos_ >= bufferStart_ && pos_ <= bufferEnd;
  if (!Fill(sequential ? kSequentialBlock : kJumpBlock) || bufferLength_ < n) return false;
  std::memcpy(dest, buffer_.data(), std::size_t(n));
  pos_ += n;
  return true;
}
