// The Quick Measure window's controls: pages, unit selectors, menu, status bar, and the
// settings they show.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "display/ChildForm.h"
#include "measure/MeasureTable.h"
#include "measure/MotionDataBase.h"
#include "measure/MyStringGrid.h"
#include "measure/QMCollector.h"
#include "measure/QMForm.h"
#include "measure/QMObjectsPage.h"
#include "measure/QMReferencePage.h"
#include "measure/QMScalePage.h"
#include "measure/Units.h"
#include "platform/RegIniFile.h"
#include "platform/WaitCursor.h"
#include "textio/NumEdit.h"

namespace {

QComboBox* Selector(QWidget* parent, const char* name, const QStringList& items) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->addItems(items);
  return box;
}

QStringList LengthNames(int first, int last, const QString& suffix = {}) {
  QStringList names;
  for (int i = first; i <= last; ++i) names << QString::fromLatin1(units::LengthName(i)) + suffix;
  return names;
}

QStringList VelocityNames(int first, int last) {
  QStringList names;
  for (int i = first; i <= last; ++i) names << QString::fromLatin1(units::VelocityName(i));
  return names;
}

// A unit text selects the entry with that text, the first entry when there is none.
void SelectText(QComboBox* box, const QString& text) {
  box->setCurrentIndex(std::max(box->findText(text), 0));
}

QToolButton* Arrow(QWidget* parent, const char* name, Qt::ArrowType type) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setArrowType(type);
  button->setAutoRepeat(true);
  return button;
}

}  // namespace

void TQMForm::buildUi() {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  auto* bar = new QMenuBar(this);
  bar->setObjectName(QStringLiteral("MainMenu"));
  buildMenu(bar);
  column->setMenuBar(bar);

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl"));
  auto* collect = new QWidget;
  collect->setObjectName(QStringLiteral("CollectData"));
  auto* collectLayout = new QVBoxLayout(collect);
  collectLayout->setContentsMargins(0, 0, 0, 0);
  collectLayout->addWidget(grid_);
  collectionIndex_ = pages_->addTab(collect, QStringLiteral("Collection"));
  pages_->addTab(buildDefaultsPage(), QStringLiteral("Defaults"));
  objectsPage_ = new TQMObjectsPage(context_, pages_);
  objectsPage_->setObjectName(QStringLiteral("Objects"));
  pages_->addTab(objectsPage_, QStringLiteral("Objects"));
  referencePage_ = new TQMReferencePage(context_, pages_);
  referencePage_->setObjectName(QStringLiteral("Referencing"));
  pages_->addTab(referencePage_, QStringLiteral("Reference"));
  scalePage_ = new TQMScalePage(context_, pages_);
  scalePage_->setObjectName(QStringLiteral("Scaling"));
  pages_->addTab(scalePage_, QStringLiteral("Scale"));
  pages_->addTab(buildUnitsPage(), QStringLiteral("Units"));
  column->addWidget(pages_, 1);

  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("StatusBar"));
  for (int i = 0; i < 4; ++i) {
    panels_[i] = new QLabel(status);
    panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    status->addWidget(panels_[i], i == 3 ? 1 : 0);
  }
  column->addWidget(status);
}

