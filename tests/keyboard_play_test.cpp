// A whole game against the computer at the hard level played with the keys
// alone, on the dummy driver: New Game with F2, the fleet moved with the
// arrows, turned with R, reshaped with M and fixed with Enter; the battle
// aimed with the arrows and fired with Space and Enter, a bomb included;
// the keys doing nothing in the computer's turn; the game lost, and the
// computer's ships that were never found shown once the fireworks are over.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "assets/image_table.h"
#include "engine/text_codec.h"
#include "game_harness.h"
#include "settings/new_game_form.h"

namespace {

constexpr eng::Color kFrameGold{255, 214, 96};

std::string HardLevel() {
  SettingsRecord r;
  r.FullScreen = 0;
  r.Difficulty = 3;
  r.GameMode = 1;
  return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

class KeyboardGame : public ::testing::Test {
 protected:
  KeyboardGame() : g(2024, HardLevel()) { g.SkipLogo(); }

  TCommon& C() { return g.common(); }
  TBattleField& Own() { return g.form->OwnGrid(); }
  TBattleField& Enemy() { return g.form->EnemyGrid(); }
  TShipRecord& Ship() { return Own().Current; }

  void Press(int key, int times = 1) {
    for (int i = 0; i < times; ++i) g.Key(key);
  }
  bool FramesUntil(const std::function<bool()>& done, int limit = 3000) {
    for (int i = 0; i < limit; ++i) {
      if (done()) return true;
      g.Frames(1, 80);
    }
    return done();
  }
  // F2 opens New Game; Enter in the name edit starts the game.
  void NewGameByKeys() {
    TNewGameForm& form = *g.form->NewGameForm;
    int pass = 0;
    form.Pump = GameHarness::StepPump(
        [&](int p) {
          if (p == 0) g.Key(eng::kKeyEnter);
        },
        pass);
    g.Key(eng::kKeyF2);
    form.Pump = nullptr;
    ASSERT_TRUE(form.Closed());
  }
  // The first place, row by row, inside the grid where the ship in hand
  // may (or may not) be fixed.
  bool FindPlace(bool free, int& tx, int& ty) {
    for (ty = -2; ty <= 17; ++ty)
      for (tx = -2; tx <= 16; ++tx)
        if (Own().CheckInside(tx, ty) && Own().CheckSpacing(tx, ty) == free) return true;
    return false;
  }
  // The arrows take the ship in hand to (tx, ty), one cell a key.
  void WalkShipTo(int tx, int ty) {
    for (int i = 0; i < 20 && Ship().X < tx; ++i) Press(eng::kKeyRight);
    for (int i = 0; i < 20 && Ship().X > tx; ++i) Press(eng::kKeyLeft);
    for (int i = 0; i < 20 && Ship().Y < ty; ++i) Press(eng::kKeyDown);
    for (int i = 0; i < 20 && Ship().Y > ty; ++i) Press(eng::kKeyUp);
    ASSERT_EQ(Ship().X, tx);
    ASSERT_EQ(Ship().Y, ty);
  }
  // The arrows take the aiming frame to cell (x, y).
  void AimAt(int x, int y) {
    for (int i = 0; i < 20 && C().AimX < x; ++i) Press(eng::kKeyRight);
    for (int i = 0; i < 20 && C().AimX > x; ++i) Press(eng::kKeyLeft);
    for (int i = 0; i < 20 && C().AimY < y; ++i) Press(eng::kKeyDown);
    for (int i = 0; i < 20 && C().AimY > y; ++i) Press(eng::kKeyUp);
    ASSERT_EQ(C().AimX, x);
    ASSERT_EQ(C().AimY, y);
  }
  // The first closed enemy cell whose code is one of the wanted.
  bool FindEnemyCell(const std::function<bool(uint8_t)>& wanted, int& x, int& y) {
    for (y = 1; y <= 17; ++y)
      for (x = 1; x <= 16; ++x) {
        const TSeaCell& c = Enemy().TrueCells.At(x, y);
        if (c.State == cell::Closed && wanted(c.Code)) return true;
      }
    return false;
  }
  int OpenedEnemyCells() {
    int n = 0;
    for (const TSeaCell& c : Enemy().TrueCells.Cells) n += c.State >= cell::Opened;
    return n;
  }
  uint16_t BackPixel(int x, int y) { return g.form->Display().BackSurface().GetPixel(x, y); }
  // The top-left pixel of the frame's gold over enemy cell (x, y).
  uint16_t FramePixel(int x, int y) { return BackPixel(Enemy().OriginX + 16 * (x - 1), Enemy().OriginY + 16 * (y - 1)); }

  GameHarness g;
};

TEST_F(KeyboardGame, AWholeGameWithTheKeysAlone) {
  NewGameByKeys();
  ASSERT_TRUE(FramesUntil([&] { return C().PanelTakesPresses(); }));

  // --- Placement ---
  for (int k = 1; k <= 10; ++k) {
    SCOPED_TRACE("ship " + std::to_string(k));
    Press(eng::kKeyEnter);  // fixes the ship in hand and takes the next
    if (k == 1) {
      ASSERT_EQ(C().ShipsChosen, 1);
    }
    ASSERT_TRUE(FramesUntil([&] { return Own().ShipActive == 1; }));
    if (k == 1) {
      // The edges hold the ship as they hold a dragged one.
      Press(eng::kKeyLeft, 20);
      Press(eng::kKeyUp, 20);
      EXPECT_EQ(Ship().ScreenX, Own().OriginX - Ship().BoundLeft);
      EXPECT_EQ(Ship().ScreenY, Own().OriginY - Ship().BoundTop);
      EXPECT_TRUE(Own().CheckInside(Ship().X, Ship().Y));
      Press(eng::kKeyRight, 30);
      Press(eng::kKeyDown, 30);
      EXPECT_EQ(Ship().ScreenX, Own().OriginX + 256 - Ship().BoundRight);
      EXPECT_EQ(Ship().ScreenY, Own().OriginY + 272 - Ship().BoundBottom);
      EXPECT_TRUE(Own().CheckInside(Ship().X, Ship().Y));
      // R turns the ship, M changes its shape.
      const uint8_t variant = Ship().Variant;
      Press('R');
      EXPECT_NE(Ship().Variant, variant);
      const uint8_t turned = Ship().Variant;
      Press('M');
      EXPECT_NE(Ship().Variant, turned);
    }
    if (k == 2) {
      // Onto the first ship: greyed as a drag would grey it, and Enter
      // cannot fix it there.
      int bx = 0, by = 0;
      ASSERT_TRUE(FindPlace(false, bx, by));
      WalkShipTo(bx, by);
      EXPECT_EQ(Own().InvalidShown, 1);
      Press(eng::kKeyEnter);
      EXPECT_EQ(Own().FixedCount, 1);
      EXPECT_EQ(C().StatusLine[1], W("Невозможно зафиксировать корабль"));
    }
    int tx = 0, ty = 0;
    ASSERT_TRUE(FindPlace(true, tx, ty));
    WalkShipTo(tx, ty);
    EXPECT_EQ(Own().InvalidShown, 0);
    EXPECT_EQ(Ship().ScreenX, Own().OriginX + 16 * (tx - 1)) << "the ship rests on its cell";
  }
  Press(eng::kKeyEnter);  // the tenth ship
  int placed = 0;
  for (int k = 1; k <= 10; ++k) placed += Own().Slot(k).Placed;
  ASSERT_EQ(placed, 10);
  ASSERT_EQ(C().BattlePhase, 1);
  ASSERT_EQ(C().LocalTurn, 1);

  // --- The aiming frame ---
  // It starts in the centre, and shows there during the player's turn.
  EXPECT_EQ(C().AimX, 8);
  EXPECT_EQ(C().AimY, 9);
  g.Frames(1, 80);
  EXPECT_EQ(FramePixel(8, 9), eng::ToRGB565(kFrameGold));
  // The grid's edges hold it; the software cursor goes with it.
  Press(eng::kKeyRight, 20);
  Press(eng::kKeyUp, 20);
  EXPECT_EQ(C().AimX, 16);
  EXPECT_EQ(C().AimY, 1);
  EXPECT_EQ(C().MouseX, Enemy().OriginX + 16 * 15 + 8);
  EXPECT_EQ(C().MouseY, Enemy().OriginY + 8);
  Press(eng::kKeyLeft, 20);
  Press(eng::kKeyDown, 20);
  EXPECT_EQ(C().AimX, 1);
  EXPECT_EQ(C().AimY, 17);
  // The mouse takes the frame along.
  g.Move(Enemy().OriginX + 16 * 4 + 3, Enemy().OriginY + 16 * 6 + 12);
  EXPECT_EQ(C().AimX, 5);
  EXPECT_EQ(C().AimY, 7);
  g.Frames(1, 80);
  EXPECT_EQ(FramePixel(5, 7), eng::ToRGB565(kFrameGold));
  EXPECT_NE(FramePixel(1, 17), eng::ToRGB565(kFrameGold));

  // --- A bomb, found and dropped by the keys ---
  int bx = 0, by = 0;
  ASSERT_TRUE(FindEnemyCell([](uint8_t code) { return code >= cell::BonusXBomb && code <= cell::BonusSquareBomb; },
                            bx, by));
  AimAt(bx, by);
  Press(eng::kKeySpace);
  ASSERT_EQ(Enemy().BombArmed, 1);
  ASSERT_EQ(C().LocalTurn, 1) << "a bomb found keeps the turn";
  int wx = 0, wy = 0;
  ASSERT_TRUE(FindEnemyCell([](uint8_t code) { return code == cell::Water; }, wx, wy));
  AimAt(wx, wy);
  Press(eng::kKeyEnter);
  EXPECT_EQ(Enemy().BombArmed, 0);
  EXPECT_EQ(Enemy().BombCount, 1) << "the bomb falls where the frame is";
  EXPECT_EQ(C().LocalTurn, 0);

  // --- The battle, lost: every shot a miss ---
  int turns = 0, computerTurnsTried = 0;
  while (C().BattlePhase && turns < 300) {
    if (!C().LocalTurn) {
      // The computer's turn: no frame, and the keys neither move nor fire.
      g.Frames(1, 80);
      if (C().LocalTurn || !C().BattlePhase) continue;
      const int aimX = C().AimX, aimY = C().AimY, opened = OpenedEnemyCells();
      EXPECT_NE(FramePixel(aimX, aimY), eng::ToRGB565(kFrameGold));
      Press(aimX > 1 ? eng::kKeyLeft : eng::kKeyRight);
      Press(eng::kKeySpace);
      Press(eng::kKeyEnter);
      EXPECT_EQ(C().AimX, aimX);
      EXPECT_EQ(C().AimY, aimY);
      EXPECT_EQ(OpenedEnemyCells(), opened);
      ++computerTurnsTried;
      ASSERT_TRUE(FramesUntil([&] { return C().LocalTurn == 1 || C().BattlePhase == 0; }));
      continue;
    }
    ++turns;
    int x = 0, y = 0;
    ASSERT_TRUE(FindEnemyCell([](uint8_t code) { return code <= cell::CornerRing; }, x, y)) << "no water left";
    AimAt(x, y);
    Press(turns % 2 ? eng::kKeySpace : eng::kKeyEnter);
    EXPECT_EQ(Enemy().TrueCells.At(x, y).State, cell::Opened);
  }
  ASSERT_EQ(C().BattlePhase, 0);
  ASSERT_EQ(Own().SunkCount, 10) << "the computer won";
  EXPECT_GT(computerTurnsTried, 5);
  EXPECT_EQ(C().BlinkText, W("Выиграл компьютер!"));

  // --- The reveal, after the fireworks ---
  std::vector<TCellPoint> unfound;
  for (int y = 1; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x)
      if (Enemy().TrueCells.At(x, y).Code == cell::Ship) unfound.push_back(TCellPoint{x, y});
  ASSERT_FALSE(unfound.empty());
  ASSERT_TRUE(FramesUntil([&] {
    if (Own().EffectCount != 0) {
      for (TCellPoint c : unfound) EXPECT_NE(Enemy().ShownCells.At(c.x, c.y).Code, cell::NotFoundShip);
    }
    return Own().EffectCount == 0 && C().RevealPending == 0;
  }));
  g.Frames(1, 80);
  const eng::Picture& ghost = g.form->ImageList()[assets::kNotFoundCell].picture;
  for (TCellPoint c : unfound) {
    EXPECT_EQ(Enemy().ShownCells.At(c.x, c.y).Code, cell::NotFoundShip);
    EXPECT_EQ(BackPixel(Enemy().OriginX + 16 * (c.x - 1) + 8, Enemy().OriginY + 16 * (c.y - 1) + 8),
              eng::ToRGB565(ghost.GetPixel(8, 8)));
  }
  // After the game the keys of play do nothing.
  const int aimX = C().AimX;
  Press(eng::kKeyLeft);
  Press(eng::kKeyEnter);
  Press(eng::kKeySpace);
  EXPECT_EQ(C().AimX, aimX);
  EXPECT_EQ(Own().ShipActive, 0);

  // The next game closes the enemy grid again and puts the frame back.
  NewGameByKeys();
  for (TCellPoint c : unfound) EXPECT_EQ(Enemy().ShownCells.At(c.x, c.y).State, cell::Closed);
  EXPECT_EQ(C().AimX, 8);
  EXPECT_EQ(C().AimY, 9);
}

}  // namespace
