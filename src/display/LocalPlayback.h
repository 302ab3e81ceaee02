#pragma once

// The display window's own playback, apart from the master timeline: the frame it works from,
// the loop points and the interval between steps. Frame numbers are 0-based; the window
// clamps what it shows to its clip.
class TLocalPlayback {
 public:
  static constexpr int kDefaultInterval = 67;  // ms, speed "x1"

  // Interval in ms for a speed tag (512 = "1/8" ... 4096 = "x1" ... 32768 = "x8"); 0 for a
  // tag that is no speed, which the caller must ignore.
  static int IntervalOfTag(int tag);
  static bool IsSpeedTag(int tag);

  // A freshly opened clip: target frame 0, loop over every frame.
  void Reset(int frameCount);

  int Target() const { return target_; }
  void SetTarget(int frame) { target_ = frame; }
  int LoopStart() const { return loopStart_; }
  int LoopEnd() const { return loopEnd_; }
  int Interval() const { return interval_; }
  void SetInterval(int ms) { interval_ = ms; }

  // Play pressed: a target beyond the loop end starts again at the loop start.
  void Start();
  // After the target frame was shown: advance it. True while playback goes on; false when a
  // non-looping playback has passed the loop end (the Play toggle is then released).
  bool Advance(bool looping);
  // A selection on the frame slider; taken only when first < last.
  bool SetLoop(int first, int last);
  void FullLoop(int lastFrame);

 private:
  int target_ = 0;
  int loopStart_ = 0;
  int loopEnd_ = 0;
  int interval_ = kDefaultInterval;
};
