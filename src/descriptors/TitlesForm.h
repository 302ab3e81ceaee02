#pragma once

#include <QDialog>
#include <QStringList>
#include <string>

#include "descriptors/TitleTemplates.h"

class QCheckBox;
class QPushButton;
class QTabWidget;
class QToolButton;
class QWidget;
class IDescriptorWindow;
class TEditNumeric;
class TRegIniFile;
class TTitleGrid;

// The descriptor editor of one clip: free titles, timing (frame rate, a mark frame and the time
// at it) and, read-only, the camera facts. One instance lives as long as the main window; it
// also parses every clip's descriptor text when the clip opens, which sets the clip's timing.
// The frame-rate field changes the edited window's timing live; Cancel restores it.
class TTitlesForm : public QDialog {
  Q_OBJECT
 public:
  explicit TTitlesForm(QWidget* parent = nullptr);
  ~TTitlesForm() override;

  // At main-window creation: placement, the own lists of the last row, then the handlers once.
  void InitTitleTemplates(const TRegIniFile* reg, TStringListList& lists);
  // Fills the form from the text and applies its timing to the edited window.
  void ParseDescriptor(TStringListList& lists, const std::string& text);
  // Modal edit of the window's text; true when the user confirmed a change, which then is in
  // text. window must stay alive during the call.
  bool EditDescriptors(const QString& caption, IDescriptorWindow* window, std::string& text,
                       TDatabases& db);
  void ComposeDescriptor(TStringListList& lists, std::string& text);
  // At main-window close.
  void SavePlacement(TRegIniFile* reg);

  // The window ParseDescriptor applies timing to. A window that goes away must forget itself.
  void SetEditedWindow(IDescriptorWindow* window) { window_ = window; }
  void ForgetWindow(IDescriptorWindow* window);
  IDescriptorWindow* EditedWindow() const { return window_; }
  bool Modified() const { return modified_; }

  // Component handlers, public so that a test can drive them as the components do.
  void FrameRateFldChange();
  void TimingLockedCBClick();
  void MarkFrameFldChange();
  void FirstSBClick(int step);
  void AddBtnClick();
  void InsertBtnClick();
  void RemoveBtnClick();
  void ApplyDefaultsBtnClick();
  void OKBtnClick();
  void PageControlChange(int page);

 private:
  void buildUi();
  QWidget* buildTimingPage();
  QWidget* buildControlsPanel();
  bool locate(const TStringListList& lists);
  void loadTiming(const QStringList& timing);
  void loadDefaultTiming();
  void titleCountChanged();
  double frameRate() const;
  int markFrame();
  double timeAtMark();
  void showMark(int mark);
  void showTime(double time);

  QTabWidget* pages_ = nullptr;
  TTitleGrid* titlesGrid_ = nullptr;
  TTitleGrid* recordingGrid_ = nullptr;
  QCheckBox* timingLocked_ = nullptr;
  TEditNumeric* frameRateFld_ = nullptr;
  TEditNumeric* markFrameFld_ = nullptr;
  TEditNumeric* timeFrameFld_ = nullptr;
  QToolButton* firstUp_ = nullptr;
  QWidget* controlsPanel_ = nullptr;
  QPushButton* removeBtn_ = nullptr;
  QPushButton* applyDefaultsBtn_ = nullptr;

  IDescriptorWindow* window_ = nullptr;
  TTitleLists lists_;
  QStringList working_;  // the titles being edited
  TDatabases* db_ = nullptr;
  bool modified_ = false;
  // The last mark frame and time that were not blank: an emptied field reads as its blank value
  // (10000000), which must not become the mark frame or shift the timing by 10000 s.
  int lastMark_ = 0;
  double lastTime_ = 0;
  bool loading_ = false;  // fields are being filled: their handlers wait
  bool inFrameRate_ = false;
  bool inMarkFrame_ = false;
  int page_ = 0;
  bool pageGuard_ = false;
};
