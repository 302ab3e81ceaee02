#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

// Every message box, question and common dialog of the program goes through here, so that
// tests can queue the answers and read back what would have been shown.
namespace dialogs {

enum class Buttons { OK, OKCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Warning, Error, Question };
enum class Answer { OK, Cancel, Yes, No };

struct Message {
  QString text;
  QString caption;
  Buttons buttons = Buttons::OK;
  Icon icon = Icon::None;
  // A corner of the work area the box sits in; unset: over its parent.
  std::optional<Qt::Corner> corner;
};

struct FileRequest {
  QString caption;
  QString directory;
  QString filter;  // Qt filter string, entries separated by ";;"
  int filterIndex = 0;
  QString defaultSuffix;
};

// The result of a file dialog: empty names when cancelled.
struct FileAnswer {
  QStringList names;
  int filterIndex = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual Answer message(QWidget* parent, const Message& m) = 0;
  virtual FileAnswer openFiles(QWidget* parent, const FileRequest& r, bool multiple) = 0;
  virtual FileAnswer saveFile(QWidget* parent, const FileRequest& r) = 0;
  virtual QString directory(QWidget* parent, const QString& caption, const QString& start) = 0;
  virtual std::optional<QColor> color(QWidget* parent, const QColor& initial) = 0;
  // A colour dialog showing custom as its custom colours, which the user may redefine; on
  // confirmation custom holds them as left and the answer is the colour chosen. A backend
  // without custom colours answers like color() and leaves custom alone.
  virtual std::optional<QColor> colorWithCustom(QWidget* parent, const QColor& initial,
                                                std::vector<QColor>& custom) {
    (void)custom;
    return color(parent, initial);
  }
};

// The real dialogs, modal on the interface thread.
class QtBackend : public Backend {
 public:
  Answer message(QWidget* parent, const Message& m) override;
  FileAnswer openFiles(QWidget* parent, const FileRequest& r, bool multiple) override;
  FileAnswer saveFile(QWidget* parent, const FileRequest& r) override;
  QString directory(QWidget* parent, const QString& caption, const QString& start) override;
  std::optional<QColor> color(QWidget* parent, const QColor& initial) override;
  std::optional<QColor> colorWithCustom(QWidget* parent, const QColor& initial,
                                        std::vector<QColor>& custom) override;
};

// Answers from queues and records what was asked. An empty queue answers the first button
// (OK or Yes), cancels file dialogs and keeps the colour.
class ScriptedBackend : public Backend {
 public:
  Answer message(QWidget* parent, const Message& m) override;
  FileAnswer openFiles(QWidget* parent, const FileRequest& r, bool multiple) override;
  FileAnswer saveFile(QWidget* parent, const FileRequest& r) override;
  QString directory(QWidget* parent, const QString& caption, const QString& start) override;
  std::optional<QColor> color(QWidget* parent, const QColor& initial) override;
  // Records the custom colours offered; a queued answer replaces them, an empty queue cancels.
  std::optional<QColor> colorWithCustom(QWidget* parent, const QColor& initial,
                                        std::vector<QColor>& custom) override;

  std::deque<Answer> answers;
  std::deque<FileAnswer> files;
  std::deque<QString> directories;
  std::deque<std::optional<QColor>> colors;
  std::deque<std::vector<QColor>> customColors;
  std::vector<std::vector<QColor>> customOffered;

  std::vector<Message> shown;
  std::vector<FileRequest> fileRequests;
  void clear();
};

// The installed backend (the Qt one unless replaced).
Backend& backend();
void install(std::unique_ptr<Backend> b);
// The scripted backend when one is installed, else null.
ScriptedBackend* scripted();

Answer show(QWidget* parent, const QString& text, const QString& caption, Buttons buttons,
            Icon icon);
// An error box with the application's caption, as the top-level handler shows exceptions.
void showError(QWidget* parent, const QString& text);

}  // namespace dialogs
