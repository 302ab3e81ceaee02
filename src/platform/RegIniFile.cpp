#include "platform/RegIniFile.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kApplicationKey = QStringLiteral("/Software/Orvanta/Lumetra");

QString& storeFileOverride() {
  static QString path;
  return path;
}

// QSettings reads "/" and "\" in a key as group separators; escape them (and the escape
// character) so that a value name survives the round trip unchanged.
QString encodeName(const QString& name) {
  QString out;
  out.reserve(name.size());
  for (QChar c : name) {
    if (c == u'%')
      out += QStringLiteral("%25");
    else if (c == u'/')
      out += QStringLiteral("%2F");
    else if (c == u'\\')
      out += QStringLiteral("%5C");
    else
      out += c;
  }
  return out;
}

QString decodeName(const QString& name) {
  QString out;
  out.reserve(name.size());
  for (qsizetype i = 0; i < name.size(); ++i) {
    if (name[i] == u'%' && i + 2 < name.size()) {
      const QStringView code = QStringView(name).mid(i + 1, 2);
      if (code == u"25" || code == u"2F" || code == u"5C") {
        out += QChar(code.toString().toInt(nullptr, 16));
        i += 2;
        continue;
      }
    }
    out += name[i];
  }
  return out;
}

// "\Software\Orvanta\Lumetra\QuickMeasure" -> "QuickMeasure/"; the application key itself -> "".
QString prefixOfKey(const QString& key) {
  QString path = key;
  path.replace(u'\\', u'/');
  while (path.endsWith(u'/')) path.chop(1);
  if (!path.startsWith(u'/')) path.prepend(u'/');
  if (path.compare(kApplicationKey, Qt::CaseInsensitive) == 0) return {};
  if (path.startsWith(kApplicationKey + u'/', Qt::CaseInsensitive))
    path = path.mid(kApplicationKey.size() + 1);
  else
    path = path.mid(1);
  QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
  for (QString& p : parts) p = encodeName(p);
  return parts.join(u'/') + u'/';
}

}  // namespace

QString TRegIniFile::storeFile() {
  if (!storeFileOverride().isEmpty()) return storeFileOverride();
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return dir + QStringLiteral("/Orvanta/Lumetra.ini");
}

void TRegIniFile::setStoreFile(const QString& path) {
  storeFileOverride() = path;
}

TRegIniFile::TRegIniFile(const QString& key)
    : key_(key),
      prefix_(prefixOfKey(key)),
      settings_(std::make_unique<QSettings>(storeFile(), QSettings::IniFormat)) {}

TRegIniFile::~TRegIniFile() = default;

QString TRegIniFile::groupOf(const QString& section) const {
  return prefix_ + encodeName(section);
}

QString TRegIniFile::ReadString(const QString& section, const QString& name,
                                const QString& def) const {
  const QVariant v = settings_->value(groupOf(section) + u'/' + encodeName(name));
  return v.isValid() ? v.toString() : def;
}

int TRegIniFile::ReadInteger(const QString& section, const QString& name, int def) const {
  const QVariant v = settings_->value(groupOf(section) + u'/' + encodeName(name));
  if (!v.isValid()) return def;
  bool ok = false;
  const int value = v.toString().trimmed().toInt(&ok);
  return ok ? value : def;
}

bool TRegIniFile::ReadBool(const QString& section, const QString& name, bool def) const {
  return ReadInteger(section, name, def ? 1 : 0) != 0;
}

QByteArray TRegIniFile::ReadBinaryData(const QString& section, const QString& name) const {
  return settings_->value(groupOf(section) + u'/' + encodeName(name)).toByteArray();
}

void TRegIniFile::WriteString(const QString& section, const QString& name, const QString& value) {
  settings_->setValue(groupOf(section) + u'/' + encodeName(name), value);
}

void TRegIniFile::WriteInteger(const QString& section, const QString& name, int value) {
  WriteString(section, name, QString::number(value));
}

void TRegIniFile::WriteBool(const QString& section, const QString& name, bool value) {
  WriteInteger(section, name, value ? 1 : 0);
}

void TRegIniFile::WriteBinaryData(const QString& section, const QString& name,
                                  const QByteArray& value) {
  settings_->setValue(groupOf(section) + u'/' + encodeName(name), value);
}

void TRegIniFile::EraseSection(const QString& section) {
  settings_->remove(groupOf(section));
}

void TRegIniFile::DeleteKey(const QString& section, const QString& name) {
  settings_->remove(groupOf(section) + u'/' + encodeName(name));
}

QStringList TRegIniFile::ReadSection(const QString& section) const {
  settings_->beginGroup(groupOf(section));
  QStringList names = settings_->childKeys();
  settings_->endGroup();
  for (QString& n : names) n = decodeName(n);
  return names;
}

QStringList TRegIniFile::ReadSectionValues(const QString& section) const {
  QStringList lines;
  for (const QString& name : ReadSection(section))
    lines << name + u'=' + ReadString(section, name, QString());
  return lines;
}

QStringList TRegIniFile::ReadSections() const {
  if (!prefix_.isEmpty()) settings_->beginGroup(prefix_.chopped(1));
  QStringList groups = settings_->childGroups();
  if (!prefix_.isEmpty()) settings_->endGroup();
  for (QString& g : groups) g = decodeName(g);
  return groups;
}

bool TRegIniFile::ValueExists(const QString& section, const QString& name) const {
  return settings_->contains(groupOf(section) + u'/' + encodeName(name));
}

bool TRegIniFile::SectionExists(const QString& section) const {
  settings_->beginGroup(groupOf(section));
  const bool exists = !settings_->childKeys().isEmpty() || !settings_->childGroups().isEmpty();
  settings_->endGroup();
  return exists;
}

void TRegIniFile::flush() {
  settings_->sync();
}
