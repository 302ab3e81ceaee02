#include "signals/GraphCanvas.h"
#include "signals/PESGraph.h"

TGraphCanvas::TGraphCanvas(QWidget* parent) : plot(new QCustomPlot(parent)) {}
void TGraphCanvas::Clear() {}
void PESGraph::Rebuild() {}
void PESGraph::UndoZoom() {}
void PESGraph::SetCursorSubset(int s) {
  cursorSubset_ = s;
}
void PESGraph::SetCursorPoint(int p) {
  cursorPoint_ = p;
}
double PESGraph::ZoomMinX() const {
  return 0;
}
double PESGraph::ZoomMaxX() const {
  return 0;
}
double PESGraph::ManualMinY() const {
  return 0;
}
double PESGraph::ManualMaxY() const {
  return 0;
}
int PESGraph::AxisCount() const {
  return 0;
}
int PESGraph::BandCount() const {
  return 0;
}
int PESGraph::AxisOfSubset(int) const {
  return 0;
}
int PESGraph::BandOfAxis(int) const {
  return 0;
}
void PESGraph::SetMouseCursor(TPEMouseCursor) {}
QRect PESGraph::PlotRect() const {
  return {};
}
bool PESGraph::ConvPixelToGraph(QPoint, int&, double&, double&) const {
  return false;
}
bool PESGraph::ExportPng(const QString&, int, int) {
  return false;
}
bool PESGraph::ExportPdf(const QString&, int, int) {
  return false;
}
bool PESGraph::ExportCsv(const QString&) const {
  return false;
}
bool PESGraph::eventFilter(QObject* w, QEvent* e) {
  return QWidget::eventFilter(w, e);
}
void PESGraph::contextMenuEvent(QContextMenuEvent*) {}
void PESGraph::ShowExportMenu(QPoint) {}
void PESGraph::MoveCursorByUser(int) {}
bool PESGraph::HandleMouse(QEvent*) {
  return false;
}
