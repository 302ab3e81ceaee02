#include "platform/IniFile.h"

#include <QFile>
#include <QRegularExpression>

TIniFile::TIniFile(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return;
  exists_ = true;
  const QString text = QString::fromLocal8Bit(file.readAll());
  qsizetype current = -1;  // index, since the vector grows while we read
  for (QString line : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")))) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith(u';')) continue;
    if (line.startsWith(u'[') && line.contains(u']')) {
      const QString name = line.mid(1, line.indexOf(u']') - 1).trimmed();
      // A repeated header continues the first section of that name, as the platform's reader does.
      const Section* known = find(name);
      if (known) {
        current = known - sections_.data();
      } else {
        sections_.push_back({name, {}});
        current = static_cast<qsizetype>(sections_.size()) - 1;
      }
      continue;
    }
    if (current < 0) continue;
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) continue;
    sections_[current].lines << line.left(eq).trimmed() + u'=' + line.mid(eq + 1).trimmed();
  }
}

const TIniFile::Section* TIniFile::find(const QString& section) const {
  for (const Section& s : sections_)
    if (s.name.compare(section, Qt::CaseInsensitive) == 0) return &s;
  return nullptr;
}

QStringList TIniFile::ReadSections() const {
  QStringList names;
  for (const Section& s : sections_) names << s.name;
  return names;
}

QStringList TIniFile::ReadSectionValues(const QString& section) const {
  const Section* s = find(section);
  return s ? s->lines : QStringList();
}

QStringList TIniFile::ReadSection(const QString& section) const {
  QStringList names;
  for (const QString& line : ReadSectionValues(section)) names << line.left(line.indexOf(u'='));
  return names;
}

QString TIniFile::ReadString(const QString& section, const QString& name,
                             const QString& def) const {
  for (const QString& line : ReadSectionValues(section)) {
    const qsizetype eq = line.indexOf(u'=');
    if (line.left(eq).compare(name, Qt::CaseInsensitive) == 0) return line.mid(eq + 1);
  }
  return def;
}

bool TIniFile::SectionExists(const QString& section) const {
  return find(section) != nullptr;
}
