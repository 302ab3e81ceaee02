#pragma once

#include <QString>
#include <string>

// Where a save writes and how its result takes the target's name, shared by the display
// window and the command-line tool. A new target is written in place. An existing one is
// written beside it as a work file and renamed over it in one step only after a whole save,
// so that the target is at every moment either the old clip or the new one.
class TSaveReplace {
 public:
  // Looks whether target exists now (a dangling link counts as existing: renaming over it
  // replaces the link, never what it pointed to).
  explicit TSaveReplace(const QString& target);

  // The target's name with its first character replaced by "~" beside it (run7.avi is
  // written as ~un7.avi); a name that starts with "~" gets another one in front, so the work
  // file is never the target itself.
  static QString WorkPathOf(const QString& target);

  const QString& Target() const { return target_; }
  const QString& Work() const { return work_; }
  bool Existed() const { return existed_; }

  // Removes what a crashed earlier save left at the work path; the target is never touched.
  void Prepare() const;
  // After a failed or cancelled save: removes the work file. For a new target that is the
  // partial file under the target's name; an existing target is left as it was.
  void Discard() const;
  // After a whole save: the work file replaces the target in one rename. False when the
  // rename fails; the result then stays at the work path.
  bool Commit() const;

 private:
  QString target_;
  QString work_;
  bool existed_ = false;
};

// The descriptor for frames first .. of a clip saved as a clip of their own: the mark frame
// moves back by `first` (a missing time at mark frame becomes 0), so every saved frame keeps
// the test time it had.
std::string ShiftedDescriptor(std::string text, int first);
