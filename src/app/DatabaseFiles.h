#pragma once

#include <QStringList>

#include "textio/StringListList.h"

class TRegIniFile;

extern const QString kDatabaseFilesSection;
extern const QString kApplicationKey;

// Fills the three from the "Database Files" section, each value naming sections joined by "|".
void ReadDatabaseFiles(const TRegIniFile& reg, TDatabases& db);
// Erases the section and writes one value per file: the names of the entries that carry lines.
void WriteDatabaseFiles(TRegIniFile& reg, const TDatabases& db);
