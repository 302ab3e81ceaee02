#include "measure/QMCollector.h"

#include <algorithm>

#include "measure/MotionDataBase.h"

TObjDef* TCollector::Current() const {
  const TObjDefList& objects = db_.Objects();
  if (object_ < 1 || std::size_t(object_) >= objects.Count()) return nullptr;
  return objects.Object(std::size_t(object_));
}

void TCollector::SetCurrent(int object, int point) {
  object_ = object;
  point_ = point;
}

void TCollector::SetCurrent(const TObjDef* def, int point) {
  const TObjDefList& objects = db_.Objects();
  for (std::size_t i = 1; i < objects.Count(); ++i)
    if (objects.Object(i) == def) SetCurrent(int(i), std::clamp(point, 0, def->PointCount() - 1));
}

std::optional<int> TCollector::Click(int frame, TImagePoint p, const TStep& step) {
  TObjDef* def = Current();
  if (!def) return std::nullopt;
  const TSampleObject& sample = db_.SetPoint(frame, *def, point_, p);
  if (++point_ >= sample.PointCount()) {
    point_ = 0;
    if (std::size_t(++object_) >= db_.Objects().Count()) {
      object_ = 1;
      if (step.autoStep) frame = std::clamp(frame + step.frameStep, 0, std::max(step.lastFrame, 0));
    }
  }
  return frame;
}

bool TCollector::FrameChanged(int frame) {
  if (!db_.Frames().SetCurrentFrame(frame)) return false;
  point_ = 0;
  object_ = 1;
  return true;
}

std::optional<TImagePoint> TCollector::Prediction() const {
  const TObjDef* def = Current();
  if (!def) return std::nullopt;
  return db_.PredictPoint(*def, db_.Frames().CurrentFrame(), point_);
}
