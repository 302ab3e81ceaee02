#include "textio/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/Exception.h"

namespace {

[[noreturn]] void cannotOpen(const QString& fileName, const char* how) {
  throw Exception(QStringLiteral("Cannot %1 file \"%2\"").arg(QLatin1String(how), fileName));
}

// Opens without blocking on a FIFO, then insists on a regular file.
std::FILE* openFile(const QString& fileName, TFileStream::TMode mode) {
  const QByteArray path = fileName.toLocal8Bit();
  const bool create = mode == TFileStream::TMode::Create;
  const int flags =
      create ? O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC : O_RDONLY | O_NONBLOCK | O_CLOEXEC;
  const int fd = path.isEmpty() ? -1 : ::open(path.constData(), flags, 0666);
  if (fd < 0) cannotOpen(fileName, create ? "create" : "open");
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    cannotOpen(fileName, create ? "create" : "open");
  }
  if (!create) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, create ? "w+b" : "rb");
  if (!file) {
    ::close(fd);
    cannotOpen(fileName, create ? "create" : "open");
  }
  return file;
}

int whence(TStream::TOrigin origin) {
  switch (origin) {
    case TStream::TOrigin::Beginning:
      return SEEK_SET;
    case TStream::TOrigin::Current:
      return SEEK_CUR;
    case TStream::TOrigin::End:
      return SEEK_END;
  }
  return SEEK_SET;
}

}  // namespace

TFileStream::TFileStream(const QString& fileName, TMode mode)
    : file_(openFile(fileName, mode)), writable_(mode == TMode::Create) {}

TFileStream::~TFileStream() {
  std::fclose(file_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  const std::size_t got = std::fread(buffer, 1, std::size_t(count), file_);
  if (got < std::size_t(count) && std::ferror(file_)) throw Exception("Stream read error");
  return std::int64_t(got);
}

void TFileStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return;
  if (std::fwrite(buffer, 1, std::size_t(count), file_) != std::size_t(count))
    throw Exception("Stream write error");
}

std::int64_t TFileStream::Seek(std::int64_t offset, TOrigin origin) {
  if (origin == TOrigin::Current && offset == 0) return ::ftello(file_);
  if (::fseeko(file_, off_t(offset), whence(origin)) != 0) throw Exception("Stream seek error");
  return ::ftello(file_);
}

std::int64_t TFileStream::Size() {
  if (writable_) std::fflush(file_);
  struct stat st {};
  if (::fstat(::fileno(file_), &st) != 0) throw Exception("Stream read error");
  return st.st_size;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  const std::int64_t n = std::min<std::int64_t>(std::max<std::int64_t>(count, 0),
                                                std::max<std::int64_t>(Size() - position_, 0));
  if (n > 0) std::memcpy(buffer, bytes_.constData() + position_, std::size_t(n));
  position_ += n;
  return n;
}

void TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return;
  if (position_ > Size()) bytes_.resize(position_, '\0');
  const std::int64_t end = position_ + count;
  if (end > Size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, buffer, std::size_t(count));
  position_ = end;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TOrigin origin) {
  const std::int64_t base = origin == TOrigin::Beginning ? 0
                            : origin == TOrigin::Current ? position_
                                                         : Size();
  if (base + offset < 0) throw Exception("Stream seek error");
  position_ = base + offset;
  return position_;
}
