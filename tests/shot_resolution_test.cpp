// Shots on a grid: hints, the streak, extra shots and the turn, bonuses,
// navigators under collateral fire, marking around sunk ships, and the end
// of a game.
#include <algorithm>
#include <initializer_list>

#include "assets/waves.h"
#include "effects/grid_effects.h"
#include "engine/text_codec.h"
#include "ui_fixture.h"

namespace {

// A fixed ship of the slot's type on the cells, with the ring placement
// leaves in TrueCells around it.
void Lay(TBattleField& g, int slot, std::initializer_list<TCellPoint> cells) {
  TShipRecord& s = g.Slot(slot);
  int minX = 99, minY = 99;
  for (TCellPoint c : cells) minX = std::min(minX, c.x), minY = std::min(minY, c.y);
  s.X = static_cast<int8_t>(minX - 1);
  s.Y = static_cast<int8_t>(minY - 1);
  s.Placed = 1;
  s.ClearShape();
  for (TCellPoint c : cells) {
    s.Shape[c.y - s.Y][c.x - s.X] = cell::Ship;
    g.TrueCells.At(c.x, c.y).Code = g.ShownCells.At(c.x, c.y).Code = cell::Ship;
  }
  for (TCellPoint c : cells)
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        if (!TCellPlane::Contains(c.x + dx, c.y + dy)) continue;
        uint8_t& code = g.TrueCells.At(c.x + dx, c.y + dy).Code;
        const uint8_t ring = dx == 0 || dy == 0 ? cell::SideRing : cell::CornerRing;
        if (code == cell::Water || (code == cell::CornerRing && ring == cell::SideRing)) code = ring;
      }
}

class ShotTest : public uitest::UiTest {
 protected:
  ShotTest() {
    common.BattlePhase = 1;
    common.LocalTurn = 1;
    common.Settings.GameMode = 1;
    assets::BuildWaves(waves);
  }
  // The player's press on the middle of the cell, on the player's turn.
  void Fire(int x, int y) {
    common.LocalTurn = 1;
    enemy.FireAtEnemyGrid(16 * x - 8, 16 * y - 8);
  }
  uint8_t Shown(int x, int y) { return enemy.ShownCells.At(x, y).Code; }
};
using GameOverTest = ShotTest;

TEST_F(ShotTest, MissesBesideShipsShowTheSideTheyTouch) {
  Lay(enemy, 7, {{5, 5}});
  Fire(5, 4);
  EXPECT_EQ(Shown(5, 4), cell::SideRing);
  Fire(6, 6);
  EXPECT_EQ(Shown(6, 6), cell::CornerRing);
  // A plain miss darkens its closed neighbours, not the shot cell.
  Fire(10, 10);
  EXPECT_EQ(enemy.ShownCells.At(9, 9).KnownFree, 1);
  EXPECT_EQ(enemy.ShownCells.At(10, 11).KnownFree, 1);
  EXPECT_EQ(enemy.ShownCells.At(10, 10).KnownFree, 0);
  EXPECT_EQ(enemy.UnshotCount, 269);
}

TEST_F(ShotTest, StreakOfThreeLeavesTwoExtraShots) {
  Lay(enemy, 1, {{3, 3}, {4, 3}, {5, 3}, {6, 3}});
  for (int x = 3; x <= 5; ++x) Fire(x, 3);
  EXPECT_EQ(enemy.ExtraShots, 2);
  EXPECT_EQ(enemy.HitStreak, 0);
  ASSERT_EQ(enemy.LabelList.size(), 1u);
  EXPECT_EQ(enemy.LabelList[0].LabelKind, cell::BonusShots2);
  EXPECT_EQ(common.LocalTurn, 1);
}

