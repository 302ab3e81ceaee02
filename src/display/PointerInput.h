#pragma once

#include <QPoint>
#include <QPointF>
#include <Qt>
#include <cstdint>
#include <functional>

#include "display/ImageMapping.h"

class IMeasureHooks;

// The pointer and keyboard over a display window's paint box: the reticle (the image point
// under the pointer), snapping the pointer to points Quick Measure tracks, clicks, and moving
// the pointer pixel by pixel from the keyboard. Positions are logical paint-box pixels. The
// window is reached through TWindow so that tests drive focus and pointer by hand.
class TPointerInput {
 public:
  // A pause longer than this between two snaps ends snapping until the next click or
  // activation: a user who stops to aim is not pulled back to the tracked point.
  static constexpr std::uint32_t kSnapPauseMs = 200;

  struct TWindow {
    std::function<bool()> hasFocus;
    std::function<void()> takeFocus;
    std::function<QPoint()> pointer;          // where the pointer is now
    std::function<void(QPoint)> movePointer;  // puts the pointer there
  };

  // What the window is showing when an event arrives.
  struct TContext {
    TImageMapping mapping;
    IMeasureHooks* measure = nullptr;  // the Quick Measure window, when there is one
    bool measureVisible = false;
    int frame = 0;
    bool saving = false;
    bool reticleShown = false;
  };

  explicit TPointerInput(TWindow window) : window_(std::move(window)) {}

  // False when the move only took the focus (the reticle stays as it was).
  bool PointerMove(QPointF at, Qt::KeyboardModifiers modifiers, const TContext& context);
  // A click at `at` (also the Enter key at the pointer).
  void Click(QPointF at, Qt::KeyboardModifiers modifiers, const TContext& context);
  // True when the key was used (and must not reach anyone else).
  bool Key(int key, Qt::KeyboardModifiers modifiers, const TContext& context);
  // The window became active: the next answer from Quick Measure snaps again.
  void Activated() { snapState_ = 1; }

  TImagePoint Reticle() const { return reticle_; }
  int SnapState() const { return snapState_; }

 private:
  void snap(QPointF to, const TImageMapping& mapping);

  TWindow window_;
  TImagePoint reticle_;
  int snapState_ = 0;  // 0 off, 1 armed by a click or activation, 2 snapping
  std::uint32_t lastSnapTime_ = 0;
  QPoint lastSnapped_{-1, -1};
};
