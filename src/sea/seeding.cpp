// Hiding bonuses, penalties and navigators in a complete fleet's grid.
// Bonuses lie on water only (ring cells included); a navigator lies on
// water away from every ship and counts the ship cells toward the edge it
// points at.
#include "sea/battle_field.h"
#include "sea/fleet_check.h"

namespace {

// One line of the bonus table: the code, how many, and the bound a draw
// of 0..9 must not exceed for the line to happen at all (9: always).
struct BonusLine {
  uint8_t code;
  uint8_t count;
  int bound;
};

constexpr BonusLine kBonusTable[] = {
    {cell::BonusXBomb, 3, 9},      {cell::BonusPlusBomb, 3, 9},   {cell::BonusSquareBomb, 5, 9},
    {cell::BonusShots1, 2, 9},     {cell::BonusShots2, 2, 7},     {cell::BonusShots3, 1, 6},
    {cell::BonusShots4, 1, 5},     {cell::BonusShots5, 1, 4},     {cell::PenaltyRockets1, 1, 5},
    {cell::PenaltyRockets2, 1, 5}, {cell::PenaltyRockets3, 1, 5}, {cell::PenaltyRockets4, 1, 7},
    {cell::PenaltyRockets5, 5, 7},
};

constexpr bool IsWaterOrRing(uint8_t code) {
  return code == cell::Water || code == cell::SideRing || code == cell::CornerRing;
}

// Each direction shows the counts 0..9 only.
constexpr int kMaxNavigatorCount = 9;

}  // namespace

int MostSeeded(uint8_t code) {
  for (const BonusLine& line : kBonusTable)
    if (line.code == code) return line.count;
  return 0;
}

namespace {
// Random starts tried in a line before the one fallback scan.
constexpr int kNavigatorTries = 6;

}  // namespace

void TBattleField::PlaceBonuses() {
  for (const BonusLine& line : kBonusTable) {
    // The lines that always happen draw nothing for their chance.
    if (line.bound < 9 && random_.Random(10) > line.bound) continue;
    PlaceRandomCode(line.code, line.count);
  }
}

void TBattleField::PlaceRandomCode(uint8_t code, uint8_t count) {
  // Only as many as there are water cells left, so a crowded grid cannot
  // keep the draw going for ever.
  int free = 0;
  for (const TSeaCell& c : TrueCells.Cells)
    if (IsWaterOrRing(c.Code)) ++free;
  int toPlace = count < free ? count : free;
  while (toPlace > 0) {
    const int x = random_.Random(GridCols) + 1;
    const int y = random_.Random(GridRows) + 1;
    if (!IsWaterOrRing(TrueCells.At(x, y).Code)) continue;
    TrueCells.At(x, y).Code = code;
    ShownCells.At(x, y).Code = code;
    --toPlace;
  }
}

void TBattleField::PlaceNavigators() {
  for (int round = 0; round < 2; ++round) {
    PlaceRowNavigators(true);
    PlaceColumnNavigators(true);
    PlaceRowNavigators(false);
    PlaceColumnNavigators(false);
  }
}

int TBattleField::ShipCellsToward(int x, int y, int dx, int dy) const {
  int n = 0;
  for (int cx = x + dx, cy = y + dy; TCellPlane::Contains(cx, cy); cx += dx, cy += dy)
    if (TrueCells.At(cx, cy).Code == cell::Ship) ++n;
  return n;
}

// A navigator may stand on water away from ships whose count fits its
// digits; a count of ten or more would read as another direction's code.
// Such a cell is passed over like any cell that is not water.
void TBattleField::PlaceRowNavigators(bool pointRight) {
  const int dx = pointRight ? 1 : -1;
  const uint8_t base = pointRight ? cell::NavigatorRight : cell::NavigatorLeft;
  for (int y = 1; y <= GridRows; ++y) {
    int count = 0;
    auto fits = [&](int x) {
      if (TrueCells.At(x, y).Code != cell::Water) return false;
      count = ShipCellsToward(x, y, dx, 0);
      return count <= kMaxNavigatorCount;
    };
    int found = 0, s = 0;
    for (int t = 0; t < kNavigatorTries && !found; ++t) {
      if (pointRight) {
        s = random_.Random(13) + 1;  // 1..13
        for (int x = s; x <= 13 && !found; ++x)
          if (fits(x)) found = x;
      } else {
        s = random_.Random(13) + 4;  // 4..16
        for (int x = s; x >= 4 && !found; --x)
          if (fits(x)) found = x;
      }
    }
    if (!found) {
      if (pointRight) {
        for (int x = 1; x <= s && !found; ++x)
          if (fits(x)) found = x;
      } else {
        for (int x = GridCols; x >= s && !found; --x)
          if (fits(x)) found = x;
      }
    }
    if (found) TrueCells.At(found, y).Code = static_cast<uint8_t>(base + count);
  }
}

void TBattleField::PlaceColumnNavigators(bool pointUp) {
  const int dy = pointUp ? -1 : 1;
  const uint8_t base = pointUp ? cell::NavigatorUp : cell::NavigatorDown;
  for (int x = 1; x <= GridCols; ++x) {
    int count = 0;
    auto fits = [&](int y) {
      if (TrueCells.At(x, y).Code != cell::Water) return false;
      count = ShipCellsToward(x, y, 0, dy);
      return count <= kMaxNavigatorCount;
    };
    int found = 0, s = 0;
    for (int t = 0; t < kNavigatorTries && !found; ++t) {
      if (pointUp) {
        s = random_.Random(14) + 4;  // 4..17
        for (int y = s; y >= 4 && !found; --y)
          if (fits(y)) found = y;
      } else {
        s = random_.Random(14) + 1;  // 1..14
        for (int y = s; y <= 14 && !found; ++y)
          if (fits(y)) found = y;
      }
    }
    if (!found) {
      if (pointUp) {
        for (int y = GridRows; y >= s && !found; --y)
          if (fits(y)) found = y;
      } else if (s >= 4) {
        for (int y = 4; y <= s && !found; ++y)
          if (fits(y)) found = y;
      }
    }
    if (found) TrueCells.At(x, found).Code = static_cast<uint8_t>(base + count);
  }
}
