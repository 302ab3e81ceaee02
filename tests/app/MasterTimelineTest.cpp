#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "TimelineKit.h"

namespace {

TEST(MasterTimeline, PlaybackPeriodIsSpeedTimesStepAndAdvancesAtMostEvery25Ms) {
  const struct {
    float period;
    int speed;
    int timerPeriod;
    float advancedAfter10Ticks;
  } kCases[] = {
      {1, 67, 67, 10},          // 1000 frames/s at x1
      {1, 33, 33, 10},          // at x2
      {0.5f, 33, 16, 2.5f},     // 16.5 rounds to even; every other 16 ms tick advances
      {0.001f, 67, 1, 0.001f},  // 0.067 would stop the timer: 1 ms, and one advance per 25 ms
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.period);
    TimelineRig rig;
    rig.add(c.period, 0, 1000000);
    rig.tick();
    rig.timeline.SetSpeed(c.speed);
    rig.timeline.PressPlay();
    rig.ticks(10);
    EXPECT_EQ(rig.timeline.Period(), c.timerPeriod);
    EXPECT_FLOAT_EQ(rig.timeline.MasterTime(), c.advancedAfter10Ticks);
    EXPECT_TRUE(rig.timeline.PlayDown());
  }
}

TEST(MasterTimeline, TwoClipsGiveTheCommonRange) {
  TimelineRig rig;
  rig.add(1, -10, 101);
  TimedClip& last = rig.add(0.5f, 0, 201);
  rig.tick();
  const TMasterTimeline& t = rig.timeline;
  EXPECT_FLOAT_EQ(t.MasterStart(), -10);
  EXPECT_FLOAT_EQ(t.MasterEnd(), 100);
  EXPECT_FLOAT_EQ(t.MasterStep(), 0.5f);
  EXPECT_EQ(t.DisplayCount(), 2);
  EXPECT_FLOAT_EQ(t.LoopStart(), -10);
  EXPECT_FLOAT_EQ(t.LoopEnd(), 100);
  EXPECT_TRUE(rig.host.panelShown);
  EXPECT_EQ(rig.host.active, &last);  // no active child: the last one becomes it
}

TEST(MasterTimeline, RangesBeyondTheIntRangeSaturateTheBar) {
  TimelineRig rig;
  rig.add(0.00001f, -3e38f, 2);
  rig.add(1, 3e38f, 2);  // end - start is infinite in single precision
  rig.tick();
  EXPECT_EQ(rig.timeline.Bar().maximum, INT_MAX);
  EXPECT_EQ(rig.timeline.Bar().tickFrequency, INT_MAX / 10);
  rig.timeline.JumpToEnd();
  rig.tick();
  EXPECT_EQ(rig.timeline.Bar().position, INT_MAX);
}

