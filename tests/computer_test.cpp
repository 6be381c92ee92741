// The computer opponent: when it acts, its rockets and bombs, and the
// target choice of each level, with the lists it falls back on when they
// run dry.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "ai/computer.h"
#include "ai/hard_level.h"
#include "ai/targeting.h"
#include "assets/waves.h"
#include "effects/grid_effects.h"
#include "effects/rocket.h"
#include "engine/canvas.h"
#include "ui_fixture.h"

namespace {

using Cell = std::pair<int, int>;

class Computer : public uitest::UiTest {
 protected:
  Computer() {
    assets::BuildWaves(waves);
    for (TBattleField* grid : {&own, &enemy}) {
      grid->GridSurface.Create(GridWidth, GridHeight);
      grid->EffectSurface.Create(GridWidth, GridHeight);
    }
    common.Settings.GameMode = 1;
    common.BattlePhase = 1;
    common.ComputerMovePending = 1;
  }

  // Opens a cell of the own grid with the given code, as a shot would, and
  // takes it off the computer's lists.
  void Open(int x, int y, uint8_t code, uint8_t state = cell::Opened) {
    own.TrueCells.At(x, y) = TSeaCell{state, code, 0};
    TBattleField::RemoveFromList(TCellPoint{x, y}, own.Candidates, own.CandidateCount);
    TBattleField::RemoveFromList(TCellPoint{x, y}, own.Unshot, own.UnshotCount);
  }
  void SetCandidates(std::vector<TCellPoint> cells) {
    own.Candidates = std::move(cells);
    own.CandidateCount = static_cast<int16_t>(own.Candidates.size());
  }
  Cell Target() const { return {own.Target.x, own.Target.y}; }

  // The targets a level picks from the same grid over many seeds.
  std::set<Cell> TargetsOverSeeds(int level, int seeds = 200) {
    std::set<Cell> seen;
    for (int s = 1; s <= seeds; ++s) {
      random.Seed(s);
      const TLead hit = own.HitLead, side = own.SideLead, corner = own.CornerLead;
      ChooseTarget(own, level);
      seen.insert(Target());
      own.HitLead = hit;
      own.SideLead = side;
      own.CornerLead = corner;
    }
    return seen;
  }

  // Lays a three-cell ship into fleet slot 2 over the given cells, straight
  // across a row.
  void LayRowShip(int x, int y) {
    int variant = 0;
    for (int v = 1; v <= VariantCount(3) && !variant; ++v) {
      const auto cells = ShipShape(3, v).ShipCells();
      if (cells[0].row == cells[1].row && cells[1].row == cells[2].row) variant = v;
    }
    ASSERT_NE(variant, 0);
    const TShipShape& shape = ShipShape(3, variant);
    TShipRecord& ship = own.Slot(2);
    ship.Variant = static_cast<uint8_t>(variant);
    ship.X = static_cast<int8_t>(x - shape.ShipCells()[0].col);
    ship.Y = static_cast<int8_t>(y - shape.ShipCells()[0].row);
    ship.ClearShape();
    for (const TShapeCell& c : shape.ShipCells()) {
      ship.Shape[c.row][c.col] = cell::Ship;
      own.TrueCells.At(ship.X + c.col, ship.Y + c.row).Code = cell::Ship;
    }
  }

