#pragma once

#include <QWidget>
#include <functional>

class QActionGroup;
class QMenu;
class QSlider;
class QToolButton;
class TMasterTimeline;

// The main window's time controls: play, repeat, stop, jumps and steps, the master time bar and
// its pop-up menu of playback speeds and play loop. Every control only changes the timeline;
// Sync shows the timeline's state again without counting as a user's move.
class TTimePanel : public QWidget {
  Q_OBJECT
 public:
  TTimePanel(TMasterTimeline& timeline, QWidget* parent = nullptr);

  void Sync();
  QMenu* PopupMenu() const { return popup_; }
  // Called after every command.
  std::function<void()> OnCommand;

 protected:
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void addButtons();
  void addBar();
  void buildPopupMenu();
  void run(void (TMasterTimeline::*command)());

  TMasterTimeline& timeline_;
  QToolButton* play_ = nullptr;
  QToolButton* repeat_ = nullptr;
  QSlider* bar_ = nullptr;
  QMenu* popup_ = nullptr;
  QActionGroup* speeds_ = nullptr;
};
