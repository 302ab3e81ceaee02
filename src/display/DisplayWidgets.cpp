#include "display/DisplayWidgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (image_ && !image_->isNull()) {
    const TImageMapping mapping =
        Mapping ? Mapping()
                : TImageMapping::Full(image_->width() - 1, image_->height() - 1, size());
    if (picture_.size() != mapping.Box() || pictureKey_ != image_->cacheKey() ||
        pictureSource_ != mapping.Source()) {
      picture_ = StretchNearest(*image_, mapping);
      pictureKey_ = image_->cacheKey();
      pictureSource_ = mapping.Source();
    }
    // One picture pixel per logical pixel; on a high-density screen each becomes a whole block.
    painter.drawImage(rect(), picture_);
  } else {
    painter.fillRect(rect(), palette().window());
  }
  if (OnPaint) OnPaint(painter);
}

TFrameBar::TFrameBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setPageStep(1);
  setTickPosition(QSlider::TicksBelow);
}

void TFrameBar::SetSelStart(int frame) {
  selStart_ = frame;
  update();
}

void TFrameBar::SetSelEnd(int frame) {
  selEnd_ = frame;
  update();
}

void TFrameBar::ClearSelection() {
  selStart_ = selEnd_ = 0;
  update();
}

int TFrameBar::valueAt(int x) const {
  return QStyle::sliderValueFromPosition(minimum(), maximum(), x, width());
}

void TFrameBar::paintEvent(QPaintEvent* e) {
  QSlider::paintEvent(e);
  if (selStart_ >= selEnd_ || maximum() <= minimum()) return;
  QPainter painter(this);
  const int x0 = QStyle::sliderPositionFromValue(minimum(), maximum(), selStart_, width());
  const int x1 = QStyle::sliderPositionFromValue(minimum(), maximum(), selEnd_, width());
  painter.fillRect(QRect(x0, 0, std::max(1, x1 - x0), 3), palette().highlight());
}

void TFrameBar::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier)) {
    dragFrom_ = valueAt(int(e->position().x()));
    SetSelStart(dragFrom_);
    SetSelEnd(dragFrom_);
    return;
  }
  QSlider::mousePressEvent(e);
}

void TFrameBar::mouseMoveEvent(QMouseEvent* e) {
  if (dragFrom_ < 0) return QSlider::mouseMoveEvent(e);
  const int at = valueAt(int(e->position().x()));
  selStart_ = std::min(dragFrom_, at);
  selEnd_ = std::max(dragFrom_, at);
  update();
}

void TFrameBar::mouseReleaseEvent(QMouseEvent* e) {
  if (dragFrom_ < 0) return QSlider::mouseReleaseEvent(e);
  mouseMoveEvent(e);
  dragFrom_ = -1;
  if (OnSelect) OnSelect(selStart_, selEnd_);
}
