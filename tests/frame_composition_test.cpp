// The frame drawn again only where it changed must be the frame drawn
// whole: one scripted game played twice from the same seed, once with
// every frame composed whole, once redrawn where it changed, and every
// frame's pixels compared.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game_harness.h"
#include "scripted_game.h"

namespace {

uint64_t FrameHash(eng::Surface& back) {
  const SDL_Surface* s = back.Sdl();
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < s->h; ++y) {
    const auto* row = static_cast<const uint8_t*>(s->pixels) + static_cast<ptrdiff_t>(y) * s->pitch;
    for (int x = 0; x + 8 <= s->w * 2; x += 8) {
      uint64_t w;
      std::memcpy(&w, row + x, 8);
      h = (h ^ w) * 1099511628211ull;
      h ^= h >> 29;
    }
  }
  return h;
}

// One game; every frame's hash, with a box over the frame at one moment.
std::vector<uint64_t> PlayedFrames(bool whole, ScriptedGame::Seen* seen) {
  GameHarness g(99, std::string("\x00\x00\x03" "Ada\0\0\0\0\0\0\0\0\0\0\x0C\xFE\xFF\xFF\x01\x00\x00\x00", 24));
  g.form->Display().SetWholeFrames(whole);
  ScriptedGame game(*g.form, g.clock);
  std::vector<uint64_t> frames;
  game.OnFrame = [&] {
    frames.push_back(FrameHash(g.form->Display().BackSurface()));
    if (frames.size() == 300) {
      // Home's box over the frame, answered by Enter; the frame behind it
      // loses the software cursor.
      g.QueueKey(SDLK_RETURN);
      g.Key(eng::kKeyHome);
      frames.push_back(FrameHash(g.form->Display().BackSurface()));
    }
  };
  EXPECT_TRUE(game.Play());
  *seen = game.seen;
  return frames;
}

}  // namespace

TEST(FrameComposition, AWholeGameRedrawnWhereItChangedEqualsItDrawnWhole) {
  ScriptedGame::Seen whole{}, changed{};
  const std::vector<uint64_t> reference = PlayedFrames(true, &whole);
  const std::vector<uint64_t> frames = PlayedFrames(false, &changed);
  // The script went through what moves on this screen.
  EXPECT_TRUE(whole.shatter && whole.slide && whole.fade && whole.drag && whole.assemble && whole.rocket)
      << whole.shatter << whole.slide << whole.fade << whole.drag << whole.assemble << whole.rocket;
  EXPECT_GE(whole.mostEnemyEffects, 214) << "the fireworks";
  EXPECT_TRUE(whole.won);
  ASSERT_EQ(frames.size(), reference.size());
  size_t first = frames.size();
  int differing = 0;
  for (size_t i = 0; i < frames.size(); ++i)
    if (frames[i] != reference[i]) {
      if (first == frames.size()) first = i;
      ++differing;
    }
  EXPECT_EQ(differing, 0) << "first differing frame " << first << " of " << frames.size();
}
