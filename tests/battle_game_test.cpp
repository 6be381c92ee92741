// Battles against the computer played through the whole game on the dummy
// driver: a new game while the computer's rocket flies, a stored level past
// hard, and what the computer may know of the fleet before its cells are
// closed for battle.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "effects/rocket.h"
#include "engine/text_codec.h"
#include "game_harness.h"
#include "settings/new_game_form.h"

namespace {

std::string SettingsBytes(uint8_t level) {
  SettingsRecord r;
  r.FullScreen = 0;
  r.Difficulty = level;
  return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

// One run of the game against the computer at a stored level.
struct Battle {
  Battle(uint32_t seed, uint8_t level) : g(seed, SettingsBytes(level)) { g.SkipLogo(); }

  TCommon& C() { return g.common(); }
  TBattleField& Own() { return g.form->OwnGrid(); }
  TBattleField& Enemy() { return g.form->EnemyGrid(); }

  // The rockets on the screen, landed ones aside.
  std::vector<TRocket*> Rockets() {
    std::vector<TRocket*> rockets;
    eng::SpriteEngine& sprites = g.form->Sprites();
    for (int i = 0; i < sprites.Count(); ++i)
      if (auto* r = dynamic_cast<TRocket*>(sprites[i]); r && !r->IsDead()) rockets.push_back(r);
    return rockets;
  }
  // Frames of Lag milliseconds until the condition holds; false if it never did.
  bool FramesUntil(const std::function<bool()>& done, int limit = 600) {
    for (int i = 0; i < limit; ++i) {
      if (done()) return true;
      g.Frames(1, Lag);
    }
    return done();
  }
  bool PanelAway() { return !C().Assembling && C().ChooserShown == 0 && C().ChooserClosed == 1; }
  // New Game from the menu, started with Enter in the name edit.
  void NewGame() {
    TNewGameForm& form = *g.form->NewGameForm;
    int pass = 0;
    form.Pump = GameHarness::StepPump(
        [&](int p) {
          if (p == 0) g.Key(eng::kKeyEnter);
        },
        pass);
    g.Click(211, 29);
    form.Pump = nullptr;
    ASSERT_TRUE(form.Closed());
  }
  // A new game whose fleet is laid out by the panel's automatic button,
  // which completes it at once: the battle begins.
  void PlaceFleet() {
    ASSERT_TRUE(FramesUntil([&] { return !C().Assembling && C().ChooserShown == 0; }));
    NewGame();
    ASSERT_EQ(C().Shattering, 1);
    PressAuto();
  }
  void PressAuto() {
    ASSERT_TRUE(FramesUntil([&] { return C().ChooserClosed == 0 && C().ChooserShown == 0; }));
    g.Click(C().ChooserX + C().AutoButton.x + 30, C().ChooserY + C().AutoButton.y + 10);
    ASSERT_EQ(C().BattlePhase, 1);
    ASSERT_EQ(C().LocalTurn, 1);
  }
  // A press on a closed enemy cell of open water: a miss, the turn passes.
  void Miss() {
    for (int y = 1; y <= 17; ++y)
      for (int x = 1; x <= 16; ++x) {
        const TSeaCell& c = Enemy().TrueCells.At(x, y);
        if (c.State != cell::Closed || c.Code != cell::Water) continue;
        g.Click(Enemy().OriginX + 16 * (x - 1) + 8, Enemy().OriginY + 16 * (y - 1) + 8);
        ASSERT_EQ(C().LocalTurn, 0);
        ASSERT_EQ(C().ComputerMovePending, 1);
        return;
      }
    FAIL() << "no closed water left on the enemy grid";
  }

  GameHarness g;
  int Lag = 20;
};

TEST(BattleGame, NewGameWhileTheComputersRocketFliesStartsAFreshGame) {
  Battle b(4242, 2);
  b.PlaceFleet();
  ASSERT_TRUE(b.FramesUntil([&] { return b.PanelAway(); }));
  b.Miss();
  ASSERT_TRUE(b.FramesUntil([&] { return !b.Rockets().empty(); }));

  // The old rocket leaves with the old game and lands nowhere.
  b.NewGame();
  ASSERT_EQ(b.C().Shattering, 1);
  EXPECT_TRUE(b.Rockets().empty());
  const std::string prompt = W("Разместите корабли, ") + b.C().Settings.PlayerName();
  ASSERT_TRUE(b.FramesUntil([&] {
    EXPECT_EQ(b.C().AnimationsInFlight, 0);
    EXPECT_EQ(b.Own().EffectCount, 0);
    EXPECT_EQ(b.Enemy().EffectCount, 0);
    return b.C().ChooserClosed == 0 && b.C().ChooserShown == 0 && b.C().Blinking == 0;
  }));
  EXPECT_EQ(b.C().StatusLine[1], prompt) << "the prompt blinks and comes back";
  for (int y = 1; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x) {
      EXPECT_EQ(b.Own().TrueCells.At(x, y).State, cell::Opened) << x << "," << y;
      EXPECT_EQ(b.Own().TrueCells.At(x, y).Code, cell::Water) << x << "," << y;
    }

  // The new game plays: the computer waits for what the player's miss set
  // moving, then fires one rocket, and the counts come back to 0.
  b.PressAuto();
  b.Miss();
  ASSERT_TRUE(b.FramesUntil([&] { return !b.Rockets().empty(); }));
  EXPECT_EQ(b.C().AnimationsInFlight, 1);
  EXPECT_EQ(b.Own().EffectCount, 1);
  ASSERT_TRUE(b.FramesUntil([&] {
    return b.Rockets().empty() && b.C().AnimationsInFlight == 0 && b.Own().EffectCount == 0 &&
           b.Enemy().EffectCount == 0;
  }));
  EXPECT_LT(b.Own().UnshotCount, 272);
}

TEST(BattleGame, AStoredLevelPastHardPlaysAsHardAndStaysStored) {
  Battle b(99, 7);
  b.PlaceFleet();
  {
    FILE* f = std::fopen(b.g.SettingsFile().c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::string bytes(24, '\0');
    ASSERT_EQ(std::fread(bytes.data(), 1, 24, f), 24u);
    std::fclose(f);
    EXPECT_EQ(static_cast<uint8_t>(bytes[1]), 7) << "the game start saves the level as it was stored";
  }
  // Each of the player's misses gives the computer its turn; it fires at
  // closed cells of the own grid only, and the turn always comes back.
  int rockets = 0;
  for (int turn = 0; turn < 4; ++turn) {
    b.Miss();
    TRocket* seen = nullptr;
    ASSERT_TRUE(b.FramesUntil(
        [&] {
          for (TRocket* r : b.Rockets()) {
            if (r == seen) continue;
            seen = r;
            ++rockets;
            const TCellPoint t = r->TargetCell;
            EXPECT_TRUE(TCellPlane::Contains(t.x, t.y)) << t.x << "," << t.y;
            if (TCellPlane::Contains(t.x, t.y)) {
              EXPECT_LE(b.Own().TrueCells.At(t.x, t.y).State, cell::Marked);
            }
          }
          return b.C().LocalTurn == 1 || b.C().BattlePhase == 0;
        },
        3000))
        << "turn " << turn;
  }
  EXPECT_GE(rockets, 4);
}

// The player's first miss comes in the frame the fleet is complete, while
// the own fleet still lies open under the quarters flying in. The computer's
// first target must be a ship cell no more often than a guess: 20 of the 272
// cells, about 7 %, so 1 or 2 of 16 games; 6 or more would happen by chance
// in fewer than 1 run of 1000.
TEST(BattleGame, TheComputersFirstTargetIsAGuessAtEveryLevel) {
  constexpr int kGames = 16;
  for (uint8_t level = 0; level <= 3; ++level) {
    Battle b(5000 + level, level);
    b.Lag = 80;
    int onShip = 0;
    for (int game = 0; game < kGames; ++game) {
      b.PlaceFleet();
      b.Miss();
      ASSERT_TRUE(b.FramesUntil([&] { return !b.Rockets().empty(); })) << "level " << int(level);
      const TCellPoint t = b.Rockets().front()->TargetCell;
      EXPECT_EQ(b.Own().CellsClosed, 1);
      if (b.Own().TrueCells.At(t.x, t.y).Code == cell::Ship) ++onShip;
    }
    RecordProperty("first_target_on_ship_level_" + std::to_string(level), onShip);
    std::printf("level %d: first target a ship cell in %d of %d games\n", level, onShip, kGames);
    EXPECT_LE(onShip, 5) << "level " << int(level);
  }
}

}  // namespace
