#pragma once

#include <optional>

#include "display/ImageMapping.h"

class TMotionDataBase;
class TObjDef;

// Where the next collection click lands. The user clicks, frame after frame, every point of
// every object in creation order; after the last point of the last object the frame may step
// on. Object 0 is the hidden reference point, so the first user object is 1.
class TCollector {
 public:
  explicit TCollector(TMotionDataBase& db) : db_(db) {}

  int CurrentObject() const { return object_; }
  int CurrentPoint() const { return point_; }
  // The object taking the next click, or nullptr while there is none (no user objects).
  TObjDef* Current() const;
  void SetCurrent(int object, int point);
  // A table cell of that object and point was clicked.
  void SetCurrent(const TObjDef* def, int point);

  struct TStep {
    bool autoStep = false;
    int frameStep = 1;  // may be negative
    int lastFrame = 0;
  };
  // Stores the click as the current point in that frame and moves on. Answers the frame the
  // display window should show next; empty when there was nothing to collect.
  std::optional<int> Click(int frame, TImagePoint p, const TStep& step);
  // The shown frame changed: the first point of the first object is next. True when it did.
  bool FrameChanged(int frame);
  // Where the current point is expected in the current frame, by the cursor positioning mode.
  std::optional<TImagePoint> Prediction() const;

 private:
  TMotionDataBase& db_;
  int object_ = 1;
  int point_ = 0;
};
