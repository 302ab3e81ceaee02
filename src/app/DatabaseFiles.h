#pragma once

#include <QStringList>

#include "textio/StringListList.h"

class TRegIniFile;

// The title-template files the user assigned, as the main window and the descriptor editors
// share them: files with their ages, their lower-case names (then the store's key path), and
// the cached sections of each (then the store's own descriptor sections).
struct TDatabases {
  TDatabaseFiles files;
  QStringList names;
  TStringListList lists;
};

extern const QString kDatabaseFilesSection;
extern const QString kApplicationKey;

// Fills the three from the "Database Files" section, each value naming sections joined by "|".
void ReadDatabaseFiles(const TRegIniFile& reg, TDatabases& db);
// Erases the section and writes one value per file: the names of the entries that carry lines.
void WriteDatabaseFiles(TRegIniFile& reg, const TDatabases& db);
