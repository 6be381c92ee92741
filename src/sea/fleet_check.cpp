// The rules a received fleet is held to: what the placement and the
// seeding of a complete fleet can produce, and nothing else.
#include "sea/fleet_check.h"

#include <cstdlib>

#include "sea/ship_shapes.h"

namespace {

// Ship types and numbers within the type of the fleet slots 1..10.
constexpr uint8_t kSlotTypes[kFleetShips] = {4, 3, 3, 2, 2, 2, 1, 1, 1, 1};
constexpr uint8_t kSlotOrdinals[kFleetShips] = {1, 1, 2, 1, 2, 3, 1, 2, 3, 4};
// Navigators of one direction in one row or column.
constexpr int kNavigatorsPerLine = 2;
constexpr int kMaxNavigatorCount = 9;

// The matrix a fixed ship of this shape carries: the table's ring, its
// ship cells fixed.
bool ShapeMatches(const TShipRecord& ship, const TShipShape& shape) {
  for (int r = 0; r < kMaxShapeSize; ++r)
    for (int c = 0; c < kMaxShapeSize; ++c) {
      uint8_t want = 0;
      if (r < shape.size && c < shape.size)
        want = shape.matrix[r][c] == cell::PlacingShip ? cell::Ship : shape.matrix[r][c];
      if (ship.Shape[r][c] != want) return false;
    }
  return true;
}

// The ship cells beyond (x, y) toward the edge in direction (dx, dy).
int ShipCellsToward(const TCellPlane& plane, int x, int y, int dx, int dy) {
  int n = 0;
  for (int cx = x + dx, cy = y + dy; TCellPlane::Contains(cx, cy); cx += dx, cy += dy)
    if (plane.At(cx, cy).Code == cell::Ship) ++n;
  return n;
}

// Where the seeding may put a navigator pointing (dx, dy), and may it show n.
bool NavigatorAllowed(const TCellPlane& plane, int x, int y, uint8_t code) {
  const int base = code - code % 10, n = code % 10;
  int dx = 0, dy = 0;
  bool placeable = false;
  switch (base) {
    case cell::NavigatorRight: dx = 1, placeable = x <= 13; break;
    case cell::NavigatorLeft: dx = -1, placeable = x >= 4; break;
    case cell::NavigatorUp: dy = -1, placeable = y >= 4; break;
    case cell::NavigatorDown: dy = 1, placeable = y <= 14; break;
    default: return false;
  }
  return placeable && n <= kMaxNavigatorCount && ShipCellsToward(plane, x, y, dx, dy) == n;
}

}  // namespace

bool FleetFollowsRules(const TFleetRecord& fleet) {
  // Which ship (1..10) owns each cell; 0 none.
  int owner[GridRows + 1][GridCols + 1] = {};
  for (int k = 0; k < kFleetShips; ++k) {
    const TShipRecord& ship = fleet.Ships[k];
    if (ship.Type != kSlotTypes[k] || ship.Ordinal != kSlotOrdinals[k]) return false;
    if (ship.Placed != 1 || ship.Hits != 0 || ship.Sunk != 0) return false;
    const TShipShape& shape = ShipShape(ship.Type, ship.Variant);
    if (shape.type != ship.Type || !ShapeMatches(ship, shape)) return false;
    for (const TShapeCell& sc : shape.ShipCells()) {
      const int x = ship.X + sc.col, y = ship.Y + sc.row;
      if (!TCellPlane::Contains(x, y) || owner[y][x] != 0) return false;
      owner[y][x] = k + 1;
    }
  }

  int seeded[cell::PenaltyRockets5 + 1] = {};
  int rowNavigators[GridRows + 1][2] = {}, columnNavigators[GridCols + 1][2] = {};
  for (int y = 1; y <= GridRows; ++y) {
    for (int x = 1; x <= GridCols; ++x) {
      const uint8_t code = fleet.Cells.At(x, y).Code;
      // What touches the cell: a side of a ship cell, a corner, another ship.
      bool side = false, corner = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          if ((dx == 0 && dy == 0) || !TCellPlane::Contains(x + dx, y + dy)) continue;
          const int other = owner[y + dy][x + dx];
          if (other == 0) continue;
          if (owner[y][x] != 0 && other != owner[y][x]) return false;  // two ships touch
          (dx == 0 || dy == 0 ? side : corner) = true;
        }
      if (owner[y][x] != 0) {
        if (code != cell::Ship) return false;
        continue;
      }
      if (code == cell::Water) {
        if (side || corner) return false;
      } else if (code == cell::SideRing) {
        if (!side) return false;
      } else if (code == cell::CornerRing) {
        if (side || !corner) return false;
      } else if (cell::IsBonus(code)) {
        if (++seeded[code] > MostSeeded(code)) return false;
      } else if (cell::IsNavigator(code)) {
        // Navigators lie on water away from every ship.
        if (side || corner || !NavigatorAllowed(fleet.Cells, x, y, code)) return false;
        int& inLine = code < cell::NavigatorUp ? rowNavigators[y][code >= cell::NavigatorLeft]
                                               : columnNavigators[x][code >= cell::NavigatorDown];
        if (++inLine > kNavigatorsPerLine) return false;
      } else {
        return false;  // a ship cell that belongs to no ship, or a code with no meaning here
      }
    }
  }
  return true;
}
