// The graph control's drawing: bands and axes from the layout properties, curves, cursor layer,
// zoom and pixel conversion.
#include <algorithm>
#include <cmath>
#include <limits>

#include "signals/GraphCanvas.h"
#include "signals/PESGraph.h"

TGraphCanvas::TGraphCanvas(QWidget* parent) : plot(new QCustomPlot(parent)) {
  plot->setObjectName(QStringLiteral("GraphPlot"));
  // The cursor gets a paint buffer of its own, so moving it repaints that buffer alone.
  plot->addLayer(QStringLiteral("cursor"), plot->layer(QStringLiteral("legend")),
                 QCustomPlot::limAbove);
  cursorLayer = plot->layer(QStringLiteral("cursor"));
  cursorLayer->setMode(QCPLayer::lmBuffered);
  plot->setNoAntialiasingOnDrag(true);
  plot->setAutoAddPlottableToLegend(false);  // each band has a legend of its own
  rubber = new QRubberBand(QRubberBand::Rectangle, plot);
  Clear();
}

void TGraphCanvas::Clear() {
  plot->clearItems();
  plot->clearGraphs();
  plot->plotLayout()->clear();
  bands.clear();
  legends.clear();
  yAxes.clear();
  bandOfAxis.clear();
  firstAxisOfBand.clear();
  axisOfSubset.clear();
  graphs.clear();
  cursorLines.clear();
  cursorLevel = nullptr;
  cursorMark = nullptr;
  title = nullptr;
  fullY.clear();
}

namespace {

// Subsets per axis as the properties ask, made to cover exactly n subsets.
std::vector<int> SubsetCounts(const std::vector<int>& given, int n) {
  std::vector<int> counts = given.empty() ? std::vector<int>{0} : given;
  while (counts.size() > 1 && counts.back() == 0) counts.pop_back();
  int others = 0;
  for (size_t a = 1; a < counts.size(); ++a) others += counts[a];
  if (counts[0] == 0) counts[0] = std::max(0, n - others);
  int left = n;
  for (int& c : counts) left -= (c = std::min(c, left));
  counts.back() += left;
  return counts;
}

QPen GridPen(const TGraphLook& look) {
  QPen pen(look.GraphForeColor.lighter(250), look.GridStyle == sgThick ? 1.5 : 0);
  pen.setStyle(look.GridStyle == sgDot    ? Qt::DotLine
               : look.GridStyle == sgDash ? Qt::DashLine
                                          : Qt::SolidLine);
  return pen;
}

double BaseFontPoints(TPEFontSize size) {
  return size == sgLarge ? 11.0 : size == sgSmall ? 7.5 : 9.0;
}

void StyleAxis(QCPAxis* axis, const TGraphLook& look, const QFont& font, const QColor& label) {
  axis->setBasePen(QPen(look.GraphForeColor));
  axis->setTickPen(QPen(look.GraphForeColor));
  axis->setSubTickPen(QPen(look.GraphForeColor));
  axis->setTickLabelColor(look.TextColor);
  axis->setLabelColor(label);
  axis->setTickLabelFont(font);
  axis->setLabelFont(font);
  axis->setNumberFormat(QStringLiteral("f"));
  axis->setNumberPrecision(int(look.DataPrecision));
  axis->grid()->setPen(GridPen(look));
  axis->grid()->setZeroLinePen(Qt::NoPen);
}

QCPRange Padded(double low, double high, bool log) {
  if (!(low <= high)) return QCPRange(0, 1);
  if (log) return QCPRange(std::max(low, 1e-12) / 1.2, std::max(high, 1e-12) * 1.2);
  const double pad = high > low ? (high - low) * 0.05 : std::max(1.0, std::fabs(low) * 0.05);
  return QCPRange(low - pad, high + pad);
}

}  // namespace

int PESGraph::AxisCount() const {
  return int(canvas_->yAxes.size());
}
int PESGraph::BandCount() const {
  return int(canvas_->bands.size());
}

int PESGraph::AxisOfSubset(int s) const {
  const auto& a = canvas_->axisOfSubset;
  return s >= 0 && size_t(s) < a.size() ? a[size_t(s)] : -1;
}

int PESGraph::BandOfAxis(int axis) const {
  const auto& b = canvas_->bandOfAxis;
  return axis >= 0 && size_t(axis) < b.size() ? b[size_t(axis)] : -1;
}

