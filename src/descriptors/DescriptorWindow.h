#pragma once

// What the descriptor editor asks of the clip window whose descriptors it parses or edits. The
// child window implements it; the editor never owns it. All calls on the interface thread.
class IDescriptorWindow {
 public:
  // The window's timing model (see TTimingModel): ms per frame and the time of frame 0.
  virtual float EffectiveFramePeriod() const = 0;
  virtual float TimeOffset() const = 0;
  virtual int TimeDecimals() const = 0;
  // Both also rewrite the "Timing" entries of the window's descriptor text.
  virtual void SetFramePeriod(float period) = 0;
  virtual void SetTimeOffset(float time) = 0;
  // Redraws when the shown frame is stale; true when something changed.
  virtual bool UpdateFrame() = 0;

 protected:
  virtual ~IDescriptorWindow() = default;
};
