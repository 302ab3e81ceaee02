// The graph control's cursor, zoom and pixel conversion.
#include <algorithm>
#include <utility>

#include "signals/GraphCanvas.h"
#include "signals/PESGraph.h"

void PESGraph::MakeCursor() {
  TGraphCanvas& c = *canvas_;
  const QPen pen(look_.GraphForeColor, 0, Qt::SolidLine);
  for (QCPAxisRect* rect : c.bands) {
    auto* line = new QCPItemStraightLine(c.plot);
    line->setLayer(c.cursorLayer);
    line->setClipAxisRect(rect);
    line->setPen(pen);
    for (QCPItemPosition* p : {line->point1, line->point2})
      p->setAxes(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
    c.cursorLines.push_back(line);
  }
  c.cursorLevel = new QCPItemStraightLine(c.plot);
  c.cursorLevel->setLayer(c.cursorLayer);
  c.cursorLevel->setPen(pen);
  c.cursorMark = new QCPItemTracer(c.plot);
  c.cursorMark->setLayer(c.cursorLayer);
  c.cursorMark->setStyle(QCPItemTracer::tsCircle);
  c.cursorMark->setSize(7);
  c.cursorMark->setPen(pen);
  DrawCursor();
}

// Moves the cursor items and repaints the cursor layer alone.
void PESGraph::DrawCursor() {
  TGraphCanvas& c = *canvas_;
  if (c.cursorLines.empty()) return;
  const float x = PointX(cursorSubset_, cursorPoint_), y = PointY(cursorSubset_, cursorPoint_);
  const int axis = AxisOfSubset(cursorSubset_);
  const bool shown = CursorMode != sgNoCursor && axis >= 0 && x != NullDataValueX;
  for (QCPItemStraightLine* line : c.cursorLines) {
    line->setVisible(shown);
    line->point1->setCoords(x, 0);
    line->point2->setCoords(x, 1);
  }
  const bool level = shown && y != NullDataValueY && CursorMode == sgCrossHair;
  c.cursorLevel->setVisible(level);
  c.cursorMark->setVisible(level);
  if (level) {
    QCPAxis* yAxis = c.yAxes[size_t(axis)];
    QCPAxisRect* rect = yAxis->axisRect();
    c.cursorLevel->setClipAxisRect(rect);
    c.cursorMark->setClipAxisRect(rect);
    for (QCPItemPosition* p :
         {c.cursorLevel->point1, c.cursorLevel->point2, c.cursorMark->position})
      p->setAxes(rect->axis(QCPAxis::atBottom), yAxis);
    c.cursorLevel->point1->setCoords(0, y);
    c.cursorLevel->point2->setCoords(1, y);
    c.cursorMark->position->setCoords(x, y);
  }
  c.cursorLayer->replot();
}

void PESGraph::SetCursorSubset(int s) {
  if (s < 0 || s >= std::max(1, subsets_)) return;
  cursorSubset_ = s;
  DrawCursor();
}

void PESGraph::SetCursorPoint(int p) {
  cursorPoint_ = std::clamp(p, 0, std::max(0, points_ - 1));
  DrawCursor();
}

double PESGraph::ZoomMinX() const {
  return canvas_->bands.empty() ? 0 : canvas_->bands[0]->axis(QCPAxis::atBottom)->range().lower;
}

double PESGraph::ZoomMaxX() const {
  return canvas_->bands.empty() ? 0 : canvas_->bands[0]->axis(QCPAxis::atBottom)->range().upper;
}

double PESGraph::ManualMinY() const {
  const auto& y = canvas_->yAxes;
  return WorkingAxis >= 0 && size_t(WorkingAxis) < y.size() ? y[size_t(WorkingAxis)]->range().lower
                                                            : 0;
}

double PESGraph::ManualMaxY() const {
  const auto& y = canvas_->yAxes;
  return WorkingAxis >= 0 && size_t(WorkingAxis) < y.size() ? y[size_t(WorkingAxis)]->range().upper
                                                            : 0;
}

void PESGraph::ZoomTo(double x0, double x1, int band, int yPixel0, int yPixel1) {
  TGraphCanvas& c = *canvas_;
  if (AllowZooming == sgHorzZooming || AllowZooming == sgHorzPlusVertZooming)
    for (QCPAxisRect* rect : c.bands) rect->axis(QCPAxis::atBottom)->setRange(QCPRange(x0, x1));
  if ((AllowZooming == sgVertZooming || AllowZooming == sgHorzPlusVertZooming) && band >= 0)
    for (size_t a = 0; a < c.yAxes.size(); ++a)
      if (c.bandOfAxis[a] == band) {
        QCPAxis* y = c.yAxes[a];
        y->setRange([&] {
          QCPRange r(y->pixelToCoord(yPixel0), y->pixelToCoord(yPixel1));
          r.normalize();
          return r;
        }());
      }
  zoomed_ = true;
  c.plot->replot();
  if (OnZoomIn) OnZoomIn();
}

void PESGraph::ZoomX(double from, double to) {
  if (canvas_->bands.empty() || !(from < to)) return;
  const TPEZooming allowed = std::exchange(AllowZooming, sgHorzZooming);
  ZoomTo(from, to, -1, 0, 0);
  AllowZooming = allowed;
}

void PESGraph::UndoZoom() {
  TGraphCanvas& c = *canvas_;
  c.rubber->hide();
  if (!zoomed_) return;
  for (QCPAxisRect* rect : c.bands) rect->axis(QCPAxis::atBottom)->setRange(c.fullX);
  for (size_t a = 0; a < c.yAxes.size(); ++a) c.yAxes[a]->setRange(c.fullY[a]);
  zoomed_ = false;
  c.plot->replot();
  if (OnZoomOut) OnZoomOut();
}

void PESGraph::SetMouseCursor(TPEMouseCursor shape) {
  const Qt::CursorShape qt = shape == pcCross        ? Qt::CrossCursor
                             : shape == pcHorzSizing ? Qt::SizeHorCursor
                             : shape == pcUpArrow    ? Qt::UpArrowCursor
                                                     : Qt::ArrowCursor;
  canvas_->plot->setCursor(qt);
}

QRect PESGraph::PlotRect() const {
  QRect all;
  for (QCPAxisRect* rect : canvas_->bands) all |= rect->rect();
  return all.translated(canvas_->plot->mapTo(this, QPoint(0, 0)));
}

bool PESGraph::ConvPixelToGraph(QPoint pixel, int& axis, double& x, double& y) const {
  const TGraphCanvas& c = *canvas_;
  const QRect all = PlotRect();
  if (c.bands.empty() || pixel.x() < all.left() || pixel.x() > all.right()) return false;
  const QPoint p = pixel - canvas_->plot->mapTo(this, QPoint(0, 0));
  size_t band = 0;
  int best = std::numeric_limits<int>::max();
  for (size_t b = 0; b < c.bands.size(); ++b) {
    const QRect r = c.bands[b]->rect();
    const int distance = p.y() < r.top() ? r.top() - p.y() : std::max(0, p.y() - r.bottom());
    if (distance < best) best = distance, band = b;
  }
  axis = c.firstAxisOfBand[band];
  x = c.bands[band]->axis(QCPAxis::atBottom)->pixelToCoord(p.x());
  y = c.yAxes[size_t(axis)]->pixelToCoord(p.y());
  return true;
}
