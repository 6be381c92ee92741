// A whole game against the computer at the hard level with the keys alone:
// F2 and Enter start it, the arrows, R, M and Enter lay the fleet, the
// arrows and Space or Enter fire (a bomb included) while the keys do nothing
// in the computer's turn; the game is lost, and after the fireworks the
// enemy grid shows the ships never found, until the next game.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "assets/image_table.h"
#include "engine/text_codec.h"
#include "game_harness.h"
#include "settings/new_game_form.h"

namespace {

std::string HardLevel() {
  SettingsRecord r;
  r.FullScreen = 0;
  r.Difficulty = 3;
  return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

struct KeyboardGame {
  GameHarness g{2024, HardLevel()};
  TCommon& C() { return g.common(); }
  TBattleField& Own() { return g.form->OwnGrid(); }
  TBattleField& Enemy() { return g.form->EnemyGrid(); }

  void Press(int key, int times = 1) {
    for (int i = 0; i < times; ++i) g.Key(key);
  }
  bool FramesUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 3000 && !done(); ++i) g.Frames(1, 80);
    return done();
  }
  void NewGameByKeys() {
    int pass = 0;
    g.form->NewGameForm->Pump = GameHarness::StepPump([&](int p) { if (p == 0) g.Key(eng::kKeyEnter); }, pass);
    g.Key(eng::kKeyF2);
    g.form->NewGameForm->Pump = nullptr;
  }
  // One key a cell until (x, y) is reached; *at is the position the keys move.
  void Walk(const int* atX, const int* atY, int x, int y) {
    for (int i = 0; i < 20 && *atX != x; ++i) g.Key(*atX < x ? eng::kKeyRight : eng::kKeyLeft);
    for (int i = 0; i < 20 && *atY != y; ++i) g.Key(*atY < y ? eng::kKeyDown : eng::kKeyUp);
  }
  void WalkShip(int x, int y) {
    int sx = Own().Current.X, sy = Own().Current.Y;
    for (int i = 0; i < 40 && (sx != x || sy != y); ++i) {
      g.Key(sx < x ? eng::kKeyRight : sx > x ? eng::kKeyLeft : sy < y ? eng::kKeyDown : eng::kKeyUp);
      sx = Own().Current.X, sy = Own().Current.Y;
    }
    ASSERT_EQ(sx, x);
    ASSERT_EQ(sy, y);
  }
  // The first place inside the grid where the ship in hand may (or may not) stand.
  TCellPoint Place(bool free) {
    for (int y = -2; y <= 17; ++y)
      for (int x = -2; x <= 16; ++x)
        if (Own().CheckInside(x, y) && Own().CheckSpacing(x, y) == free) return TCellPoint{x, y};
    return TCellPoint{0, 0};
  }
  // The first closed enemy cell with a wanted code.
  TCellPoint EnemyCell(const std::function<bool(uint8_t)>& wanted) {
    for (int y = 1; y <= 17; ++y)
      for (int x = 1; x <= 16; ++x)
        if (Enemy().TrueCells.At(x, y).State == cell::Closed && wanted(Enemy().TrueCells.At(x, y).Code))
          return TCellPoint{x, y};
    return TCellPoint{0, 0};
  }
  void AimAt(TCellPoint c) {
    Walk(&C().AimX, &C().AimY, c.x, c.y);
    ASSERT_EQ(C().AimX, c.x);
    ASSERT_EQ(C().AimY, c.y);
  }
  // Whether the frame's gold lies on enemy cell (x, y) in the last frame.
  bool FrameOn(int x, int y) {
    const uint16_t gold = eng::ToRGB565(eng::RGB(255, 214, 96));
    return g.form->Display().BackSurface().GetPixel(Enemy().OriginX + 16 * (x - 1), Enemy().OriginY + 16 * (y - 1)) ==
           gold;
  }
};

