#pragma once

#include <QString>
#include <functional>

// Opens a local document (the help pages) in the desktop's browser. Tests replace the opener.
namespace browser {

bool OpenDocument(const QString& path, const QString& fragment = QString());
void setOpenerForTesting(std::function<bool(const QString& path, const QString& fragment)> f);

}  // namespace browser
