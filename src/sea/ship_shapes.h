// The shapes a ship may take: 1, 4, 8 and 21 variants for the one- to
// four-cell types. Each is an n x n matrix (n = type + 2) holding the ship
// cells (PlacingShip) and the ring around them: SideRing where an element
// shares a side with a ship cell, CornerRing where it only touches one at a
// corner, Water elsewhere. No ship cell lies on the matrix border, so the
// whole ring always fits inside the matrix.
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "sea/sea_cell.h"

inline constexpr int kMaxShipType = 4;
inline constexpr int kMaxShapeSize = kMaxShipType + 2;  // 6

// A ship cell of a shape, as matrix row and column (from 0).
struct TShapeCell {
  int8_t row = 0;
  int8_t col = 0;
  constexpr bool operator==(const TShapeCell&) const = default;
};

struct TShipShape {
  uint8_t type = 0;     // 0: no such shape
  uint8_t variant = 0;  // from 1
  uint8_t size = 0;     // n = type + 2; only the n x n corner of matrix is used
  uint8_t matrix[kMaxShapeSize][kMaxShapeSize] = {};  // [row][col]
  std::array<TShapeCell, kMaxShipType> shipCells{};   // the first `type` entries, row-major

  constexpr std::span<const TShapeCell> ShipCells() const { return {shipCells.data(), type}; }
  // Whether [row][col] lies inside the n x n matrix and holds a ship cell.
  constexpr bool IsShipCell(int row, int col) const {
    return row >= 0 && col >= 0 && row < size && col < size && row < kMaxShapeSize && col < kMaxShapeSize &&
           matrix[row][col] == cell::PlacingShip;
  }
};

// Number of shape variants of a ship type (1, 4, 8, 21); 0 for no such type.
constexpr int VariantCount(int type) {
  switch (type) {
    case 1: return 1;
    case 2: return 4;
    case 3: return 8;
    case 4: return 21;
    default: return 0;
  }
}

// The shape of (type, variant); an empty shape (type 0, size 0) when there is
// no such variant.
const TShipShape& ShipShape(int type, int variant);

// Turning a ship keeps it within its rotation group. The four-cell groups:
// straight and diagonal 1-4, J 5-8, L 9-12, Z 13-14, S 15-16, T 17-20,
// square 21; each group starts at the variant listed here.
inline constexpr std::array<uint8_t, 7> kFourCellGroupStarts{1, 5, 9, 13, 15, 17, 21};
// The three-cell groups: straight and diagonal 1-4, corners 5-8.
inline constexpr std::array<uint8_t, 2> kThreeCellGroupStarts{1, 5};

struct TShapeGroup {
  uint8_t first = 0;
  uint8_t last = 0;
};
// The rotation groups of a type in order: four-cell 7 groups, three-cell 2,
// two-cell 1 (variants 1-4); a one-cell ship has none.
std::span<const TShapeGroup> RotationGroups(int type);
// Position (from 1) of the rotation group holding the variant; 0 when none does.
int RotationGroupOf(int type, int variant);
