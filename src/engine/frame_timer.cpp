#include "engine/frame_timer.h"

#include <algorithm>
#include <cmath>

namespace eng {

void FrameTimer::SetEnabled(bool on) {
  if (on && !enabled_) {
    lastTick_ = countStart_ = clock_.Ticks();
    frameCount_ = 0;
  }
  enabled_ = on;
}

bool FrameTimer::Tick(uint32_t* lag) {
  if (!enabled_) return false;
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
