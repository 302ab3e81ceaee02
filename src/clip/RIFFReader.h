#pragma once

#include <cstdint>
#include <vector>

class QFile;

// Reads a file for the chunk walk, which reads 8 to 12 bytes per chunk and skips the rest:
// reads are served from a block buffer, and skips that land inside it cost no system call.
// After a skip past the buffer the next block is small, since a far skip means large chunks
// whose neighbours lie far away too.
class TRIFFReader {
 public:
  // file: open for reading, preferably unbuffered. Not owned.
  explicit TRIFFReader(QFile& file);

  std::int64_t Size() const { return size_; }
  std::int64_t Pos() const { return pos_; }
  void Seek(std::int64_t pos) { pos_ = pos; }
  // Reads exactly n bytes at the position and moves past them; false when the file holds fewer
  // or cannot be read (the position is then unspecified).
  bool Read(void* out, std::int64_t n);

 private:
  bool Fill(std::int64_t blockSize);

  QFile& file_;
  std::int64_t size_ = 0;
  std::int64_t pos_ = 0;
  std::vector<char> buffer_;
  std::int64_t bufferStart_ = 0;  // file offset of buffer_[0]
  std::int64_t bufferLength_ = 0;
};
