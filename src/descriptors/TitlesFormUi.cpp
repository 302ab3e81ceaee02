// Building the descriptor editor's components.
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "descriptors/TitleGrid.h"
#include "descriptors/TitlesForm.h"
#include "textio/NumEdit.h"

namespace {

constexpr int kDesignWidth = 420;
constexpr int kDesignHeight = 330;
constexpr int kBlankField = 10000000;

template <typename T>
T* named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QPushButton* button(const char* name, const QString& caption, const QString& hint) {
  auto* b = named(new QPushButton(caption), name);
  b->setToolTip(hint);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

void TTitlesForm::buildUi() {
  setObjectName(QStringLiteral("TitlesForm"));
  setWindowTitle(QStringLiteral("MAV File Descriptors"));
  pages_ = named(new QTabWidget, "PageControl");
  titlesGrid_ = named(new TTitleGrid(TTitleGrid::Look::Titles), "TitlesGrid");
  recordingGrid_ = named(new TTitleGrid(TTitleGrid::Look::Titles), "RecordingGrid");
  recordingGrid_->SetReadOnly(true);
  recordingGrid_->SetValueMargin(0);
  pages_->addTab(titlesGrid_, QStringLiteral("Titles"));
  pages_->addTab(buildTimingPage(), QStringLiteral("Timing"));
  pages_->addTab(recordingGrid_, QStringLiteral("Camera"));

  auto* ok = named(new QPushButton(QStringLiteral("OK")), "OKBtn");
  ok->setDefault(true);
  auto* cancel = named(new QPushButton(QStringLiteral("Cancel")), "CancelBtn");
  cancel->setAutoDefault(false);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(buildControlsPanel());
  bottom->addStretch();
  bottom->addWidget(ok);
  bottom->addWidget(cancel);
  auto* column = new QVBoxLayout(this);
  column->addWidget(pages_);
  column->addLayout(bottom);

  connect(ok, &QPushButton::clicked, this, &TTitlesForm::OKBtnClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(pages_, &QTabWidget::currentChanged, this, &TTitlesForm::PageControlChange);
  connect(titlesGrid_, &TTitleGrid::Edited, this, [this] { modified_ = true; });
  connect(titlesGrid_, &TTitleGrid::CountChanged, this, &TTitlesForm::titleCountChanged);
  resize(kDesignWidth, kDesignHeight);
  // The form never becomes narrower than it was made.
  setMinimumWidth(kDesignWidth);
}

QWidget* TTitlesForm::buildTimingPage() {
  auto* page = named(new QWidget, "TimingSheet");
  timingLocked_ = named(new QCheckBox(QStringLiteral("Timing Locked")), "TimingLockedCB");
  timingLocked_->setChecked(true);

  frameRateFld_ = named(new TEditNumeric, "FrameRateFld");
  frameRateFld_->SetFloatingPoint(true);
  frameRateFld_->SetFormating(TFloatFormat::General);
  frameRateFld_->SetPrecision(8);
  frameRateFld_->SetDigits(4);

  markFrameFld_ = named(new TEditNumeric, "MarkFrameFld");
  markFrameFld_->SetBlankValue(kBlankField);

  timeFrameFld_ = named(new TEditNumeric, "TimeFrameFld");
  timeFrameFld_->SetFloatingPoint(true);
  timeFrameFld_->SetFormating(TFloatFormat::Fixed);
  timeFrameFld_->SetPrecision(7);
  timeFrameFld_->SetDigits(4);
  timeFrameFld_->SetBlankValue(kBlankField);

  auto* spin = named(new QWidget, "FirstSB");
  auto* arrows = new QVBoxLayout(spin);
  arrows->setContentsMargins(0, 0, 0, 0);
  arrows->setSpacing(0);
  firstUp_ = new QToolButton;
  firstUp_->setArrowType(Qt::UpArrow);
  auto* down = new QToolButton;
  down->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {firstUp_, down}) {
    b->setFixedSize(17, 11);
    arrows->addWidget(b);
  }

  auto* grid = new QGridLayout(page);
  grid->addWidget(timingLocked_, 0, 0, 1, 4);
  grid->addWidget(new QLabel(QStringLiteral("Frame Rate")), 1, 0);
  grid->addWidget(frameRateFld_, 1, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("frames/second")), 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Time at Frame")), 2, 0);
  grid->addWidget(markFrameFld_, 2, 1);
  grid->addWidget(spin, 2, 2);
  grid->addWidget(new QLabel(QStringLiteral("is")), 3, 0, Qt::AlignRight);
  grid->addWidget(timeFrameFld_, 3, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("ms")), 3, 3);
  grid->setRowStretch(4, 1);
  grid->setColumnStretch(4, 1);

  connect(frameRateFld_, &TEditNumeric::Change, this, &TTitlesForm::FrameRateFldChange);
  // Leaving the time field applies it; a hidden form is not being left by the user.
  // A field left empty shows the value it keeps standing for.
  connect(timeFrameFld_, &QLineEdit::editingFinished, this, [this] {
    if (timeFrameFld_->IsBlank()) showTime(lastTime_);
    if (isVisible()) FrameRateFldChange();
  });
  connect(markFrameFld_, &QLineEdit::editingFinished, this, [this] {
    if (markFrameFld_->IsBlank()) showMark(lastMark_);
  });
  connect(markFrameFld_, &TEditNumeric::Change, this, &TTitlesForm::MarkFrameFldChange);
  connect(timingLocked_, &QCheckBox::clicked, this, &TTitlesForm::TimingLockedCBClick);
  connect(firstUp_, &QToolButton::clicked, this, [this] { FirstSBClick(1); });
  connect(down, &QToolButton::clicked, this, [this] { FirstSBClick(-1); });
  return page;
}

QWidget* TTitlesForm::buildControlsPanel() {
  controlsPanel_ = named(new QWidget, "TitleControlsPanel");
  auto* row = new QHBoxLayout(controlsPanel_);
  row->setContentsMargins(0, 0, 0, 0);
  auto* add = button("AddBtn", QStringLiteral("Add"), QStringLiteral("Add New Title at End"));
  auto* insert = button("InsertBtn", QStringLiteral("Insert"), QStringLiteral("Insert New Title"));
  removeBtn_ = button("RemoveBtn", QStringLiteral("Del"), QStringLiteral("Remove Title"));
  applyDefaultsBtn_ = button("ApplyDefaultsBtn", QStringLiteral("Default"),
                             QStringLiteral("Merge in Default Titles"));
  for (QPushButton* b : {add, insert, removeBtn_, applyDefaultsBtn_}) row->addWidget(b);
  connect(add, &QPushButton::clicked, this, &TTitlesForm::AddBtnClick);
  connect(insert, &QPushButton::clicked, this, &TTitlesForm::InsertBtnClick);
  connect(removeBtn_, &QPushButton::clicked, this, &TTitlesForm::RemoveBtnClick);
  connect(applyDefaultsBtn_, &QPushButton::clicked, this, &TTitlesForm::ApplyDefaultsBtnClick);
  return controlsPanel_;
}
