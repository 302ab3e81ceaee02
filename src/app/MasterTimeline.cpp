#include "app/MasterTimeline.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include "display/ChildForm.h"

namespace {

constexpr std::uint32_t kRangeEveryMs = 1000;
constexpr std::uint32_t kFlashEveryMs = 700;
constexpr std::uint32_t kAdvanceEveryMs = 25;
constexpr int kIdleShortest = 25;
constexpr int kIdleLongest = 200;

// Tick counts wrap after 49 days; the difference still counts the milliseconds between.
std::uint32_t since(std::uint32_t now, std::uint32_t then) {
  return now - then;
}

}  // namespace

int RoundToInt(double value) {
  if (std::isnan(value)) return 0;
  const double r = std::nearbyint(value);  // the default rounding mode sends halves to even
  if (r >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (r <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return int(r);
}

void TMasterTimeline::Tick(std::uint32_t now) {
  if (inTick_) return;
  inTick_ = true;
  struct Leave {
    bool& flag;
    ~Leave() { flag = false; }
  } leave{inTick_};
  bool changed = false;
  if (host_.OpenQueued()) childrenChanged_ = true;
  pollChildren(changed);
  takeGraphCursor(changed);
  if (push_) pushTime();
  if (childrenChanged_ || since(now, lastRange_) > kRangeEveryMs) {
    lastRange_ = now;
    ComputeRange();
  }
  if (host_.ChildCount() == 0) return;
  if (host_.MainWindowActive() && host_.HasActiveChild() &&
      since(now, lastFlash_) > kFlashEveryMs) {
    host_.FlashActiveChild();
    lastFlash_ = now;
  }
  // The bar follows the master time; the master time itself stays exact.
  if (push_ && masterStep_ > 0)
    bar_.position = std::clamp(barPositionOf(masterTime_), 0, bar_.maximum);
  push_ = Playing();
  if (push_)
    advance(now);
  else
    adaptIdlePeriod(changed);
}

void TMasterTimeline::pollChildren(bool& changed) {
  for (int i = host_.ChildCount() - 1; i >= 0; --i) {
    if (i >= host_.ChildCount()) continue;
    TChildForm* child = host_.Child(i);
    try {
      bool frozen = false;
      if (child->Poll(childrenChanged_, frozen)) changed = true;
      if (!frozen && child->StopRequest) {
        masterTime_ = child->CurrentTime();
        child->StopRequest = false;
        Stop();
        changed = true;
      }
    } catch (const std::exception&) {
      host_.DropChild(child);
      childrenChanged_ = true;
    }
  }
}

void TMasterTimeline::takeGraphCursor(bool& changed) {
  ITimelineGraph* graph = host_.Graph();
  if (!graph) return;
  if (graph->TakeCursorTime(masterTime_)) {
    Stop();
    changed = true;
  } else if (push_) {
    graph->SetTime(masterTime_);
  }
}

void TMasterTimeline::pushTime() {
  for (int i = host_.ChildCount() - 1; i >= 0; --i) {
    if (i >= host_.ChildCount()) continue;
    TChildForm* child = host_.Child(i);
    if (!child->IsDisplayWindow()) continue;
    try {
      if (host_.LocalPlaybackRuns(child)) host_.StopLocalPlayback(child);
      child->ShowTime(masterTime_);
    } catch (const std::exception&) {
      host_.DropChild(child);
      childrenChanged_ = true;
    }
  }
}

void TMasterTimeline::advance(std::uint32_t now) {
  if (since(now, lastAdvance_) > kAdvanceEveryMs) {
    masterTime_ += masterStep_;
    if (masterTime_ > loopEnd_ && repeatDown_) masterTime_ = loopStart_;
    if (masterTime_ > masterEnd_) {
      playDown_ = false;
      masterTime_ = masterEnd_;
    }
    lastAdvance_ = now;
  }
  // Below 1 ms the platform timer would stop; a huge period must not overflow.
  period_ = std::max(1, RoundToInt(double(speedTag_) * double(masterStep_)));
}

void TMasterTimeline::adaptIdlePeriod(bool changed) {
  if (changed) {
    if (changedLastTick_) period_ = std::max(period_ / 2, kIdleShortest);
  } else if (!changedLastTick_) {
    period_ = period_ > kIdleLongest / 2 ? kIdleLongest : period_ * 2;
  }
  changedLastTick_ = changed;
}

void TMasterTimeline::ComputeRange() {
  childrenChanged_ = false;
  displayCount_ = 0;
  float step = 999999.0f;
  float end = -999999.0f;
  float start = 999999.0f;
  for (int i = host_.ChildCount() - 1; i >= 0; --i) {
    TChildForm* child = host_.Child(i);
    if (!child->IsDisplayWindow()) continue;
    step = std::min(step, child->EffectiveFramePeriod());
    start = std::min(start, child->TimeOffset());
    end = std::max(end, child->EndTime());
    ++displayCount_;
  }
  if (!host_.HasActiveChild() && host_.ChildCount() > 0) host_.ActivateLastChild();
  if (displayCount_ == 0) {
    ReleasePlayButtons();
    bar_.selStart = bar_.selEnd = 0;
    loopStart_ = masterStart_;
    loopEnd_ = masterEnd_;
  } else if (start != masterStart_ || end != masterEnd_ || step != masterStep_) {
    applyRange(start, end, step);
  }
  host_.RangeApplied(displayCount_ > 0);
}

void TMasterTimeline::applyRange(float start, float end, float step) {
  if (ITimelineGraph* graph = host_.Graph()) graph->SetTimeStep(step);
  bar_.maximum = std::max(0, RoundToInt(float((end - start) / step)));
  bar_.tickFrequency = bar_.maximum < 10 ? 1 : bar_.maximum / 10;
  bar_.position = std::min(bar_.position, bar_.maximum);
  masterStart_ = start;
  masterEnd_ = end;
  masterStep_ = step;
  if (bar_.selStart >= bar_.selEnd) {
    loopStart_ = masterStart_;
    loopEnd_ = masterEnd_;
  } else {
    loopStart_ = std::max(loopStart_, masterStart_);
    loopEnd_ = std::min(loopEnd_, masterEnd_);
    bar_.selStart = barPositionOf(loopStart_);
    bar_.selEnd = barPositionOf(loopEnd_);
  }
}

int TMasterTimeline::barPositionOf(float time) const {
  return RoundToInt(float((time - masterStart_) / masterStep_));
}

void TMasterTimeline::PressPlay() {
  playDown_ = !playDown_;
  if (playDown_) repeatDown_ = false;
  Play();
}

void TMasterTimeline::PressRepeat() {
  repeatDown_ = !repeatDown_;
  if (repeatDown_) playDown_ = false;
  RepeatPlay();
}

void TMasterTimeline::ReleasePlayButtons() {
  playDown_ = repeatDown_ = false;
}

void TMasterTimeline::Stop() {
  ReleasePlayButtons();
  push_ = true;
}

void TMasterTimeline::Play() {
  if (masterTime_ >= masterEnd_) masterTime_ = masterStart_;
  push_ = true;
}

void TMasterTimeline::RepeatPlay() {
  if (masterTime_ >= loopEnd_) masterTime_ = loopStart_;
  push_ = true;
}

void TMasterTimeline::StopAtTimeZero() {
  masterTime_ = 0.0f;
  Stop();
}

void TMasterTimeline::JumpToStart() {
  masterTime_ = masterStart_;
  Stop();
}

void TMasterTimeline::JumpToEnd() {
  masterTime_ = masterEnd_;
  Stop();
}

void TMasterTimeline::StepForward() {
  masterTime_ = std::min(masterTime_ + masterStep_, masterEnd_);
  Stop();
}

void TMasterTimeline::StepBackward() {
  masterTime_ = std::max(masterTime_ - masterStep_, masterStart_);
  Stop();
}

void TMasterTimeline::TimeBarChange(int position) {
  bar_.position = position;
  masterTime_ = float(position) * masterStep_ + masterStart_;
  Stop();
}

void TMasterTimeline::SetLoopStart() {
  bar_.selStart = bar_.position;
  updateLoop();
}

void TMasterTimeline::SetLoopEnd() {
  bar_.selEnd = bar_.position;
  updateLoop();
}

void TMasterTimeline::SetFullLoop() {
  bar_.selStart = bar_.selEnd = 0;
  loopStart_ = masterStart_;
  loopEnd_ = masterEnd_;
}

void TMasterTimeline::updateLoop() {
  if (bar_.selStart >= bar_.selEnd) {
    loopStart_ = masterStart_;
    loopEnd_ = masterEnd_;
  } else {
    loopStart_ = float(bar_.selStart) * masterStep_ + masterStart_;
    loopEnd_ = float(bar_.selEnd) * masterStep_ + masterStart_;
  }
}
