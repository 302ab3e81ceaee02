#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "AppTestSupport.h"
#include "app/MasterTimeline.h"
#include "platform/Exception.h"

// A clip window with timing and a frame count, which can be told to fail.
class TimedClip : public FakeChild {
 public:
  TimedClip(float period, float offset, int frames) : frames_(frames) {
    SetFramePeriod(period);
    SetTimeOffset(offset);
  }
  float EndTime() override { return EffectiveFramePeriod() * float(frames_ - 1) + TimeOffset(); }
  int FrameCount() override { return frames_; }
  bool Poll(bool& hasTiming, bool& frozen) override {
    if (failPoll) throw Exception("poll failed");
    return TChildForm::Poll(hasTiming, frozen);
  }
  void ShowTime(float time) override {
    if (failShow) throw Exception("show failed");
    ++shows;
    TChildForm::ShowTime(time);
  }
  bool failPoll = false;
  bool failShow = false;
  int shows = 0;

 private:
  int frames_;
};

// The main window's side, recorded.
class FakeHost : public ITimelineHost {
 public:
  int ChildCount() const override { return int(children.size()); }
  TChildForm* Child(int index) const override { return children[std::size_t(index)]; }
  void DropChild(TChildForm* child) override {
    std::erase(children, child);
    dropped.push_back(child);
  }
  bool OpenQueued() override { return openQueued ? openQueued() : false; }
  bool LocalPlaybackRuns(TChildForm*) override { return false; }
  void StopLocalPlayback(TChildForm*) override {}
  ITimelineGraph* Graph() override { return nullptr; }
  bool MainWindowActive() const override { return mainActive; }
  bool HasActiveChild() const override { return active != nullptr; }
  void FlashActiveChild() override { ++flashes; }
  void ActivateLastChild() override { active = children.back(); }
  void RangeApplied(bool anyDisplay) override { panelShown = anyDisplay; }

  std::vector<TChildForm*> children;
  std::vector<TChildForm*> dropped;
  std::function<bool()> openQueued;
  bool mainActive = false;
  TChildForm* active = nullptr;
  int flashes = 0;
  bool panelShown = false;
};

// A timeline over owned clips, ticked by a clock the test moves.
struct TimelineRig {
  FakeHost host;
  TMasterTimeline timeline{host};
  std::vector<std::unique_ptr<TimedClip>> clips;
  std::uint32_t now = 5000;

  TimedClip& add(float period, float offset, int frames) {
    clips.push_back(std::make_unique<TimedClip>(period, offset, frames));
    host.children.push_back(clips.back().get());
    timeline.MarkChildrenChanged();
    return *clips.back();
  }
  void remove(TimedClip& clip) {
    std::erase(host.children, &clip);
    timeline.MarkChildrenChanged();
  }
  // One tick after the period the timeline asked for.
  void tick() {
    now += std::uint32_t(timeline.Period());
    timeline.Tick(now);
  }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) tick();
  }
};