// One clip of 101 frames at 1 ms from time 0; bar positions are milliseconds.
TEST(MasterTimeline, PlayAndRepeatRunToTheirEnds) {
  auto loop20to40 = [](TMasterTimeline& t) {
    t.TimeBarChange(20);
    t.SetLoopStart();
    t.TimeBarChange(40);
    t.SetLoopEnd();
  };
  const struct {
    const char* name;
    std::function<void(TimelineRig&)> act;
    float time;
    bool play;
    bool repeat;
  } kCases[] = {
      {"play from the end restarts at the start",
       [](TimelineRig& r) {
         r.timeline.JumpToEnd();
         r.tick();
         r.timeline.PressPlay();
       },
       0, true, false},
      {"play reaching the end stops there",
       [](TimelineRig& r) {
         r.timeline.TimeBarChange(95);
         r.timeline.PressPlay();
         r.ticks(10);
       },
       100, false, false},
      {"repeat wraps past the loop end to the loop start",
       [&](TimelineRig& r) {
         loop20to40(r.timeline);
         r.timeline.TimeBarChange(38);
         r.timeline.PressRepeat();
         r.ticks(3);  // 39, 40, 41 -> 20
       },
       20, false, true},
      {"repeat pressed past the loop end starts at the loop start",
       [&](TimelineRig& r) {
         loop20to40(r.timeline);
         r.timeline.TimeBarChange(60);
         r.timeline.PressRepeat();
       },
       20, false, true},
      {"play ignores the loop",
       [&](TimelineRig& r) {
         loop20to40(r.timeline);
         r.timeline.TimeBarChange(38);
         r.timeline.PressPlay();
         r.ticks(3);
       },
       41, true, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TimelineRig rig;
    TimedClip& clip = rig.add(1, 0, 101);
    rig.tick();
    c.act(rig);
    EXPECT_FLOAT_EQ(rig.timeline.MasterTime(), c.time);
    EXPECT_EQ(rig.timeline.PlayDown(), c.play);
    EXPECT_EQ(rig.timeline.RepeatDown(), c.repeat);
    if (!rig.timeline.Playing()) {
      rig.tick();
      EXPECT_EQ(clip.CurrentFrame(), int(c.time)) << "the stopped time is pushed once";
    }
  }
}

// One clip from 10 to 100 ms: the range does not hold 0. Every command stops playback.
TEST(MasterTimeline, JumpsAndStepsStopAndStayInTheRange) {
  const struct {
    const char* name;
    void (TMasterTimeline::*command)();
    int fromPosition;
    float time;
  } kCases[] = {
      {"step forward", &TMasterTimeline::StepForward, 40, 51},
      {"step forward at the end", &TMasterTimeline::StepForward, 90, 100},
      {"step backward", &TMasterTimeline::StepBackward, 40, 49},
      {"step backward at the start", &TMasterTimeline::StepBackward, 0, 10},
      {"jump to end", &TMasterTimeline::JumpToEnd, 40, 100},
      {"jump to start", &TMasterTimeline::JumpToStart, 40, 10},
      {"time zero outside the range", &TMasterTimeline::StopAtTimeZero, 40, 0},
      {"stop", &TMasterTimeline::Stop, 40, 50},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TimelineRig rig;
    TimedClip& clip = rig.add(1, 10, 91);
    rig.tick();
    rig.timeline.TimeBarChange(c.fromPosition);
    if (c.fromPosition < 90) rig.timeline.PressRepeat();  // at the end it would restart
    (rig.timeline.*c.command)();
    EXPECT_FALSE(rig.timeline.Playing());
    EXPECT_FLOAT_EQ(rig.timeline.MasterTime(), c.time);
    rig.tick();
    EXPECT_FLOAT_EQ(rig.timeline.MasterTime(), c.time) << "the tick's own bar move keeps it";
    EXPECT_EQ(clip.CurrentFrame(), int(c.time) - 10);
  }
}

TEST(MasterTimeline, OpeningAClipKeepsTheLoopTimesAndClosingTheLastHidesThePanel) {
  TimelineRig rig;
  TimedClip& first = rig.add(1, 0, 101);
  rig.tick();
  rig.timeline.TimeBarChange(30);
  rig.timeline.SetLoopStart();
  rig.timeline.TimeBarChange(60);
  rig.timeline.SetLoopEnd();
  rig.tick();
  const TTimeBarState before = rig.timeline.Bar();

  TimedClip& inside = rig.add(1, 20, 61);  // neither range nor step changes
  rig.tick();
  const TTimeBarState& bar = rig.timeline.Bar();
  EXPECT_EQ(std::tie(bar.position, bar.maximum, bar.selStart, bar.selEnd),
            std::tie(before.position, before.maximum, before.selStart, before.selEnd));

  TimedClip& earlier = rig.add(1, -50, 101);  // extends the range to -50
  rig.tick();
  EXPECT_FLOAT_EQ(rig.timeline.LoopStart(), 30);
  EXPECT_FLOAT_EQ(rig.timeline.LoopEnd(), 60);
  EXPECT_EQ(bar.maximum, 150);
  EXPECT_EQ(std::pair(bar.selStart, bar.selEnd), std::pair(80, 110));

  rig.timeline.PressRepeat();
  for (TimedClip* clip : {&earlier, &inside, &first}) rig.remove(*clip);
  rig.tick();
  EXPECT_FALSE(rig.host.panelShown);
  EXPECT_FALSE(rig.timeline.Playing());
  EXPECT_EQ(rig.timeline.DisplayCount(), 0);
}

TEST(MasterTimeline, IdlePeriodHalvesWhileBusyAndDoublesWhileQuiet) {
  const struct {
    const char* repaints;  // 'C': a window redraws before that tick
    std::vector<int> periods;
  } kCases[] = {
      {"...", {100, 200, 200}},
      {"CCC", {50, 25, 25}},
      {".C.", {100, 100, 100}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.repaints);
    TimelineRig rig;
    TimedClip& clip = rig.add(1, 0, 101);
    rig.tick();  // the first poll redraws
    std::vector<int> periods;
    for (const char* p = c.repaints; *p; ++p) {
      clip.NeedsRepaint = *p == 'C';
      rig.tick();
      periods.push_back(rig.timeline.Period());
    }
    EXPECT_EQ(periods, c.periods);
  }
}

TEST(MasterTimeline, ChildrenThatFailAreDroppedAndTheOthersGoOn) {
  for (bool failInShow : {false, true}) {
    SCOPED_TRACE(failInShow);
    TimelineRig rig;
    TimedClip& good = rig.add(1, 0, 101);
    TimedClip& bad = rig.add(1, 0, 101);
    rig.tick();
    (failInShow ? bad.failShow : bad.failPoll) = true;
    rig.timeline.JumpToEnd();
    rig.tick();
    EXPECT_EQ(rig.host.dropped, std::vector<TChildForm*>{&bad});
    EXPECT_EQ(good.CurrentFrame(), 100);
  }
}

TEST(MasterTimeline, ReentryAndQueueErrorsLeaveTheTickUsable) {
  TimelineRig rig;
  TimedClip& clip = rig.add(1, 0, 101);
  int calls = 0;
  rig.host.openQueued = [&] {
    if (++calls == 1) rig.timeline.Tick(rig.now);  // a child pumping messages re-enters
    if (calls == 2) throw Exception("Stream Open Failed");
    return false;
  };
  rig.tick();
  EXPECT_EQ(calls, 1);
  EXPECT_THROW(rig.tick(), Exception);
  EXPECT_FALSE(rig.timeline.InTick());
  rig.timeline.JumpToEnd();
  rig.tick();
  EXPECT_EQ(clip.CurrentFrame(), 100);
}

}  // namespace
