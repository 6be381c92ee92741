// A whole game against the computer at the hard level with the keys alone:
// F2 and Enter start it, the arrows, R, M and Enter lay the fleet, the
// arrows and Space or Enter fire (a bomb included), the keys do nothing in
// the computer's turn; the game is lost, and after the fireworks the enemy
// grid shows the ships never found, until the next game.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include "assets/image_table.h"
#include "game_harness.h"
#include "settings/new_game_form.h"

namespace {

struct KeyboardGame {
  KeyboardGame() {
    SettingsRecord r;
    r.FullScreen = 0;
    r.Difficulty = 3;
    g = std::make_unique<GameHarness>(2024, std::string(reinterpret_cast<const char*>(&r), sizeof r));
  }
  std::unique_ptr<GameHarness> g;
  TCommon& C() { return g->common(); }
  TBattleField& Own() { return g->form->OwnGrid(); }
  TBattleField& Enemy() { return g->form->EnemyGrid(); }

  void Press(int key, int times = 1) {
    for (int i = 0; i < times; ++i) g->Key(key);
  }
  bool FramesUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 3000 && !done(); ++i) g->Frames(1, 80);
    return done();
  }
  void NewGameByKeys() {
    int pass = 0;
    g->form->NewGameForm->Pump = GameHarness::StepPump([&](int p) { if (p == 0) g->Key(eng::kKeyEnter); }, pass);
    g->Key(eng::kKeyF2);
    g->form->NewGameForm->Pump = nullptr;
  }
  // Arrows, one a cell, until what they move, (x, y), stands on (tx, ty).
  template <class T>
  void Walk(const T& x, const T& y, int tx, int ty) {
    for (int i = 0; i < 40 && (x != tx || y != ty); ++i)
      g->Key(x < tx ? eng::kKeyRight : x > tx ? eng::kKeyLeft : y < ty ? eng::kKeyDown : eng::kKeyUp);
    ASSERT_EQ(std::pair(int(x), int(y)), std::pair(tx, ty));
  }
  void WalkShip(TCellPoint p) { Walk(Own().Current.X, Own().Current.Y, p.x, p.y); }
  void AimAt(TCellPoint p) { Walk(C().AimX, C().AimY, p.x, p.y); }
  // The first place inside the grid where the ship in hand may stand.
  TCellPoint FreePlace() {
    for (int y = -2; y <= 17; ++y)
      for (int x = -2; x <= 16; ++x)
        if (Own().CheckInside(x, y) && Own().CheckSpacing(x, y)) return TCellPoint{x, y};
    return TCellPoint{0, 0};
  }
  // The first closed enemy cell whose code is wanted.
  TCellPoint EnemyCell(const std::function<bool(uint8_t)>& wanted) {
    for (int i = 0; i < 272; ++i)
      if (const TSeaCell& c = Enemy().TrueCells.Cells[i]; c.State == cell::Closed && wanted(c.Code))
        return TCellPoint{i % 16 + 1, i / 16 + 1};
    return TCellPoint{0, 0};
  }
  // The frame's gold on enemy cell (x, y) in the last frame.
  bool FrameOn(int x, int y) {
    const eng::Color c = g->Pixel(Enemy().OriginX + 16 * (x - 1), Enemy().OriginY + 16 * (y - 1));
    return eng::ToRGB565(c) == eng::ToRGB565(eng::RGB(255, 214, 96));
  }
};

