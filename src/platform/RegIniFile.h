#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QSettings;
class QVariant;

// The per-user preference store. A key path below the application key (for example
// "\Software\Orvanta\Lumetra\QuickMeasure") maps to one INI file per user; each further key
// level becomes a nested group, a section is a group below that, and a value name is kept whole
// even when it holds "/" or "\" (file paths name values in some sections).
class TRegIniFile {
 public:
  explicit TRegIniFile(const QString& key);
  ~TRegIniFile();
  TRegIniFile(const TRegIniFile&) = delete;
  TRegIniFile& operator=(const TRegIniFile&) = delete;

  // The file every store of this process reads and writes. Tests point it at a temporary file.
  static QString storeFile();
  static void setStoreFile(const QString& path);

  QString ReadString(const QString& section, const QString& name, const QString& def) const;
  int ReadInteger(const QString& section, const QString& name, int def) const;
  bool ReadBool(const QString& section, const QString& name, bool def) const;
  QByteArray ReadBinaryData(const QString& section, const QString& name) const;

  void WriteString(const QString& section, const QString& name, const QString& value);
  void WriteInteger(const QString& section, const QString& name, int value);
  void WriteBool(const QString& section, const QString& name, bool value);
  void WriteBinaryData(const QString& section, const QString& name, const QByteArray& value);

  void EraseSection(const QString& section);
  void DeleteKey(const QString& section, const QString& name);
  // Value names of a section, in the order they were first written.
  QStringList ReadSection(const QString& section) const;
  // "name=value" lines of a section.
  QStringList ReadSectionValues(const QString& section) const;
  QStringList ReadSections() const;
  bool ValueExists(const QString& section, const QString& name) const;
  bool SectionExists(const QString& section) const;

  QString key() const { return key_; }
  void flush();

 private:
  QString groupOf(const QString& section) const;
  QString keyOf(const QString& section, const QString& name) const;
  void writeValue(const QString& section, const QString& name, const QVariant& value);

  QString key_;
  QString prefix_;
  std::unique_ptr<QSettings> settings_;
};
