#include "app/Help.h"

#include "platform/Browser.h"

namespace help {

QString HelpFolder(const QString& programDirectory) {
  return programDirectory + QStringLiteral("Lumtool/");
}

bool ShowContents(const QString& programDirectory) {
  return browser::OpenDocument(HelpFolder(programDirectory) + QStringLiteral("index.html"));
}

bool ShowTopic(const QString& programDirectory, const QString& topic) {
  QString page = topic;
  if (page.startsWith(QStringLiteral("::/"))) page = page.mid(3);
  return browser::OpenDocument(HelpFolder(programDirectory) + page);
}

}  // namespace help
