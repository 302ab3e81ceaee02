#include "signals/GraphStatusBar.h"

#include <qdrawutil.h>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kEdge = 3;

}  // namespace

TGraphStatusBar::TGraphStatusBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("StatusBar1"));
  panels_ = {{{QStringLiteral("Controls"), 50, true},
              {QStringLiteral("Print"), 50, true},
              {QStringLiteral("Signals"), 50, true},
              {QStringLiteral("Min"), 35, true},
              {QStringLiteral("Max"), 35, true},
              {QStringLiteral("X"), 60, false},
              {QStringLiteral("Y"), 120, false}}};
  setMouseTracking(false);
}

void TGraphStatusBar::SetText(int panel, const QString& text) {
  panels_.at(std::size_t(panel)).text = text;
  update(PanelRect(panel));
}

QRect TGraphStatusBar::PanelRect(int panel) const {
  int left = 0;
  for (int i = 0; i < panel; ++i) left += panels_[std::size_t(i)].width;
  return QRect(left, 0, panels_.at(std::size_t(panel)).width, height());
}

QSize TGraphStatusBar::sizeHint() const {
  return QSize(400, fontMetrics().height() + 8);
}

void TGraphStatusBar::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  int raisedWidth = 0;
  int lowered = 0;
  for (const TPanel& p : panels_) p.raised ? raisedWidth += p.width : ++lowered;
  const int share = (width() - raisedWidth) / lowered;
  for (TPanel& p : panels_)
    if (!p.raised) p.width = share;
}

void TGraphStatusBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (int i = 0; i < kPanelCount; ++i) {
    const TPanel& p = panels_[std::size_t(i)];
    const QRect r = PanelRect(i);
    const bool sunken = !p.raised || i == pressed_;
    qDrawShadePanel(&painter, r, palette(), sunken, 1);
    const int flags = Qt::AlignVCenter | (p.raised ? Qt::AlignHCenter : Qt::AlignLeft);
    painter.drawText(r.adjusted(4, 0, -2, 0), flags, p.text);
  }
}

int TGraphStatusBar::PanelAt(QPoint p) const {
  for (int i = 0; i < kPanelCount; ++i)
    if (PanelRect(i).contains(p)) return i;
  return -1;
}

bool TGraphStatusBar::NearEdge(QPoint p) const {
  return p.y() < kEdge || p.x() < kEdge || p.x() >= width() - kEdge;
}

void TGraphStatusBar::Release() {
  const int was = pressed_;
  pressed_ = -1;
  if (was >= 0) update(PanelRect(was));
}

void TGraphStatusBar::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const int panel = PanelAt(e->position().toPoint());
  if (panel < 0 || !panels_[std::size_t(panel)].raised) return;
  pressed_ = panel;
  update(PanelRect(panel));
}

void TGraphStatusBar::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (pressed_ >= 0 && (PanelAt(p) != pressed_ || NearEdge(p))) Release();
}

void TGraphStatusBar::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || pressed_ < 0) return;
  const int panel = pressed_;
  const bool onIt = PanelAt(e->position().toPoint()) == panel;
  Release();
  if (onIt && OnPanelClick) OnPanelClick(panel);
}
