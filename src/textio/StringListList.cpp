#include "textio/StringListList.h"

#include "platform/FileAge.h"
#include "platform/IniFile.h"

TSectionList* TStringListList::Lists(int i) const {
  if (i < 0 || i >= Count()) return nullptr;
  return lists_[i].get();
}

QStringList* TStringListList::SectionValues(int i, int j) const {
  TSectionList* list = Lists(i);
  if (!list || j < 0 || j >= list->Count()) return nullptr;
  return list->Lines(j);
}

void TStringListList::Add(std::unique_ptr<TSectionList> list) {
  lists_.push_back(std::move(list));
}

void TStringListList::Put(int i, int j, std::unique_ptr<QStringList> values) {
  if (i < 0) return;
  if (i >= Count()) {
    // Callers fill files in order, so i is at most one past the end; pad rather than trust it.
    while (Count() < i) lists_.push_back(std::make_unique<TSectionList>());
    lists_.push_back(std::make_unique<TSectionList>());
  } else if (!lists_[i]) {
    lists_[i] = std::make_unique<TSectionList>();
  }
  TSectionList* list = lists_[i].get();
  if (j < 0 || j >= list->Count()) return;
  list->SetLines(j, std::move(values));
}

void TStringListList::Refresh(TDatabaseFiles& files) {
  for (int i = 0; i < int(files.size()); ++i) {
    const std::int32_t age = FileAge(files[i].path);
    if (age == files[i].age) continue;
    files[i].age = age;
    TSectionList* list = Lists(i);
    if (!list) continue;
    const TIniFile ini(files[i].path);  // parse once for all of its sections
    for (int j = 0; j < list->Count(); ++j)
      Put(i, j, std::make_unique<QStringList>(ini.ReadSectionValues(list->Name(j))));
  }
}

std::unique_ptr<QStringList> TStringListList::ReadSection(const QString& fileName,
                                                          const QString& section) {
  return std::make_unique<QStringList>(TIniFile(fileName).ReadSectionValues(section));
}
