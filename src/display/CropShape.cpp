#include "display/CropShape.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kUnbounded = 99999;
// Scaled values from a damaged entry are held far inside int before they are clamped.
constexpr double kCoordinateLimit = 1e6;

int scaled(int v, double s) {
  return int(std::lround(std::clamp(v * s, -kCoordinateLimit, kCoordinateLimit)));
}

// One axis of the clamping: inside [lo, hi) and at least m long. A length below the minimum
// keeps the far edge where it was put when there is room for that, so dragging the near edge
// past the minimum stops the outline without moving its other side.
void clampAxis(int& pos, int& size, int lo, int hi, int m) {
  m = std::min(m, std::max(1, hi - lo));
  if (pos < lo) {
    size -= lo - pos;
    pos = lo;
  } else if (pos + size > hi) {
    if (hi < m + pos) pos = hi - m;
    size = hi - pos;
  }
  if (size < m) {
    if (m < pos - lo) pos = pos + size - m;
    size = m;
  }
  // The far edge may have been put outside the frame; the outline never is.
  pos = std::clamp(pos, lo, std::max(lo, hi - size));
}

}  // namespace

TCropShape::TCropShape() : frame_(QPoint(0, 0), QPoint(kUnbounded - 1, kUnbounded - 1)) {}

void TCropShape::MouseDown(QPoint at) {
  dragging_ = Resizable;
  grab_ = at;
  grabSize_ = bounds_.size();
}

void TCropShape::MouseUp() {
  zone_ = None;
  dragging_ = false;
}

void TCropShape::MouseMove(QPoint at) {
  if (dragging_)
    SetBounds(dragged(at));
  else if (Resizable)
    zone_ = zoneAt(at, bounds_.size());
}

int TCropShape::zoneAt(QPoint at, QSize size) {
  const int column = at.x() <= kBorder ? 0 : at.x() < size.width() - kBorder ? 1 : 2;
  const int row = at.y() <= kBorder ? 0 : at.y() < size.height() - kBorder ? 1 : 2;
  return row * 3 + column + 1;
}

QRect TCropShape::dragged(QPoint at) const {
  const int dx = at.x() - grab_.x(), dy = at.y() - grab_.y();
  int left = bounds_.left(), top = bounds_.top();
  int width = bounds_.width(), height = bounds_.height();
  switch (zone_) {
    case Body:
      left =
          std::clamp(left + dx, frame_.left(), std::max(frame_.left(), frame_.right() + 1 - width));
      top =
          std::clamp(top + dy, frame_.top(), std::max(frame_.top(), frame_.bottom() + 1 - height));
      return {left, top, width, height};
    case TopLeft:
    case Left:
    case BottomLeft:
      left += dx;
      width -= dx;
      break;
    case TopRight:
    case Right:
    case BottomRight:
      width = grabSize_.width() + dx;
      break;
    default:
      break;
  }
  if (zone_ == TopLeft || zone_ == Top || zone_ == TopRight) {
    top += dy;
    height -= dy;
  } else if (zone_ >= BottomLeft) {
    height = grabSize_.height() + dy;
  }
  return {left, top, width, height};
}

void TCropShape::SetBounds(const QRect& bounds) {
  int left = bounds.left(), top = bounds.top();
  int width = bounds.width(), height = bounds.height();
  clampAxis(left, width, frame_.left(), frame_.right() + 1, minimum_);
  clampAxis(top, height, frame_.top(), frame_.bottom() + 1, minimum_);
  bounds_ = QRect(left, top, width, height);
}

// An empty frame (a paint box not laid out yet) is passed over: the next real one scales the
// outline from the last real one.
void TCropShape::SetFrame(const QRect& frame) {
  if (frame.isEmpty()) return;
  const int oldRight = frame_.right() + 1, oldBottom = frame_.bottom() + 1;
  const double sx = oldRight > 0 ? double(frame.right() + 1) / oldRight : 1.0;
  const double sy = oldBottom > 0 ? double(frame.bottom() + 1) / oldBottom : 1.0;
  minimum_ = std::max(kLeastMinimum, scaled(minimum_, sx));
  frame_ = frame;
  SetBounds(QRect(scaled(bounds_.left(), sx), scaled(bounds_.top(), sy),
                  scaled(bounds_.width(), sx), scaled(bounds_.height(), sy)));
}

void TCropShape::Place(const QRect& frame, const QRect& bounds) {
  if (!frame.isEmpty()) frame_ = frame;
  SetBounds(bounds);
}

// --- the widget ---------------------------------------------------------------------------

namespace {

Qt::CursorShape cursorOf(int zone) {
  switch (zone) {
    case TCropShape::TopLeft:
    case TCropShape::BottomRight:
      return Qt::SizeFDiagCursor;
    case TCropShape::Top:
    case TCropShape::Bottom:
      return Qt::SizeVerCursor;
    case TCropShape::TopRight:
    case TCropShape::BottomLeft:
      return Qt::SizeBDiagCursor;
    case TCropShape::Left:
    case TCropShape::Right:
      return Qt::SizeHorCursor;
    case TCropShape::Body:
      return Qt::DragMoveCursor;
    default:
      return Qt::ArrowCursor;
  }
}

}  // namespace

TCropOutline::TCropOutline(QWidget* paintBox) : QWidget(paintBox) {
  setObjectName(QStringLiteral("Cropper"));
  setMouseTracking(true);
  shape_.DimensionStep = 4;
  shape_.SetFrame(paintBox->rect());
  apply();
}

void TCropOutline::apply() {
  setGeometry(shape_.Bounds());
}

void TCropOutline::SetBounds(const QRect& bounds) {
  shape_.SetBounds(bounds);
  apply();
}

void TCropOutline::SetFrame(const QRect& frame) {
  shape_.SetFrame(frame);
  apply();
}

void TCropOutline::Place(const QRect& frame, const QRect& bounds) {
  shape_.Place(frame, bounds);
  apply();
}

void TCropOutline::SetColor(const QColor& color) {
  color_ = color;
  update();
}

void TCropOutline::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(color_);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// Only the left button drags: a right press opens the context menu, whose release this
// outline never sees, and would leave a drag running after the menu closes.
void TCropOutline::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mousePressEvent(e);
  shape_.MouseDown(e->position().toPoint());
}

void TCropOutline::mouseMoveEvent(QMouseEvent* e) {
  shape_.MouseMove(e->position().toPoint());
  if (shape_.Dragging())
    apply();
  else
    setCursor(cursorOf(shape_.Zone()));
}

void TCropOutline::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(e);
  shape_.MouseUp();
  unsetCursor();
}
