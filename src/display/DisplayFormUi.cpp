// The display window's components: paint box, legend, video controls and context menu.

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "display/DisplayForm.h"

namespace {

constexpr int kLegendHeight = 28;
constexpr int kControlsHeight = 50;
constexpr int kButtonSize = 24;

QWidget* namedPanel(QWidget* parent, const char* name) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(QString::fromLatin1(name));
  return panel;
}

QLabel* namedLabel(QWidget* parent, const char* name, const QString& text = {}) {
  auto* label = new QLabel(text, parent);
  if (name) label->setObjectName(QString::fromLatin1(name));
  return label;
}

}  // namespace

void TDisplayForm::buildUi() {
  setToolTip(QStringLiteral("Right-Click for Settings"));
  if (windowIcon().isNull()) setWindowIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->setSizeConstraint(QLayout::SetFixedSize);
  paintBox_ = new TPaintBox(this);
  paintBox_->setObjectName(QStringLiteral("PaintBox"));
  paintBox_->SetImage(&image_);
  paintBox_->Mapping = [this] { return Mapping(); };
  paintBox_->OnPaint = [this](QPainter& painter) { paintMeasureOverlay(painter); };
  column->addWidget(paintBox_, 0, Qt::AlignHCenter);

  legendPanel_ = namedPanel(this, "LegendPanel");
  legendPanel_->setFixedHeight(kLegendHeight);
  buildLegend(legendPanel_);
  column->addWidget(legendPanel_);

  controlsPanel_ = namedPanel(this, "ControlsPanel");
  controlsPanel_->setFixedHeight(kControlsHeight);
  auto* controls = new QVBoxLayout(controlsPanel_);
  controls->setContentsMargins(0, 0, 0, 0);
  controls->setSpacing(0);
  toolBar_ = namedPanel(controlsPanel_, "ToolBar");
  buildToolBar(toolBar_);
  controls->addWidget(toolBar_);
  frameBar_ = new TFrameBar(controlsPanel_);
  frameBar_->setObjectName(QStringLiteral("FrameBar"));
  frameBar_->setToolTip(QStringLiteral("Drag-Select Frame"));
  frameBar_->OnSelect = [this](int first, int last) { FrameBarSelect(first, last); };
  connect(frameBar_, &QSlider::valueChanged, this, &TDisplayForm::FrameBarChange);
  controls->addWidget(frameBar_);
  column->addWidget(controlsPanel_);
  column->addWidget(buildSavePanel());

  playTimer_ = new QTimer(this);
  playTimer_->setObjectName(QStringLiteral("PlayTimer"));
  playTimer_->setInterval(TLocalPlayback::kDefaultInterval);
  connect(playTimer_, &QTimer::timeout, this, &TDisplayForm::PlayTimerTimer);
  buildPopupMenu();
  setFocusPolicy(Qt::StrongFocus);
  installInputFilters();
  layoutPanels();
}

// The legend's panels are placed by the layout (centred or at the edges), not by a box layout.
// Their labels keep room for the widest text they show, so the window does not change width
// as the numbers change.
void TDisplayForm::buildLegend(QWidget* panel) {
  const auto roomFor = [](QLabel* label, const char* widest) {
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QString::fromLatin1(widest)));
    return label;
  };
  framePanel_ = namedPanel(panel, "FramePanel");
  framePanel_->setToolTip(QStringLiteral("Frame Number"));
  auto* frame = new QHBoxLayout(framePanel_);
  frame->setContentsMargins(4, 0, 4, 0);
  frame->addWidget(namedLabel(framePanel_, nullptr, QStringLiteral("fr#")));
  frame->addWidget(frameLabel_ = roomFor(namedLabel(framePanel_, "FrameLabel"), "0000000"));
  reticlePanel_ = namedPanel(panel, "ReticlePanel");
  reticlePanel_->setToolTip(QStringLiteral("Reticle Position"));
  auto* reticle = new QHBoxLayout(reticlePanel_);
  reticle->setContentsMargins(4, 0, 4, 0);
  reticle->addWidget(namedLabel(reticlePanel_, nullptr, QStringLiteral("x")));
  reticle->addWidget(reticleX_ = roomFor(namedLabel(reticlePanel_, "ReticleX"), "-0000.0"));
  reticle->addWidget(namedLabel(reticlePanel_, nullptr, QStringLiteral("y")));
  reticle->addWidget(reticleY_ = roomFor(namedLabel(reticlePanel_, "ReticleY"), "-0000.0"));
  timePanel_ = namedPanel(panel, "TimePanel");
  auto* time = new QHBoxLayout(timePanel_);
  time->setContentsMargins(4, 0, 4, 0);
  time->addWidget(timeLabel_ = roomFor(namedLabel(timePanel_, "TimeLabel"), "-00000.000"));
  time->addWidget(timeUnits_ = namedLabel(timePanel_, "TimeUnitsLB"));
}

