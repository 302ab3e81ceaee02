#include "app/CodecConfig.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QRegularExpression>
#include <charconv>

#include "platform/Dialogs.h"
#include "platform/FileAge.h"
#include "platform/FileCheck.h"
#include "platform/IniFile.h"
#include "platform/RegIniFile.h"

namespace codecconfig {

namespace {

const QString kUserHive = QStringLiteral("HKEY_CURRENT_USER\\");
constexpr qsizetype kMaxKeyPath = 999;
constexpr qsizetype kMaxKeyName = 255;  // the longest name one key level may have
constexpr int kAboutHoverOpacity = 245;

// The 8 hexadecimal digits after "dword:"; anything that is not plain hexadecimal gives 0.
std::int32_t parseDword(const QString& digits) {
  const QByteArray text = digits.left(8).toLatin1();
  std::uint32_t value = 0;
  const char* end = text.constData() + text.size();
  const auto [ptr, ec] = std::from_chars(text.constData(), end, value, 16);
  if (text.isEmpty() || ec != std::errc() || ptr != end) return 0;
  return static_cast<std::int32_t>(value);
}

// A quoted name may itself hold "=": it ends at the first quote that an "=" follows.
void splitNameAndValue(const QString& line, QString& name, QString& value) {
  if (line.startsWith(u'"')) {
    static const QRegularExpression quotedName(QStringLiteral("^\"(.*?)\"\\s*=(.*)$"),
                                               QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = quotedName.match(line);
    if (m.hasMatch()) {
      name = m.captured(1);
      value = m.captured(2).trimmed();
      return;
    }
  }
  const qsizetype eq = line.indexOf(u'=');
  name = line.left(eq).trimmed();
  value = line.mid(eq + 1).trimmed();
  if (name.startsWith(u'"')) name = name.mid(1).chopped(name.size() > 1 ? 1 : 0);
}

QString collapseBackslashes(QString text) {
  static const QRegularExpression runs(QStringLiteral("\\\\{2,}"));
  return text.replace(runs, QStringLiteral("\\"));
}

// The settings store addresses a key as its parent key and a section below it.
struct KeyPlace {
  QString parent;
  QString section;
};

// Names the store and the registry both refuse: empty levels and overlong names.
std::optional<KeyPlace> placeOf(QString keyPath) {
  while (keyPath.endsWith(u'\\')) keyPath.chop(1);
  const QStringList levels = keyPath.split(u'\\');
  for (const QString& level : levels)
    if (level.isEmpty() || level.size() > kMaxKeyName) return std::nullopt;
  return KeyPlace{u'\\' + levels.mid(0, levels.size() - 1).join(u'\\'), levels.last()};
}

void writeValue(TRegIniFile& key, const QString& section, const RegValue& v) {
  if (v.kind == RegValue::Kind::Dword)
    key.WriteInteger(section, v.name, v.dword);
  else if (v.kind == RegValue::Kind::String)
    key.WriteString(section, v.name, v.text);
}

void importSection(const QString& fileName, const TIniFile& file, const QString& section,
                   const QString& keyPath) {
  const std::optional<KeyPlace> place = placeOf(keyPath);
  if (!place) {
    dialogs::showError(
        nullptr, fileName + QStringLiteral(": Create Key ") + section + QStringLiteral(" failed."));
    return;
  }
  TRegIniFile key(place->parent);
  for (const QString& line : file.ReadSectionValues(section)) {
    writeValue(key, place->section, ParseRegLine(line));
    QCoreApplication::processEvents();
  }
  key.flush();
}

}  // namespace

RegValue ParseRegLine(const QString& line) {
  RegValue v;
  QString value;
  splitNameAndValue(line, v.name, value);
  // The INI reader's habit: a value in quotes arrives without them. A quoted value is text
  // even when it reads like a typed one.
  const bool quoted = value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"');
  if (quoted) value = value.mid(1).chopped(1);
  if (v.name.isEmpty() || value.isEmpty()) return v;
  if (!quoted && value.startsWith(QStringLiteral("dword:"))) {
    v.kind = RegValue::Kind::Dword;
    v.dword = parseDword(value.mid(6));
    return v;
  }
  // Raw data ("hex:" binary, "hex(n):" typed) has no form in the store.
  if (!quoted &&
      (value.startsWith(QStringLiteral("hex(")) || value.startsWith(QStringLiteral("hex:"))))
    return v;
  v.kind = RegValue::Kind::String;
  v.text = collapseBackslashes(value);
  return v;
}

std::optional<QString> UserKeyPath(const QString& section) {
  const qsizetype at = section.indexOf(kUserHive);
  if (at < 0) return std::nullopt;
  return section.mid(at + kUserHive.size()).left(kMaxKeyPath);
}

void ImportRegFile(const QString& fileName, QWidget* aboutBox) {
  const TIniFile file(fileName);
  for (const QString& section : file.ReadSections()) {
    if (const std::optional<QString> keyPath = UserKeyPath(section))
      importSection(fileName, file, section, *keyPath);
  }
  if (aboutBox) aboutBox->setWindowOpacity(kAboutHoverOpacity / 255.0);
  dialogs::show(nullptr, QStringLiteral("ffdshow Configuration Updated From: \n\n") + fileName,
                QStringLiteral("Information"), dialogs::Buttons::OK, dialogs::Icon::Information);
  if (aboutBox) aboutBox->setWindowOpacity(1.0);
}

std::int32_t ImportWhenChanged(const QString& programDirectory, std::int32_t storedAge,
                               QWidget* aboutBox) {
  const QString path = QDir(programDirectory).filePath(QString::fromLatin1(kRegFileName));
  // A FIFO or device under that name would block the reader or feed it endlessly.
  if (!IsRegularFile(QFile::encodeName(path).constData())) return storedAge;
  const std::int32_t age = FileAge(path);
  if (age == -1 || age == storedAge) return storedAge;
  ImportRegFile(path, aboutBox);
  return age;
}

void RunConfiguration(QWidget* parent) {
  QProcess process;
  process.setWorkingDirectory(QDir::currentPath());
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start(QStringLiteral("rundll32.exe"), {QStringLiteral("ff_vfw.dll,configureVFW")});
  if (!process.waitForStarted(-1)) {
    const QString caption = parent ? parent->window()->windowTitle() : QString();
    dialogs::show(parent, QStringLiteral("RunDll32 could not be started"), caption,
                  dialogs::Buttons::OK, dialogs::Icon::None);
    return;
  }
  // The main window does not answer until the codec's dialog is closed, as on its home system.
  process.waitForFinished(-1);
}

void Install(QMainWindow* mainWindow, QWidget* aboutBox, const QString& programDirectory,
             int& regFileAge) {
  if (auto* item = mainWindow->findChild<QAction*>(QStringLiteral("ffdshowconfiguration1")))
    QObject::connect(item, &QAction::triggered, mainWindow,
                     [mainWindow] { RunConfiguration(mainWindow); });
  regFileAge = ImportWhenChanged(programDirectory, regFileAge, aboutBox);
}

}  // namespace codecconfig
