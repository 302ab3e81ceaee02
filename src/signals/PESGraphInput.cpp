// The graph control's pointer and keys: hot spots, the user's cursor moves, rubber-band zoom,
// scrolling a horizontal zoom, and the context menu.
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "platform/Dialogs.h"
#include "signals/GraphCanvas.h"
#include "signals/PESGraph.h"

namespace {

constexpr int kDragPixels = 5;  // a press that moves less is a click
constexpr double kHotSpotPixels = 5;

QPoint Pos(const QMouseEvent* e) {
  return e->position().toPoint();
}

}  // namespace

bool PESGraph::eventFilter(QObject* watched, QEvent* event) {
  if (watched != canvas_->plot) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
      return HandleMouse(event);
    case QEvent::KeyPress: {
      auto* k = static_cast<QKeyEvent*>(event);
      if (OnKeyDown) OnKeyDown(k->key(), k->modifiers());
      const int step = k->key() == Qt::Key_Left       ? -1
                       : k->key() == Qt::Key_Right    ? 1
                       : k->key() == Qt::Key_PageUp   ? -std::max(1, points_ / 20)
                       : k->key() == Qt::Key_PageDown ? std::max(1, points_ / 20)
                                                      : 0;
      if (step != 0 && MouseCursorControl) MoveCursorByUser(cursorPoint_ + step);
      return step != 0;
    }
    case QEvent::Wheel: {
      auto* w = static_cast<QWheelEvent*>(event);
      if (!zoomed_ || !ScrollingHorzZoom || canvas_->bands.empty()) return false;
      const QCPRange shown = canvas_->bands[0]->axis(QCPAxis::atBottom)->range();
      const QCPRange& full = canvas_->fullX;
      const double shift = shown.size() * (w->angleDelta().y() > 0 ? -0.1 : 0.1);
      const double lower = std::clamp(shown.lower + shift, full.lower, full.upper - shown.size());
      for (QCPAxisRect* rect : canvas_->bands)
        rect->axis(QCPAxis::atBottom)->setRange(lower, lower + shown.size());
      canvas_->plot->replot();
      return true;
    }
    default:
      return false;
  }
}

// The point of the cursor subset nearest in time to x, or −1 when it has none.
static int NearestPoint(const std::vector<float>& xs, float null, double x) {
  int best = -1;
  double distance = INFINITY;
  for (size_t p = 0; p < xs.size(); ++p) {
    if (xs[p] == null) continue;
    const double d = std::fabs(xs[p] - x);
    if (d < distance) distance = d, best = int(p);
  }
  return best;
}

void PESGraph::MoveCursorByUser(int point) {
  if (CursorMode == sgNoCursor || subsets_ == 0) return;
  if (OnPreCursorMove) OnPreCursorMove();
  SetCursorPoint(point);
  if (OnCursorMoved) OnCursorMoved();
}

bool PESGraph::HandleMouse(QEvent* event) {
  auto* e = static_cast<QMouseEvent*>(event);
  const QPoint at = Pos(e);
  TGraphCanvas& c = *canvas_;
  if (event->type() == QEvent::MouseMove) {
    if (OnMouseMove) OnMouseMove(e->modifiers(), at);
    if (pressBand_ >= 0 && AllowZooming != sgNoZooming &&
        (at - pressAt_).manhattanLength() >= kDragPixels) {
      c.rubber->setGeometry(QRect(pressAt_, at).normalized().intersected(PlotRect()));
      c.rubber->show();
    }
    return false;
  }
  if (event->type() == QEvent::MouseButtonPress) {
    if (OnMouseDown) OnMouseDown(e->button(), e->modifiers(), at);
    if (e->button() != Qt::LeftButton) return false;
    if (HitLegend(at)) return true;
    pressBand_ = -1;
    for (size_t b = 0; b < c.bands.size(); ++b)
      if (c.bands[b]->rect().contains(at)) pressBand_ = int(b);
    pressAt_ = at;
    return false;
  }
  if (OnMouseUp) OnMouseUp(e->button(), e->modifiers(), at);
  const int band = std::exchange(pressBand_, -1);
  if (e->button() != Qt::LeftButton || band < 0) return false;
  if (!c.rubber->isHidden()) {
    c.rubber->hide();
    const QRect r = c.rubber->geometry();
    QCPAxis* x = c.bands[size_t(band)]->axis(QCPAxis::atBottom);
    if (r.width() >= kDragPixels)
      ZoomTo(x->pixelToCoord(r.left()), x->pixelToCoord(r.right()), band, r.bottom(), r.top());
    return true;
  }
  ClickInBand(band, at);
  return true;
}