QToolButton* TDisplayForm::addButton(QWidget* bar, const char* name, const QString& hint,
                                     int icon) {
  auto* button = new QToolButton(bar);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(hint);
  button->setAutoRaise(true);
  button->setIcon(style()->standardIcon(QStyle::StandardPixmap(icon)));
  button->setFixedSize(kButtonSize, kButtonSize);
  bar->layout()->addWidget(button);
  return button;
}

void TDisplayForm::buildToolBar(QWidget* bar) {
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);  // the layout gives each of the nine buttons a ninth of the width
  repeatPlayBtn_ =
      addButton(bar, "RepeatPlayBtn", QStringLiteral("Looping Playback"), QStyle::SP_BrowserReload);
  playBtn_ = addButton(bar, "PlayBtn", QStringLiteral("Play"), QStyle::SP_MediaPlay);
  // Grouped: pressing one releases the other, and both may be up.
  for (QToolButton* toggle : {repeatPlayBtn_, playBtn_}) toggle->setCheckable(true);
  connect(repeatPlayBtn_, &QToolButton::clicked, this, [this] {
    if (repeatPlayBtn_->isChecked()) playBtn_->setChecked(false);
    RepeatPlayBtnClick();
  });
  connect(playBtn_, &QToolButton::clicked, this, [this] {
    if (playBtn_->isChecked()) repeatPlayBtn_->setChecked(false);
    PlayBtnClick();
  });
  const struct {
    const char* name;
    const char* hint;
    QStyle::StandardPixmap icon;
    void (TDisplayForm::*click)();
  } buttons[] = {
      {"StopBtn", "Stop", QStyle::SP_MediaStop, &TDisplayForm::StopBtnClick},
      {"TZeroBtn", "Position Time Zero", QStyle::SP_MediaSeekBackward,
       &TDisplayForm::TZeroBtnClick},
      {"EndBtn", "End of Clip", QStyle::SP_MediaSkipForward, &TDisplayForm::EndBtnClick},
      {"BegBtn", "Start of Clip", QStyle::SP_MediaSkipBackward, &TDisplayForm::BegBtnClick},
      {"FwdBtn", "Forward one Frame", QStyle::SP_ArrowRight, &TDisplayForm::FwdBtnClick},
      {"BckBtn", "Backward one Frame", QStyle::SP_ArrowLeft, &TDisplayForm::BckBtnClick},
      {"GraphBtn", "Signal Graph for Clip", QStyle::SP_FileDialogInfoView,
       &TDisplayForm::OpenSignalGraph},
  };
  for (const auto& b : buttons) {
    QToolButton* button = addButton(bar, b.name, QString::fromLatin1(b.hint), b.icon);
    connect(button, &QToolButton::clicked, this, b.click);
    if (b.click == &TDisplayForm::OpenSignalGraph) graphBtn_ = button;
  }
  row->addStretch();
}

QAction* TDisplayForm::addItem(QMenu* menu, const char* name, const QString& caption, int tag) {
  auto* item = new QAction(caption, this);
  item->setObjectName(QString::fromLatin1(name));
  if (tag) item->setData(tag);
  menu->addAction(item);
  return item;
}

