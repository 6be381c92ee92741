// The whole-game harness of the tests: the headless game of headless_game.h,
// with a dialog hook that fails the test when the dialog never closes.
#pragma once
#include <gtest/gtest.h>

#include "headless_game.h"

class GameHarness : public HeadlessGame {
 public:
  explicit GameHarness(uint32_t seed = 1234, const std::string& settingsBytes = "")
      : HeadlessGame(seed, settingsBytes) {}

  // A dialog's per-pass hook that runs step(pass) on every pass of its loop
  // and ends the loop (as a failure) if the dialog never closes. The events
  // of earlier tests are flushed first.
  static std::function<void()> StepPump(std::function<void(int pass)> step, int& pass) {
    return HeadlessGame::StepPump(step, pass, [] { ADD_FAILURE() << "the dialog never closed"; });
  }
};
