#include "signals/GraphForm.h"

#include <QCloseEvent>
#include <QCursor>
#include <QScreen>
#include <cmath>

#include "platform/Placement.h"
#include "platform/RegIniFile.h"
#include "signals/GraphStatusBar.h"
#include "signals/PESGraph.h"

const TSigSelectDlg::TColors TGraphForm::kDefaultColors = {
    0xFF00FF, 0x0000FF, 0xFF8080, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xC000C0,
    0x0000C0, 0xC04040, 0xC0C000, 0x00C0C0, 0x00C000, 0xFF00FF, 0x0000FF};

TGraphForm::TGraphForm(QWidget* owner, TRegIniFile* registry, ISigInfo& info,
                       const QString& placementName)
    : QWidget(owner, Qt::Window), registry_(registry), colors_(kDefaultColors) {
  setObjectName(placementName);
  setWindowTitle(QStringLiteral("Signals"));
  BuildUi();
  ConnectGraph();
  selectDlg_ = std::make_unique<TSigSelectDlg>(info, this);
  selectDlg_->setWindowTitle(QStringLiteral("Signal Graphing Setup"));
  ReadPreferences();
  selectDlg_->SetColors(colors_);
  resize(640, 480);
  if (registry_) RestorePlacement(this, registry_, false);
}

TGraphForm::~TGraphForm() {
  // A window freed with its owner never saw a close: what it shows is still to be kept.
  if (isVisible()) WritePreferences();
  if (registry_ && !objectName().isEmpty()) SavePlacement(this, registry_, 0);
  if (OnDestroy) OnDestroy();
}

void TGraphForm::ConnectGraph() {
  Graph1->OnDataHotSpot = [](int, int) {};
  Graph1->OnCursorMoved = [this] { CursorMoved(); };
  Graph1->OnSubsetHotSpot = [this](int s) { SubsetHotSpot(s); };
  Graph1->OnZoomIn = [this] { ZoomIn(); };
  Graph1->OnZoomOut = [this] { ZoomOut(); };
  Graph1->OnKeyDown = [this](int, Qt::KeyboardModifiers) { cursor_.MovedByUser = true; };
  Graph1->OnMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint p) {
    MouseDown(b, p);
  };
  Graph1->OnMouseUp = [this](Qt::MouseButton, Qt::KeyboardModifiers, QPoint) { dragging_ = false; };
  Graph1->OnMouseMove = [this](Qt::KeyboardModifiers, QPoint p) { MouseMove(p); };
  StatusBar1->OnPanelClick = [this](int panel) { PanelClick(panel); };
}

bool TGraphForm::SelectSignals(const QStringList& files) {
  if (!selectDlg_->Execute(lastSignalFile_, files)) return false;
  Rebuild();
  show();
  return true;
}

void TGraphForm::closeEvent(QCloseEvent* e) {
  Graph1->PEactions(peUndoZoom);
  zoomed_ = dragging_ = false;
  WritePreferences();
  QWidget::closeEvent(e);
}

void TGraphForm::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  const QScreen* s = screen();
  if (s) Graph1->SetFontSizeGlobalCntl(FontFactor(s->geometry().width(), width()));
}

// --- the cursor and the timeline ----------------------------------------------------------

bool TGraphForm::CursorSubsetValid() const {
  const int s = Graph1->CursorSubset();
  return s >= 0 && s < int(timeBases_.size());
}

int TGraphForm::CursorPoint() const {
  return Graph1->CursorPoint();
}

void TGraphForm::SetTime(float t) {
  const int s = Graph1->CursorSubset();
  const float x = Graph1->PointX(s, Graph1->CursorPoint());
  if (!cursor_.NeedsMove(t, x) || !CursorSubsetValid()) return;
  const TTimeBase& base = timeBases_[std::size_t(s)];
  cursor_.Busy = true;
  PlaceCursor(PointOfTime(t, base.first, base.interval, base.count));
  cursor_.MovedByUser = false;
  cursor_.Busy = false;
}

bool TGraphForm::TakeCursorTime(float& t) {
  return cursor_.TakeCursorTime(t);
}

void TGraphForm::PlaceCursor(int point) {
  Graph1->SetCursorPoint(point);
  UpdateReadouts();
}

void TGraphForm::CursorMoved() {
  if (cursor_.Busy) return;
  UpdateReadouts();
  const float x = Graph1->PointX(Graph1->CursorSubset(), Graph1->CursorPoint());
  // Past the end of a shorter curve the point has no time to hand to the timeline.
  if (CursorSubsetValid() && x != kGraphNull) cursor_.UserMoved(x);
}

void TGraphForm::SubsetHotSpot(int subset) {
  Graph1->SetCursorSubset(subset);
  PlaceCursor(Graph1->CursorPoint());
}

void TGraphForm::MinMaxClick(bool max) {
  if (!CursorSubsetValid()) return;
  const int s = Graph1->CursorSubset();
  std::vector<float> y(std::size_t(std::max(Graph1->Points(), 0)));
  for (std::size_t j = 0; j < y.size(); ++j) y[j] = Graph1->PointY(s, int(j));
  const int point = max ? MaxPoint(y, kGraphNull) : MinPoint(y, kGraphNull);
  cursor_.Busy = true;
  PlaceCursor(point);
  cursor_.Busy = false;
  const float x = Graph1->PointX(s, point);
  if (x != kGraphNull) cursor_.UserMoved(x);
}

