#include "sea/ship_shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

using Cells = std::vector<std::pair<int, int>>;

Cells ShipCellsOf(const TShipShape& s) {
  Cells cells;
  for (const TShapeCell& c : s.ShipCells()) cells.emplace_back(c.row, c.col);
  return cells;
}

// The ship cells moved to the top-left corner, sorted.
Cells Normalised(Cells cells) {
  int r0 = 99, c0 = 99;
  for (auto [r, c] : cells) { r0 = std::min(r0, r); c0 = std::min(c0, c); }
  for (auto& [r, c] : cells) { r -= r0; c -= c0; }
  std::sort(cells.begin(), cells.end());
  return cells;
}

Cells QuarterTurnClockwise(const Cells& cells) {
  Cells turned;
  for (auto [r, c] : cells) turned.emplace_back(c, -r);
  return Normalised(turned);
}

void ExpectMatrix(int type, int variant, const std::vector<std::vector<int>>& expected) {
  const TShipShape& s = ShipShape(type, variant);
  ASSERT_EQ(s.size, expected.size());
  for (int r = 0; r < s.size; ++r)
    for (int c = 0; c < s.size; ++c)
      EXPECT_EQ(s.matrix[r][c], expected[r][c]) << "type " << type << " variant " << variant << " [" << r << "][" << c << "]";
}

TEST(ShipShape, EachTypeHasItsVariants) {
  const int counts[5] = {0, 1, 4, 8, 21};
  for (int type = 1; type <= 4; ++type) {
    EXPECT_EQ(VariantCount(type), counts[type]);
    for (int v = 1; v <= counts[type]; ++v) {
      const TShipShape& s = ShipShape(type, v);
      EXPECT_EQ(s.type, type);
      EXPECT_EQ(s.variant, v);
      EXPECT_EQ(s.size, type + 2);
    }
    EXPECT_EQ(ShipShape(type, 0).size, 0);
    EXPECT_EQ(ShipShape(type, counts[type] + 1).size, 0);
  }
  EXPECT_EQ(ShipShape(5, 1).type, 0);
  EXPECT_TRUE(ShipShape(0, 1).ShipCells().empty());
}

TEST(ShipShape, ShipCellsAreInsideTheRingAndInOnePiece) {
  for (int type = 1; type <= 4; ++type) {
    std::set<Cells> seen;
    for (int v = 1; v <= VariantCount(type); ++v) {
      const TShipShape& s = ShipShape(type, v);
      const Cells cells = ShipCellsOf(s);
      ASSERT_EQ(cells.size(), static_cast<size_t>(type));
      int inMatrix = 0;
      for (int r = 0; r < s.size; ++r)
        for (int c = 0; c < s.size; ++c) inMatrix += s.IsShipCell(r, c);
      EXPECT_EQ(inMatrix, type);
      for (auto [r, c] : cells) {
        EXPECT_TRUE(r >= 1 && c >= 1 && r <= s.size - 2 && c <= s.size - 2) << type << "/" << v;
        EXPECT_EQ(s.matrix[r][c], 3);
      }
      // Every cell reaches the first one through side or corner contact.
      std::vector<bool> reached(cells.size());
      reached[0] = true;
      for (size_t pass = 0; pass < cells.size(); ++pass)
        for (size_t i = 0; i < cells.size(); ++i)
          for (size_t j = 0; j < cells.size(); ++j)
            if (reached[j] && std::abs(cells[i].first - cells[j].first) <= 1 &&
                std::abs(cells[i].second - cells[j].second) <= 1)
              reached[i] = true;
      EXPECT_TRUE(std::all_of(reached.begin(), reached.end(), [](bool b) { return b; })) << type << "/" << v;
      EXPECT_TRUE(seen.insert(Normalised(cells)).second) << "variant " << v << " repeats a figure";
    }
  }
}

