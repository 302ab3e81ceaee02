#include "textio/SectionList.h"

#include <algorithm>

namespace {
bool lessName(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}
}  // namespace

void TSectionList::SetLines(int j, std::unique_ptr<QStringList> lines) {
  entries_[j].lines = std::move(lines);
}

int TSectionList::IndexOf(const QString& name) const {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), name,
                             [](const Entry& e, const QString& n) { return lessName(e.name, n); });
  if (it != entries_.end() && QString::compare(it->name, name, Qt::CaseInsensitive) == 0)
    return int(it - entries_.begin());
  return -1;
}

int TSectionList::Add(const QString& name, std::unique_ptr<QStringList> lines) {
  const int known = IndexOf(name);
  if (known >= 0) return known;
  auto it = std::lower_bound(entries_.begin(), entries_.end(), name,
                             [](const Entry& e, const QString& n) { return lessName(e.name, n); });
  it = entries_.insert(it, Entry{name, std::move(lines)});
  return int(it - entries_.begin());
}

void TSectionList::Delete(int j) {
  entries_.erase(entries_.begin() + j);
}

QStringList TSectionList::Names() const {
  QStringList names;
  for (const Entry& e : entries_) names << e.name;
  return names;
}
