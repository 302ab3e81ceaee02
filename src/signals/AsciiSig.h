#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <string>

#include "signals/SigClass.h"
#include "textio/FileStream.h"

class ISigInfo;

// A text signal file read through one 2048-byte buffer, character by character. Fields are
// separated by runs of TAB, LF, CR, space and comma and are at most 80 characters long.
class TASCIISigClass : public TSigClass {
 public:
  explicit TASCIISigClass(const QString& fileName);

  bool AtEnd() override { return current_ == limit_ && atEnd_; }
  QString FormatName() const override { return QStringLiteral("ASCII"); }
  void Reset() override { SeekTo(dataStart_); }

 protected:
  // The next character; 0 at the end of the file.
  char ReadChar() {
    if (current_ == limit_ && !Fill()) return '\0';
    return *current_++;
  }
  // Gives back the character just read; the end mark is never given back.
  void StepBack(char c) {
    if (c != '\0') --current_;
  }
  // Raises the conversion error when the next field is not a number (or there is none).
  double ReadNumber();
  // The same, but the number must stand on the current line.
  double ReadNumberOnLine();
  void SkipField();
  void SkipToNextLine();
  // The rest of the line from its first character that is not TAB, LF, CR or comma.
  std::string ReadLineText();
  std::int64_t Position() const { return bufferStart_ + (current_ - buffer_.data()); }
  void SeekTo(std::int64_t position);
  // Finds the first data line; raises "Not an ASCII Signal File" when there is none.
  void FindData();

  QString columnTitles_;
  std::int64_t dataStart_ = 0;

 private:
  bool Fill();
  double ReadField(bool skipLineEnds);

  TFileStream file_;
  std::int64_t size_ = 0;
  std::int64_t bufferStart_ = 0;
  std::array<char, 2048> buffer_{};
  const char* current_ = buffer_.data();
  const char* limit_ = buffer_.data();
  bool atEnd_ = false;
};

// The first value column of a text signal file as a signal source. The reader guesses the time
// column, its unit and rate and the names, then lets info confirm them.
class TASCIIColumn : public TASCIISigClass {
 public:
  // Raises "Not an ASCII Signal File" when the file holds no data line and "Add Canceled" when
  // the confirmation is refused.
  TASCIIColumn(const QString& fileName, bool& applyToAll, ISigInfo& info);

  float NextValue() override;
  int TimeColumn() const { return timeColumn_; }

 private:
  // Sets the time column and hands frequency and first-sample time to info; returns the axis
  // label.
  QString GuessTimeColumn(ISigInfo& info, const QString& title1, const QString& title2);
  int CountLines();

  int timeColumn_ = 0;
};
