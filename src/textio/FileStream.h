#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>

// A byte stream with a position, as the signal readers and writers use it. Read returns the
// number of bytes it got (short only at the end); Write and errors of the medium raise Exception.
class TStream {
 public:
  enum class TOrigin { Beginning, Current, End };

  virtual ~TStream() = default;
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual void Write(const void* buffer, std::int64_t count) = 0;
  // Moves the position and returns it; a position before the start raises Exception.
  virtual std::int64_t Seek(std::int64_t offset, TOrigin origin) = 0;
  virtual std::int64_t Size() = 0;
  std::int64_t Position() { return Seek(0, TOrigin::Current); }
};

// A file opened as the system opens files: for reading (others may read too) or created anew.
// Only regular files open; a FIFO, a device or a directory is refused rather than blocking.
class TFileStream : public TStream {
 public:
  enum class TMode { OpenRead, Create };

  TFileStream(const QString& fileName, TMode mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  void Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TOrigin origin) override;
  std::int64_t Size() override;

 private:
  std::FILE* file_ = nullptr;
  bool writable_ = false;
};

// Bytes held in memory; a UTF-16 header is decoded into one of these before it is parsed.
class TMemoryStream : public TStream {
 public:
  explicit TMemoryStream(QByteArray bytes = {}) : bytes_(std::move(bytes)) {}

  std::int64_t Read(void* buffer, std::int64_t count) override;
  void Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TOrigin origin) override;
  std::int64_t Size() override { return bytes_.size(); }
  const QByteArray& Bytes() const { return bytes_; }

 private:
  QByteArray bytes_;
  std::int64_t position_ = 0;
};
