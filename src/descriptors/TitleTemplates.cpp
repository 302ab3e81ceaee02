#include "descriptors/TitleTemplates.h"

#include "platform/RegIniFile.h"

const QString kTitlesList = QStringLiteral("Titles");
const QString kCameraList = QStringLiteral("Camera");
const QString kTimingList = QStringLiteral("Timing");
const QString kDefaultTitlesList = QStringLiteral("Default Titles");

namespace {

const QString kDefaultTitlesSection = QStringLiteral("Default Titles");

QStringList* ownList(const TStringListList& lists, const QString& name) {
  const TSectionList* row = lists.Lists(lists.Count() - 1);
  if (!row) return nullptr;
  const int j = row->IndexOf(name);
  return j < 0 ? nullptr : row->Lines(j);
}

QStringList storedDefaults(const TRegIniFile* reg) {
  return reg ? reg->ReadSectionValues(kDefaultTitlesSection) : QStringList();
}

// The text between the first open and the first close character, and the text without that
// part; nothing is taken when the close does not come after the open.
QString takePart(QString& text, QChar open, QChar close) {
  const qsizetype from = text.indexOf(open);
  const qsizetype to = text.indexOf(close);
  if (from < 0 || to <= from) return {};
  const QString inside = text.mid(from + 1, to - from - 1);
  text.remove(from, to - from + 1);
  return inside;
}

}  // namespace

QString LineName(const QString& line) {
  const qsizetype eq = line.indexOf(u'=');
  return eq < 0 ? line : line.left(eq);
}

QString LineValue(const QString& line) {
  const qsizetype eq = line.indexOf(u'=');
  return eq < 0 ? QString() : line.mid(eq + 1);
}

int IndexOfName(const QStringList& lines, const QString& name) {
  for (int i = 0; i < lines.size(); ++i)
    if (QString::compare(LineName(lines[i]), name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

void SetLineValue(QStringList& lines, const QString& name, const QString& value) {
  const int i = IndexOfName(lines, name);
  if (i < 0)
    lines << name + u'=' + value;
  else
    lines[i] = LineName(lines[i]) + u'=' + value;
}

TTitleLists LocateTitleLists(const TStringListList& lists) {
  TTitleLists l;
  l.defaults = ownList(lists, kDefaultTitlesList);
  l.titles = ownList(lists, kTitlesList);
  l.timing = ownList(lists, kTimingList);
  l.camera = ownList(lists, kCameraList);
  return l;
}

void PutOwnList(TStringListList& lists, const QString& name, const QStringList& lines) {
  if (lists.Count() == 0) lists.Add(std::make_unique<TSectionList>());
  const int i = lists.Count() - 1;
  const int j = lists.Lists(i)->Add(name);
  lists.Put(i, j, std::make_unique<QStringList>(lines));
}

QStringList CameraTemplate() {
  return {QStringLiteral("Camera Type=?"),      QStringLiteral("Camera ID=?"),
          QStringLiteral("Session ID=?"),       QStringLiteral("Recording Rate=?"),
          QStringLiteral("Exposure Setting=?"), QStringLiteral("Date and Time=?")};
}

QStringList TimingTemplate() {
  return {QStringLiteral("Frame Rate=?"), QStringLiteral("Mark Frame=?"),
          QStringLiteral("Time at Mark Frame=?")};
}

void InitTitleLists(const TRegIniFile* reg, TStringListList& lists) {
  const QStringList stored = storedDefaults(reg);
  PutOwnList(lists, kTitlesList,
             stored.isEmpty() ? QStringList{QStringLiteral("Description=?")} : stored);
  PutOwnList(lists, kCameraList, CameraTemplate());
  PutOwnList(lists, kTimingList, TimingTemplate());
  InitDefaultTitlesList(reg, lists);
}

void InitDefaultTitlesList(const TRegIniFile* reg, TStringListList& lists) {
  const QStringList stored = storedDefaults(reg);
  PutOwnList(lists, kDefaultTitlesList,
             stored.isEmpty()
                 ? QStringList{QStringLiteral("Title=?"), QStringLiteral("Imager Name=?")}
                 : stored);
}

TFieldReference SplitFieldReference(const QString& value) {
  TFieldReference r;
  QString rest = value;
  r.database = takePart(rest, u'(', u')');
  r.list = takePart(rest, u'[', u']');
  r.key = rest;
  return r;
}

bool IsFieldReference(const QString& value) {
  const qsizetype open = value.indexOf(u'(');
  const qsizetype close = value.indexOf(u')');
  const qsizetype bracket = value.indexOf(u'[');
  const qsizetype end = value.indexOf(u']');
  return open >= 0 && close > open && bracket > close && end > bracket;
}

QString FieldReferenceText(const QString& database, const QString& list, const QString& key) {
  return u'(' + database + QStringLiteral(")[") + list + u']' + key;
}

QString DefaultTitleValue(const QString& defaultLine, const QStringList& names,
                          const TStringListList& lists) {
  const QString value = LineValue(defaultLine);
  const TFieldReference ref = SplitFieldReference(value);
  const int row = int(names.indexOf(ref.database.toLower()));
  const TSectionList* sections = lists.Lists(row);
  if (row < 0 || !sections) return value;
  const int j = sections->IndexOf(ref.list);
  const QStringList* lines = j < 0 ? nullptr : sections->Lines(j);
  if (!lines) return value;
  const int k = IndexOfName(*lines, ref.key);
  return k < 0 ? value : LineValue((*lines)[k]);
}

bool RebuildTitles(TDatabases& db) {
  db.lists.Refresh(db.files);
  const TTitleLists l = LocateTitleLists(db.lists);
  if (!l.Complete()) return false;
  l.titles->clear();
  if (l.defaults)
    for (const QString& line : *l.defaults)
      *l.titles << LineName(line) + u'=' + DefaultTitleValue(line, db.names, db.lists);
  return true;
}