bool PESGraph::HitLegend(QPoint at) {
  TGraphCanvas& c = *canvas_;
  for (size_t s = 0; s < c.graphs.size(); ++s) {
    QCPLegend* legend = c.legends[size_t(c.bandOfAxis[size_t(c.axisOfSubset[s])])];
    QCPAbstractLegendItem* item = legend->itemWithPlottable(c.graphs[s]);
    if (item && legend->visible() && item->rect().contains(at)) {
      if (AllowSubsetHotSpots && OnSubsetHotSpot) OnSubsetHotSpot(int(s));
      return true;
    }
  }
  return false;
}

// A click that is no drag: a data hot spot when one is near, and the cursor to that time.
void PESGraph::ClickInBand(int band, QPoint at) {
  TGraphCanvas& c = *canvas_;
  if (AllowDataHotSpots && OnDataHotSpot)
    for (size_t s = 0; s < c.graphs.size(); ++s) {
      QCPGraph* g = c.graphs[s];
      if (c.bandOfAxis[size_t(c.axisOfSubset[s])] != band) continue;
      QVariant details;
      if (g->selectTest(at, false, &details) > kHotSpotPixels) continue;
      const QCPDataSelection hit = details.value<QCPDataSelection>();
      if (hit.isEmpty()) continue;
      const double key = (g->data()->constBegin() + hit.dataRange().begin())->key;
      const int point = NearestPoint(data_[s].x, NullDataValueX, key);
      if (point >= 0) OnDataHotSpot(int(s), point);
      break;
    }
  if (!MouseCursorControl || cursorSubset_ >= subsets_) return;
  const double x = c.bands[size_t(band)]->axis(QCPAxis::atBottom)->pixelToCoord(at.x());
  const int point = NearestPoint(data_[size_t(cursorSubset_)].x, NullDataValueX, x);
  if (point >= 0) MoveCursorByUser(point);
}

void PESGraph::contextMenuEvent(QContextMenuEvent* event) {
  if (!AllowPopup) return;
  QMenu menu(this);
  if (AllowCustomization)
    connect(menu.addAction(tr("&Customize...")), &QAction::triggered, this,
            [this] { Customize(); });
  if (AllowExporting) {
    connect(menu.addAction(tr("Export &PNG...")), &QAction::triggered, this,
            [this] { ExportAs(QStringLiteral("PNG Image (*.png)"), QStringLiteral("png")); });
    connect(menu.addAction(tr("Export P&DF...")), &QAction::triggered, this,
            [this] { ExportAs(QStringLiteral("PDF Document (*.pdf)"), QStringLiteral("pdf")); });
    connect(menu.addAction(tr("Export CS&V...")), &QAction::triggered, this, [this] {
      ExportAs(QStringLiteral("Comma Separated Values (*.csv)"), QStringLiteral("csv"));
    });
  }
  connect(menu.addAction(tr("P&rint...")), &QAction::triggered, this, [this] { Print(); });
  if (zoomed_)
    connect(menu.addAction(tr("&Undo Zoom")), &QAction::triggered, this, [this] { UndoZoom(); });
  menu.exec(event->globalPos());
}

void PESGraph::ExportAs(const QString& filter, const QString& suffix) {
  dialogs::FileRequest request;
  request.caption = tr("Export Graph");
  request.filter = filter;
  request.defaultSuffix = suffix;
  const dialogs::FileAnswer answer = dialogs::backend().saveFile(this, request);
  if (answer.names.isEmpty()) return;
  const QString name = answer.names.front();
  const bool ok = suffix == QLatin1String("csv")   ? ExportCsv(name)
                  : suffix == QLatin1String("pdf") ? ExportPdf(name, 0, 0)
                                                   : ExportPng(name, 0, 0);
  if (!ok)
    dialogs::show(this, tr("Cannot write %1").arg(QFileInfo(name).fileName()), tr("Export Graph"),
                  dialogs::Buttons::OK, dialogs::Icon::Error);
}
