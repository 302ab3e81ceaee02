#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Read-only view of an INI-format text file that keeps sections and their lines in file
// order, which QSettings cannot. Section and key names compare without regard to case.
class TIniFile {
 public:
  explicit TIniFile(const QString& fileName);

  bool exists() const { return exists_; }
  QStringList ReadSections() const;
  // The section's lines as "name=value" in file order; an absent section gives an empty list.
  QStringList ReadSectionValues(const QString& section) const;
  // The value names of a section in file order.
  QStringList ReadSection(const QString& section) const;
  QString ReadString(const QString& section, const QString& name, const QString& def) const;
  bool SectionExists(const QString& section) const;

 private:
  struct Section {
    QString name;
    QStringList lines;
  };
  const Section* find(const QString& section) const;

  std::vector<Section> sections_;
  bool exists_ = false;
};
