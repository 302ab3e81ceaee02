#include "signals/AsciiSig.h"

#include <QFileInfo>
#include <cmath>
#include <limits>

#include "platform/Exception.h"
#include "signals/SigInfo.h"
#include "textio/BufFileStream.h"
#include "textio/FloatText.h"

namespace {

constexpr int kFieldLength = 80;
constexpr std::size_t kTitleLength = 4096;  // a title line longer than this is cut
constexpr int kSecondTitleLength = 999;

bool isDelimiter(char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ' || c == ',';
}

bool isLineEnd(char c) {
  return c == '\n' || c == '\r';
}

// Title 1 is the text before the first blank, TAB or comma; title 2 starts at the next
// character that is none of them.
void splitTitles(const QString& line, QString& title1, QString& title2) {
  qsizetype split = -1;
  for (qsizetype i = 0; i < line.size() && split < 0; ++i)
    if (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t') || line[i] == QLatin1Char(','))
      split = i;
  if (split < 0 || split >= line.size() - 1) {
    title1 = line;
    title2.clear();
    return;
  }
  title1 = line.left(split);
  qsizetype from = split + 1;
  while (from < line.size() && isDelimiter(char(line[from].unicode()))) ++from;
  title2 = line.mid(from, kSecondTitleLength);
}

bool uniform(const double v[3]) {
  const double d1 = v[1] - v[0], d2 = v[2] - v[1];
  return d1 != 0 && d2 != 0 && std::fabs(d2 - d1) < 1E-6;
}

}  // namespace

TASCIISigClass::TASCIISigClass(const QString& fileName)
    : file_(fileName, TFileStream::TMode::OpenRead) {
  size_ = file_.Size();
  SeekTo(0);
}

bool TASCIISigClass::Fill() {
  if (atEnd_) return false;
  bufferStart_ += limit_ - buffer_.data();
  const std::int64_t got = file_.Read(buffer_.data(), std::int64_t(buffer_.size()));
  current_ = buffer_.data();
  limit_ = current_ + got;
  atEnd_ = got < std::int64_t(buffer_.size()) || bufferStart_ + got >= size_;
  return got > 0;
}

void TASCIISigClass::SeekTo(std::int64_t position) {
  bufferStart_ = file_.Seek(position, TStream::TOrigin::Beginning);
  current_ = limit_ = buffer_.data();
  atEnd_ = false;
  Fill();
}

double TASCIISigClass::ReadField(bool skipLineEnds) {
  char c = ReadChar();
  while (isDelimiter(c) && (skipLineEnds || !isLineEnd(c))) c = ReadChar();
  char field[kFieldLength];
  int n = 0;
  while (c != '\0' && !isDelimiter(c)) {
    field[n++] = c;
    if (n == kFieldLength) break;
    c = ReadChar();
  }
  if (n < kFieldLength) StepBack(c);
  return StrToFloat(std::string_view(field, std::size_t(n)));
}

double TASCIISigClass::ReadNumber() {
  return ReadField(true);
}

double TASCIISigClass::ReadNumberOnLine() {
  return ReadField(false);
}

void TASCIISigClass::SkipField() {
  char c = ReadChar();
  while (isDelimiter(c)) c = ReadChar();
  while (c != '\0' && !isDelimiter(c)) c = ReadChar();
  StepBack(c);
}

void TASCIISigClass::SkipToNextLine() {
  char c = ReadChar();
  while (c != '\0' && !isLineEnd(c)) c = ReadChar();
  do c = ReadChar();
  while (isLineEnd(c));
  StepBack(c);
}

std::string TASCIISigClass::ReadLineText() {
  char c = ReadChar();
  while (c == '\t' || c == ',' || isLineEnd(c)) c = ReadChar();
  std::string text;
  while (c != '\0' && !isLineEnd(c)) {
    if (text.size() < kTitleLength) text += c;
    c = ReadChar();
  }
  while (isLineEnd(c)) c = ReadChar();
  StepBack(c);
  return text;
}

void TASCIISigClass::FindData() {
  columnTitles_.clear();
  while (!AtEnd()) {
    // Blank lines never start the data: counted as a sample, they would yield no value.
    char c = ReadChar();
    while (isLineEnd(c)) c = ReadChar();
    StepBack(c);
    const std::int64_t line = Position();
    try {
      ReadNumber();
      SkipToNextLine();
      dataStart_ = line;
      return;
    } catch (const Exception&) {
      SeekTo(line);
      const std::string text = ReadLineText();
      columnTitles_ = QString::fromLatin1(text.data(), qsizetype(text.size()));
    }
  }
  throw Exception("Not an ASCII Signal File");
}

TASCIIColumn::TASCIIColumn(const QString& fileName, bool& applyToAll, ISigInfo& info)
    : TASCIISigClass(fileName) {
  FindData();
  QString title1, title2;
  splitTitles(columnTitles_, title1, title2);
  const QString axis = GuessTimeColumn(info, title1, title2);
  info.SetTimeColumn(timeColumn_);
  info.SetSignalName(StripExtension(QFileInfo(fileName).fileName()));
  info.SetAxisLabel(axis);
  if (!info.Execute(applyToAll)) throw Exception("Add Canceled");
  if (info.Frequency() == 0) throw Exception("Floating point division by zero");
  FirstTime = info.FirstSampleMs();
  Interval = 1000 / info.Frequency();
  Group.clear();
  Name = info.SignalName();
  YLabel = info.AxisLabel();
  XLabel = QStringLiteral("Time (mS)");
  Count = CountLines();
  Reset();
}

QString TASCIIColumn::GuessTimeColumn(ISigInfo& info, const QString& title1,
                                      const QString& title2) {
  timeColumn_ = 1;
  Reset();
  bool guessed = false;
  QString axis;
  try {
    double a[3], b[3];
    for (int k = 0; k < 3; ++k) {
      a[k] = ReadNumber();
      b[k] = ReadNumberOnLine();
      SkipToNextLine();
    }
    double step = 0, first = 0;
    if (uniform(b)) {
      timeColumn_ = 2;
      step = b[1] - b[0];
      first = b[0];
      axis = title1;
    } else {
      guessed = uniform(a);
      step = a[1] - a[0];
      first = a[0];
      axis = title2;
    }
    // The threshold is compared in extended precision: a step read as 0.001 is not below it.
    const double factor = static_cast<long double>(step) < 0.001L ? 1000 : 1;
    const double frequency = 1000 / (step * factor);
    if (!std::isfinite(frequency)) throw Exception("Floating point division by zero");
    info.SetFirstSampleMs(first * factor);
    info.SetFrequency(frequency);
    guessed = guessed || timeColumn_ == 2;
  } catch (const Exception&) {
    guessed = false;
  }
  if (guessed) return axis;
  timeColumn_ = 0;
  Reset();
  try {
    ReadNumber();
  } catch (const Exception&) {
    throw Exception("Not an ASCII Signal File");
  }
  return title1;
}

int TASCIIColumn::CountLines() {
  Reset();
  int lines = 0;
  while (!AtEnd() && lines < std::numeric_limits<int>::max()) {
    SkipToNextLine();
    ++lines;
  }
  return lines;
}

float TASCIIColumn::NextValue() {
  if (timeColumn_ == 1) SkipField();
  const double value = ReadNumber();
  SkipToNextLine();
  return float(value);
}