TEST(ShipShape, RingsShowSideAndCornerContact) {
  ExpectMatrix(1, 1, {{2, 1, 2}, {1, 3, 1}, {2, 1, 2}});
  // The diagonal pair: the two cells between them touch both at a side.
  ExpectMatrix(2, 2, {{2, 1, 2, 0}, {1, 3, 1, 2}, {2, 1, 3, 1}, {0, 2, 1, 2}});
  ExpectMatrix(3, 1, {{0, 0, 0, 0, 0}, {2, 1, 1, 1, 2}, {1, 3, 3, 3, 1}, {2, 1, 1, 1, 2}, {0, 0, 0, 0, 0}});
  ExpectMatrix(4, 5, {{0, 0, 0, 0, 0, 0},
                      {2, 1, 2, 0, 0, 0},
                      {1, 3, 1, 1, 2, 0},
                      {1, 3, 3, 3, 1, 0},
                      {2, 1, 1, 1, 2, 0},
                      {0, 0, 0, 0, 0, 0}});
  ExpectMatrix(4, 21, {{0, 0, 0, 0, 0, 0},
                       {0, 2, 1, 1, 2, 0},
                       {0, 1, 3, 3, 1, 0},
                       {0, 1, 3, 3, 1, 0},
                       {0, 2, 1, 1, 2, 0},
                       {0, 0, 0, 0, 0, 0}});
}

TEST(ShipShape, ShipCellListsFollowTheTable) {
  EXPECT_EQ(ShipCellsOf(ShipShape(2, 4)), (Cells{{1, 2}, {2, 1}}));
  EXPECT_EQ(ShipCellsOf(ShipShape(3, 4)), (Cells{{1, 3}, {2, 2}, {3, 1}}));
  EXPECT_EQ(ShipCellsOf(ShipShape(3, 8)), (Cells{{1, 2}, {2, 1}, {2, 2}}));
  EXPECT_EQ(ShipCellsOf(ShipShape(4, 4)), (Cells{{1, 4}, {2, 3}, {3, 2}, {4, 1}}));
  EXPECT_EQ(ShipCellsOf(ShipShape(4, 16)), (Cells{{2, 2}, {2, 3}, {3, 1}, {3, 2}}));
  EXPECT_EQ(ShipCellsOf(ShipShape(4, 20)), (Cells{{1, 3}, {2, 2}, {2, 3}, {3, 3}}));
  EXPECT_FALSE(ShipShape(4, 20).IsShipCell(6, 3));
  EXPECT_FALSE(ShipShape(4, 20).IsShipCell(-1, 3));
}

TEST(ShipShape, RotationGroups) {
  EXPECT_EQ(std::vector<int>(kFourCellGroupStarts.begin(), kFourCellGroupStarts.end()),
            (std::vector<int>{1, 5, 9, 13, 15, 17, 21}));
  EXPECT_EQ(std::vector<int>(kThreeCellGroupStarts.begin(), kThreeCellGroupStarts.end()), (std::vector<int>{1, 5}));
  const int fourGroup[22] = {0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 5, 5, 6, 6, 6, 6, 7};
  for (int v = 1; v <= 21; ++v) EXPECT_EQ(RotationGroupOf(4, v), fourGroup[v]) << v;
  EXPECT_EQ(RotationGroupOf(3, 4), 1);
  EXPECT_EQ(RotationGroupOf(3, 5), 2);
  EXPECT_EQ(RotationGroupOf(2, 3), 1);
  EXPECT_EQ(RotationGroupOf(1, 1), 0);
  EXPECT_EQ(RotationGroupOf(4, 22), 0);

  // Within the bent groups each variant is the quarter turn of the one
  // before, and the last turns back into the first.
  for (int type : {3, 4}) {
    for (const TShapeGroup& g : RotationGroups(type)) {
      if (g.first == g.last || (g.first == 1)) continue;  // square; straight-and-diagonal groups turn by 45 degrees
      for (int v = g.first; v <= g.last; ++v) {
        const int next = v == g.last ? g.first : v + 1;
        EXPECT_EQ(QuarterTurnClockwise(ShipCellsOf(ShipShape(type, v))), Normalised(ShipCellsOf(ShipShape(type, next))))
            << "type " << type << " variant " << v;
      }
    }
  }
}

}  // namespace