void TGraphForm::PanelClick(int panel) {
  switch (panel) {
    case TGraphStatusBar::kControls:
      Graph1->PEactions(peCustomize);
      break;
    case TGraphStatusBar::kPrint:
      Graph1->PEactions(pePrint);
      break;
    case TGraphStatusBar::kSignals:
      SelectSignals();
      break;
    case TGraphStatusBar::kMin:
    case TGraphStatusBar::kMax:
      MinMaxClick(panel == TGraphStatusBar::kMax);
      break;
    default:
      break;
  }
}

// --- read-outs ----------------------------------------------------------------------------

void TGraphForm::UpdateReadouts() {
  if (!CursorSubsetValid()) return;
  const int s = Graph1->CursorSubset();
  const float cx = Graph1->PointX(s, Graph1->CursorPoint());
  const float cy = Graph1->PointY(s, Graph1->CursorPoint());
  StatusBar1->SetText(TGraphStatusBar::kX, ReadoutNumber(cx) + QStringLiteral(" (") +
                                               ReadoutNumber(mouseX_ - cx) + QStringLiteral(") ") +
                                               Graph1->XAxisLabel);
  StatusBar1->SetText(TGraphStatusBar::kY, YReadout(cy));
  Graph1->WorkingAxis = 0;
}

QString TGraphForm::YReadout(float cursorY) {
  const int s = Graph1->CursorSubset();
  const int axis = bands_.AxisOf(s);
  QString text = ReadoutNumber(cursorY) + QLatin1Char(' ');
  if (mouseAxis_ == bands_.BandOf(s)) {
    double y = mouseY_;
    if (mouseAxis_ != axis) {
      Graph1->WorkingAxis = mouseAxis_;
      const double fromMin = Graph1->ManualMinY(), fromMax = Graph1->ManualMaxY();
      Graph1->WorkingAxis = axis;
      y = CarryOverY(y, fromMin, fromMax, Graph1->ManualMinY(), Graph1->ManualMaxY());
    }
    text += QLatin1Char('(') + ReadoutNumber(y - cursorY) + QStringLiteral(") ");
  }
  Graph1->WorkingAxis = axis;
  text += Graph1->YAxisLabel();
  Graph1->WorkingAxis = 0;
  return text;
}

// --- the mouse and zooming ----------------------------------------------------------------

void TGraphForm::MouseDown(Qt::MouseButton button, QPoint p) {
  if (button != Qt::LeftButton) return;
  const QRect plot = Graph1->PlotRect();
  if (p.y() > plot.bottom()) {
    int axis = 0;
    double x = 0, y = 0;
    if (!Graph1->ConvPixelToGraph(p, axis, x, y) || !CursorSubsetValid()) return;
    const TTimeBase& base = timeBases_[std::size_t(Graph1->CursorSubset())];
    cursor_.Busy = true;
    PlaceCursor(PointOfTime(x, base.first, base.interval, base.count));
    cursor_.Busy = false;
    const float cx = Graph1->PointX(Graph1->CursorSubset(), Graph1->CursorPoint());
    if (cx != kGraphNull) cursor_.UserMoved(cx);
  } else if (p.y() < plot.top() && zoomed_) {
    Graph1->PEactions(peUndoZoom);
  } else {
    dragging_ = p.x() >= plot.left() && p.x() <= plot.right();
  }
}

void TGraphForm::MouseMove(QPoint p) {
  const QRect plot = Graph1->PlotRect();
  if (p.y() < plot.top()) {
    if (dragging_)
      QCursor::setPos(Graph1->mapToGlobal(QPoint(p.x(), plot.top())));
    else
      Graph1->SetMouseCursor(zoomed_ ? pcHorzSizing : pcArrow);
  } else if (p.y() > plot.bottom()) {
    if (dragging_)
      QCursor::setPos(Graph1->mapToGlobal(QPoint(p.x(), plot.bottom())));
    else
      Graph1->SetMouseCursor(pcUpArrow);
  } else if (p.x() < plot.left() || p.x() > plot.right()) {
    Graph1->SetMouseCursor(pcArrow);
  } else if (Graph1->ConvPixelToGraph(p, mouseAxis_, mouseX_, mouseY_) && CursorSubsetValid() &&
             bands_.BandOf(Graph1->CursorSubset()) == mouseAxis_) {
    Graph1->SetMouseCursor(pcCross);
    UpdateReadouts();
  } else {
    Graph1->SetMouseCursor(pcArrow);
  }
}

void TGraphForm::ZoomIn() {
  zoomed_ = true;
  const int points = Graph1->Points();
  int first = 0;
  while (first < points && Graph1->PointX(0, first) < Graph1->ZoomMinX()) ++first;
  int last = first;
  while (last < points && Graph1->PointX(0, last) < Graph1->ZoomMaxX()) ++last;
  visibleFirst_ = first;
  visibleLast_ = last;
}

void TGraphForm::ZoomOut() {
  zoomed_ = dragging_ = false;
  visibleFirst_ = 0;
  visibleLast_ = Graph1->Points() - 1;
}