TEST(KeyboardPlay, AWholeGameWithTheKeysAlone) {
  KeyboardGame k;
  k.g.SkipLogo();
  k.NewGameByKeys();
  ASSERT_TRUE(k.FramesUntil([&] { return k.C().PanelTakesPresses(); }));

  // Placement: Enter takes each ship and fixes the one in hand.
  TShipRecord& ship = k.Own().Current;
  for (int n = 1; n <= 10; ++n) {
    k.Press(eng::kKeyEnter);
    ASSERT_TRUE(k.FramesUntil([&] { return k.Own().ShipActive == 1; })) << n;
    if (n == 1) {
      // The edges hold the ship as they hold a dragged one; R and M reshape it.
      k.Press(eng::kKeyLeft, 20);
      k.Press(eng::kKeyUp, 20);
      EXPECT_EQ(ship.ScreenX, k.Own().OriginX - ship.BoundLeft);
      EXPECT_EQ(ship.ScreenY, k.Own().OriginY - ship.BoundTop);
      k.Press(eng::kKeyRight, 30);
      k.Press(eng::kKeyDown, 30);
      EXPECT_EQ(ship.ScreenX, k.Own().OriginX + 256 - ship.BoundRight);
      EXPECT_EQ(ship.ScreenY, k.Own().OriginY + 272 - ship.BoundBottom);
      const uint8_t variant = ship.Variant;
      k.Press('R');
      EXPECT_NE(ship.Variant, variant);
      const uint8_t turned = ship.Variant;
      k.Press('M');
      EXPECT_NE(ship.Variant, turned);
    }
    if (n == 2) {
      // Beside the first ship it greys as under a drag, and Enter cannot fix it.
      const TCellPoint blocked = k.Place(false);
      k.WalkShip(blocked.x, blocked.y);
      EXPECT_EQ(k.Own().InvalidShown, 1);
      k.Press(eng::kKeyEnter);
      EXPECT_EQ(k.Own().FixedCount, 1);
      EXPECT_EQ(k.C().StatusLine[1], W("Невозможно зафиксировать корабль"));
    }
    const TCellPoint free = k.Place(true);
    k.WalkShip(free.x, free.y);
    EXPECT_EQ(k.Own().InvalidShown, 0);
    EXPECT_EQ(ship.ScreenX, k.Own().OriginX + 16 * (free.x - 1)) << "it rests on its cell";
  }
  k.Press(eng::kKeyEnter);
  ASSERT_EQ(k.C().BattlePhase, 1);
  ASSERT_EQ(k.C().LocalTurn, 1);

  // The frame starts in the centre; the grid's edges hold it; the cursor
  // goes with it, and the mouse takes it along.
  k.g.Frames(1, 80);
  EXPECT_TRUE(k.FrameOn(8, 9));
  k.Press(eng::kKeyRight, 20);
  k.Press(eng::kKeyUp, 20);
  EXPECT_EQ(k.C().AimX, 16);
  EXPECT_EQ(k.C().AimY, 1);
  EXPECT_EQ(k.C().MouseX, k.Enemy().OriginX + 16 * 15 + 8);
  EXPECT_EQ(k.C().MouseY, k.Enemy().OriginY + 8);
  k.Press(eng::kKeyLeft, 20);
  k.Press(eng::kKeyDown, 20);
  EXPECT_EQ(k.C().AimX, 1);
  EXPECT_EQ(k.C().AimY, 17);
  k.g.Move(k.Enemy().OriginX + 16 * 4 + 3, k.Enemy().OriginY + 16 * 6 + 12);
  k.g.Frames(1, 80);
  EXPECT_TRUE(k.FrameOn(5, 7));
  EXPECT_FALSE(k.FrameOn(1, 17));

  // A bomb found with Space keeps the turn and falls with Enter.
  k.AimAt(k.EnemyCell([](uint8_t c) { return c >= cell::BonusXBomb && c <= cell::BonusSquareBomb; }));
  k.Press(eng::kKeySpace);
  ASSERT_EQ(k.Enemy().BombArmed, 1);
  ASSERT_EQ(k.C().LocalTurn, 1);
  k.AimAt(k.EnemyCell([](uint8_t c) { return c == cell::Water; }));
  k.Press(eng::kKeyEnter);
  EXPECT_EQ(k.Enemy().BombCount, 1);
  EXPECT_EQ(k.C().LocalTurn, 0);

  // Misses to the end; in the computer's turns the keys move and fire nothing.
  int computerTurns = 0;
  for (int turn = 0; k.C().BattlePhase && turn < 600; ++turn) {
    if (k.C().LocalTurn) {
      const TCellPoint miss = k.EnemyCell([](uint8_t c) { return c <= cell::CornerRing; });
      k.AimAt(miss);
      k.Press(turn % 2 ? eng::kKeySpace : eng::kKeyEnter);
      EXPECT_EQ(k.Enemy().TrueCells.At(miss.x, miss.y).State, cell::Opened);
      continue;
    }
    k.g.Frames(1, 80);
    if (k.C().LocalTurn || !k.C().BattlePhase) continue;
    const int aimX = k.C().AimX, unshot = k.Enemy().UnshotCount;
    EXPECT_FALSE(k.FrameOn(aimX, k.C().AimY));
    k.Press(aimX > 1 ? eng::kKeyLeft : eng::kKeyRight);
    k.Press(eng::kKeySpace);
    EXPECT_EQ(k.C().AimX, aimX);
    EXPECT_EQ(k.Enemy().UnshotCount, unshot);
    ++computerTurns;
    ASSERT_TRUE(k.FramesUntil([&] { return k.C().LocalTurn == 1 || k.C().BattlePhase == 0; }));
  }
  ASSERT_EQ(k.Own().SunkCount, 10);
  EXPECT_GT(computerTurns, 5);

  // The ships never found show once the fireworks are over, the model unchanged.
  std::vector<TCellPoint> unfound;
  for (int y = 1; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x)
      if (k.Enemy().TrueCells.At(x, y).Code == cell::Ship) unfound.push_back(TCellPoint{x, y});
  ASSERT_FALSE(unfound.empty());
  ASSERT_TRUE(k.FramesUntil([&] {
    if (k.Own().EffectCount != 0) EXPECT_NE(k.Enemy().ShownCells.At(unfound[0].x, unfound[0].y).Code, cell::NotFoundShip);
    return k.Own().EffectCount == 0 && k.C().RevealPending == 0;
  }));
  k.g.Frames(1, 80);
  const eng::Color ghost = k.g.form->ImageList()[assets::kNotFoundCell].picture.GetPixel(8, 8);
  for (TCellPoint c : unfound) {
    EXPECT_EQ(k.Enemy().ShownCells.At(c.x, c.y).Code, cell::NotFoundShip);
    EXPECT_EQ(k.Enemy().TrueCells.At(c.x, c.y).State, cell::Closed);
    EXPECT_EQ(k.g.Pixel(k.Enemy().OriginX + 16 * c.x - 8, k.Enemy().OriginY + 16 * c.y - 8),
              eng::FromRGB565(eng::ToRGB565(ghost)));
  }
  // After the game the keys of play do nothing; the next game closes the grid.
  const int aimX = k.C().AimX;
  k.Press(eng::kKeyLeft);
  k.Press(eng::kKeyEnter);
  EXPECT_EQ(k.C().AimX, aimX);
  EXPECT_EQ(k.Own().ShipActive, 0);
  k.NewGameByKeys();
  EXPECT_EQ(k.Enemy().ShownCells.At(unfound[0].x, unfound[0].y).State, cell::Closed);
  EXPECT_EQ(k.C().AimX, 8);
}

}  // namespace
