#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "app/DatabaseFiles.h"
#include "app/GraphLink.h"
#include "app/MasterTimeline.h"
#include "app/OpenQueue.h"
#include "platform/Dialogs.h"

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
class TTimePanel;

// The main window: tool bar, menus and, while clips are open, the master time controls. It
// owns the preference store, the child list, the active child, the open queue and the master
// timeline, whose timer opens queued files and drives every clip window.
class TVarnelViewer : public QMainWindow, private ITimelineHost, private IOpenTarget {
  Q_OBJECT
 public:
  // What a display window is made from; the factory returns the window (owned by its owner)
  // or raises when the clip cannot be opened.
  struct TDisplayRequest {
    QWidget* owner = nullptr;
    TChildForm::TNotifyEvent onOpened;
    TChildShared shared;
    QString fileName;
    QString caption;
    QString section;  // registry section of the clip stream
  };
  using TDisplayFactory = std::function<TChildForm*(const TDisplayRequest&)>;
  // Takes the signal files of one run of the open queue.
  using TSignalOpener = std::function<void(const QStringList&)>;

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
  TMasterTimeline& Timeline() { return timeline_; }
  QString CurrentFileName() const { return currentFile_; }
  // The master timer's tick, at the platform tick count.
  void MasterTimer();
  void SetDisplayFactory(TDisplayFactory factory) { displayFactory_ = std::move(factory); }
  void SetSignalOpener(TSignalOpener opener) { signalOpener_ = std::move(opener); }
  // The signal information dialog and the global graph window.
  TGraphLink& GraphLink() { return *graphLink_; }
  bool ShowHintsOn() const;
  // The preference that limits the decoded pictures of all open clips together.
  int FrameCacheMb() const { return frameCacheMb_; }

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
  // Where clip windows without a stored position cascade from: below the main window.
  QPoint CascadeOrigin() const;
  // Puts a clip window without a stored position at the next free cascade slot, each window
  // already shown taking one.
  void PlaceNewChild(TChildForm* child);

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
  int windowHeight(int clientHeight) const;
  void runTick();
  void showDeferredNotices();
  dialogs::Message notice(const QString& text) const;
  void readPreferences();
  void writePreferences();
  bool childrenAgreeToClose();
  void minimizeApplication();
  void restoreApplication();
  static QWidget* formOf(const QWindow* window);
  void hurryTick();
  void childOpened(TChildForm* child);

  // ITimelineHost (VarnelViewerHost.cpp)
  int ChildCount() const override { return int(children_.size()); }
  TChildForm* Child(int index) const override { return children_[index]; }
  void DropChild(TChildForm* child) override;
  bool OpenQueued() override;
  bool LocalPlaybackRuns(TChildForm* child) override;
  void StopLocalPlayback(TChildForm* child) override;
  // The link even without a graph window: it keeps the master step for the window to come.
  ITimelineGraph* Graph() override { return graphLink_.get(); }
  bool MainWindowActive() const override;
  bool HasActiveChild() const override { return activeChild_ != nullptr; }
  void FlashActiveChild() override;
  void ActivateLastChild() override;
  void RangeApplied(bool anyDisplay) override;
  // IOpenTarget
  void Taken(const QString& name) override;
  bool Shown(const QString& name) const override;
  void OpenClip(const QString& name, const QString& section) override;
  void OpenSignals(const QStringList& names) override;
  void Inform(const QString& text) override;

  void OpenFramesClick();
  void CloseItemClick();
  void CloseAllItemClick();
  void ShowHintsClick();
  void DefaultTitlesItemClick();

  QString programDirectory_;
  QString openDirectory_;
  QString presentationFile_;
  int regFileAge_ = -1;
  int frameCacheMb_ = 0;
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
  TMasterTimeline timeline_{*this};
  QString currentFile_;
  TDisplayFactory displayFactory_;
  TSignalOpener signalOpener_;
  std::vector<dialogs::Message> deferredNotices_;  // shown at the end of the tick raising them

  QWidget* toolBarPanel_ = nullptr;
  TTimePanel* timePanel_ = nullptr;
  QList<QToolButton*> toolButtons_;
  QList<QPointer<QWidget>> minimizedForms_;  // minimised with the application, restored with it
  std::unique_ptr<TGraphLink> graphLink_;    // after the registry: its windows save into it
};
