#include "app/TimePanel.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/MasterTimeline.h"

namespace {
constexpr int kButtonSize = 25;
constexpr int kButtonsHeight = 27;
constexpr int kBarHeight = 26;
}  // namespace

TTimePanel::TTimePanel(TMasterTimeline& timeline, QWidget* parent)
    : QWidget(parent), timeline_(timeline) {
  setObjectName(QStringLiteral("TimePanel"));
  auto* rows = new QVBoxLayout(this);
  rows->setContentsMargins(5, 0, 5, 2);
  rows->setSpacing(0);
  addButtons();
  addBar();
  buildPopupMenu();
  setFixedHeight(kButtonsHeight + kBarHeight + 2);
  setFixedWidth(8 * kButtonSize + 10);
  Sync();
}

void TTimePanel::run(void (TMasterTimeline::*command)()) {
  (timeline_.*command)();
  Sync();
  if (OnCommand) OnCommand();
}

void TTimePanel::addButtons() {
  auto* row = new QHBoxLayout;
  row->setSpacing(0);
  const struct {
    const char* name;
    const char* hint;
    QStyle::StandardPixmap icon;
    void (TMasterTimeline::*command)();
  } kButtons[] = {
      {"RepeatSB", "Repeating Play", QStyle::SP_BrowserReload, &TMasterTimeline::PressRepeat},
      {"PlaySB", "Play", QStyle::SP_MediaPlay, &TMasterTimeline::PressPlay},
      {"StopSB", "Stop", QStyle::SP_MediaStop, &TMasterTimeline::Stop},
      {"TZeroSB", "Stop at Time Zero", QStyle::SP_MediaPause, &TMasterTimeline::StopAtTimeZero},
      {"EndSB", "Jump to End", QStyle::SP_MediaSkipForward, &TMasterTimeline::JumpToEnd},
      {"StartSB", "Jump to Start", QStyle::SP_MediaSkipBackward, &TMasterTimeline::JumpToStart},
      {"StepSB", "Step Forward", QStyle::SP_MediaSeekForward, &TMasterTimeline::StepForward},
      {"BackSB", "Step Backward", QStyle::SP_MediaSeekBackward, &TMasterTimeline::StepBackward},
  };
  for (const auto& spec : kButtons) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(spec.name));
    b->setToolTip(QString::fromLatin1(spec.hint));
    b->setIcon(style()->standardIcon(spec.icon));
    b->setAutoRaise(true);
    b->setFixedSize(kButtonSize, kButtonSize);
    connect(b, &QToolButton::clicked, this, [this, command = spec.command] { run(command); });
    row->addWidget(b);
  }
  play_ = findChild<QToolButton*>(QStringLiteral("PlaySB"));
  repeat_ = findChild<QToolButton*>(QStringLiteral("RepeatSB"));
  // Latching, but the timeline decides which stays down; Sync shows it.
  play_->setCheckable(true);
  repeat_->setCheckable(true);
  row->addStretch();
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void TTimePanel::addBar() {
  bar_ = new QSlider(Qt::Horizontal, this);
  bar_->setObjectName(QStringLiteral("TimeBar"));
  bar_->setToolTip(QStringLiteral("Master Time"));
  bar_->setTickPosition(QSlider::TicksBelow);
  bar_->setFixedHeight(kBarHeight);
  connect(bar_, &QSlider::valueChanged, this, [this](int position) {
    timeline_.TimeBarChange(position);
    Sync();
    if (OnCommand) OnCommand();
  });
  layout()->addWidget(bar_);
}

void TTimePanel::buildPopupMenu() {
  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("TimeControlsPM"));
  QMenu* speed = popup_->addMenu(QStringLiteral("&Playback Speed"));
  speeds_ = new QActionGroup(this);
  const struct {
    const char* name;
    const char* caption;
    int tag;
  } kSpeeds[] = {{"N181", "1/8", 533},
                 {"N141", "1/4", 267},
                 {"N121", "1/2", 133},
                 {"x11", "x1", TMasterTimeline::kSpeedX1},
                 {"x21", "x2", 33}};
  for (const auto& s : kSpeeds) {
    QAction* item = speed->addAction(QString::fromLatin1(s.caption));
    item->setObjectName(QString::fromLatin1(s.name));
    item->setCheckable(true);
    item->setData(s.tag);
    speeds_->addAction(item);
    connect(item, &QAction::triggered, this, [this, tag = s.tag] {
      timeline_.SetSpeed(tag);
      Sync();
    });
  }
  const struct {
    const char* name;
    const char* caption;
    const char* hint;
    void (TMasterTimeline::*command)();
  } kLoopItems[] = {
      {"SetPlayLoopStart1", "Set Play Loop &Start",
       "Current frame set as Start for repeating playback ", &TMasterTimeline::SetLoopStart},
      {"SetPlayLoopEnd1", "Set Play Loop &End", "Current frame set as End for repeating playback ",
       &TMasterTimeline::SetLoopEnd},
      {"NullPlayLoop1", "Set F&ull Play Loop", "", &TMasterTimeline::SetFullLoop},
  };
  for (const auto& l : kLoopItems) {
    QAction* item = popup_->addAction(QString::fromLatin1(l.caption));
    item->setObjectName(QString::fromLatin1(l.name));
    item->setToolTip(QString::fromLatin1(l.hint));
    connect(item, &QAction::triggered, this, [this, command = l.command] { run(command); });
  }
  popup_->setToolTipsVisible(true);
}

void TTimePanel::Sync() {
  play_->setChecked(timeline_.PlayDown());
  repeat_->setChecked(timeline_.RepeatDown());
  const TTimeBarState& s = timeline_.Bar();
  const QSignalBlocker quiet(bar_);  // the timeline moving its bar is no user's move
  bar_->setRange(0, s.maximum);
  bar_->setTickInterval(s.tickFrequency);
  bar_->setValue(s.position);
  for (QAction* item : speeds_->actions())
    if (item->data().toInt() == timeline_.SpeedTag()) item->setChecked(true);
}

void TTimePanel::contextMenuEvent(QContextMenuEvent* e) {
  popup_->popup(e->globalPos());
}
