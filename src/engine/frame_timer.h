// The frame timer: one tick per pass of the idle loop, each handed
// LagCount, the milliseconds since the previous tick (at least 1).
#pragma once
#include <cstdint>

#include "engine/clock.h"

namespace eng {

class FrameTimer {
 public:
  explicit FrameTimer(Clock& clock) : clock_(clock) {}

  int Interval = 0;  // milliseconds between ticks; 0: every idle pass

  bool Enabled() const { return enabled_; }
  // Switching on restarts the reference times from now.
  void SetEnabled(bool on);
  // Held while the display cannot show a frame (minimised, hidden): no tick
  // is due and no time passes for the game. Letting go restarts the
  // reference times from now, so the first tick after gets an ordinary
  // LagCount instead of the whole pause.
  void SetHeld(bool held);
  bool Held() const { return held_; }

  // After the loop waited on a still screen: the next tick counts the time
  // since the last one, but no more than bound milliseconds, so whatever
  // the waking input sets going starts as on an ordinary frame.
  void Rested(uint32_t bound);

  // True when a tick is due now; then *lag is the tick's LagCount.
  bool Tick(uint32_t* lag);
  // Ticks per second, counted anew every second or more.
  int FrameRate() const { return frameRate_; }

 private:
  void Restart();

  Clock& clock_;
  bool enabled_ = false;
  bool held_ = false;
  uint32_t lastTick_ = 0;
  uint32_t countStart_ = 0;
  int frameCount_ = 0;
  int frameRate_ = 0;
};

}  // namespace eng
