#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include "fake_sea_host.h"
#include "sea/battle_field.h"
#include "test_images.h"

namespace {

// A navigator decoded: the step toward the edge it points at and its count.
struct Pointer {
  int dx, dy, n;
};
Pointer Decode(uint8_t code) {
  const int n = code % 10;
  switch ((code - cell::NavigatorRight) / 10) {
    case 0: return {1, 0, n};
    case 1: return {-1, 0, n};
    case 2: return {0, -1, n};
    default: return {0, 1, n};
  }
}

int CountShipCells(const TCellPlane& plane, int x, int y, int dx, int dy) {
  int n = 0;
  for (x += dx, y += dy; x >= 1 && x <= 16 && y >= 1 && y <= 17; x += dx, y += dy)
    n += plane.At(x, y).Code == cell::Ship;
  return n;
}

bool NextToShip(const TCellPlane& plane, int x, int y) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (TCellPlane::Contains(x + dx, y + dy) && plane.At(x + dx, y + dy).Code == cell::Ship) return true;
  return false;
}

class SeedingTest : public ::testing::Test {
 protected:
  SeedingTest() : field(images, random, host) {
    field.Id = 2;
    field.OpenForPlacement(false);
  }

  int Count(uint8_t code) const {
    return static_cast<int>(std::count_if(field.TrueCells.Cells.begin(), field.TrueCells.Cells.end(),
                                          [code](const TSeaCell& c) { return c.Code == code; }));
  }

  // Every navigator reads the ship cells toward its edge, was water away
  // from ships before, lies where its pass may put it, and is hidden from
  // the shown plane; no line holds more than two of one direction.
  void ExpectHonestNavigators(const TCellPlane& before) {
    std::map<std::array<int, 3>, int> perLine;  // direction, line -> count
    for (int y = 1; y <= 17; ++y) {
      for (int x = 1; x <= 16; ++x) {
        const uint8_t code = field.TrueCells.At(x, y).Code;
        if (!cell::IsNavigator(code)) continue;
        const Pointer p = Decode(code);
        EXPECT_EQ(p.n, CountShipCells(field.TrueCells, x, y, p.dx, p.dy)) << "code " << int{code} << " at " << x << "," << y;
        EXPECT_EQ(before.At(x, y).Code, cell::Water) << x << "," << y;
        EXPECT_FALSE(NextToShip(field.TrueCells, x, y));
        EXPECT_FALSE(cell::IsNavigator(field.ShownCells.At(x, y).Code));
        // The scans of each pass keep away from the edge it points at.
        EXPECT_TRUE(p.dx != 1 || x <= 13) << x << "," << y;
        EXPECT_TRUE(p.dx != -1 || x >= 4) << x << "," << y;
        EXPECT_TRUE(p.dy != -1 || y >= 4) << x << "," << y;
        EXPECT_TRUE(p.dy != 1 || y <= 14) << x << "," << y;
        ++perLine[{p.dx, p.dy, p.dx != 0 ? y : x}];
      }
    }
    for (const auto& [line, n] : perLine) EXPECT_LE(n, 2);
  }

  eng::ImageList images = testimg::MakeImages();
  eng::RandomSource random{77};
  FakeSeaHost host;
  TBattleField field;
};

TEST_F(SeedingTest, BonusTableCountsAndPlaces) {
  bool sawOptional = false, sawMissing = false;
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    random.Seed(seed);
    field.AutoPlace();
    const TCellPlane before = field.TrueCells;
    field.PlaceBonuses();
    EXPECT_EQ(Count(4), 3);
    EXPECT_EQ(Count(5), 3);
    EXPECT_EQ(Count(6), 5);
    EXPECT_EQ(Count(7), 2);
    EXPECT_TRUE(Count(8) == 0 || Count(8) == 2);
    for (uint8_t code = 9; code <= 15; ++code) EXPECT_LE(Count(code), 1) << int{code};
    EXPECT_TRUE(Count(16) == 0 || Count(16) == 5);
    sawOptional |= Count(16) == 5;
    sawMissing |= Count(16) == 0;
    for (int y = 1; y <= 17; ++y) {
      for (int x = 1; x <= 16; ++x) {
        const uint8_t now = field.TrueCells.At(x, y).Code, was = before.At(x, y).Code;
        if (now == was) continue;
        EXPECT_TRUE(cell::IsBonus(now));
        EXPECT_LE(was, cell::CornerRing) << "a bonus on " << int{was} << " at " << x << "," << y;
        EXPECT_EQ(field.ShownCells.At(x, y).Code, now);
      }
    }
  }
  EXPECT_TRUE(sawOptional);
  EXPECT_TRUE(sawMissing);
}

