#include "platform/Browser.h"

#include <QDesktopServices>
#include <QUrl>

namespace browser {

namespace {
std::function<bool(const QString&, const QString&)>& opener() {
  static std::function<bool(const QString&, const QString&)> f;
  return f;
}
}  // namespace

bool OpenDocument(const QString& path, const QString& fragment) {
  if (opener()) return opener()(path, fragment);
  QUrl url = QUrl::fromLocalFile(path);
  if (!fragment.isEmpty()) url.setFragment(fragment);
  return QDesktopServices::openUrl(url);
}

void setOpenerForTesting(std::function<bool(const QString&, const QString&)> f) {
  opener() = std::move(f);
}

}  // namespace browser
