#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

#include "textio/SectionList.h"

// A title-template file and the age it had when its sections were last read.
struct TDatabaseFile {
  QString path;
  std::int32_t age = -1;
};
using TDatabaseFiles = std::vector<TDatabaseFile>;

// The INI section cache: item i holds the chosen sections of database file i, and rereads
// them when that file's age changes, so that editors need not reread title files on every use.
class TStringListList {
 public:
  int Count() const { return int(lists_.size()); }
  // The section list of file i, or null when there is none.
  TSectionList* Lists(int i) const;
  // The lines of section j of file i, or null.
  QStringList* SectionValues(int i, int j) const;
  void Add(std::unique_ptr<TSectionList> list);
  // Gives section j of file i new lines, creating item i first when it is missing (beyond the
  // end or empty). A section index that does not exist drops the lines.
  void Put(int i, int j, std::unique_ptr<QStringList> values);
  // Rereads every listed section of each file whose age changed, and stores the new age.
  void Refresh(TDatabaseFiles& files);
  void Clear() { lists_.clear(); }

  // The section's lines as "name=value", read from the INI file; absent gives an empty list.
  static std::unique_ptr<QStringList> ReadSection(const QString& fileName, const QString& section);

 private:
  std::vector<std::unique_ptr<TSectionList>> lists_;
};

// The title-template files the user assigned, as the main window and the descriptor editors
// share them: files with their ages, their lower-case names (then the store's key path), and
// the cached sections of each (then the store's own descriptor sections).
struct TDatabases {
  TDatabaseFiles files;
  QStringList names;
  TStringListList lists;
};
