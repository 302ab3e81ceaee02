#include "platform/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <algorithm>

#include "platform/Screens.h"

namespace dialogs {

namespace {

std::unique_ptr<Backend>& installed() {
  static std::unique_ptr<Backend> b = std::make_unique<QtBackend>();
  return b;
}

QMessageBox::StandardButtons standardButtons(Buttons b) {
  switch (b) {
    case Buttons::OK:
      return QMessageBox::Ok;
    case Buttons::OKCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(Icon i) {
  switch (i) {
    case Icon::None:
      return QMessageBox::NoIcon;
    case Icon::Information:
      return QMessageBox::Information;
    case Icon::Warning:
      return QMessageBox::Warning;
    case Icon::Error:
      return QMessageBox::Critical;
    case Icon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// A box that sits in a corner of the work area instead of over its parent. Its size is known
// only once it is about to show, and it is placed before the platform maps it.
class CornerMessageBox : public QMessageBox {
 public:
  CornerMessageBox(const Message& m, QWidget* parent, QMessageBox::StandardButtons buttons)
      : QMessageBox(boxIcon(m.icon), m.caption, m.text, buttons, parent), corner_(m.corner) {}

 protected:
  void showEvent(QShowEvent* e) override {
    QMessageBox::showEvent(e);
    if (!corner_) return;
    const QWidget* anchor = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = anchor ? screens::monitorAt(anchor->frameGeometry().center()).workArea
                              : screens::monitors().front().workArea;
    const QSize size = frameGeometry().size();
    const bool right = *corner_ == Qt::TopRightCorner || *corner_ == Qt::BottomRightCorner;
    const bool bottom = *corner_ == Qt::BottomLeftCorner || *corner_ == Qt::BottomRightCorner;
    move(right ? area.x() + area.width() - size.width() : area.x(),
         bottom ? area.y() + area.height() - size.height() : area.y());
  }

 private:
  std::optional<Qt::Corner> corner_;
};

Answer firstButton(Buttons b) {
  return (b == Buttons::YesNo || b == Buttons::YesNoCancel) ? Answer::Yes : Answer::OK;
}

}  // namespace

Answer QtBackend::message(QWidget* parent, const Message& m) {
  CornerMessageBox box(m, parent, standardButtons(m.buttons));
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    default:
      return Answer::OK;
  }
}

FileAnswer QtBackend::openFiles(QWidget* parent, const FileRequest& r, bool multiple) {
  QFileDialog dlg(parent, r.caption, r.directory, r.filter);
  dlg.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  const QStringList filters = r.filter.split(QStringLiteral(";;"));
  if (r.filterIndex >= 0 && r.filterIndex < filters.size())
    dlg.selectNameFilter(filters[r.filterIndex]);
  if (dlg.exec() != QDialog::Accepted) return {};
  return {dlg.selectedFiles(), int(filters.indexOf(dlg.selectedNameFilter()))};
}

FileAnswer QtBackend::saveFile(QWidget* parent, const FileRequest& r) {
  QFileDialog dlg(parent, r.caption, r.directory, r.filter);
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setDefaultSuffix(r.defaultSuffix);
  const QStringList filters = r.filter.split(QStringLiteral(";;"));
  if (r.filterIndex >= 0 && r.filterIndex < filters.size())
    dlg.selectNameFilter(filters[r.filterIndex]);
  if (dlg.exec() != QDialog::Accepted) return {};
  return {dlg.selectedFiles(), int(filters.indexOf(dlg.selectedNameFilter()))};
}

QString QtBackend::directory(QWidget* parent, const QString& caption, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, caption, start);
}

std::optional<QColor> QtBackend::color(QWidget* parent, const QColor& initial) {
  const QColor c = QColorDialog::getColor(initial, parent);
  if (!c.isValid()) return std::nullopt;
  return c;
}

std::optional<QColor> QtBackend::colorWithCustom(QWidget* parent, const QColor& initial,
                                                 std::vector<QColor>& custom) {
  const int shown = std::min(int(custom.size()), QColorDialog::customCount());
  for (int i = 0; i < shown; ++i) QColorDialog::setCustomColor(i, custom[std::size_t(i)]);
  const QColor c = QColorDialog::getColor(initial, parent);
  if (!c.isValid()) return std::nullopt;
  for (int i = 0; i < shown; ++i) custom[std::size_t(i)] = QColorDialog::customColor(i);
  return c;
}

Answer ScriptedBackend::message(QWidget*, const Message& m) {
  shown.push_back(m);
  if (answers.empty()) return firstButton(m.buttons);
  const Answer a = answers.front();
  answers.pop_front();
  return a;
}

FileAnswer ScriptedBackend::openFiles(QWidget*, const FileRequest& r, bool) {
  fileRequests.push_back(r);
  if (files.empty()) return {};
  FileAnswer a = files.front();
  files.pop_front();
  return a;
}

FileAnswer ScriptedBackend::saveFile(QWidget* parent, const FileRequest& r) {
  return openFiles(parent, r, false);
}

QString ScriptedBackend::directory(QWidget*, const QString&, const QString&) {
  if (directories.empty()) return {};
  QString d = directories.front();
  directories.pop_front();
  return d;
}

std::optional<QColor> ScriptedBackend::color(QWidget*, const QColor& initial) {
  if (colors.empty()) return initial;
  auto c = colors.front();
  colors.pop_front();
  return c;
}

std::optional<QColor> ScriptedBackend::colorWithCustom(QWidget*, const QColor& initial,
                                                       std::vector<QColor>& custom) {
  customOffered.push_back(custom);
  if (customColors.empty()) return std::nullopt;
  custom = customColors.front();
  customColors.pop_front();
  return initial;
}

void ScriptedBackend::clear() {
  answers.clear();
  files.clear();
  directories.clear();
  colors.clear();
  customColors.clear();
  customOffered.clear();
  shown.clear();
  fileRequests.clear();
}

Backend& backend() {
  return *installed();
}

void install(std::unique_ptr<Backend> b) {
  installed() = std::move(b);
}

ScriptedBackend* scripted() {
  return dynamic_cast<ScriptedBackend*>(installed().get());
}

Answer show(QWidget* parent, const QString& text, const QString& caption, Buttons buttons,
            Icon icon) {
  return backend().message(parent, {text, caption, buttons, icon, {}});
}

void showError(QWidget* parent, const QString& text) {
  show(parent, text, QApplication::applicationName(), Buttons::OK, Icon::Error);
}

}  // namespace dialogs