void TDisplayForm::buildPopupMenu() {
  popupMenu_ = new QMenu(this);
  popupMenu_->setObjectName(QStringLiteral("DisplayPopupMenu"));
  popupMenu_->setToolTipsVisible(true);
  QMenu* copy = popupMenu_->addMenu(QStringLiteral("&Copy to Clipboard"));
  copy->setObjectName(QStringLiteral("CopyItem"));
  copy->menuAction()->setToolTip(QStringLiteral("copy original frame to clipboard"));
  QAction* image = addItem(copy, "CopyImageItem", QStringLiteral("Image and Data Border"));
  image->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  connect(image, &QAction::triggered, this, &TDisplayForm::CopyImageItemClick);
  QAction* full = addItem(copy, "CopyFrameItem", QStringLiteral("Full Resolution Frame"));
  full->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  connect(full, &QAction::triggered, this, &TDisplayForm::CopyFrameToClipboard);
  graphItem_ = addItem(popupMenu_, "SignalGraphItem", QStringLiteral("Signal &Graphing..."));
  connect(graphItem_, &QAction::triggered, this, &TDisplayForm::OpenSignalGraph);
  measureItem_ = addItem(popupMenu_, "QuickMeasureItem", QStringLiteral("&Quick Measure..."));
  connect(measureItem_, &QAction::triggered, this, &TDisplayForm::OpenQuickMeasure);
  popupMenu_->addSeparator();
  QAction* titles = addItem(popupMenu_, "TitlesItem", QStringLiteral("Timing and Titles..."));
  titles->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  connect(titles, &QAction::triggered, this, &TDisplayForm::EditDescriptors);
  QAction* zoom = addItem(popupMenu_, "ZoomItem", QStringLiteral("Size and Zoom..."));
  zoom->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  zoom->setToolTip(QStringLiteral("Frame Magnification and Zoom Controls"));
  connect(zoom, &QAction::triggered, this, &TDisplayForm::SizeAndZoomClick);
  popupMenu_->addSeparator();
  frameCounterItem_ = addItem(popupMenu_, "FrameCounterItem", QStringLiteral("Fra&me Counter"), 8);
  timeCounterItem_ = addItem(popupMenu_, "TimeCounterItem", QStringLiteral("&Time Counter"), 16);
  reticleItem_ = addItem(popupMenu_, "ReticleItem", QStringLiteral("&Reticle Position"), 32);
  controlsItem_ = addItem(popupMenu_, "VideoControlsItem", QStringLiteral("&Video Controls"), 64);
  for (QAction* item : {frameCounterItem_, timeCounterItem_, reticleItem_, controlsItem_}) {
    item->setCheckable(true);
    connect(item, &QAction::toggled, this, [this] { layoutPanels(); });
  }
  buildPlaybackItems();
  addActions({image, full, titles, zoom});  // their shortcuts work while the menu is closed
}

void TDisplayForm::buildPlaybackItems() {
  playbackSeparator_ = popupMenu_->addSeparator();
  QMenu* speed = popupMenu_->addMenu(QStringLiteral("&Playback Speed"));
  speed->setObjectName(QStringLiteral("PlaybackSpeedItem"));
  speedGroup_ = new QActionGroup(this);
  const char* const names[] = {"1/8", "1/4", "1/2", "x1", "x2", "x4", "x8"};
  int tag = 512;
  for (const char* name : names) {
    QAction* item = addItem(speed, "", QString::fromLatin1(name), tag);
    item->setObjectName(QStringLiteral("Speed%1").arg(tag));
    item->setCheckable(true);
    item->setChecked(tag == 4096);
    speedGroup_->addAction(item);
    connect(item, &QAction::triggered, this, [this, tag] { SpeedItemClick(tag); });
    tag *= 2;
  }
  QAction* start = addItem(popupMenu_, "LoopStartItem", QStringLiteral("Set Play Loop &Start"));
  start->setToolTip(QStringLiteral("Current frame set as Start for repeating playback "));
  connect(start, &QAction::triggered, this, &TDisplayForm::SetLoopStartClick);
  QAction* end = addItem(popupMenu_, "LoopEndItem", QStringLiteral("Set Play Loop &End"));
  end->setToolTip(QStringLiteral("Current frame set as End for repeating playback "));
  connect(end, &QAction::triggered, this, &TDisplayForm::SetLoopEndClick);
  QAction* full = addItem(popupMenu_, "FullLoopItem", QStringLiteral("Set F&ull Play Loop"));
  connect(full, &QAction::triggered, this, &TDisplayForm::FullLoopClick);
  playbackItems_ = {playbackSeparator_, speed->menuAction(), start, end, full};
}

// Which panels show, then the layout around them. While a save runs the window shows the image
// and the save panel alone, and the context menu stays shut.
void TDisplayForm::layoutPanels() {
  const bool saving = Saving || savePanelShown();
  framePanel_->setVisible(frameCounterItem_->isChecked());
  timePanel_->setVisible(timeCounterItem_->isChecked());
  reticlePanel_->setVisible(reticleItem_->isChecked());
  legendPanel_->setVisible(!saving && (frameCounterItem_->isChecked() ||
                                       timeCounterItem_->isChecked() || reticleItem_->isChecked()));
  if (!opened_ && controlsItem_->isChecked()) {
    stopLocal();
    controlsItem_->setChecked(false);
  }
  controlsItem_->setVisible(opened_);
  controlsPanel_->setVisible(!saving && controlsItem_->isChecked());
  for (QAction* item : playbackItems_) item->setVisible(controlsItem_->isChecked());
  paintBox_->setCursor(reticlePanel_->isVisibleTo(this) ? Qt::CrossCursor : Qt::ArrowCursor);
  Layout();
}

void TDisplayForm::contextMenuEvent(QContextMenuEvent* e) {
  if (Saving || savePanelShown()) return;
  popupPoint_ = e->globalPos();
  popupMenu_->popup(e->globalPos());
}