TEST_F(ShotTest, ExtraShotsLoseBonusesAndThenPassTheTurn) {
  enemy.ExtraShots = 2;
  enemy.TrueCells.At(8, 8).Code = enemy.ShownCells.At(8, 8).Code = cell::BonusXBomb;
  Fire(8, 8);  // found while extra shots run: lost
  EXPECT_EQ(enemy.BombArmed, 0);
  EXPECT_EQ(enemy.ExtraShots, 1);
  EXPECT_EQ(enemy.TrueCells.At(8, 8).Code, cell::Water);
  EXPECT_TRUE(enemy.LabelList.empty());
  EXPECT_EQ(common.LocalTurn, 1);

  Fire(12, 12);
  EXPECT_EQ(enemy.ExtraShots, 0);
  EXPECT_EQ(common.LocalTurn, 0);
  EXPECT_EQ(common.ComputerMovePending, 1);
  EXPECT_EQ(common.CursorPattern, 0);
  EXPECT_EQ(common.StatusLine[1], W("Дождитесь противника..."));
}

TEST_F(ShotTest, BombBonusBesideShipKeepsTheRing) {
  Lay(enemy, 7, {{5, 5}});
  enemy.TrueCells.At(5, 6).Code = enemy.ShownCells.At(5, 6).Code = cell::BonusPlusBomb;
  Fire(5, 6);
  EXPECT_EQ(enemy.BombArmed, 1);
  EXPECT_EQ(enemy.BombKind, cell::BonusPlusBomb);
  EXPECT_EQ(enemy.TrueCells.At(5, 6).Code, cell::SideRing);
  EXPECT_EQ(Shown(5, 6), cell::SideRing);
  EXPECT_EQ(common.LocalTurn, 1);  // the bomb is used at once
}

TEST_F(ShotTest, CollateralErasesNavigatorsOrdinaryShowsThem) {
  enemy.TrueCells.At(4, 4).Code = 103;
  enemy.TrueCells.At(9, 9).Code = 112;
  enemy.Shoot(TCellPoint{4, 4}, true);
  EXPECT_EQ(enemy.TrueCells.At(4, 4).Code, cell::Water);
  EXPECT_TRUE(enemy.RayList.empty());
  Fire(9, 9);
  EXPECT_EQ(Shown(9, 9), 112);
  ASSERT_EQ(enemy.RayList.size(), 1u);
  EXPECT_EQ(enemy.RayList[0].RayRight, enemy.OriginX + 16 * 8);
}

TEST_F(ShotTest, SinkingMarksAroundAndMarkedCellsStillCollect) {
  // A diagonal two-cell ship: the two cells between its parts are marked too.
  Lay(enemy, 4, {{5, 5}, {6, 6}});
  Lay(enemy, 7, {{12, 12}});
  enemy.TrueCells.At(12, 13).Code = enemy.ShownCells.At(12, 13).Code = cell::BonusShots1;
  Fire(5, 5);
  Fire(6, 6);
  Fire(12, 12);
  EXPECT_EQ(enemy.SunkCount, 2);
  EXPECT_EQ(enemy.TrueCells.At(5, 5).Code, cell::SunkShip);
  int marked = 0;
  for (int y = 4; y <= 7; ++y)
    for (int x = 4; x <= 7; ++x) marked += enemy.TrueCells.At(x, y).State == cell::Marked;
  EXPECT_EQ(marked, 12);  // the 4 x 4 box but its two far corners and the ship
  EXPECT_EQ(enemy.ShownCells.At(6, 5).State, cell::Marked);
  EXPECT_EQ(enemy.ShownCells.At(5, 6).State, cell::Marked);
  EXPECT_EQ(enemy.CandidateCount, 272 - 3 - 12 - 8);

  // The bonus beside the sunk one-cell ship is marked, yet a shot collects it.
  Fire(12, 13);
  EXPECT_EQ(enemy.TrueCells.At(12, 13).State, cell::OpenedMarked);
  EXPECT_EQ(enemy.ExtraShots, 1);
  EXPECT_EQ(Shown(12, 13), cell::SideRing);
  EXPECT_EQ(enemy.CandidateCount, 272 - 3 - 12 - 8);
}

