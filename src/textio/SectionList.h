#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// A sorted list of INI section names, each carrying that section's "name=value" lines or
// nothing. Names compare without regard to case; adding a name that is there already keeps
// the first entry.
class TSectionList {
 public:
  int Count() const { return int(entries_.size()); }
  const QString& Name(int j) const { return entries_[j].name; }
  // The section's lines, or null when the entry carries none.
  QStringList* Lines(int j) const { return entries_[j].lines.get(); }
  void SetLines(int j, std::unique_ptr<QStringList> lines);
  int IndexOf(const QString& name) const;
  // Returns the index of the entry with that name.
  int Add(const QString& name, std::unique_ptr<QStringList> lines = nullptr);
  void Delete(int j);
  QStringList Names() const;

 private:
  struct Entry {
    QString name;
    std::unique_ptr<QStringList> lines;
  };
  std::vector<Entry> entries_;
};
