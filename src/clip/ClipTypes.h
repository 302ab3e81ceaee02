#pragma once

#include <QString>
#include <QStringList>

// The clip file-type table: seven rows addressed by a 1-based TypeIndex (AVI, MAV, the BMP,
// GIF, JPEG and TIFF directories, AMF). Rows with an empty extension are directory targets
// whose frames are files named by formatting the row's pattern with the 0-based frame number.
class TClipTypes {
 public:
  TClipTypes();

  int Count() const { return int(descriptions_.size()); }
  // An index outside 1 .. Count() gives an empty text.
  QString Description(int typeIndex) const { return descriptions_.value(typeIndex - 1); }
  // A dialog caption and a mask separated by "|"; the directory rows' "*.~~~" matches no file.
  QString Filter(int typeIndex) const { return filters_.value(typeIndex - 1); }
  QString Extension(int typeIndex) const { return extensions_.value(typeIndex - 1); }
  // A printf pattern such as "F%.7d.bmp"; empty for file targets.
  QString NamePattern(int typeIndex) const { return patterns_.value(typeIndex - 1); }
  // Saved through the AVI library with compression options; the other rows are scattered.
  static bool IsVideoType(int typeIndex) { return typeIndex < 3; }

 private:
  QStringList descriptions_;
  QStringList filters_;
  QStringList extensions_;
  QStringList patterns_;
};