TEST_F(ShotTest, OutsideTheGridIsIgnored) {
  for (TCellPoint p : {TCellPoint{0, 5}, TCellPoint{17, 1}, TCellPoint{3, 18}, TCellPoint{-4, -4}}) {
    enemy.Shoot(p, false);
    enemy.ApplyBomb(p.x, p.y, cell::BonusSquareBomb);
    enemy.BombCell(p.x, p.y);
  }
  EXPECT_EQ(enemy.UnshotCount, 272);
  EXPECT_EQ(enemy.EffectCount, 0);
  EXPECT_EQ(common.LocalTurn, 1);
}

TEST_F(GameOverTest, MeterGrowsTowardEachSinking) {
  Lay(enemy, 7, {{2, 2}});
  Lay(enemy, 8, {{9, 9}});
  Fire(2, 2);
  EXPECT_EQ(enemy.SunkMeter.MeterRunning, 1);
  EXPECT_EQ(enemy.SunkMeter.MeterValue, 0);
  EXPECT_EQ(enemy.SunkMeter.MeterTarget, 20);
  Fire(9, 9);
  EXPECT_EQ(enemy.SunkMeter.MeterValue, 0);
  EXPECT_EQ(enemy.SunkMeter.MeterTarget, 40);
}

TEST_F(GameOverTest, TenthShipNamesTheWinnerAndStopsTheShooting) {
  Lay(enemy, 10, {{7, 7}});
  enemy.SunkCount = 9;
  enemy.RaysShown = 1;
  const size_t before = enemy.ExplosionList.size();
  Fire(7, 7);
  EXPECT_EQ(common.BattlePhase, 0);
  EXPECT_EQ(common.CursorPattern, 0);
  EXPECT_EQ(enemy.RaysShown, 0);
  EXPECT_EQ(common.BlinkText, W("Выиграл ") + common.Settings.PlayerName() + "!");
  EXPECT_EQ(common.BlinkRestore, 0);
  EXPECT_EQ(common.ScoreLeft, 1);
  EXPECT_EQ(common.RevealPending, 0) << "the winner has nothing to be shown";
  // The hit, the sinking cell and the fireworks: 210 silent and 4 loud.
  EXPECT_EQ(enemy.ExplosionList.size() - before, 2u + 214u);
  int loud = 0;
  for (const TEffect& e : enemy.ExplosionList) loud += e.SoundName == "explode";
  EXPECT_EQ(loud, 1 + 4);

  common.LocalTurn = 1;
  enemy.FireAtEnemyGrid(40, 40);
  EXPECT_EQ(enemy.TrueCells.At(3, 3).State, cell::Closed);
}

TEST_F(GameOverTest, OwnFleetLostToARemotePlayerNamesThem) {
  common.Settings.GameMode = 2;
  common.OpponentName = "Vera";
  Lay(own, 10, {{7, 7}});
  own.SunkCount = 9;
  own.Shoot(TCellPoint{7, 7}, false);
  EXPECT_EQ(common.BlinkText, W("Выиграл ") + "Vera!");
  EXPECT_EQ(common.ScoreRight, 1);
  EXPECT_EQ(common.BattlePhase, 0);
}

// The reveal waits for the fireworks; a new game begun meanwhile, or the
// fleet the other side sends for its next game, leaves nothing to show.
TEST_F(GameOverTest, TheRevealWaitingForTheFireworksGoesWithTheGame) {
  Lay(enemy, 7, {{10, 12}});
  for (bool network : {false, true}) {
    common.Settings.GameMode = network ? 2 : 1;
    own.Reset();
    Lay(own, 10, {{7, 7}});
    own.SunkCount = 9;
    own.Shoot(TCellPoint{7, 7}, false);
    ASSERT_EQ(common.RevealPending, 1);
    common.RevealStep();
    EXPECT_EQ(common.RevealPending, 1) << "the fireworks still run";
    if (network) {
      TFleetRecord next;
      next.Cells.At(10, 12).Code = cell::Ship;
      common.RemoteFleetReceived = 0;
      common.OfferRemoteFleet(next);
    } else {
      common.StartNewGame();
    }
    EXPECT_EQ(common.RevealPending, 0);
    while (own.EffectCount != 0) AnimateGridEffects(own, common, 100);
    common.RevealStep();
    EXPECT_EQ(Shown(10, 12), cell::Ship);
  }
}

}  // namespace
