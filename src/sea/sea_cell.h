// One cell of the sea and the 16 x 17 planes of them. The true plane is sent
// to the other player as it lies in memory, so the cell is three plain bytes
// and the plane 816 bytes, row 1 first.
#pragma once
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// Geometry of a grid: cells of 16 x 16 pixels, 16 columns by 17 rows.
inline constexpr int CellSize = 16;
inline constexpr int GridCols = 16;
inline constexpr int GridRows = 17;
inline constexpr int GridWidth = GridCols * CellSize;   // 256
inline constexpr int GridHeight = GridRows * CellSize;  // 272

// What a cell's State and Code bytes hold.
namespace cell {

// State: whether the cell has been shot.
inline constexpr uint8_t Closed = 0;        // not shot
inline constexpr uint8_t Marked = 1;        // not shot, known empty beside a sunk ship
inline constexpr uint8_t Opened = 2;        // opened by a shot
inline constexpr uint8_t OpenedMarked = 3;  // opened and also marked

// Code: what lies in the cell.
inline constexpr uint8_t Water = 0;        // touches no ship cell
inline constexpr uint8_t SideRing = 1;     // shares a side with a ship cell
inline constexpr uint8_t CornerRing = 2;   // touches ship cells only at corners
inline constexpr uint8_t PlacingShip = 3;  // ship in hand where it may stand
inline constexpr uint8_t BonusXBomb = 4;
inline constexpr uint8_t BonusPlusBomb = 5;
inline constexpr uint8_t BonusSquareBomb = 6;
inline constexpr uint8_t BonusShots1 = 7;  // 7..11: code - 6 further shots
inline constexpr uint8_t BonusShots2 = 8;
inline constexpr uint8_t BonusShots3 = 9;
inline constexpr uint8_t BonusShots4 = 10;
inline constexpr uint8_t BonusShots5 = 11;
inline constexpr uint8_t PenaltyRockets1 = 12;  // 12..16: code - 11 rockets at the finder
inline constexpr uint8_t PenaltyRockets2 = 13;
inline constexpr uint8_t PenaltyRockets3 = 14;
inline constexpr uint8_t PenaltyRockets4 = 15;
inline constexpr uint8_t PenaltyRockets5 = 16;
// The ship codes are the digit characters '1' to '4'.
inline constexpr uint8_t BlockedShip = 49;  // ship in hand where it may not stand
inline constexpr uint8_t Ship = 50;         // intact cell of a fixed ship
inline constexpr uint8_t SunkShip = 51;
inline constexpr uint8_t HitShip = 52;  // hit cell of a ship still afloat
// A ship cell the shooter never found, shown once a lost game is over
// (only in ShownCells, opened, so that it is drawn).
inline constexpr uint8_t NotFoundShip = 53;
// Navigators: base + the number of ship cells toward the edge they point at.
inline constexpr uint8_t NavigatorRight = 100;
inline constexpr uint8_t NavigatorLeft = 110;
inline constexpr uint8_t NavigatorUp = 120;
inline constexpr uint8_t NavigatorDown = 130;
inline constexpr uint8_t NavigatorLast = 139;

constexpr bool IsBonus(uint8_t code) { return code >= BonusXBomb && code <= PenaltyRockets5; }
constexpr bool IsNavigator(uint8_t code) { return code >= NavigatorRight && code <= NavigatorLast; }

}  // namespace cell

struct TSeaCell {
  uint8_t State = cell::Closed;
  uint8_t Code = cell::Water;
  uint8_t KnownFree = 0;  // 1: a closed cell proved free of ships
  constexpr bool operator==(const TSeaCell&) const = default;
};
static_assert(sizeof(TSeaCell) == 3);
static_assert(std::is_trivially_copyable_v<TSeaCell> && std::is_standard_layout_v<TSeaCell>);

// 17 rows of 16 cells, row y = 1 first, within a row x = 1..16: cell (x, y)
// lies at byte 48(y - 1) + 3(x - 1).
struct TCellPlane {
  static constexpr size_t kByteSize = GridCols * GridRows * sizeof(TSeaCell);

  std::array<TSeaCell, GridCols * GridRows> Cells{};

  static constexpr bool Contains(int x, int y) { return x >= 1 && x <= GridCols && y >= 1 && y <= GridRows; }

  // 1-based access; callers keep x in 1..16 and y in 1..17.
  TSeaCell& At(int x, int y) {
    assert(Contains(x, y));
    return Cells[Index(x, y)];
  }
  const TSeaCell& At(int x, int y) const {
    assert(Contains(x, y));
    return Cells[Index(x, y)];
  }

  // The plane as the bytes of the network message.
  uint8_t* Bytes() { return reinterpret_cast<uint8_t*>(Cells.data()); }
  const uint8_t* Bytes() const { return reinterpret_cast<const uint8_t*>(Cells.data()); }

  void Fill(TSeaCell c) { Cells.fill(c); }
  bool operator==(const TCellPlane&) const = default;

 private:
  static constexpr size_t Index(int x, int y) { return static_cast<size_t>(y - 1) * GridCols + (x - 1); }
};
static_assert(sizeof(TCellPlane) == 816);
static_assert(TCellPlane::kByteSize == 816);
static_assert(std::is_trivially_copyable_v<TCellPlane> && std::is_standard_layout_v<TCellPlane>);
