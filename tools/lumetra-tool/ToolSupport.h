#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "clip/AviStream.h"

class QApplication;

// A clip opened as the display window opens it: the clip stream with its frame getter.
class TToolClip {
 public:
  // Raises the stream's error ("Stream Open Failed") followed by the reason the tool can make
  // out, or "No video stream" when the file has none. A path that is no regular file (a FIFO
  // would block the open) is refused before anything opens it.
  explicit TToolClip(const QString& fileName);
  ~TToolClip();
  TToolClip(const TToolClip&) = delete;
  TToolClip& operator=(const TToolClip&) = delete;

  TAVISTREAM& Stream() { return *stream_; }
  int Frames() { return stream_->GetFrameCount(); }
  // The packed DIB of a frame; raises when it cannot be had. size: its bytes.
  const BITMAPINFOHEADER* Frame(int frame, int& size);
  // Hands the frame getter to a caller that closes it (storing descriptors does).
  PGETFRAME ReleaseGetter() { return std::exchange(getter_, nullptr); }

 private:
  std::unique_ptr<TAVISTREAM> stream_;
  PGETFRAME getter_ = nullptr;
};

// The form type of a file that starts with a "RIFF" header ("AVI "); nullopt for any other
// file, or one that cannot be read. Call only on regular files.
std::optional<FOURCC> RiffForm(const QString& path);
// Why a clip file cannot be opened, as far as can be seen without the AVI library: no regular
// file, not readable, not RIFF, not an AVI RIFF. Empty when none of these holds.
QString ClipProblem(const QString& path);

// The number in text, whole and within [low, high]; raises a usage error otherwise.
int ParseCount(const QString& text, const char* what, int low, int high);
// Exactly `count` arguments, or raises a usage error naming the command.
void ExpectArguments(const QStringList& args, int count, const char* usage);
// A four-character code as text, non-printable bytes as \xNN.
QString CodeText(std::uint32_t code);
void Print(std::FILE* out, const QString& line);

// The application a command with widgets needs (an editor, a table, a graph), on the offscreen
// platform unless one is set; null when one exists already. Numbers stay in the C locale.
std::unique_ptr<QApplication> HeadlessApplication();
