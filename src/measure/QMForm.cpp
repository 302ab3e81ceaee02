#include "measure/QMForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <algorithm>

#include "display/ChildForm.h"
#include "measure/FrameList.h"
#include "measure/MeasureExport.h"
#include "measure/MeasureTable.h"
#include "measure/MotionDataBase.h"
#include "measure/MyStringGrid.h"
#include "measure/QMCollector.h"
#include "measure/QMObjectsPage.h"
#include "measure/QMReferencePage.h"
#include "measure/QMScalePage.h"
#include "measure/Units.h"
#include "platform/RegIniFile.h"
#include "textio/NumEdit.h"

namespace {

// Page order of the page control and the role each gives an image click.
constexpr TQMForm::TRole kRoles[] = {TQMForm::Collect,   TQMForm::Defaults, TQMForm::Objects,
                                     TQMForm::Reference, TQMForm::Scale,    TQMForm::Units};

QString ApplicationKey(const TChildForm* display) {
  if (display && display->Registry()) return display->Registry()->key();
  return QStringLiteral("\\Software\\Orvanta\\Lumetra");
}

}  // namespace

TQMForm::TQMForm(TChildForm* display, int lastFrame, std::unique_ptr<TRegIniFile> store)
    : QWidget(display, Qt::Window),
      display_(display),
      lastFrame_(std::max(lastFrame, 0)),
      store_(store ? std::move(store)
                   : std::make_unique<TRegIniFile>(QuickMeasureKey(ApplicationKey(display)))) {
  setObjectName(QStringLiteral("QMForm"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Quick Measure ") + (display ? display->windowTitle() : QString()));
  grid_ = new TMyStringGrid(this);
  grid_->setObjectName(QStringLiteral("Grid"));
  db_ = std::make_unique<TMotionDataBase>(MakeColumnsFactory(*grid_, &showMenu_));
  collector_ = std::make_unique<TCollector>(*db_);
  table_ = new TMeasureTable(*grid_, showMenu_, db_->Objects(), this);
  context_.db = db_.get();
  context_.grid = grid_;
  context_.showMenu = &showMenu_;
  context_.display = display;
  context_.setPrompt = [this](const QString& text) { setPanel(3, text); };
  context_.repaintDisplay = [this] { repaintDisplay(); };
  context_.markChanged = [this] { changed_ = true; };
  buildUi();

  // Beside the clip window, not over its last pixel column.
  if (display) move(display->frameGeometry().topRight() + QPoint(1, 0));
  const double scale = logicalDpiX() / 96.0;
  designSize_ = QSize(int(460 * scale), int(360 * scale));
  resize(designSize_);

  grid_->SetDefaultColWidth(20);
  grid_->SetRowCount(lastFrame_ + 1 + grid_->FixedRows());
  db_->Frames().SetCurrentFrame(TFrameObjectList::kNoFrame);
  if (display)
    TimingChanged(display->TimeDecimals(), display->EffectiveFramePeriod(), display->TimeOffset());
  else
    TimingChanged(0, 1, 0);
  applyPreferences(ReadQMPreferences(*store_));
  connectPages();
  pages_->setCurrentIndex(4);
  PageControlChange(pages_->currentIndex());
  connect(pages_, &QTabWidget::currentChanged, this,
          [this](int index) { PageControlChange(index); });
  runUnitHandlers();
  collector_->SetCurrent(1, 0);
}

TQMForm::~TQMForm() {
  writePreferences();
  // The columns write into the grid while they go, and the table watches the objects.
  delete table_;
  db_.reset();
}

TQMForm::TRole TQMForm::PageRole() const {
  return kRoles[std::clamp(pages_->currentIndex(), 0, 5)];
}

// --- calls from the display window ----------------------------------------------------------

std::optional<QPointF> TQMForm::PointerMoved(Qt::KeyboardModifiers, QPointF p) {
  const TScaler& s = db_->Scaler();
  setPanel(0, QStringLiteral("X ") + FormatGeneral(float(p.x()) * s.XFactor()));
  setPanel(1, QStringLiteral("Y ") + FormatGeneral(float(p.y()) * s.YFactor()));
  if (!predicted_ || PageRole() != Collect) return std::nullopt;
  return QPointF(predicted_->x, predicted_->y);
}

void TQMForm::Clicked(int frame, QPointF p) {
  const TImagePoint at{float(p.x()), float(p.y())};
  switch (PageRole()) {
    case Scale:
      scalePage_->ImageClick(at);
      break;
    case Reference:
      if (referencePage_->ImagePointMode()) referencePage_->ImageClick(at);
      break;
    case Collect:
      collect(frame, p);
      break;
    default:
      break;
  }
}

void TQMForm::collect(int frame, QPointF p) {
  TCollector::TStep step;
  step.autoStep = autoStep_->isChecked();
  step.frameStep = std::clamp(frameStep_->IntegerValue(), -TQMPreferences::kMaxFrameStep,
                              TQMPreferences::kMaxFrameStep);
  step.lastFrame = lastFrame_;
  std::optional<int> next;
  {
    TMyStringGrid::TBulkUpdate bulk(*grid_);
    next = collector_->Click(frame, {float(p.x()), float(p.y())}, step);
  }
  if (!next) return;
  changed_ = true;
  if (*next != shownFrame())
    moveToFrame(*next);
  else
    refreshPrediction();
  repaintDisplay();
}

int TQMForm::shownFrame() const {
  return display_ ? display_->CurrentFrame() : db_->Frames().CurrentFrame();
}

// The display window reports the frame back once it shows it; without one it is taken at once.
void TQMForm::moveToFrame(int frame) {
  if (display_)
    display_->StopAtFrame(frame);
  else
    FrameShown(frame);
}

void TQMForm::RedrawOverlay() {
  repaintDisplay();
}

void TQMForm::FrameShown(int frame) {
  if (!collector_->FrameChanged(frame)) return;
  refreshPrediction();
}

void TQMForm::TimingChanged(int decimals, float period, float offset) {
  TMyStringGrid::TBulkUpdate bulk(*grid_);
  db_->SetTiming(decimals, period, offset);
  WriteTimeColumn(*grid_, db_->Frames(), 0, lastFrame_);
  // The width the times were laid out for assumes a narrower font than this screen may have.
  const QFontMetrics metrics(grid_->font());
  const int fixed = grid_->FixedRows();
  int widest = grid_->ColWidth(0);
  for (const int frame : {0, lastFrame_})
    widest = std::max(widest, metrics.horizontalAdvance(grid_->Cell(0, fixed + frame)) + 10);
  grid_->SetColWidth(0, widest);
}

void TQMForm::DrawOverlay(QPainter& painter, const TImageMapping& mapping) {
  db_->Frames().Draw(painter, mapping);
}

void TQMForm::refreshPrediction() {
  table_->SetCurrent(db_->Frames().CurrentFrame(), collector_->Current(),
                     collector_->CurrentPoint());
  table_->KeepInView();
  predicted_ = collector_->Prediction();
}

void TQMForm::repaintDisplay() {
  if (!display_) return;
  display_->NeedsRepaint = true;
  if (auto* box = display_->findChild<QWidget*>(QStringLiteral("PaintBox")))
    box->update();
  else
    display_->update();
}

void TQMForm::setPanel(int panel, const QString& text) {
  panels_[panel]->setText(text);
}

// --- pages ------------------------------------------------------------------------------------

void TQMForm::PageControlChange(int index) {
  setPanel(3, QString());
  if (lastPage_ == collectionIndex_ && index != collectionIndex_) gridSize_ = size();
  lastPage_ = index;
  switch (kRoles[index]) {
    case Collect:
      // A stored size from a larger screen still fits this one.
      resize(screen() ? gridSize_.boundedTo(screen()->availableSize()) : gridSize_);
      return;
    case Scale:
      resize(designSize_);
      scalePage_->Start();
      return;
    case Reference:
      resize(designSize_);
      referencePage_->Start();
      return;
    default:
      resize(designSize_);
      return;
  }
}

// --- units ------------------------------------------------------------------------------------

void TQMForm::LinearUnitsCBChange() {
  const int unit = std::max(linearUnits_->currentIndex(), 0);
  {
    TMyStringGrid::TBulkUpdate bulk(*grid_);
    db_->SetLengthUnit(unit);
    RefreshAllHeaders(*db_);
  }
  showLengthUnit(unit);
}

void TQMForm::showLengthUnit(int unit) {
  referencePage_->LengthUnitChanged(unit);
  setPanel(2, QString::fromLatin1(units::LengthName(unit)));
}

// The angle, velocity and acceleration selectors: the scaler takes all four, then every cell
// and header follows at once.
void TQMForm::UnitsCBChange() {
  TScaler& s = db_->Scaler();
  s.SetAngularUnit(std::max(angularUnits_->currentIndex(), 0) + units::kFirstAngle);
  s.SetLinearVelocityUnit(std::max(linearVel_->currentIndex(), 0));
  s.SetAngularVelocityUnit(std::max(angularVel_->currentIndex(), 0) + units::kFirstAngularVelocity);
  s.SetAccelerationUnit(std::max(acceleration_->currentIndex(), 0));
  TMyStringGrid::TBulkUpdate bulk(*grid_);
  db_->RecomputeAll();
  RefreshAllHeaders(*db_);
}

void TQMForm::runUnitHandlers() {
  LinearUnitsCBChange();
  UnitsCBChange();
}
