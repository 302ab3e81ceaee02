#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <memory>

#include "app/DatabaseFiles.h"

class QAction;
class QMenu;
class QSlider;
class QToolButton;
class QWindow;
class TAboutForm;
class TDefaultTitlesForm;
class TTitlesForm;
#include "display/ChildForm.h"
class THintFilter;
class TRegIniFile;
class TSingleInstance;

// The main window: tool bar, menus and, while clips are open, the master time controls. It
// owns the preference store, the child list, the active child and the open queue.
class TVarnelViewer : public QMainWindow {
  Q_OBJECT
 public:
  // instance: the single-instance server whose hand-overs feed the open queue (may be null).
  TVarnelViewer(TSingleInstance* instance, const QStringList& commandLineFiles,
                QWidget* parent = nullptr);
  ~TVarnelViewer() override;

  // State that tests and the later subsystems read.
  QString ProgramDirectory() const { return programDirectory_; }
  QString OpenDirectory() const { return openDirectory_; }
  QStringList& OpenQueue() { return openQueue_; }
  const QList<TChildForm*>& Children() const { return children_; }
  TChildForm* ActiveChild() const { return activeChild_; }
  TDatabases& Databases() { return databases_; }
  TRegIniFile* Registry() const { return registry_.get(); }
  TAboutForm* About() const { return about_; }
  // The descriptor editors, created with the main window and living as long as it.
  TTitlesForm* TitlesForm() const { return titlesForm_; }
  TDefaultTitlesForm* DefaultTitlesForm() const { return defaultTitlesForm_; }
  QTimer& Timer() { return timer_; }
  bool ShowHintsOn() const;

  void AddChild(TChildForm* child);
  void RemoveChild(TChildForm* child);
  // The application's active form changed to form.
  void ActiveFormChanged(QWidget* form);
  void ApplyControlRules();
  // Appends a second instance's list to the open queue, or only comes to the front.
  void TakeHandOver(const QStringList& files);
  // Appends dropped names; directories are refused with a message.
  void DropFiles(const QStringList& names);
  // Closes every child, last first; false when one refused.
  bool CloseAllChildren();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void createMenus();
  QAction* addItem(QMenu* menu, const char* name, const QString& caption);
  void createToolBar();
  QToolButton* addButton(const char* name, const QString& hint, int icon);
  void createTimePanel();
  void layoutToolBar();
  void readPreferences();
  void writePreferences();
  bool childrenAgreeToClose();
  void minimizeApplication();
  void restoreApplication();
  static QWidget* formOf(const QWindow* window);

  void OpenFramesClick();
  void CloseItemClick();
  void CloseAllItemClick();
  void ShowHintsClick();
  void DefaultTitlesItemClick();

  QString programDirectory_;
  QString openDirectory_;
  QString presentationFile_;
  int regFileAge_ = -1;
  std::unique_ptr<TRegIniFile> registry_;
  TDatabases databases_;
  QStringList openQueue_;
  QList<TChildForm*> children_;
  TChildForm* activeChild_ = nullptr;  // always one of children_, or null
  TAboutForm* about_ = nullptr;
  TTitlesForm* titlesForm_ = nullptr;
  TDefaultTitlesForm* defaultTitlesForm_ = nullptr;
  THintFilter* hints_ = nullptr;
  QTimer timer_;
  float masterStep_ = 1.0f;
  int speedTag_ = 67;

  QWidget* toolBarPanel_ = nullptr;
  QWidget* timePanel_ = nullptr;
  QList<QToolButton*> toolButtons_;
  QList<QPointer<QWidget>> minimizedForms_;  // minimised with the application, restored with it
};
