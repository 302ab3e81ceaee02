#include "platform/RegIniFile.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kApplicationKey = QStringLiteral("/Software/Orvanta/Lumetra");
// QSettings hands keys back sorted; each group remembers the order in which its names were
// first written under this key, which no encoded name can equal (encoding turns "%" into "%25").
const QString kOrderKey = QStringLiteral("/%order");

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
  const QVariant v = settings_->value(keyOf(section, name));
  return v.isValid() ? v.toString() : def;
}

int TRegIniFile::ReadInteger(const QString& section, const QString& name, int def) const {
  const QVariant v = settings_->value(keyOf(section, name));
  if (!v.isValid()) return def;
  bool ok = false;
  const int value = v.toString().trimmed().toInt(&ok);
  return ok ? value : def;
}

bool TRegIniFile::ReadBool(const QString& section, const QString& name, bool def) const {
  return ReadInteger(section, name, def ? 1 : 0) != 0;
}

QByteArray TRegIniFile::ReadBinaryData(const QString& section, const QString& name) const {
  return settings_->value(keyOf(section, name)).toByteArray();
}

void TRegIniFile::WriteString(const QString& section, const QString& name, const QString& value) {
  writeValue(section, name, value);
}

void TRegIniFile::WriteInteger(const QString& section, const QString& name, int value) {
  WriteString(section, name, QString::number(value));
}

void TRegIniFile::WriteBool(const QString& section, const QString& name, bool value) {
  WriteInteger(section, name, value ? 1 : 0);
}

void TRegIniFile::WriteBinaryData(const QString& section, const QString& name,
                                  const QByteArray& value) {
  writeValue(section, name, value);
}

void TRegIniFile::EraseSection(const QString& section) {
  settings_->remove(groupOf(section));
}

void TRegIniFile::DeleteKey(const QString& section, const QString& name) {
  settings_->remove(keyOf(section, name));
  QStringList order = settings_->value(groupOf(section) + kOrderKey).toStringList();
  if (!order.removeAll(encodeName(name))) return;
  if (order.isEmpty())
    settings_->remove(groupOf(section) + kOrderKey);
  else
    settings_->setValue(groupOf(section) + kOrderKey, order);
}

QString TRegIniFile::keyOf(const QString& section, const QString& name) const {
  return groupOf(section) + u'/' + encodeName(name);
}

void TRegIniFile::writeValue(const QString& section, const QString& name, const QVariant& value) {
  const QString key = keyOf(section, name);
  if (!settings_->contains(key)) {
    QStringList order = settings_->value(groupOf(section) + kOrderKey).toStringList();
    order << encodeName(name);
    settings_->setValue(groupOf(section) + kOrderKey, order);
  }
  settings_->setValue(key, value);
}

QStringList TRegIniFile::ReadSection(const QString& section) const {
  settings_->beginGroup(groupOf(section));
  QStringList stored = settings_->childKeys();
  const QStringList order = settings_->value(kOrderKey.mid(1)).toStringList();
  settings_->endGroup();
  stored.removeAll(kOrderKey.mid(1));
  // Names in the order they were first written; any the order does not know come last.
  QStringList names;
  for (const QString& n : order)
    if (stored.removeAll(n)) names << decodeName(n);
  for (const QString& n : stored) names << decodeName(n);
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
  return settings_->contains(keyOf(section, name));
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
