#include "sea/ship_shapes.h"

namespace {

// One variant as written down: its ship cells, (row, col) pairs.
struct ShapeSource {
  uint8_t type;
  uint8_t variant;
  TShapeCell cells[kMaxShipType];
};

constexpr ShapeSource kSources[] = {
    {1, 1, {{1, 1}}},
    // Two cells: horizontal, diagonal falling, vertical, diagonal rising.
    {2, 1, {{1, 1}, {1, 2}}},
    {2, 2, {{1, 1}, {2, 2}}},
    {2, 3, {{1, 1}, {2, 1}}},
    {2, 4, {{1, 2}, {2, 1}}},
    // Three cells: the straight and diagonal group, then the corners.
    {3, 1, {{2, 1}, {2, 2}, {2, 3}}},
    {3, 2, {{1, 1}, {2, 2}, {3, 3}}},
    {3, 3, {{1, 2}, {2, 2}, {3, 2}}},
    {3, 4, {{1, 3}, {2, 2}, {3, 1}}},
    {3, 5, {{1, 1}, {2, 1}, {2, 2}}},
    {3, 6, {{1, 1}, {1, 2}, {2, 1}}},
    {3, 7, {{1, 1}, {1, 2}, {2, 2}}},
    {3, 8, {{1, 2}, {2, 1}, {2, 2}}},
    // Four cells: straight and diagonal.
    {4, 1, {{2, 1}, {2, 2}, {2, 3}, {2, 4}}},
    {4, 2, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}},
    {4, 3, {{1, 2}, {2, 2}, {3, 2}, {4, 2}}},
    {4, 4, {{1, 4}, {2, 3}, {3, 2}, {4, 1}}},
    // J.
    {4, 5, {{2, 1}, {3, 1}, {3, 2}, {3, 3}}},
    {4, 6, {{1, 2}, {1, 3}, {2, 2}, {3, 2}}},
    {4, 7, {{2, 1}, {2, 2}, {2, 3}, {3, 3}}},
    {4, 8, {{1, 3}, {2, 3}, {3, 2}, {3, 3}}},
    // L.
    {4, 9, {{2, 3}, {3, 1}, {3, 2}, {3, 3}}},
    {4, 10, {{1, 2}, {2, 2}, {3, 2}, {3, 3}}},
    {4, 11, {{2, 1}, {2, 2}, {2, 3}, {3, 1}}},
    {4, 12, {{1, 2}, {1, 3}, {2, 3}, {3, 3}}},
    // Z, upright and lying.
    {4, 13, {{1, 3}, {2, 2}, {2, 3}, {3, 2}}},
    {4, 14, {{2, 1}, {2, 2}, {3, 2}, {3, 3}}},
    // S, upright and lying.
    {4, 15, {{1, 2}, {2, 2}, {2, 3}, {3, 3}}},
    {4, 16, {{2, 2}, {2, 3}, {3, 1}, {3, 2}}},
    // T.
    {4, 17, {{2, 2}, {3, 1}, {3, 2}, {3, 3}}},
    {4, 18, {{1, 2}, {2, 2}, {2, 3}, {3, 2}}},
    {4, 19, {{2, 1}, {2, 2}, {2, 3}, {3, 2}}},
    {4, 20, {{1, 3}, {2, 2}, {2, 3}, {3, 3}}},
    // Square.
    {4, 21, {{2, 2}, {2, 3}, {3, 2}, {3, 3}}},
};

constexpr int kShapeCount = static_cast<int>(sizeof(kSources) / sizeof(kSources[0]));
static_assert(kShapeCount == 1 + 4 + 8 + 21);

