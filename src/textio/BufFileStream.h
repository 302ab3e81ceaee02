#pragma once

#include <QString>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "textio/FileStream.h"

// The reader through which signal files are parsed: bytes one at a time through a private
// buffer, with line and token operations on top. A byte 0 doubles as the end-of-file mark.
// LineNumber counts calls of ReadWord, ReadToken and SkipLine, not true lines; GotoLine relies
// on that count.
class TBufFileStream : public TStream {
 public:
  TBufFileStream(const QString& fileName, TFileStream::TMode mode);
  // Parses bytes from any stream (a decoded header held in memory).
  explicit TBufFileStream(std::unique_ptr<TStream> source);

  // Reads bypass the buffer once it is drained, so blocks of samples go straight to the caller.
  std::int64_t Read(void* buffer, std::int64_t count) override;
  void Write(const void* buffer, std::int64_t count) override;
  // Any real move empties the buffer; Seek(0, Current) only reports the position of the next
  // byte handed out.
  std::int64_t Seek(std::int64_t offset, TOrigin origin) override;
  std::int64_t Size() override { return source_->Size(); }

  void SetBufferSize(int size);
  char ReadChar() {
    if (current_ == limit_) return Refill();
    ++logical_;
    return *current_++;
  }
  char PeekChar();
  // The next run of bytes up to a NUL, LF, CR or space; empty at the end of the file.
  std::string ReadWord();
  // One "key,value" line: key trimmed and upper-cased, value trimmed. Raises "No More Tokens" at
  // the end of the file, also when the last line has no line end.
  void ReadToken(std::string& key, std::string& value);
  // Skips the rest of the line and the blank lines after it; false when already at the end.
  bool SkipLine();
  void GotoLine(int n);
  // Reads tokens until one has exactly this (upper-case) key.
  void FindToken(std::string_view key);

  int LineNumber = 1;

 private:
  char Refill();

  std::unique_ptr<TStream> source_;
  std::vector<char> buffer_;
  const char* current_ = nullptr;
  const char* limit_ = nullptr;
  std::int64_t logical_ = 0;
};

// Line writers of the signal-file writers: lines end in CR LF.
void WriteString(TStream& stream, std::string_view text);
void WriteNewLine(TStream& stream);
void WriteLine(TStream& stream, std::string_view text);
// label, the number in general format with 15 significant digits, CR LF.
void WriteValueLine(TStream& stream, std::string_view label, double value);

// The text cut before its first ".".
QString StripExtension(const QString& text);