TEST(KeyboardPlay, AWholeGameWithTheKeysAlone) {
  KeyboardGame k;
  k.g->SkipLogo();
  k.NewGameByKeys();
  ASSERT_TRUE(k.FramesUntil([&] { return k.C().PanelTakesPresses(); }));

  // Placement: Enter fixes the ship in hand and takes the next.
  TShipRecord& ship = k.Own().Current;
  for (int n = 1; n <= 10; ++n) {
    k.Press(eng::kKeyEnter);
    ASSERT_TRUE(k.FramesUntil([&] { return k.Own().ShipActive == 1; })) << n;
    if (n == 1) {
      // The edges hold the ship as they hold a dragged one; R turns it, M reshapes it.
      k.Press(eng::kKeyLeft, 20);
      k.Press(eng::kKeyDown, 20);
      EXPECT_EQ(ship.ScreenX, k.Own().OriginX - ship.BoundLeft);
      EXPECT_EQ(ship.ScreenY, k.Own().OriginY + 272 - ship.BoundBottom);
      const uint8_t variant = ship.Variant;
      k.Press('R');
      EXPECT_NE(ship.Variant, variant);
      k.Press('M');
      EXPECT_NE(ship.Variant, variant);
    }
    const TCellPoint free = k.FreePlace();
    k.WalkShip(free);
    EXPECT_EQ(k.Own().InvalidShown, 0);
    EXPECT_EQ(ship.ScreenX, k.Own().OriginX + 16 * (free.x - 1)) << "it rests on its cell";
  }
  k.Press(eng::kKeyEnter);
  ASSERT_EQ(k.C().BattlePhase, 1);

  // The frame starts in the centre and stops at the edges; the cursor goes
  // with it, and the mouse takes it along.
  k.g->Frames(1, 80);
  EXPECT_TRUE(k.FrameOn(8, 9));
  k.Press(eng::kKeyRight, 20);
  k.Press(eng::kKeyUp, 20);
  EXPECT_EQ(std::pair(k.C().AimX, k.C().AimY), std::pair(16, 1));
  EXPECT_EQ(std::pair(k.C().MouseX, k.C().MouseY), std::pair(k.Enemy().OriginX + 248, k.Enemy().OriginY + 8));
  k.g->Move(k.Enemy().OriginX + 16 * 4 + 3, k.Enemy().OriginY + 16 * 6 + 12);
  k.g->Frames(1, 80);
  EXPECT_TRUE(k.FrameOn(5, 7));
  EXPECT_FALSE(k.FrameOn(16, 1));

  // A bomb found with Space keeps the turn and falls with Enter.
  k.AimAt(k.EnemyCell([](uint8_t c) { return c >= cell::BonusXBomb && c <= cell::BonusSquareBomb; }));
  k.Press(eng::kKeySpace);
  ASSERT_EQ(k.Enemy().BombArmed, 1);
  k.AimAt(k.EnemyCell([](uint8_t c) { return c == cell::Water; }));
  k.Press(eng::kKeyEnter);
  EXPECT_EQ(k.Enemy().BombCount, 1);

  // Misses to the end; in the computer's turns the keys neither move nor fire.
  int computerTurns = 0;
  for (int turn = 0; k.C().BattlePhase && turn < 600; ++turn) {
    if (k.C().LocalTurn) {
      k.AimAt(k.EnemyCell([](uint8_t c) { return c <= cell::CornerRing; }));
      k.Press(turn % 2 ? eng::kKeySpace : eng::kKeyEnter);
      continue;
    }
    k.g->Frames(1, 80);
    if (k.C().LocalTurn || !k.C().BattlePhase) continue;
    const int aimX = k.C().AimX, unshot = k.Enemy().UnshotCount;
    EXPECT_FALSE(k.FrameOn(aimX, k.C().AimY));
    k.Press(aimX > 1 ? eng::kKeyLeft : eng::kKeyRight);
    k.Press(eng::kKeySpace);
    EXPECT_EQ(std::pair(k.C().AimX, int(k.Enemy().UnshotCount)), std::pair(aimX, unshot));
    ++computerTurns;
    ASSERT_TRUE(k.FramesUntil([&] { return k.C().LocalTurn == 1 || k.C().BattlePhase == 0; }));
  }
  ASSERT_EQ(k.Own().SunkCount, 10);
  EXPECT_GT(computerTurns, 5);

  // The ships never found show once the fireworks are over, the model unchanged.
  const TCellPoint c = k.EnemyCell([](uint8_t code) { return code == cell::Ship; });
  ASSERT_NE(c.x, 0);
  ASSERT_TRUE(k.FramesUntil([&] {
    if (k.Own().EffectCount != 0) {
      EXPECT_NE(k.Enemy().ShownCells.At(c.x, c.y).Code, cell::NotFoundShip);
    }
    return k.Own().EffectCount == 0 && k.C().RevealPending == 0;
  }));
  k.g->Frames(1, 80);
  int shown = 0;
  for (const TSeaCell& s : k.Enemy().ShownCells.Cells) shown += s.Code == cell::NotFoundShip;
  int never = 0;
  for (const TSeaCell& t : k.Enemy().TrueCells.Cells) never += t.Code == cell::Ship && t.State == cell::Closed;
  EXPECT_EQ(shown, never);
  const eng::Color ghost = k.g->form->ImageList()[assets::kNotFoundCell].picture.GetPixel(8, 8);
  EXPECT_EQ(k.g->Pixel(k.Enemy().OriginX + 16 * c.x - 8, k.Enemy().OriginY + 16 * c.y - 8),
            eng::FromRGB565(eng::ToRGB565(ghost)));

  // The next game closes the grid again.
  k.NewGameByKeys();
  EXPECT_EQ(k.Enemy().ShownCells.At(c.x, c.y).State, cell::Closed);
  EXPECT_EQ(k.C().AimX, 8);
}

}  // namespace