TEST_F(SeedingTest, RandomCodesStopWhenTheWaterRunsOut) {
  field.PlaceRandomCode(cell::BonusSquareBomb, 200);
  EXPECT_EQ(Count(cell::BonusSquareBomb), 200);
  field.PlaceRandomCode(cell::BonusXBomb, 100);  // 72 water cells left
  EXPECT_EQ(Count(cell::BonusXBomb), 72);
  field.PlaceRandomCode(cell::PenaltyRockets5, 5);  // none left
  EXPECT_EQ(Count(cell::PenaltyRockets5), 0);
  field.PlaceBonuses();
  EXPECT_EQ(Count(cell::BonusXBomb), 72);
}

TEST_F(SeedingTest, NavigatorsCountTheShipCellsTowardTheirEdge) {
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE(seed);
    random.Seed(seed);
    field.AutoPlace();
    field.PlaceBonuses();
    const TCellPlane before = field.TrueCells;
    const TCellPlane shownBefore = field.ShownCells;
    field.PlaceNavigators();
    EXPECT_EQ(field.ShownCells, shownBefore);
    EXPECT_GT(std::count_if(field.TrueCells.Cells.begin(), field.TrueCells.Cells.end(),
                            [](const TSeaCell& c) { return cell::IsNavigator(c.Code) && c.Code % 10 > 0; }),
              0);
    ExpectHonestNavigators(before);
    if (HasFailure()) return;
  }
}

TEST_F(SeedingTest, OpenWaterGetsTwoNavigatorsOfEachDirectionPerLine) {
  field.PlaceNavigators();
  std::map<std::array<int, 2>, int> perLine;  // code, line -> count
  for (int y = 1; y <= 17; ++y) {
    for (int x = 1; x <= 16; ++x) {
      const uint8_t code = field.TrueCells.At(x, y).Code;
      ASSERT_TRUE(code == cell::Water || code % 10 == 0) << int{code};
      if (code != cell::Water) ++perLine[{code, code < cell::NavigatorUp ? y : x}];
    }
  }
  EXPECT_EQ(perLine.size(), 2u * 17 + 2u * 16);
  for (const auto& [line, n] : perLine) EXPECT_EQ(n, 2) << line[0] << " in line " << line[1];
}

TEST_F(SeedingTest, ARowWhoseWaterLiesOnlyInTheLastThreeColumnsGetsNoRightPointer) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    random.Seed(seed);
    field.OpenForPlacement(false);
    for (int x = 1; x <= 13; ++x) field.TrueCells.At(x, 5).Code = cell::SideRing;
    field.PlaceNavigators();
    for (int x = 1; x <= 16; ++x) {
      const uint8_t code = field.TrueCells.At(x, 5).Code;
      EXPECT_FALSE(code >= cell::NavigatorRight && code < cell::NavigatorLeft) << "seed " << seed << " column " << x;
    }
  }
}

TEST_F(SeedingTest, ACountAboveNineIsPassedOverForTheNextCell) {
  // Row 9: a ship cell in column 1, water in 2, ten ship cells in 3..12 and
  // water in 13..16. A right pointer in column 2 would count ten and read as
  // a left pointer with nothing to its left, where one ship cell lies; the
  // scan passes it and settles on 13. Column 8 holds ten ship cells from row
  // 8 down, so no down pointer fits above them.
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    random.Seed(seed);
    field.OpenForPlacement(false);
    field.TrueCells.At(1, 9).Code = cell::Ship;
    for (int x = 3; x <= 12; ++x) field.TrueCells.At(x, 9).Code = cell::Ship;
    for (int y = 8; y <= 17; ++y) field.TrueCells.At(8, y).Code = cell::Ship;
    field.ShownCells = field.TrueCells;
    const TCellPlane before = field.TrueCells;
    field.PlaceNavigators();
    // Column 2 may hold an up or down pointer there, never one pointing right.
    const uint8_t at2 = field.TrueCells.At(2, 9).Code;
    EXPECT_TRUE(at2 == cell::Water || at2 >= cell::NavigatorUp) << int{at2};
    int right = 0;
    for (int x = 13; x <= 16; ++x) right += field.TrueCells.At(x, 9).Code == cell::NavigatorRight;
    EXPECT_EQ(right, 1);
    for (int y = 1; y <= 7; ++y) EXPECT_LT(field.TrueCells.At(8, y).Code, cell::NavigatorDown) << "row " << y;
    // Every navigator still tells the truth, which a count of ten would not.
    for (int y = 1; y <= 17; ++y) {
      for (int x = 1; x <= 16; ++x) {
        const uint8_t code = field.TrueCells.At(x, y).Code;
        if (!cell::IsNavigator(code)) continue;
        const Pointer p = Decode(code);
        EXPECT_EQ(p.n, CountShipCells(field.TrueCells, x, y, p.dx, p.dy)) << x << "," << y;
        EXPECT_EQ(before.At(x, y).Code, cell::Water);
      }
    }
    if (HasFailure()) return;
  }
}

}  // namespace
