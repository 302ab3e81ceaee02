#pragma once

#include <QString>
#include <QStringList>

// What a file name opens as, from the open-type table.
enum class TOpenKind { Unrecognised, Clip, Signal };

struct TOpenType {
  int row = 0;  // 1..12; 0 when no pattern occurs
  TOpenKind kind = TOpenKind::Unrecognised;
  QString section;  // registry section of a clip's stream
};

// Scans the table from row 12 down for the first pattern that occurs anywhere in the upper-case
// file-name part: run.avi.txt is a signal file, x.avidata a clip, image.tiff unrecognised.
TOpenType OpenTypeOf(const QString& name);

// The file-name part: everything after the last separator.
QString FileNamePart(const QString& name);
// The directory with its trailing separator: everything after the last one removed.
QString DirectoryPart(const QString& name);

// What emptying the open queue does with each name. All calls on the interface thread.
class IOpenTarget {
 public:
  virtual ~IOpenTarget() = default;
  // The name was taken off the queue: it becomes the current file and sets the open directory.
  virtual void Taken(const QString& name) = 0;
  // An open window already shows the file.
  virtual bool Shown(const QString& name) const = 0;
  // Creates the clip's stream with section and a display window; raises when it cannot open.
  virtual void OpenClip(const QString& name, const QString& section) = 0;
  // The signal files of one run, in queue order, in one call.
  virtual void OpenSignals(const QStringList& names) = 0;
  virtual void Inform(const QString& text) = 0;
};

// Empties queue in arrival order. A clip that fails to open ends the run with its error; the
// names still queued wait for the next run, and the signal files gathered before the failure
// are still handed over.
void EmptyOpenQueue(QStringList& queue, IOpenTarget& target);
