#pragma once

// The plain parts of a display window's "Save As": the dialog's filter and remembered type,
// the target a chosen name stands for and the question before overwriting it, the estimate of
// the time left, and the messages at the end.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "platform/avifile/AviFile.h"

namespace save_flow {

// The dialog's filter position (0-based) for the stored 1-based type; -1 when the stored type
// is none of the count types, so that the dialog picks its own.
int DialogFilterIndex(int storedType, int typeCount);
// The type table's "caption|mask" rows as the dialog's filter, in type order.
QString DialogFilter(const QStringList& typeFilters);
// The 1-based type the dialog answered with; a filter the dialog could not say falls back to
// the type whose extension the name carries, else the first.
int ChosenType(int answeredIndex, const QStringList& extensions, const QString& name);

// The name without the extension of its last part; a "." in a directory is no extension.
QString RemoveExtension(const QString& name);
// Where a save of the chosen name writes: the name without its extension, followed by "." and
// the type's extension; for a directory type (no extension) the directory of that name. The
// letter case stays as typed: names differing in case are different files here.
QString TargetPath(const QString& chosen, const QString& extension);

struct TOverwrite {
  QString target;  // what the save will write (TargetPath)
  bool exists = false;
  QString question;
  QString caption;
};
// The question before a save replaces something: the very target the save writes, a file for
// the file types, the directory for the image-directory types.
TOverwrite OverwriteCheck(const QString& chosen, const QString& description,
                          const QString& extension);

// "Time Remaining m:ss" above 90 seconds, else "<n> Seconds Remaining".
QString RemainingText(int seconds);

// The estimate under the progress bar: first 10 s after the start, then every 10 s at most.
class TSaveEstimate {
 public:
  void Start(std::uint32_t now);
  // The text to show after a report of percent at tick now; none when it is not yet due.
  std::optional<QString> Report(int percent, std::uint32_t now);

 private:
  std::uint32_t start_ = 0;
  std::uint32_t next_ = 0;
};

struct TMessage {
  QString text;
  QString caption;
};
// What the user is told when a save ends with code e: nothing after success or a cancel.
std::optional<TMessage> FailureMessage(HRESULT e, bool cancelled, bool directory,
                                       const QString& work);
TMessage RenameMessage(const QString& work, const QString& target);

// The dialog's title: which frames a narrower play loop saves.
QString DialogTitle(const QString& clipName, int first, int last, int frameCount);

}  // namespace save_flow
