#include "descriptors/SaveReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstdio>

#include "descriptors/DescriptorText.h"

TSaveReplace::TSaveReplace(const QString& target)
    : target_(target), existed_(QFileInfo(target).exists() || QFileInfo(target).isSymLink()) {
  work_ = existed_ ? WorkPathOf(target) : target;
}

QString TSaveReplace::WorkPathOf(const QString& target) {
  const QFileInfo info(target);
  QString name = info.fileName();
  name = name.startsWith(u'~') ? u'~' + name : u'~' + name.mid(1);
  return info.dir().filePath(name);
}

void TSaveReplace::Prepare() const {
  if (existed_) QFile::remove(work_);
}

void TSaveReplace::Discard() const {
  QFile::remove(work_);
}

bool TSaveReplace::Commit() const {
  if (work_ == target_) return true;
  // rename(2), not QFile::rename: it replaces the target atomically instead of refusing.
  return std::rename(QFile::encodeName(work_).constData(),
                     QFile::encodeName(target_).constData()) == 0;
}

std::string ShiftedDescriptor(std::string text, int first) {
  if (first == 0) return text;
  double mark = 0;
  if (!GetDescriptorFloat(text, "Timing", "Mark Frame", mark) || !std::isfinite(mark)) mark = 0;
  SetDescriptorFloat(text, "Timing", "Mark Frame", mark - first);
  double time = 0;
  if (!GetDescriptorFloat(text, "Timing", "Time at Mark Frame", time))
    SetDescriptorFloat(text, "Timing", "Time at Mark Frame", 0);
  return text;
}