QWidget* TQMForm::buildDefaultsPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("Defaults"));
  auto* layout = new QGridLayout(page);

  auto* framing = new QGroupBox(QStringLiteral("Frame Positioning"), page);
  auto* frameRow = new QHBoxLayout(framing);
  autoStep_ = new QCheckBox(QStringLiteral("&Auto Step"), framing);
  autoStep_->setObjectName(QStringLiteral("AutoFrameStepXB"));
  frameStep_ = new TEditNumeric(framing);
  frameStep_->setObjectName(QStringLiteral("FrameStepEdit"));
  frameStep_->SetDigits(3);
  frameStep_->SetFloatingPoint(false);
  frameStep_->setMaximumWidth(48);
  auto* arrows = new QVBoxLayout;
  arrows->setSpacing(0);
  QToolButton* up = Arrow(framing, "FrameStepUp", Qt::UpArrow);
  QToolButton* down = Arrow(framing, "FrameStepDown", Qt::DownArrow);
  arrows->addWidget(up);
  arrows->addWidget(down);
  const auto stepBy = [this](int delta) {
    const int m = TQMPreferences::kMaxFrameStep;
    frameStep_->SetIntegerValue(std::clamp(frameStep_->IntegerValue() + delta, -m, m));
  };
  connect(up, &QToolButton::clicked, this, [stepBy] { stepBy(1); });
  connect(down, &QToolButton::clicked, this, [stepBy] { stepBy(-1); });
  auto* frames = new QLabel(QStringLiteral("f&rame(s)"), framing);
  frames->setBuddy(frameStep_);
  frameRow->addWidget(autoStep_);
  frameRow->addWidget(frameStep_);
  frameRow->addLayout(arrows);
  frameRow->addWidget(frames);
  frameRow->addStretch();
  layout->addWidget(framing, 0, 0);

  auto* cursor = new QGroupBox(QStringLiteral("Cursor Positioning"), page);
  auto* cursorColumn = new QVBoxLayout(cursor);
  auto* group = new QButtonGroup(cursor);
  const char* captions[] = {"&None", "&Simple", "S&mart"};
  const char* names[] = {"NoneRB", "SimpleRB", "SmartRB"};
  for (int mode = 0; mode < 3; ++mode) {
    positioning_[mode] = new QRadioButton(QString::fromLatin1(captions[mode]), cursor);
    positioning_[mode]->setObjectName(QString::fromLatin1(names[mode]));
    group->addButton(positioning_[mode], mode);
    cursorColumn->addWidget(positioning_[mode]);
  }
  positioning_[1]->setChecked(true);
  connect(group, &QButtonGroup::idClicked, this,
          [this](int mode) { CursorPositioningClick(mode); });
  layout->addWidget(cursor, 1, 0);

  auto* visible = new QGroupBox(QStringLiteral("Visible Columns"), page);
  auto* visibleColumn = new QVBoxLayout(visible);
  visibleColumns_ = new QListWidget(visible);
  visibleColumns_->setObjectName(QStringLiteral("VisibleColumnsList"));
  for (int kind = 0; kind < kKindCount; ++kind) {
    auto* item = new QListWidgetItem(QString::fromLatin1(KindName(kind)), visibleColumns_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  visibleColumn->addWidget(visibleColumns_);
  layout->addWidget(visible, 0, 1, 2, 1);
  return page;
}

QWidget* TQMForm::buildUnitsPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("DisplayUnits"));
  auto* layout = new QHBoxLayout(page);
  const auto labelled = [](QGridLayout* grid, int row, const QString& caption, QComboBox* box) {
    auto* label = new QLabel(caption);
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
  };
  auto* displacement = new QGroupBox(QStringLiteral("Displacement"), page);
  auto* d = new QGridLayout(displacement);
  linearUnits_ = Selector(displacement, "LinearUnitsCB", LengthNames(0, units::kLastLength));
  angularUnits_ =
      Selector(displacement, "AngularUnitsCB", LengthNames(units::kFirstAngle, units::kLastAngle));
  area_ = Selector(displacement, "AreaCB",
                   LengthNames(0, units::kLastLength, QStringLiteral("\u00b2")));
  labelled(d, 0, QStringLiteral("Linear"), linearUnits_);
  labelled(d, 1, QStringLiteral("Angular"), angularUnits_);
  area_->hide();  // areas are never measured
  layout->addWidget(displacement);

  auto* velocity = new QGroupBox(QStringLiteral("Velocity"), page);
  auto* v = new QGridLayout(velocity);
  linearVel_ = Selector(velocity, "LinearVelCB", VelocityNames(0, units::kLastLinearVelocity));
  angularVel_ = Selector(velocity, "AngularVelCB",
                         VelocityNames(units::kFirstAngularVelocity, units::kVelocityCount - 1));
  labelled(v, 0, QStringLiteral("Linear"), linearVel_);
  labelled(v, 1, QStringLiteral("Angular"), angularVel_);
  layout->addWidget(velocity);

  auto* accelerationGroup = new QGroupBox(QStringLiteral("Acceleration"), page);
  auto* a = new QGridLayout(accelerationGroup);
  acceleration_ = Selector(accelerationGroup, "AccelerationCB",
                           {QStringLiteral("m/s\u00b2"), QStringLiteral("cm/s\u00b2"),
                            QStringLiteral("ft/s\u00b2"), QStringLiteral("G")});
  a->addWidget(acceleration_, 0, 0);
  accelerationGroup->hide();
  layout->addWidget(accelerationGroup);
  layout->addStretch();
  return page;
}

void TQMForm::buildMenu(QMenuBar* bar) {
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("FileMenu"));
  for (const char* caption : {"&New", "&Open...", "&Save", "Save &As..."})
    file->addAction(QString::fromLatin1(caption))->setEnabled(false);
  file->addSeparator();
  file->addAction(QStringLiteral("&Open Measurements..."), this,
                  [this] { OpenMeasurementsItemClick(); });
  file->addAction(QStringLiteral("&Save Measurements..."), this,
                  [this] { SaveMeasurementsItemClick(); });
  file->addAction(QStringLiteral("&Export Visible Columns..."), this,
                  [this] { ExportItemClick(); });
  file->addSeparator();
  file->addAction(QStringLiteral("E&xit"), this, [this] { close(); });
  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("EditMenu"));
  edit->addAction(QStringLiteral("&Copy Selection"), this, [this] { table_->CopySelectionData(); });
  edit->addAction(QStringLiteral("Copy &All Data"), this, [this] { table_->CopyAllData(); });
}

