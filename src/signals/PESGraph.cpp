// The graph control's model: subsets, points, axes, properties and actions. Drawing lives in
// PESGraphDraw.cpp, pointer and keys in PESGraphInput.cpp.
#include "signals/PESGraph.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QResizeEvent>
#include <algorithm>

#include "signals/GraphCanvas.h"
#include "signals/GraphCustomiseDialog.h"

PESGraph::PESGraph(QWidget* parent)
    : QWidget(parent), canvas_(std::make_unique<TGraphCanvas>(this)) {
  setMinimumSize(50, 50);
  canvas_->plot->installEventFilter(this);
  canvas_->plot->setMouseTracking(true);
  canvas_->plot->setFocusPolicy(Qt::StrongFocus);
  RunPrintDialog = [](QPrinter& printer, QWidget* owner) {
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
  };
  RunCustomizeDialog = [](TGraphLook& look, QWidget* owner) {
    return TGraphCustomiseDialog::Edit(look, owner);
  };
}

PESGraph::~PESGraph() = default;

QCustomPlot* PESGraph::Plot() const {
  return canvas_->plot;
}

// The plot follows the control at once, shown or not: pixel conversions and exports right
// after a resize must see the new layout, not the one of the next event loop turn.
void PESGraph::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  canvas_->plot->setGeometry(rect());
  canvas_->plot->setViewport(rect());
  canvas_->plot->replot();
}

void PESGraph::SetSubsets(int n) {
  subsets_ = std::max(0, n);
  data_.resize(size_t(subsets_));
  SetPoints(points_);
  cursorSubset_ = std::clamp(cursorSubset_, 0, std::max(0, subsets_ - 1));
}

void PESGraph::SetPoints(int n) {
  points_ = std::max(0, n);
  for (TSubset& s : data_) {
    s.x.resize(size_t(points_), kGraphNull);
    s.y.resize(size_t(points_), kGraphNull);
  }
  cursorPoint_ = std::clamp(cursorPoint_, 0, std::max(0, points_ - 1));
}

QString PESGraph::SubsetLabel(int s) const {
  return s >= 0 && s < subsets_ ? data_[size_t(s)].label : QString();
}

void PESGraph::SetSubsetLabel(int s, const QString& label) {
  if (s >= 0 && s < subsets_) data_[size_t(s)].label = label;
}

QColor PESGraph::SubsetColor(int s) const {
  return s >= 0 && s < subsets_ ? data_[size_t(s)].color : QColor();
}

void PESGraph::SetSubsetColor(int s, const QColor& color) {
  if (s >= 0 && s < subsets_) data_[size_t(s)].color = color;
}

float PESGraph::PointX(int s, int p) const {
  if (s < 0 || s >= subsets_ || p < 0 || p >= points_) return kGraphNull;
  return data_[size_t(s)].x[size_t(p)];
}

float PESGraph::PointY(int s, int p) const {
  if (s < 0 || s >= subsets_ || p < 0 || p >= points_) return kGraphNull;
  return data_[size_t(s)].y[size_t(p)];
}

void PESGraph::SetPointX(int s, int p, float x) {
  if (s >= 0 && s < subsets_ && p >= 0 && p < points_) data_[size_t(s)].x[size_t(p)] = x;
}

void PESGraph::SetPointY(int s, int p, float y) {
  if (s >= 0 && s < subsets_ && p >= 0 && p < points_) data_[size_t(s)].y[size_t(p)] = y;
}

void PESGraph::SetSubsetValues(int s, std::span<const float> x, std::span<const float> y) {
  if (s < 0 || s >= subsets_) return;
  TSubset& d = data_[size_t(s)];
  const size_t nx = std::min(x.size(), d.x.size()), ny = std::min(y.size(), d.y.size());
  std::copy_n(x.begin(), nx, d.x.begin());
  std::fill(d.x.begin() + std::ptrdiff_t(nx), d.x.end(), kGraphNull);
  std::copy_n(y.begin(), ny, d.y.begin());
  std::fill(d.y.begin() + std::ptrdiff_t(ny), d.y.end(), kGraphNull);
}

