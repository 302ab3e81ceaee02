#include "measure/MotionDataBase.h"

std::optional<TImagePoint> TMotionDataBase::PredictPoint(const TObjDef& def, int frame,
                                                         int i) const {
  const TCursorMode mode = objects_->cursorMode;
  const TFrameObjectList& frames = *frames_;
  if (mode == TCursorMode::None || frames.Count() == 0) return std::nullopt;
  // The frame's holder, else the first one after it, else the last; then back from there to
  // the nearest sample that has the point (it may lie after the frame asked for).
  const TFrameObjectList::Found f = frames.FindFrame(frame);
  std::size_t start = f.index < frames.Count() ? f.index : frames.Count() - 1;
  const TSampleObject* s1 = nullptr;
  for (std::size_t k = start + 1; k-- > 0 && !s1;) {
    const TSampleObject* s = TFrameObjectList::FindSample(*frames.Holder(k), &def);
    if (s && s->HasPoint(i)) s1 = s;
  }
  if (!s1) return std::nullopt;
  const TImagePoint p1 = s1->GetPoint(i);
  const TSampleObject* s0 = frames.PreviousSample(*s1);
  // Without an earlier sample that has the point there is no velocity to go on.
  if (mode == TCursorMode::Simple || !s0 || !s0->HasPoint(i)) return p1;
  const float t1 = s1->Holder()->Time(), t0 = s0->Holder()->Time();
  if (t1 == t0) return p1;
  const float r = (frames.TimeOf(frame) - t0) / (t1 - t0);
  const TImagePoint p0 = s0->GetPoint(i);
  return TImagePoint{p0.x + (p1.x - p0.x) * r, p0.y + (p1.y - p0.y) * r};
}
