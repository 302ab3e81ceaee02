// The display window's geometry and input: the size of the window around the image, the legend
// arrangement, the reticle, snapping, the keyboard pointer and the copy with the legend.

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

#include "display/DisplayForm.h"
#include "display/DisplayLayout.h"
#include "display/DisplayTexts.h"
#include "display/Marker.h"
#include "display/MeasureHooks.h"
#include "platform/Screens.h"

namespace {

constexpr int kCopyMarkerShape = 2;
constexpr int kCopyMarkerSize = 24;

}  // namespace

TPointerInput::TWindow TDisplayForm::pointerWindow() {
  return {
      [this] { return isActiveWindow(); },
      [this] {
        activateWindow();
        setFocus();
      },
      [this] { return paintBox_->mapFromGlobal(screens::pointerPosition()); },
      [this](QPoint p) { QCursor::setPos(paintBox_->mapToGlobal(p)); },
  };
}

TImageMapping TDisplayForm::Mapping() const {
  if (zoom_.Zoomed) return zoomedMapping();
  return TImageMapping::Full(imageMaxX_, imageMaxY_, paintBox_->size());
}

QSize TDisplayForm::availableClientArea() const {
  const QRect work = screens::nearestMonitor(frameGeometry()).workArea;
  const int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
  return {work.width(), work.height() - 2 * caption};
}

std::array<int, 3> TDisplayForm::legendWidths() const {
  std::array<int, 3> widths{};
  const QWidget* panels[] = {framePanel_, reticlePanel_, timePanel_};
  for (int i = 0; i < 3; ++i)
    if (panels[i]->isVisibleTo(this)) widths[std::size_t(i)] = panels[i]->sizeHint().width();
  return widths;
}

void TDisplayForm::Layout() {
  if (inLayout_ || image_.isNull()) return;
  inLayout_ = true;
  prepareZoom();
  const QSize image = Mapping().Source().size();
  int& percent = zoom_.Zoomed ? zoom_.ZoomPercent : zoom_.FullPercent;
  int extra = 0;
  for (const QWidget* panel : {legendPanel_, controlsPanel_, saveTimePanel_})
    if (panel->isVisibleTo(this)) extra += panel->minimumHeight();
  const display_layout::TLayoutPlan plan = display_layout::Plan(
      {image, percent, extra,
       display_layout::MinimumWidth(legendWidths(), controlsPanel_->isVisibleTo(this)),
       availableClientArea()});
  percent = plan.percent;
  paintBox_->setFixedSize(plan.client.width(), plan.client.height() - extra);
  arrangePanels(plan.client.width());
  layout()->activate();
  percent = display_layout::FitPercent(percent, image, paintBox_->size());
  finishZoom();
  inLayout_ = false;
}

void TDisplayForm::arrangePanels(int width) {
  legendPanel_->setFixedWidth(width);
  controlsPanel_->setFixedWidth(width);
  saveTimePanel_->setFixedWidth(width);
  const std::array<int, 3> widths = legendWidths();
  const std::array<int, 3> x = display_layout::ArrangeLegend(width, widths);
  QWidget* panels[] = {framePanel_, reticlePanel_, timePanel_};
  for (std::size_t i = 0; i < 3; ++i)
    if (widths[i] > 0) panels[i]->setGeometry(x[i], 0, widths[i], legendPanel_->minimumHeight());
  for (QToolButton* button : toolBar_->findChildren<QToolButton*>())
    button->setFixedWidth(display_layout::ButtonWidth(width));
  frameBar_->setFixedWidth(width);
}

// --- pointer and keyboard ------------------------------------------------------------------

void TDisplayForm::paintMeasureOverlay(QPainter& painter) {
  QWidget* window = QuickMeasureWindow();
  IMeasureHooks* measure = MeasureHooks();
  if (!window || !window->isVisible() || !measure) return;
  NeedsRepaint = true;
  measure->FrameShown(ShownFrame);
  measure->DrawOverlay(painter, Mapping());
}

TPointerInput::TContext TDisplayForm::inputContext() const {
  QWidget* measure = QuickMeasureWindow();
  return {Mapping(),  MeasureHooks(), measure && measure->isVisible(),
          ShownFrame, Saving,         reticlePanel_->isVisibleTo(this)};
}

void TDisplayForm::writeReticle() {
  const TImagePoint r = pointer_.Reticle();
  reticleX_->setText(FixedText(r.x, 5, 1));
  reticleY_->setText(FixedText(r.y, 5, 1));
}

void TDisplayForm::PaintBoxMouseMove(QPointF at, Qt::KeyboardModifiers modifiers) {
  if (image_.isNull()) return;
  if (pointer_.PointerMove(at, modifiers, inputContext())) writeReticle();
}

void TDisplayForm::PaintBoxClick(QPointF at, Qt::KeyboardModifiers modifiers) {
  if (image_.isNull()) return;
  pointer_.Click(at, modifiers, inputContext());
  writeReticle();
}

bool TDisplayForm::PreviewKey(int key, Qt::KeyboardModifiers modifiers) {
  if (image_.isNull() || !pointer_.Key(key, modifiers, inputContext())) return false;
  writeReticle();
  return true;
}

// The form sees every key before the focused control does; the popup menu keeps its own.
void TDisplayForm::installInputFilters() {
  paintBox_->setMouseTracking(true);
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>())
    if (child->window() == this) child->installEventFilter(this);
}

bool TDisplayForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == paintBox_ && e->type() == QEvent::MouseMove) {
    const auto* m = static_cast<QMouseEvent*>(e);
    PaintBoxMouseMove(m->position(), m->modifiers());
  } else if (watched == paintBox_ && e->type() == QEvent::MouseButtonRelease) {
    const auto* m = static_cast<QMouseEvent*>(e);
    const QPointF at = m->position();  // not rounded: the last pixel's right half counts too
    if (m->button() == Qt::LeftButton && at.x() >= 0 && at.y() >= 0 &&
        at.x() < paintBox_->width() && at.y() < paintBox_->height())
      PaintBoxClick(m->position(), m->modifiers());
  } else if (e->type() == QEvent::KeyPress) {
    const auto* k = static_cast<QKeyEvent*>(e);
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this && PreviewKey(k->key(), k->modifiers())) return true;
  }
  return TChildForm::eventFilter(watched, e);
}

void TDisplayForm::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) pointer_.Activated();
  TChildForm::changeEvent(e);
}

void TDisplayForm::resizeEvent(QResizeEvent* e) {
  TChildForm::resizeEvent(e);
  Layout();
}

// --- copy with the legend ------------------------------------------------------------------

QImage TDisplayForm::ImageAndBorder() {
  // Copied by its shortcut before the menu was ever opened there is no point to go back to.
  const bool fromMenu = !popupPoint_.isNull();
  if (fromMenu) QCursor::setPos(popupPoint_);
  IMeasureHooks* measure = MeasureHooks();
  if (measure) measure->RedrawOverlay();
  const int bottom = controlsPanel_->isVisibleTo(this) ? controlsPanel_->y() : height();
  QPixmap shot = grab(QRect(0, 0, width(), bottom));
  // Marked on the copy only: the window itself is not drawn over.
  if (fromMenu && reticlePanel_->isVisibleTo(this)) {
    QPainter painter(&shot);
    DrawPolymarker(painter, mapFromGlobal(popupPoint_), kCopyMarkerShape, markerColour(),
                   kCopyMarkerSize);
  }
  if (measure) measure->RedrawOverlay();
  return shot.toImage();
}

void TDisplayForm::CopyImageItemClick() {
  QGuiApplication::clipboard()->setImage(ImageAndBorder());
}
