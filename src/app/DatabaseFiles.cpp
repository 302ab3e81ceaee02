#include "app/DatabaseFiles.h"

#include <QFileInfo>

#include "platform/FileAge.h"
#include "platform/RegIniFile.h"

const QString kDatabaseFilesSection = QStringLiteral("Database Files");
const QString kApplicationKey = QStringLiteral("\\Software\\Orvanta\\Lumetra");

void ReadDatabaseFiles(const TRegIniFile& reg, TDatabases& db) {
  for (const QString& path : reg.ReadSection(kDatabaseFilesSection)) {
    db.files.push_back({path, FileAge(path)});
    db.names << QFileInfo(path).fileName().toLower();
    auto list = std::make_unique<TSectionList>();
    const QString value = reg.ReadString(kDatabaseFilesSection, path, QString());
    for (const QString& section : value.split(u'|', Qt::SkipEmptyParts))
      list->Add(section, TStringListList::ReadSection(path, section));
    db.lists.Add(std::move(list));
  }
  db.names << kApplicationKey.toLower();
  auto own = std::make_unique<TSectionList>();
  for (const char* section : {"Titles", "Timing", "Camera"}) own->Add(QString::fromLatin1(section));
  db.lists.Add(std::move(own));
}

void WriteDatabaseFiles(TRegIniFile& reg, const TDatabases& db) {
  reg.EraseSection(kDatabaseFilesSection);
  for (int i = 0; i < int(db.files.size()); ++i) {
    QStringList carried;
    if (const TSectionList* list = db.lists.Lists(i))
      for (int j = 0; j < list->Count(); ++j)
        if (list->Lines(j)) carried << list->Name(j);
    reg.WriteString(kDatabaseFilesSection, db.files[i].path, carried.join(u'|'));
  }
}