// Lays the ship cells into the matrix and rings them: an element beside a ship
// cell is SideRing, one only diagonal to ship cells CornerRing.
constexpr TShipShape BuildShape(const ShapeSource& src) {
  TShipShape s;
  s.type = src.type;
  s.variant = src.variant;
  s.size = static_cast<uint8_t>(src.type + 2);
  for (int i = 0; i < src.type; ++i) s.matrix[src.cells[i].row][src.cells[i].col] = cell::PlacingShip;
  const int n = s.size;
  auto ship = [&](int r, int c) {
    return r >= 0 && c >= 0 && r < n && c < n && s.matrix[r][c] == cell::PlacingShip;
  };
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) {
      if (ship(r, c)) continue;
      if (ship(r - 1, c) || ship(r + 1, c) || ship(r, c - 1) || ship(r, c + 1))
        s.matrix[r][c] = cell::SideRing;
      else if (ship(r - 1, c - 1) || ship(r - 1, c + 1) || ship(r + 1, c - 1) || ship(r + 1, c + 1))
        s.matrix[r][c] = cell::CornerRing;
    }
  }
  // The ship cells again, in row-major order, for the shape checks that only
  // look at them.
  int k = 0;
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c)
      if (ship(r, c)) s.shipCells[k++] = TShapeCell{static_cast<int8_t>(r), static_cast<int8_t>(c)};
  return s;
}

constexpr std::array<TShipShape, kShapeCount> BuildTable() {
  std::array<TShipShape, kShapeCount> table{};
  for (int i = 0; i < kShapeCount; ++i) table[i] = BuildShape(kSources[i]);
  return table;
}

constexpr std::array<TShipShape, kShapeCount> kShapes = BuildTable();

// Where each type's variants begin in the table.
constexpr int FirstIndex(int type) {
  int index = 0;
  for (int t = 1; t < type; ++t) index += VariantCount(t);
  return index;
}

constexpr bool TableWellFormed() {
  for (int type = 1; type <= kMaxShipType; ++type) {
    for (int v = 1; v <= VariantCount(type); ++v) {
      const TShipShape& s = kShapes[FirstIndex(type) + v - 1];
      if (s.type != type || s.variant != v) return false;
      for (const TShapeCell& c : s.ShipCells()) {
        // Ship cells stay off the border so the ring is complete, and no two
        // ship cells of a variant coincide.
        if (c.row < 1 || c.col < 1 || c.row > s.size - 2 || c.col > s.size - 2) return false;
      }
      int ships = 0;
      for (int r = 0; r < s.size; ++r)
        for (int c = 0; c < s.size; ++c) ships += s.matrix[r][c] == cell::PlacingShip;
      if (ships != type) return false;
    }
  }
  return true;
}
static_assert(TableWellFormed());

constexpr TShipShape kNoShape{};

constexpr TShapeGroup kFourCellGroups[] = {{1, 4}, {5, 8}, {9, 12}, {13, 14}, {15, 16}, {17, 20}, {21, 21}};
constexpr TShapeGroup kThreeCellGroups[] = {{1, 4}, {5, 8}};
constexpr TShapeGroup kTwoCellGroups[] = {{1, 4}};

static_assert([] {
  for (size_t i = 0; i < kFourCellGroupStarts.size(); ++i)
    if (kFourCellGroups[i].first != kFourCellGroupStarts[i]) return false;
  for (size_t i = 0; i < kThreeCellGroupStarts.size(); ++i)
    if (kThreeCellGroups[i].first != kThreeCellGroupStarts[i]) return false;
  return true;
}());

}  // namespace

const TShipShape& ShipShape(int type, int variant) {
  if (variant < 1 || variant > VariantCount(type)) return kNoShape;
  return kShapes[FirstIndex(type) + variant - 1];
}

std::span<const TShapeGroup> RotationGroups(int type) {
  switch (type) {
    case 2: return kTwoCellGroups;
    case 3: return kThreeCellGroups;
    case 4: return kFourCellGroups;
    default: return {};
  }
}

int RotationGroupOf(int type, int variant) {
  const std::span<const TShapeGroup> groups = RotationGroups(type);
  for (size_t i = 0; i < groups.size(); ++i)
    if (variant >= groups[i].first && variant <= groups[i].last) return static_cast<int>(i) + 1;
  return 0;
}
