#include "display/SaveFlow.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace save_flow {

int DialogFilterIndex(int storedType, int typeCount) {
  return storedType >= 1 && storedType <= typeCount ? storedType - 1 : -1;
}

QString DialogFilter(const QStringList& typeFilters) {
  QStringList entries;
  for (const QString& row : typeFilters) {
    const qsizetype bar = row.indexOf(u'|');
    entries << (bar < 0 ? row : row.left(bar) + QStringLiteral(" (") + row.mid(bar + 1) + u')');
  }
  return entries.join(QStringLiteral(";;"));
}

int ChosenType(int answeredIndex, const QStringList& extensions, const QString& name) {
  if (answeredIndex >= 0 && answeredIndex < extensions.size()) return answeredIndex + 1;
  const QString suffix = QFileInfo(name).suffix();
  for (qsizetype i = 0; i < extensions.size(); ++i)
    if (!suffix.isEmpty() && extensions[i].compare(suffix, Qt::CaseInsensitive) == 0)
      return int(i) + 1;
  return 1;
}

QString RemoveExtension(const QString& name) {
  const qsizetype dot = name.lastIndexOf(u'.');
  return dot > name.lastIndexOf(u'/') ? name.left(dot) : name;
}

QString TargetPath(const QString& chosen, const QString& extension) {
  const QString base = RemoveExtension(chosen);
  return extension.isEmpty() ? base : base + u'.' + extension;
}

TOverwrite OverwriteCheck(const QString& chosen, const QString& description,
                          const QString& extension) {
  TOverwrite o;
  o.target = TargetPath(chosen, extension);
  const QFileInfo info(o.target);
  const QString name = info.fileName();
  if (extension.isEmpty()) {
    o.exists = info.isDir();
    o.question = QStringLiteral("Overwrite Images in ") + description + u' ' + name + u'?';
  } else {
    o.exists = info.exists() || info.isSymLink();
    o.question = QStringLiteral("Overwrite ") + description + u' ' + name + u'?';
  }
  o.caption = description + QStringLiteral(" Already Exists");
  return o;
}

QString RemainingText(int seconds) {
  if (seconds > 90)
    return QStringLiteral("Time Remaining %1:%2")
        .arg(seconds / 60)
        .arg(seconds % 60, 2, 10, QChar(u'0'));
  return QStringLiteral("%1 Seconds Remaining").arg(seconds);
}

void TSaveEstimate::Start(std::uint32_t now) {
  start_ = now;
  next_ = now + 5000;
}

std::optional<QString> TSaveEstimate::Report(int percent, std::uint32_t now) {
  if (percent <= 0) {
    Start(now);
    return std::nullopt;
  }
  // Differences of ticks, so that the counter wrapping round changes nothing.
  if (std::int32_t(now - next_) <= 5000) return std::nullopt;
  next_ = now + 5000;
  const int p = std::min(percent, 100);
  const std::int64_t elapsed = std::uint32_t(now - start_);
  return RemainingText(int(elapsed / 10 / p * (100 - p) / 100));
}

std::optional<TMessage> FailureMessage(HRESULT e, bool cancelled, bool directory,
                                       const QString& work) {
  if (e == AVIERR_OK || cancelled || e == AVIERR_USERABORT) return std::nullopt;
  const QString code = QStringLiteral("%1").arg(quint32(e), 8, 16, QChar(u'0')).toUpper();
  if (directory)
    return TMessage{QStringLiteral("Error Scattering files to ") + work +
                        QStringLiteral("\rError Code: ") + code,
                    QStringLiteral("Scatter/Save Failed")};
  return TMessage{QStringLiteral("Error creating file ") + work +
                      QStringLiteral("\rAVI Save Error Code: ") + code,
                  QStringLiteral("Save Failed")};
}

TMessage RenameMessage(const QString& work, const QString& target) {
  return {QStringLiteral("Could not Rename ") + work + QStringLiteral("\rto ") + target,
          QStringLiteral("Rename Failed")};
}

QString DialogTitle(const QString& clipName, int first, int last, int frameCount) {
  QString title = QStringLiteral("Save ") + clipName + QStringLiteral(" As");
  if (first > 0 || last < frameCount - 1)
    title += QStringLiteral(" (clip files: play loop frames %1 to %2 of %3)")
                 .arg(first)
                 .arg(last)
                 .arg(frameCount);
  return title;
}

}  // namespace save_flow
