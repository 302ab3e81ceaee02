#include "display/LocalPlayback.h"

#include <cmath>

bool TLocalPlayback::IsSpeedTag(int tag) {
  for (int t = 512; t <= 32768; t *= 2)
    if (tag == t) return true;
  return false;
}

int TLocalPlayback::IntervalOfTag(int tag) {
  // 4096 / 15 frames of 1/60 s: x1 steps every 67 ms, x8 every 8 ms, 1/8 every 533 ms.
  return IsSpeedTag(tag) ? int(std::lround(273066.6667 / tag)) : 0;
}

void TLocalPlayback::Reset(int frameCount) {
  target_ = 0;
  loopStart_ = 0;
  loopEnd_ = frameCount > 0 ? frameCount - 1 : 0;
}

void TLocalPlayback::Start() {
  if (target_ > loopEnd_) target_ = loopStart_;
}

bool TLocalPlayback::Advance(bool looping) {
  ++target_;
  if (target_ <= loopEnd_) return true;
  if (looping) {
    target_ = loopStart_;
    return true;
  }
  return false;
}

bool TLocalPlayback::SetLoop(int first, int last) {
  if (first >= last) return false;
  loopStart_ = first;
  loopEnd_ = last;
  return true;
}

void TLocalPlayback::FullLoop(int lastFrame) {
  loopStart_ = 0;
  loopEnd_ = lastFrame;
}
