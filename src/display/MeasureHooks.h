#pragma once

#include <QPointF>
#include <Qt>
#include <optional>

class QPainter;
class TImageMapping;

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
  // The window shows that frame now (also said again on every paint).
  virtual void FrameShown(int /*frame*/) {}
  // The clip's timing changed: time decimals, frame period and time of frame 0 in ms.
  virtual void TimingChanged(int /*decimals*/, float /*period*/, float /*offset*/) {}
  // The clip window is about to close: false keeps it open (unsaved measurements).
  virtual bool CloseQuery() { return true; }
  // Paints the current frame's samples over the image as the mapping places it.
  virtual void DrawOverlay(QPainter& /*painter*/, const TImageMapping& /*mapping*/) {}
};