void PESGraph::Rebuild() {
  TGraphCanvas& c = *canvas_;
  // A hidden control gets no resize events; its plot takes its size here.
  if (c.plot->size() != size()) {
    c.plot->setGeometry(rect());
    c.plot->setViewport(rect());
  }
  c.Clear();
  zoomed_ = false;
  const double points = BaseFontPoints(look_.FontSize) * fontFactor_;
  QFont label(look_.LabelFont);
  label.setPointSizeF(points);
  label.setBold(look_.LabelBold);
  c.plot->setBackground(look_.DeskColor);
  int row = 0;
  if (!MainTitle.isEmpty()) {
    QFont titleFont(look_.MainTitleFont);
    titleFont.setPointSizeF(points * 1.4);
    titleFont.setBold(look_.MainTitleBold);
    c.title = new QCPTextElement(c.plot, MainTitle, titleFont);
    c.title->setTextColor(look_.TextColor);
    c.plot->plotLayout()->addElement(row++, 0, c.title);
  }
  if (subsets_ == 0) {
    c.plot->replot();
    return;
  }
  LayOutBands(row, label);
  FillCurves();
  DrawAnnotations(label);
  MakeCursor();
  c.plot->replot();
}

void PESGraph::LayOutBands(int firstRow, const QFont& font) {
  TGraphCanvas& c = *canvas_;
  std::vector<int> given;
  for (const TAxisSetup& a : axes_) given.push_back(a.subsets);
  const std::vector<int> counts = SubsetCounts(given, subsets_);
  const int axisCount = int(counts.size());
  auto* margins = new QCPMarginGroup(c.plot);
  int row = firstRow;
  for (int a = 0; a < axisCount;) {
    const TAxisSetup* setup = FindAxis(a);
    const int span = std::clamp(setup && setup->overlap > 0 ? setup->overlap : 1, 1, axisCount - a);
    auto* rect = new QCPAxisRect(c.plot, false);
    rect->addAxis(QCPAxis::atBottom);
    rect->setBackground(look_.GraphBackColor);
    rect->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
    c.plot->plotLayout()->addElement(row, 0, rect);
    const float part = setup && setup->proportion > 0 ? setup->proportion : 1.0f;
    c.plot->plotLayout()->setRowStretchFactor(row++, part);
    QCPAxis* x = rect->axis(QCPAxis::atBottom);
    StyleAxis(x, look_, font, look_.TextColor);
    x->grid()->setVisible(look_.GridLineControl == sgYPlusXAxis ||
                          look_.GridLineControl == sgXAxis);
    auto* legend = new QCPLegend;
    rect->insetLayout()->addElement(legend, Qt::AlignTop | Qt::AlignRight);
    legend->setLayer(QStringLiteral("legend"));
    legend->setFont(font);
    legend->setTextColor(look_.TextColor);
    legend->setBrush(QColor(255, 255, 255, 200));
    c.legends.push_back(legend);
    c.firstAxisOfBand.push_back(a);
    for (int k = 0; k < span; ++k, ++a) AddYAxis(rect, a, font, k == 0);
    c.bands.push_back(rect);
  }
  for (size_t b = 0; b + 1 < c.bands.size(); ++b)
    c.bands[b]->axis(QCPAxis::atBottom)->setTickLabels(false);
  c.bands.back()->axis(QCPAxis::atBottom)->setLabel(XAxisLabel);
  int s = 0;
  for (int a = 0; a < axisCount; ++a)
    for (int k = 0; k < counts[size_t(a)]; ++k, ++s) c.axisOfSubset.push_back(a);
}

// Only the first axis of a band draws grid lines: overlapped scales would cross-hatch it.
void PESGraph::AddYAxis(QCPAxisRect* rect, int axisIndex, const QFont& font, bool first) {
  TGraphCanvas& c = *canvas_;
  const TAxisSetup* setup = FindAxis(axisIndex);
  QCPAxis* y = rect->addAxis(QCPAxis::atLeft);
  const QColor color = setup ? setup->color : QColor(Qt::black);
  StyleAxis(y, look_, font, color);
  y->setBasePen(QPen(color));
  y->setLabel(setup ? setup->label : QString());
  y->grid()->setVisible(
      first && (look_.GridLineControl == sgYPlusXAxis || look_.GridLineControl == sgYAxis));
  if (setup && setup->scale == sgLog) {
    y->setScaleType(QCPAxis::stLogarithmic);
    y->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
  }
  c.yAxes.push_back(y);
  c.bandOfAxis.push_back(int(c.bands.size()));
}

