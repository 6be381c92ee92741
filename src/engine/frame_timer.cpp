#include "engine/frame_timer.h"

#include <algorithm>
#include <cmath>

namespace eng {

void FrameTimer::Restart() {
  lastTick_ = countStart_ = clock_.Ticks();
  frameCount_ = 0;
}

void FrameTimer::SetEnabled(bool on) {
  if (on && !enabled_) Restart();
  enabled_ = on;
}

void FrameTimer::SetHeld(bool held) {
  if (!held && held_) Restart();
  held_ = held;
}

void FrameTimer::Rested(uint32_t bound) {
  const uint32_t now = clock_.Ticks();
  if (now - lastTick_ > bound) lastTick_ = now - bound;
  // The rate counts the frames of a running screen, not the wait.
  if (now - countStart_ > bound) {
    countStart_ = lastTick_;
    frameCount_ = 0;
  }
}

bool FrameTimer::Tick(uint32_t* lag) {
  if (!enabled_ || held_) return false;
  const uint32_t now = clock_.Ticks();
  const uint32_t passed = now - lastTick_;
  if (passed < static_cast<uint32_t>(std::max(0, Interval))) return false;
  *lag = std::max<uint32_t>(1, passed / static_cast<uint32_t>(std::max(1, Interval)));
  lastTick_ = now;
  ++frameCount_;
  const uint32_t counted = now - countStart_;
  if (counted >= 1000) {
    frameRate_ = static_cast<int>(std::lround(frameCount_ * 1000.0 / counted));
    frameCount_ = 0;
    countStart_ = now;
  }
  return true;
}

}  // namespace eng