  TRocket* LastRocket() { return static_cast<TRocket*>(sprites[sprites.Count() - 1]); }
};

// --- When the computer acts ---

TEST_F(Computer, NeverActsInANetworkGameNorWhileAnythingHoldsUpPlay) {
  common.Settings.GameMode = 2;
  ComputerTurnStep(own, common);
  EXPECT_EQ(sprites.Count(), 0);
  EXPECT_EQ(common.ComputerMovePending, 1);

  common.Settings.GameMode = 1;
  common.AnimationsInFlight = 1;  // a splash still counting, on either grid
  ComputerTurnStep(own, common);
  EXPECT_EQ(sprites.Count(), 0);
  EXPECT_EQ(common.ComputerMovePending, 1);

  common.AnimationsInFlight = 0;
  ComputerTurnStep(own, common);
  ASSERT_EQ(sprites.Count(), 1);
  EXPECT_EQ(common.ComputerMovePending, 0);
  EXPECT_EQ(common.AnimationsInFlight, 1);
  EXPECT_EQ(LastRocket()->TargetCell, own.Target);
}

TEST_F(Computer, HalfTheRocketsWaitOneToSevenUnits) {
  common.Settings.Difficulty = 0;
  int waiting = 0;
  std::set<int> delays;
  constexpr int kTurns = 400;
  for (int s = 1; s <= kTurns; ++s) {
    random.Seed(s);
    common.ComputerMovePending = 1;
    common.AnimationsInFlight = 0;
    ComputerTurnStep(own, common);
    const float delay = LastRocket()->Delay;
    delays.insert(static_cast<int>(delay));
    if (delay > 0) ++waiting;
  }
  EXPECT_EQ(sprites.Count(), kTurns);
  EXPECT_EQ(delays, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_GT(waiting, kTurns * 4 / 10);
  EXPECT_LT(waiting, kTurns * 6 / 10);
}

TEST_F(Computer, AfterOpeningABombBonusItsNextShotIsThatBomb) {
  common.Settings.Difficulty = 0;
  own.TrueCells.At(5, 5).Code = cell::BonusPlusBomb;
  SetCandidates({{5, 5}});
  ComputerTurnStep(own, common);
  ASSERT_EQ(sprites.Count(), 1);
  // The rocket flies until it lands on the bonus.
  for (int i = 0; i < 500 && sprites.Count() > 0; ++i) {
    sprites.Move(20);
    sprites.Dead();
  }
  ASSERT_EQ(sprites.Count(), 0);
  ASSERT_EQ(own.BombArmed, 1);
  EXPECT_EQ(common.ComputerMovePending, 1);  // the armed bomb keeps the turn
  ComputerTurnStep(own, common);
  EXPECT_TRUE(own.BombList.empty());  // the pick-up label still holds up play

  // Once the label and the splash have let go, the bomb falls.
  for (int i = 0; i < 100 && common.AnimationsInFlight > 0; ++i) AnimateGridEffects(own, common, 100);
  SetCandidates({{9, 9}});
  ComputerTurnStep(own, common);
  ASSERT_EQ(own.BombList.size(), 1u);
  EXPECT_EQ(own.BombList[0].BombKindOfEffect, cell::BonusPlusBomb);
  EXPECT_EQ(own.BombList[0].CellX, 9);
  EXPECT_EQ(own.BombList[0].CellY, 9);
  EXPECT_EQ(own.BombArmed, 0);
  EXPECT_EQ(sprites.Count(), 0);
  EXPECT_EQ(common.ComputerMovePending, 1);

  // Its landing gives the turn to the player.
  for (int i = 0; i < 100 && !own.BombList[0].Done; ++i) AnimateGridEffects(own, common, 100);
  EXPECT_EQ(common.ComputerMovePending, 0);
  EXPECT_EQ(common.LocalTurn, 1);
  EXPECT_EQ(own.TrueCells.At(9, 8).State, cell::Opened);  // the plus pattern
}

// --- Levels 0 to 2 ---

TEST_F(Computer, VeryEasyTakesACandidateAndSetsNoLead) {
  SetCandidates({{2, 3}, {7, 11}, {16, 17}});
  for (const TCellPoint& p : own.Candidates) own.TrueCells.At(p.x, p.y).Code = cell::Ship;
  EXPECT_EQ(TargetsOverSeeds(0), (std::set<Cell>{{2, 3}, {7, 11}, {16, 17}}));
  ChooseTarget(own, 0);
  EXPECT_EQ(own.HitLead.Active, 0);
}

TEST_F(Computer, NormalFollowsAHitAmongAllEightNeighboursInsideTheGrid) {
  Open(5, 5, cell::HitShip);
  own.HitLead = TLead{1, 5, 5};
  EXPECT_EQ(TargetsOverSeeds(2),
            (std::set<Cell>{{4, 4}, {5, 4}, {6, 4}, {4, 5}, {6, 5}, {4, 6}, {5, 6}, {6, 6}}));

  Open(1, 17, cell::HitShip);
  own.HitLead = TLead{1, 1, 17};
  EXPECT_EQ(TargetsOverSeeds(2), (std::set<Cell>{{1, 16}, {2, 16}, {2, 17}}));
}

TEST_F(Computer, AHitLeadWithNoClosedNeighbourPassesToAnotherDamagedCellInTheSameTurn) {
  // (5, 5) is boxed in by opened cells; (6, 6), damaged too, still has (7, 7).
  for (int y = 4; y <= 7; ++y)
    for (int x = 4; x <= 7; ++x) Open(x, y, cell::SideRing);
  Open(5, 5, cell::HitShip);
  Open(6, 6, cell::HitShip);
  own.TrueCells.At(7, 7) = TSeaCell{};
  own.HitLead = TLead{1, 5, 5};
  for (int level : {1, 2}) {
    EXPECT_EQ(TargetsOverSeeds(level), (std::set<Cell>{{7, 7}}));
    own.HitLead = TLead{1, 5, 5};
    ChooseTarget(own, level);
    EXPECT_EQ(own.HitLead.Active, 1);
    EXPECT_EQ(own.HitLead.X, 6);
    EXPECT_EQ(own.HitLead.Y, 6);
  }
}

TEST_F(Computer, ScanSkipsCellsBesideOpenedWaterAndTakesOneDiagonalToASideRing) {
  Open(3, 3, cell::Water);
  Open(10, 10, cell::Water);
  Open(13, 13, cell::SideRing);
  // Beside water at its side, diagonal to opened water, diagonal to a side ring.
  SetCandidates({{3, 4}, {11, 11}, {14, 14}});
  for (int s = 1; s <= 50; ++s) {
    random.Seed(s);
    ASSERT_TRUE(ScanCandidates(own));
    EXPECT_EQ(Target(), (Cell{14, 14}));
  }
  own.Target = TCellPoint{1, 1};
  SetCandidates({{3, 4}, {11, 11}});
  EXPECT_FALSE(ScanCandidates(own));
  EXPECT_EQ(Target(), (Cell{1, 1}));
}

TEST_F(Computer, ExhaustedListsAndLeadsNeverReachOutOfRange) {
  // A side lead whose side neighbours are all opened gives way to the scan.
  Open(8, 8, cell::SideRing);
  for (auto [x, y] : {Cell{8, 7}, Cell{9, 8}, Cell{8, 9}, Cell{7, 8}}) Open(x, y, cell::Water);
  own.SideLead = TLead{1, 8, 8};
  ChooseTarget(own, 2);
  EXPECT_EQ(own.TrueCells.At(own.Target.x, own.Target.y).State, cell::Closed);
  EXPECT_EQ(own.SideLead.Active, 0);

  // No candidate left: any closed cell never shot stands in, at every level.
  SetCandidates({});
  own.Unshot = {TCellPoint{8, 7}, TCellPoint{12, 2}};
  for (int level = 0; level <= 3; ++level) {
    own.Target = TCellPoint{};
    ChooseTarget(own, level);
    EXPECT_EQ(Target(), (Cell{12, 2})) << "level " << level;
  }

  // Nothing at all left to shoot: no rocket, and the move is no longer due.
  own.Unshot.clear();
  for (int level = 0; level <= 3; ++level) {
    common.Settings.Difficulty = static_cast<uint8_t>(level);
    common.ComputerMovePending = 1;
    ComputerTurnStep(own, common);
    EXPECT_EQ(sprites.Count(), 0);
    EXPECT_EQ(common.ComputerMovePending, 0);
  }
}

// --- The hard level ---

TEST_F(Computer, HardLevelScoresEveryCandidateZeroAtTheStart) {
  ASSERT_TRUE(ScoreCandidates(own));
  ASSERT_EQ(own.TargetScores.size(), 272u);
  for (const TargetScore& r : own.TargetScores) EXPECT_EQ(r.score, 0.0);
  EXPECT_GT(TargetsOverSeeds(3, 50).size(), 40u);  // a uniform pick among all
}

TEST_F(Computer, HardLevelRatesTheNeighbours) {
  Open(3, 3, cell::Water);
  Open(10, 5, cell::HitShip);
  Open(12, 5, cell::HitShip);
  ASSERT_TRUE(ScoreCandidates(own));
  auto score = [this](int x, int y) {
    for (const TargetScore& r : own.TargetScores)
      if (r.x == x && r.y == y) return r.score;
    ADD_FAILURE() << "no record for " << x << "," << y;
    return 0.0;
  };
  EXPECT_EQ(score(4, 4), -2.0);  // diagonal to opened water
  EXPECT_EQ(score(11, 6), 2.0);  // two damaged corners
  EXPECT_EQ(score(11, 5), 1.0);  // two damaged sides
  EXPECT_EQ(score(9, 5), 1.0);
  EXPECT_EQ(score(14, 14), 0.0);
  // The best cells are taken.
  EXPECT_EQ(TargetsOverSeeds(3, 30), (std::set<Cell>{{11, 4}, {11, 6}}));
}

TEST_F(Computer, HardLevelPrefersACellThatLetsTheDamagedShipKeepAShape) {
  LayRowShip(5, 5);  // (5, 5) to (7, 5)
  Open(5, 5, cell::HitShip);
  Open(6, 5, cell::HitShip);
  // (7, 6) lies diagonally beside the hits, where no three-cell ship bends;
  // (4, 5) continues the row. Both score 1.
  SetCandidates({{7, 6}, {4, 5}});
  EXPECT_EQ(TargetsOverSeeds(3, 40), (std::set<Cell>{{4, 5}}));

  // With nothing equal that fits, the random pick stands.
  SetCandidates({{7, 6}, {4, 6}});
  EXPECT_EQ(TargetsOverSeeds(3, 40), (std::set<Cell>{{7, 6}, {4, 6}}));

  // Once the big ships are sunk, no shape is checked.
  for (int k = 1; k <= 3; ++k) own.Slot(k).Sunk = 1;
  SetCandidates({{7, 6}, {4, 5}});
  EXPECT_EQ(TargetsOverSeeds(3, 40), (std::set<Cell>{{7, 6}, {4, 5}}));
}

}  // namespace