void PESGraph::SetSubsetValue(int id, int s, int value) {
  if (s < 0)
    subsetValues_.erase(id);
  else
    subsetValues_[id][s] = value;
}

int PESGraph::SubsetValue(int id, int s) const {
  const auto table = subsetValues_.find(id);
  if (table == subsetValues_.end()) return 0;
  const auto v = table->second.find(s);
  return v == table->second.end() ? 0 : v->second;
}

void PESGraph::ClearAxisLayout() {
  for (TAxisSetup& a : axes_) {
    a.subsets = 0;
    a.overlap = 0;
    a.proportion = 0;
  }
}

// Axis numbers come from the owner; a sane bound keeps a wild one from allocating.
PESGraph::TAxisSetup& PESGraph::Axis(int axis) {
  static TAxisSetup ignored;
  if (axis < 0 || axis >= 256) return ignored = TAxisSetup();
  if (size_t(axis) >= axes_.size()) axes_.resize(size_t(axis) + 1);
  return axes_[size_t(axis)];
}

const PESGraph::TAxisSetup* PESGraph::FindAxis(int axis) const {
  return axis >= 0 && size_t(axis) < axes_.size() ? &axes_[size_t(axis)] : nullptr;
}

void PESGraph::SetSubsetsPerAxis(int axis, int n) {
  Axis(axis).subsets = std::max(0, n);
}

int PESGraph::SubsetsPerAxis(int axis) const {
  const TAxisSetup* a = FindAxis(axis);
  return a ? a->subsets : 0;
}

void PESGraph::SetOverlapAxes(int axis, int n) {
  Axis(axis).overlap = std::max(0, n);
}
void PESGraph::SetAxisProportion(int axis, float part) {
  Axis(axis).proportion = part;
}

QString PESGraph::YAxisLabel() const {
  const TAxisSetup* a = FindAxis(WorkingAxis);
  return a ? a->label : QString();
}

void PESGraph::SetYAxisLabel(const QString& label) {
  Axis(WorkingAxis).label = label;
}

QColor PESGraph::YAxisColor() const {
  const TAxisSetup* a = FindAxis(WorkingAxis);
  return a ? a->color : QColor(Qt::black);
}

void PESGraph::SetYAxisColor(const QColor& color) {
  Axis(WorkingAxis).color = color;
}

TPEScaleControl PESGraph::YAxisScaleControl() const {
  const TAxisSetup* a = FindAxis(WorkingAxis);
  return a ? a->scale : sgLinear;
}

void PESGraph::SetYAxisScaleControl(TPEScaleControl scale) {
  Axis(WorkingAxis).scale = scale;
}

void PESGraph::SetFontSizeGlobalCntl(float factor) {
  if (!(factor > 0.05f && factor < 20.0f) || factor == fontFactor_) return;
  fontFactor_ = factor;
  if (!canvas_->bands.empty()) Rebuild();
}

void PESGraph::PEactions(int action) {
  switch (action) {
    case peRebuild:
      Rebuild();
      break;
    case peCustomize:
      Customize();
      break;
    case pePrint:
      Print();
      break;
    case peUndoZoom:
      UndoZoom();
      break;
    default:
      break;
  }
}

void PESGraph::Customize() {
  TGraphLook edited = look_;
  if (!RunCustomizeDialog || !RunCustomizeDialog(edited, this)) return;
  look_ = std::move(edited);
  Rebuild();
}

void PESGraph::Print() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  if (!RunPrintDialog || !RunPrintDialog(printer, this)) return;
  QCPPainter painter(&printer);
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  const int w = canvas_->plot->width(), h = canvas_->plot->height();
  if (w <= 0 || h <= 0) return;
  // The page gets the graph as it is on screen, scaled to fit and kept in proportion.
  const double scale = std::min(page.width() / w, page.height() / h);
  painter.setMode(QCPPainter::pmVectorized);
  painter.setMode(QCPPainter::pmNoCaching);
  painter.scale(scale, scale);
  canvas_->plot->toPainter(&painter, w, h);
}
