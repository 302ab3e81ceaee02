#include "display/PointerInput.h"

#include <algorithm>
#include <cmath>

#include "display/MeasureHooks.h"
#include "platform/Clock.h"

namespace {

QPoint PixelOf(QPointF p) {
  return {int(std::floor(p.x())), int(std::floor(p.y()))};
}

QPoint ClampedInto(QPoint p, QSize box) {
  return {std::clamp(p.x(), 0, box.width() - 1), std::clamp(p.y(), 0, box.height() - 1)};
}

// The step a key moves the pointer by, in units of the step size; (0, 0) for other keys.
QPoint KeyDirection(int key) {
  switch (key) {
    case Qt::Key_Left:
      return {-1, 0};
    case Qt::Key_Right:
      return {1, 0};
    case Qt::Key_Up:
      return {0, -1};
    case Qt::Key_Down:
      return {0, 1};
    case Qt::Key_Home:
      return {-1, -1};
    case Qt::Key_PageUp:
      return {1, -1};
    case Qt::Key_End:
      return {-1, 1};
    case Qt::Key_PageDown:
      return {1, 1};
    default:
      return {};
  }
}

}  // namespace

bool TPointerInput::PointerMove(QPointF at, Qt::KeyboardModifiers modifiers,
                                const TContext& context) {
  if (!window_.hasFocus()) {
    window_.takeFocus();
    return false;
  }
  reticle_ = context.mapping.PointerToImage(at);
  if (!context.measure) return true;
  const auto answer = context.measure->PointerMoved(modifiers, QPointF(reticle_.x, reticle_.y));
  if (!answer || snapState_ <= 0) return true;
  if (snapState_ == 1)
    snapState_ = 2;
  else if (platform_clock::tickCount() - lastSnapTime_ > kSnapPauseMs)
    snapState_ = 0;
  if (snapState_ > 0 && PixelOf(at) != lastSnapped_) snap(*answer, context.mapping);
  return true;
}

void TPointerInput::snap(QPointF to, const TImageMapping& mapping) {
  const QPoint target(int(std::lround(mapping.ImageToScreenX(float(to.x())))),
                      int(std::lround(mapping.ImageToScreenY(float(to.y())))));
  lastSnapped_ = ClampedInto(target, mapping.Box());
  window_.movePointer(lastSnapped_);
  lastSnapTime_ = platform_clock::tickCount();
  reticle_ = {float(to.x()), float(to.y())};
}

void TPointerInput::Click(QPointF at, Qt::KeyboardModifiers modifiers, const TContext& context) {
  if (!context.saving && !window_.hasFocus()) window_.takeFocus();
  // The click's own position, not the last move's: a move that only took the focus left the
  // reticle where it was, and the click must land on the pixel under the pointer.
  reticle_ = context.mapping.PointerToImage(at);
  if (!context.measure || !context.measureVisible) return;
  context.measure->RedrawOverlay();
  context.measure->Clicked(context.frame, QPointF(reticle_.x, reticle_.y));
  snapState_ = 1;
  PointerMove(window_.pointer(), modifiers, context);
}

bool TPointerInput::Key(int key, Qt::KeyboardModifiers modifiers, const TContext& context) {
  if (!context.reticleShown) return false;
  const QPoint at = window_.pointer();
  const QSize box = context.mapping.Box();
  if (!QRect(QPoint(0, 0), box).contains(at)) return false;
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    Click(at, modifiers, context);
    return true;
  }
  const QPoint direction = KeyDirection(key);
  if (direction.isNull()) return false;
  const int step = (modifiers & Qt::ShiftModifier) ? 10 : 1;
  const QPoint to = ClampedInto(at + direction * step, box);
  window_.movePointer(to);
  // The platform may or may not report the move back; the reticle follows either way.
  PointerMove(to, modifiers, context);
  return true;
}
