// Bombs and their patterns, the player's press on the enemy grid, penalty
// rockets, and navigators: pruning at the hard level and the rays under the
// pointer.
#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "effects/rocket.h"
#include "assets/waves.h"
#include "engine/text_codec.h"
#include "ui_fixture.h"

namespace {

class WeaponFixture : public uitest::UiTest {
 protected:
  WeaponFixture() {
    common.BattlePhase = 1;
    common.LocalTurn = 1;
    common.Settings.GameMode = 1;
    assets::BuildWaves(waves);
  }
  // A one-cell ship in the slot, as a fixed fleet holds it.
  static void LayOne(TBattleField& g, int slot, int x, int y) {
    TShipRecord& s = g.Slot(slot);
    s.X = static_cast<int8_t>(x - 1);
    s.Y = static_cast<int8_t>(y - 1);
    s.Placed = 1;
    s.Shape[1][1] = cell::Ship;
    g.TrueCells.At(x, y).Code = g.ShownCells.At(x, y).Code = cell::Ship;
  }
  static std::set<std::pair<int, int>> Opened(const TBattleField& g) {
    std::set<std::pair<int, int>> cells;
    for (int y = 1; y <= 17; ++y)
      for (int x = 1; x <= 16; ++x)
        if (g.TrueCells.At(x, y).State >= cell::Opened) cells.insert({x, y});
    return cells;
  }
};
using BombTest = WeaponFixture;
using BonusTest = WeaponFixture;
using NavigatorTest = WeaponFixture;

TEST_F(BombTest, PatternsStrikeOnlyCellsInsideTheGrid) {
  enemy.ApplyBomb(1, 1, cell::BonusSquareBomb);
  EXPECT_EQ(Opened(enemy), (std::set<std::pair<int, int>>{{1, 1}, {2, 2}, {2, 1}, {1, 2}}));
  EXPECT_EQ(common.LocalTurn, 0);
  EXPECT_EQ(common.ComputerMovePending, 1);

  // A plus bomb on an opened centre still strikes its four sides.
  own.Shoot(TCellPoint{8, 8}, true);
  own.ApplyBomb(8, 8, cell::BonusPlusBomb);
  EXPECT_EQ(Opened(own), (std::set<std::pair<int, int>>{{8, 8}, {8, 7}, {9, 8}, {8, 9}, {7, 8}}));
}

TEST_F(BombTest, OnShipPassesTheTurnAndDestroysBonuses) {
  common.LocalTurn = 0;
  common.ComputerMovePending = 1;
  own.TrueCells.At(5, 5).Code = cell::Ship;  // part of a longer ship: hit, not sunk
  own.TrueCells.At(5, 4).Code = cell::BonusXBomb;
  own.TrueCells.At(6, 5).Code = cell::BonusShots3;
  own.ApplyBomb(5, 5, cell::BonusPlusBomb);
  EXPECT_EQ(own.TrueCells.At(5, 5).Code, cell::HitShip);
  EXPECT_EQ(own.TrueCells.At(5, 4).Code, cell::SideRing);
  EXPECT_EQ(own.TrueCells.At(6, 5).Code, cell::SideRing);
  EXPECT_EQ(own.BombArmed, 0);
  EXPECT_EQ(own.ExtraShots, 0);
  EXPECT_EQ(common.LocalTurn, 1);
  EXPECT_EQ(common.ComputerMovePending, 0);
  EXPECT_EQ(common.StatusLine[1], W("Атакуйте вашего противника!"));
}

TEST_F(BombTest, SinkingTheLastShipKeepsTheWinnersLine) {
  LayOne(own, 10, 9, 9);
  own.SunkCount = 9;
  own.ApplyBomb(9, 10, cell::BonusSquareBomb);
  EXPECT_EQ(own.SunkCount, 10);
  EXPECT_EQ(common.BattlePhase, 0);
  EXPECT_EQ(common.BlinkText, W("Выиграл компьютер!"));
  EXPECT_NE(common.StatusLine[1], W("Атакуйте вашего противника!"));
  EXPECT_EQ(common.LocalTurn, 0);
  EXPECT_EQ(common.CursorPattern, 0);
}

TEST_F(BombTest, ArmedPressDropsItAndPressesOffTheCellsAreIgnored) {
  for (auto [a, b] : {std::pair{-1, 10}, std::pair{256, 10}, std::pair{10, 272}, std::pair{10, -3}})
    enemy.FireAtEnemyGrid(a, b);
  EXPECT_EQ(common.LocalTurn, 1);
  EXPECT_EQ(enemy.UnshotCount, 272);

  enemy.BombArmed = 1;
  enemy.BombKind = cell::BonusXBomb;
  enemy.FireAtEnemyGrid(255, 271);
  EXPECT_EQ(enemy.ClickX, 16);
  EXPECT_EQ(enemy.ClickY, 17);
  ASSERT_EQ(enemy.BombList.size(), 1u);
  EXPECT_EQ(enemy.BombList[0].BombKindOfEffect, cell::BonusXBomb);
  EXPECT_TRUE(enemy.LabelList.empty());
  EXPECT_EQ(enemy.BombArmed, 0);
  EXPECT_EQ(common.LocalTurn, 0);
  EXPECT_EQ(enemy.UnshotCount, 272);  // the cell is shot when the bomb lands
}

TEST_F(BonusTest, PenaltyRocketsStrikeTheFindersFleet) {
  own.LaunchPenaltyRockets(cell::PenaltyRockets1);
  ASSERT_EQ(sprites.Count(), 1);
  EXPECT_EQ(&dynamic_cast<TRocket*>(sprites[0])->TargetGrid, &enemy);
  EXPECT_EQ(common.AnimationsInFlight, 1);
  EXPECT_EQ(enemy.EffectCount, 1);

  enemy.LaunchPenaltyRockets(cell::PenaltyRockets5);
  ASSERT_EQ(sprites.Count(), 6);
  std::set<std::pair<int, int>> targets;
  for (int s = 1; s <= 5; ++s) {
    auto* rocket = dynamic_cast<TRocket*>(sprites[s]);
    EXPECT_EQ(&rocket->TargetGrid, &own);
    EXPECT_EQ(rocket->Collateral, 1);
    EXPECT_GE(rocket->Delay, 5 * s);
    EXPECT_LE(rocket->Delay, 5 * s + 4);
    targets.insert({rocket->TargetCell.x, rocket->TargetCell.y});
  }
  EXPECT_EQ(targets.size(), 5u);
  EXPECT_EQ(common.AnimationsInFlight, 6);

  // No more rockets than cells left to shoot.
  enemy.Unshot.resize(2);
  enemy.UnshotCount = 2;
  own.LaunchPenaltyRockets(cell::PenaltyRockets4);
  EXPECT_EQ(sprites.Count(), 8);
}

TEST_F(NavigatorTest, PrunesTheComputersCandidatesAtTheHardLevel) {
  common.Settings.Difficulty = 3;
  own.TrueCells.At(3, 4).Code = cell::NavigatorRight;  // no ship cell to its right
  own.Shoot(TCellPoint{3, 4}, false);
  EXPECT_EQ(own.CandidateCount, 272 - 1 - 13);
  EXPECT_EQ(std::count(own.Candidates.begin(), own.Candidates.end(), TCellPoint{16, 4}), 0);

  // A navigator counting one ship cell prunes once that cell is hit.
  own.TrueCells.At(2, 8).Code = cell::NavigatorRight + 1;
  own.Shoot(TCellPoint{2, 8}, false);
  EXPECT_EQ(own.CandidateCount, 272 - 1 - 13 - 1);
  LayOne(own, 7, 10, 8);
  own.Shoot(TCellPoint{10, 8}, false);
  EXPECT_EQ(std::count(own.Candidates.begin(), own.Candidates.end(), TCellPoint{15, 8}), 0);

  // Below the hard level nothing but the shot cell leaves.
  common.Settings.Difficulty = 2;
  own.TrueCells.At(3, 14).Code = cell::NavigatorRight;
  const int before = own.CandidateCount;
  own.Shoot(TCellPoint{3, 14}, false);
  EXPECT_EQ(own.CandidateCount, before - 1);
}

TEST_F(NavigatorTest, RayDarkensItsStripUnderThePointer) {
  enemy.GridSurface.Create(256, 272);
  enemy.DrawAllCells();
  enemy.TrueCells.At(3, 4).Code = cell::NavigatorRight + 2;
  enemy.Shoot(TCellPoint{3, 4}, false);
  ASSERT_EQ(enemy.RayList.size(), 1u);
  TNavigatorRay& ray = enemy.RayList[0];

  enemy.HoverNavigatorRays(enemy.OriginX + 100, enemy.OriginY + 55, false);
  ASSERT_EQ(ray.RayShown, 1);
  ASSERT_EQ(ray.RaySurface.Width(), 256 - 48);
  ASSERT_EQ(ray.RaySurface.Height(), 16);
  const eng::Color grid = enemy.GridSurface.GetColor(48 + 102, 48 + 7);
  const auto shade = [](uint8_t c) { return static_cast<uint8_t>(std::nearbyint(c * 0.85)); };
  EXPECT_NE(grid, eng::kBlack);
  EXPECT_EQ(ray.RaySurface.GetPixel(102, 7), eng::ToRGB565({shade(grid.r), shade(grid.g), shade(grid.b)}));
  // The tick, two pixels wide, across the strip's end by the navigator.
  const uint16_t green = eng::ToRGB565({0, 255, 0});
  EXPECT_EQ(ray.RaySurface.GetPixel(1, 8), green);
  EXPECT_EQ(ray.RaySurface.GetPixel(2, 8), green);
  EXPECT_NE(ray.RaySurface.GetPixel(3, 8), green);

  enemy.HoverNavigatorRays(enemy.OriginX + 20, enemy.OriginY + 55, false);
  EXPECT_EQ(ray.RayShown, 0);
}

}  // namespace
