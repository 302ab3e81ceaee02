#pragma once

#include <QPointF>
#include <Qt>
#include <optional>

// What a display window asks of its Quick Measure window. The Quick Measure window implements
// this beside being a widget; the display window reaches it by a cross-cast of its companion
// window, so the display layer needs nothing from the measuring layer. Image points are in image
// pixels, x from the left, y from the bottom row upward. All calls on the interface thread.
class IMeasureHooks {
 public:
  virtual ~IMeasureHooks() = default;
  // The pointer is over image point p. An answer is an image point the pointer should snap to
  // (a tracked point nearby); the display window decides whether it still snaps.
  virtual std::optional<QPointF> PointerMoved(Qt::KeyboardModifiers modifiers, QPointF p) = 0;
  // The user clicked image point p on the given frame.
  virtual void Clicked(int frame, QPointF p) = 0;
  // Draws the measurement overlay again over the image.
  virtual void RedrawOverlay() = 0;
};
