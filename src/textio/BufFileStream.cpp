#include "textio/BufFileStream.h"

#include <algorithm>
#include <cctype>

#include "platform/Exception.h"
#include "textio/FloatText.h"

namespace {

constexpr int kDefaultBufferSize = 2048;

bool isLineEnd(char c) {
  return c == '\n' || c == '\r';
}

std::string upperTrimmed(std::string_view text) {
  std::string out(TrimText(text));
  for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

TBufFileStream::TBufFileStream(const QString& fileName, TFileStream::TMode mode)
    : TBufFileStream(std::make_unique<TFileStream>(fileName, mode)) {}

TBufFileStream::TBufFileStream(std::unique_ptr<TStream> source) : source_(std::move(source)) {
  SetBufferSize(kDefaultBufferSize);
  LineNumber = 1;
}

void TBufFileStream::SetBufferSize(int size) {
  buffer_.assign(std::size_t(std::max(size, 1)), '\0');
  source_->Seek(logical_, TOrigin::Beginning);
  current_ = limit_ = buffer_.data();
}

char TBufFileStream::Refill() {
  const std::int64_t got = source_->Read(buffer_.data(), std::int64_t(buffer_.size()));
  current_ = buffer_.data();
  limit_ = current_ + got;
  if (got <= 0) return '\0';
  ++logical_;
  return *current_++;
}

char TBufFileStream::PeekChar() {
  if (current_ != limit_) return *current_;
  const char c = ReadChar();
  if (current_ != buffer_.data()) {  // a byte came: hand it out again
    --current_;
    --logical_;
  }
  return c;
}

std::int64_t TBufFileStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  const std::int64_t buffered = std::min<std::int64_t>(limit_ - current_, count);
  std::copy(current_, current_ + buffered, static_cast<char*>(buffer));
  current_ += buffered;
  const std::int64_t direct =
      source_->Read(static_cast<char*>(buffer) + buffered, count - buffered);
  logical_ += buffered + direct;
  return buffered + direct;
}

void TBufFileStream::Write(const void* buffer, std::int64_t count) {
  source_->Seek(logical_, TOrigin::Beginning);
  current_ = limit_ = buffer_.data();
  source_->Write(buffer, count);
  logical_ += count;
}

std::int64_t TBufFileStream::Seek(std::int64_t offset, TOrigin origin) {
  if (origin == TOrigin::Current) {
    if (offset == 0) return logical_;
    offset += logical_;
    origin = TOrigin::Beginning;
  }
  logical_ = source_->Seek(offset, origin);
  current_ = limit_ = buffer_.data();
  return logical_;
}

std::string TBufFileStream::ReadWord() {
  char c = ReadChar();
  while (c == ' ' || isLineEnd(c)) c = ReadChar();
  std::string word;
  while (c != '\0' && c != ' ' && !isLineEnd(c)) {
    word += c;
    c = ReadChar();
  }
  ++LineNumber;
  return word;
}

void TBufFileStream::ReadToken(std::string& key, std::string& value) {
  key.clear();
  value.clear();
  char c;
  for (;;) {
    c = ReadChar();
    while (c == ' ' || isLineEnd(c)) c = ReadChar();
    std::string raw;
    while (c != '\0' && c != ',' && !isLineEnd(c)) {
      raw += c;
      c = ReadChar();
    }
    key = upperTrimmed(raw);
    if (!key.empty() || c == '\0') break;
  }
  if (c == '\0') throw Exception("No More Tokens");
  if (c == ',') {
    for (c = ReadChar(); c != '\0' && !isLineEnd(c); c = ReadChar()) value += c;
    // Only a line end completes a value: a last line without one is no token.
    if (c == '\0') throw Exception("No More Tokens");
    value = std::string(TrimText(value));
  }
  ++LineNumber;
}

bool TBufFileStream::SkipLine() {
  char c = ReadChar();
  const bool more = c != '\0';
  while (c != '\0' && !isLineEnd(c)) c = ReadChar();
  while (isLineEnd(PeekChar())) ReadChar();
  ++LineNumber;
  return more;
}

void TBufFileStream::GotoLine(int n) {
  if (n < LineNumber) {
    Seek(0, TOrigin::Beginning);
    LineNumber = 1;
  }
  // The end of the file ends the walk: a huge line number must not spin on an empty stream.
  while (n > LineNumber && SkipLine()) {
  }
}

void TBufFileStream::FindToken(std::string_view key) {
  std::string k, v;
  do ReadToken(k, v);
  while (k != key);
}

void WriteString(TStream& stream, std::string_view text) {
  stream.Write(text.data(), std::int64_t(text.size()));
}

void WriteNewLine(TStream& stream) {
  WriteString(stream, "\r\n");
}

void WriteLine(TStream& stream, std::string_view text) {
  WriteString(stream, std::string(text) + "\r\n");
}

void WriteValueLine(TStream& stream, std::string_view label, double value) {
  WriteLine(stream, std::string(label) + FloatToStr(value));
}

QString StripExtension(const QString& text) {
  const qsizetype dot = text.indexOf(QLatin1Char('.'));
  return dot < 0 ? text : text.left(dot);
}
