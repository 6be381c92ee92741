// The one time source: the frame timer and the status blink ask it for the
// tick count, so tests decide every millisecond.
#pragma once
#include <cstdint>

namespace eng {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t Ticks() = 0;  // milliseconds
  // Sleeps (or, for a test clock, advances) the given milliseconds.
  virtual void Sleep(uint32_t ms) = 0;
};

class SystemClock final : public Clock {
 public:
  uint32_t Ticks() override;
  void Sleep(uint32_t ms) override;
};

class ManualClock final : public Clock {
 public:
  uint32_t now = 0;
  // The longest sleep the game asked of it, which should never be more
  // than a frame's pacing.
  uint32_t longestSleep = 0;
  uint32_t Ticks() override { return now; }
  void Sleep(uint32_t ms) override {
    if (ms > longestSleep) longestSleep = ms;
    now += ms;
  }
  void Advance(uint32_t ms) { now += ms; }
};

}  // namespace eng
