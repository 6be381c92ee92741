// The one program-wide generator of game decisions: seeded from the clock
// by the game, by the test in tests, so a seed reproduces a game.
#pragma once
#include <cstdint>
#include <random>

namespace eng {

class RandomSource {
 public:
  explicit RandomSource(uint32_t seed = 1) : gen_(seed) {}
  void Seed(uint32_t seed) { gen_.seed(seed); }
  // A uniform integer in 0..n-1; 0 when n <= 0.
  int Random(int n) {
    if (n <= 1) return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(gen_);
  }
  // A uniform integer in lo..hi (both included).
  int Range(int lo, int hi) { return lo + Random(hi - lo + 1); }

 private:
  std::mt19937 gen_;
};

}  // namespace eng
