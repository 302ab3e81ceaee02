#pragma once

#include <QString>

// The program's version information: the values a version resource would hold, filled from
// the build. Names outside the string table read as empty.
class TVersioner {
 public:
  TVersioner();
  // The first translation as language and code page in hexadecimal.
  QString Translation() const { return translation_; }
  // "\StringFileInfo\<translation>\<name>" or simply "<name>".
  QString Value(const QString& name) const;

 private:
  QString translation_;
};
