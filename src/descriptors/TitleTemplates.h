#pragma once

#include <QString>
#include <QStringList>

#include "textio/StringListList.h"

class TRegIniFile;

// The descriptor editors' lists: the last row of the database lists holds the system's own
// "Titles", "Camera", "Timing" and "Default Titles"; every other row holds the sections of one
// title-template file. Lines are "name=value".

extern const QString kTitlesList;
extern const QString kCameraList;
extern const QString kTimingList;
extern const QString kDefaultTitlesList;

// The text before the first "=" (the whole line without one), and the text after it.
QString LineName(const QString& line);
QString LineValue(const QString& line);
// The first line whose name equals name without regard to case, or -1.
int IndexOfName(const QStringList& lines, const QString& name);
// Replaces the value of the named line, or appends "name=value".
void SetLineValue(QStringList& lines, const QString& name, const QString& value);

// The own lists of the last row; a list that is missing (or carries no lines) is null.
struct TTitleLists {
  QStringList* defaults = nullptr;
  QStringList* titles = nullptr;
  QStringList* timing = nullptr;
  QStringList* camera = nullptr;
  // The descriptor editor can work only with these three.
  bool Complete() const { return titles && timing && camera; }
};
TTitleLists LocateTitleLists(const TStringListList& lists);

// Start-up filling of the last row (added when the cache has no row): "Titles" and "Default
// Titles" from the store's section "Default Titles", "Camera" and "Timing" fixed.
void InitTitleLists(const TRegIniFile* reg, TStringListList& lists);
void InitDefaultTitlesList(const TRegIniFile* reg, TStringListList& lists);
// The fixed "Camera" and "Timing" lists: every entry not filled in ("?").
QStringList CameraTemplate();
QStringList TimingTemplate();
// Puts lines under name in the last row, adding the entry when it is missing.
void PutOwnList(TStringListList& lists, const QString& name, const QStringList& lines);

// A field reference "(database)[list]key" names the value of key in a list of a database row.
struct TFieldReference {
  QString database;
  QString list;
  QString key;
};
// The parts of a default value: the first "(...)" and then the first "[...]" are taken out,
// the rest is the key. Parts that are not there stay empty.
TFieldReference SplitFieldReference(const QString& value);
// "(" ... ")" followed by "[" ... "]", as the default-titles editor writes them.
bool IsFieldReference(const QString& value);
QString FieldReferenceText(const QString& database, const QString& list, const QString& key);

// The value a default title line stands for: the referenced value when the reference resolves,
// else the default value text itself (static text, "?" or an unresolved reference).
QString DefaultTitleValue(const QString& defaultLine, const QStringList& names,
                          const TStringListList& lists);
// Rereads changed title files, then makes "Titles" the default titles with their values.
// False when the own lists cannot be located.
bool RebuildTitles(TDatabases& db);