void PESGraph::FillCurves() {
  TGraphCanvas& c = *canvas_;
  double xLow = std::numeric_limits<double>::max(), xHigh = -xLow;
  std::vector<double> yLow(c.yAxes.size(), xLow), yHigh(c.yAxes.size(), -xLow);
  QVector<QCPGraphData> points;
  for (int s = 0; s < subsets_; ++s) {
    const TSubset& d = data_[size_t(s)];
    const int axis = c.axisOfSubset[size_t(s)];
    QCPAxisRect* rect = c.bands[size_t(c.bandOfAxis[size_t(axis)])];
    QCPGraph* g = c.plot->addGraph(rect->axis(QCPAxis::atBottom), c.yAxes[size_t(axis)]);
    g->setName(d.label);
    g->addToLegend(c.legends[size_t(c.bandOfAxis[size_t(axis)])]);
    g->setPen(QPen(d.color, look_.LineWidth));
    g->setAdaptiveSampling(true);
    g->setLineStyle(PlottingMethod == sgPoint ? QCPGraph::lsNone : QCPGraph::lsLine);
    if (PlottingMethod == sgPoint || look_.MarkDataPoints)
      g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 3));
    points.clear();
    points.reserve(points_);
    const bool log = c.yAxes[size_t(axis)]->scaleType() == QCPAxis::stLogarithmic;
    for (int p = 0; p < points_; ++p) {
      const float x = d.x[size_t(p)], y = d.y[size_t(p)];
      if (x == NullDataValueX || !std::isfinite(x)) continue;
      const bool gap = y == NullDataValueY || !std::isfinite(y) || (log && y <= 0);
      points.append(QCPGraphData(x, gap ? std::nan("") : double(y)));
      xLow = std::min(xLow, double(x));
      xHigh = std::max(xHigh, double(x));
      if (gap) continue;
      yLow[size_t(axis)] = std::min(yLow[size_t(axis)], double(y));
      yHigh[size_t(axis)] = std::max(yHigh[size_t(axis)], double(y));
    }
    // Samples arrive in time order; anything else is sorted by the container.
    const bool sorted =
        std::is_sorted(points.begin(), points.end(), qcpLessThanSortKey<QCPGraphData>);
    g->data()->set(points, sorted);
    c.graphs.push_back(g);
  }
  c.fullX = xLow <= xHigh ? QCPRange(xLow, xHigh > xLow ? xHigh : xLow + 1) : QCPRange(0, 1);
  for (QCPAxisRect* rect : c.bands) rect->axis(QCPAxis::atBottom)->setRange(c.fullX);
  for (size_t a = 0; a < c.yAxes.size(); ++a) {
    c.fullY.push_back(Padded(yLow[a], yHigh[a], c.yAxes[a]->scaleType() == QCPAxis::stLogarithmic));
    c.yAxes[a]->setRange(c.fullY.back());
  }
}

void PESGraph::DrawAnnotations(const QFont& font) {
  TGraphCanvas& c = *canvas_;
  if (!look_.ShowAnnotations) return;
  for (const TGraphAnnotation& a : look_.Annotations) {
    for (QCPAxisRect* rect : c.bands) {
      auto* line = new QCPItemStraightLine(c.plot);
      line->setClipAxisRect(rect);
      line->setPen(QPen(look_.ShadowColor, 0, Qt::DotLine));
      for (QCPItemPosition* p : {line->point1, line->point2})
        p->setAxes(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
      line->point1->setCoords(a.x, 0);
      line->point2->setCoords(a.x, 1);
    }
    auto* text = new QCPItemText(c.plot);
    text->setClipAxisRect(c.bands.front());
    text->position->setAxes(c.bands.front()->axis(QCPAxis::atBottom), nullptr);
    text->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
    text->position->setAxisRect(c.bands.front());
    text->position->setCoords(a.x, 0.02);
    text->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setText(a.text);
    text->setFont(font);
    text->setColor(look_.TextColor);
  }
}
