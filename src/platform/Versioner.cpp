#include "platform/Versioner.h"

#include "platform/BuildInfo.h"

TVersioner::TVersioner() : translation_(QStringLiteral("040904E4")) {}

QString TVersioner::Value(const QString& name) const {
  QString key = name;
  const QString prefix = QStringLiteral("\\StringFileInfo\\") + translation_ + u'\\';
  if (key.startsWith(prefix, Qt::CaseInsensitive)) key = key.mid(prefix.size());
  if (key == u"FileVersion" || key == u"ProductVersion") return QStringLiteral(LUMETRA_VERSION);
  if (key == u"SpecialBuild") return QStringLiteral(LUMETRA_SPECIAL_BUILD);
  if (key == u"ProductName" || key == u"FileDescription") return QStringLiteral("Lumetra");
  if (key == u"CompanyName") return QStringLiteral("Orvanta");
  if (key == u"LegalCopyright")
    return QStringLiteral("Copyright \u00A9 2026 Orvanta. All rights reserved.");
  return {};
}