void TQMForm::connectPages() {
  objectsPage_->isReferenceObject = [this](const TObjDef* def) {
    return referencePage_->IsReferenceObject(def);
  };
  connect(objectsPage_, &TQMObjectsPage::objectCreated, referencePage_,
          &TQMReferencePage::ObjectCreated);
  connect(objectsPage_, &TQMObjectsPage::objectRenamed, referencePage_,
          &TQMReferencePage::ObjectRenamed);
  connect(objectsPage_, &TQMObjectsPage::objectDeleting, referencePage_,
          &TQMReferencePage::ObjectDeleting);
  connect(objectsPage_, &TQMObjectsPage::objectsChanged, this, [this] {
    collector_->SetCurrent(1, 0);
    refreshPrediction();
  });
  connect(linearUnits_, &QComboBox::currentIndexChanged, this, [this] { LinearUnitsCBChange(); });
  for (QComboBox* box : {angularUnits_, linearVel_, angularVel_, acceleration_})
    connect(box, &QComboBox::currentIndexChanged, this, [this] { UnitsCBChange(); });
  connect(visibleColumns_, &QListWidget::itemChanged, this, [this] { VisibleColumnsListClick(); });
  table_->moveToFrame = [this](int frame) { moveToFrame(frame); };
  table_->currentFrame = [this] { return shownFrame(); };
  table_->currentChanged = [this](TObjDef* def, int point) {
    collector_->SetCurrent(def, point);
    refreshPrediction();
  };
}

// --- settings ---------------------------------------------------------------------------------

void TQMForm::applyPreferences(const TQMPreferences& p) {
  exportPath_ = p.exportPath;
  gridSize_ =
      QSize(p.gridWidth > 0 ? p.gridWidth : width(), p.gridHeight > 0 ? p.gridHeight : height());
  frameStep_->SetIntegerValue(p.frameStep);
  autoStep_->setChecked(p.autoStep);
  positioning_[p.cursorPositioning]->setChecked(true);
  db_->Objects().cursorMode = TCursorMode(p.cursorPositioning);
  db_->Objects().defaultVisibleKinds = p.visibleKinds;
  const QSignalBlocker blocker(visibleColumns_);
  for (int kind = 0; kind < kKindCount; ++kind)
    visibleColumns_->item(kind)->setCheckState(HasKind(p.visibleKinds, kind) ? Qt::Checked
                                                                             : Qt::Unchecked);
  SelectText(linearUnits_, p.linearUnit);
  SelectText(area_, p.areaUnit);
  SelectText(angularUnits_, p.angularUnit);
  SelectText(linearVel_, p.linearVelocityUnit);
  SelectText(angularVel_, p.angularVelocityUnit);
  SelectText(acceleration_, p.accelerationUnit);
}

TQMPreferences TQMForm::currentPreferences() const {
  TQMPreferences p;
  p.exportPath = exportPath_;
  const QSize grid = pages_->currentIndex() == collectionIndex_ ? size() : gridSize_;
  p.gridWidth = grid.width();
  p.gridHeight = grid.height();
  p.frameStep = std::clamp(frameStep_->IntegerValue(), -TQMPreferences::kMaxFrameStep,
                           TQMPreferences::kMaxFrameStep);
  p.autoStep = autoStep_->isChecked();
  p.cursorPositioning = int(db_->Objects().cursorMode);
  p.visibleKinds = db_->Objects().defaultVisibleKinds;
  p.linearUnit = linearUnits_->currentText();
  p.areaUnit = area_->currentText();
  p.angularUnit = angularUnits_->currentText();
  p.linearVelocityUnit = linearVel_->currentText();
  p.angularVelocityUnit = angularVel_->currentText();
  p.accelerationUnit = acceleration_->currentText();
  return p;
}

void TQMForm::writePreferences() {
  if (preferencesWritten_) return;
  preferencesWritten_ = true;
  WriteQMPreferences(*store_, currentPreferences());
}

void TQMForm::CursorPositioningClick(int mode) {
  db_->Objects().cursorMode = TCursorMode(mode);
  refreshPrediction();
}

void TQMForm::VisibleColumnsListClick() {
  std::uint16_t kinds = 0;
  for (int kind = 0; kind < kKindCount; ++kind)
    if (visibleColumns_->item(kind)->checkState() == Qt::Checked)
      kinds |= std::uint16_t(1u << kind);
  db_->Objects().defaultVisibleKinds = kinds;
  {
    const TWaitCursor wait;
    TMyStringGrid::TBulkUpdate bulk(*grid_);
    TShowMenu::ShowAll(db_->Objects());
  }
  refreshPrediction();
}
