#pragma once

#include <cstdint>

class TChildForm;

// The one global signal graph window as the master timeline drives it.
class ITimelineGraph {
 public:
  virtual ~ITimelineGraph() = default;
  // True when the user moved the cursor more than half a master step away from time, which
  // then becomes the cursor time.
  virtual bool TakeCursorTime(float& time) = 0;
  virtual void SetTime(float time) = 0;
  // The master step, the graph's time tolerance.
  virtual void SetTimeStep(float step) = 0;
};

// What the master timeline needs from the main window. Children are in opening order; the
// list may shrink while a child works (a child may pump messages).
class ITimelineHost {
 public:
  virtual ~ITimelineHost() = default;
  virtual int ChildCount() const = 0;
  virtual TChildForm* Child(int index) const = 0;
  // Takes a child that failed while polled or positioned off the list; the window stays.
  virtual void DropChild(TChildForm* child) = 0;
  // Empties the open queue; false when it was empty. An error ends the tick.
  virtual bool OpenQueued() = 0;
  virtual bool LocalPlaybackRuns(TChildForm* child) = 0;
  virtual void StopLocalPlayback(TChildForm* child) = 0;
  virtual ITimelineGraph* Graph() = 0;
  virtual bool MainWindowActive() const = 0;
  virtual bool HasActiveChild() const = 0;
  virtual void FlashActiveChild() = 0;
  // No active child but children: the last becomes active and takes the focus when it can.
  virtual void ActivateLastChild() = 0;
  // The range was computed; the time panel shows exactly when a display window was counted.
  virtual void RangeApplied(bool anyDisplay) = 0;
};

// The time bar: position p stands for master start + p x master step; the selection marks the
// play loop in the same units.
struct TTimeBarState {
  int position = 0;
  int maximum = 100;
  int tickFrequency = 10;
  int selStart = 0;
  int selEnd = 0;
};

// One master time in milliseconds of test time that every display window follows, the common
// range of the open clips, the time panel's commands and the timer tick that ties them
// together. Commands only change state; the next tick shows the result. Interface thread only.
class TMasterTimeline {
 public:
  static constexpr int kDesignedPeriod = 100;
  static constexpr int kSpeedX1 = 67;

  explicit TMasterTimeline(ITimelineHost& host) : host_(host) {}

  // One timer tick; now is the platform tick count. Returns at once when re-entered. An error
  // of the open queue leaves the timeline consistent and propagates.
  void Tick(std::uint32_t now);
  void ComputeRange();
  bool InTick() const { return inTick_; }
  void MarkChildrenChanged() { childrenChanged_ = true; }

  // The two latching buttons: pressing one releases the other, pressing a pressed one
  // releases it; either press then runs its command.
  void PressPlay();
  void PressRepeat();
  void ReleasePlayButtons();
  void Stop();
  void Play();
  void RepeatPlay();
  void StopAtTimeZero();
  void JumpToStart();
  void JumpToEnd();
  void StepForward();
  void StepBackward();
  // The user moved the time bar.
  void TimeBarChange(int position);
  void SetSpeed(int tag) { speedTag_ = tag; }
  void SetLoopStart();
  void SetLoopEnd();
  void SetFullLoop();

  float MasterTime() const { return masterTime_; }
  float MasterStart() const { return masterStart_; }
  float MasterEnd() const { return masterEnd_; }
  float MasterStep() const { return masterStep_; }
  float LoopStart() const { return loopStart_; }
  float LoopEnd() const { return loopEnd_; }
  int SpeedTag() const { return speedTag_; }
  int DisplayCount() const { return displayCount_; }
  bool PlayDown() const { return playDown_; }
  bool RepeatDown() const { return repeatDown_; }
  bool Playing() const { return playDown_ || repeatDown_; }
  bool PushPending() const { return push_; }
  // The timer period in ms the next tick runs at; never below 1.
  int Period() const { return period_; }
  const TTimeBarState& Bar() const { return bar_; }

 private:
  void pollChildren(bool& changed);
  void takeGraphCursor(bool& changed);
  void pushTime();
  void advance(std::uint32_t now);
  void adaptIdlePeriod(bool changed);
  void applyRange(float start, float end, float step);
  void updateLoop();
  int barPositionOf(float time) const;

  ITimelineHost& host_;
  float masterTime_ = 0;
  float masterStart_ = 0;
  float masterEnd_ = 0;
  float masterStep_ = 1.0f;
  float loopStart_ = 0;
  float loopEnd_ = 0;
  int speedTag_ = kSpeedX1;
  int displayCount_ = 0;
  int period_ = kDesignedPeriod;
  bool playDown_ = false;
  bool repeatDown_ = false;
  bool push_ = false;
  bool childrenChanged_ = false;
  bool changedLastTick_ = false;
  bool inTick_ = false;
  std::uint32_t lastAdvance_ = 0;
  std::uint32_t lastRange_ = 0;
  std::uint32_t lastFlash_ = 0;
  TTimeBarState bar_;
};

// Nearest integer, halves to even, saturated to the int range; not a number gives 0.
int RoundToInt(double value);
