#include "ai/hard_level.h"

#include <array>

#include "sea/battle_field.h"
#include "sea/ship_shapes.h"

namespace {

struct Offset {
  int dx, dy;
};
constexpr std::array<Offset, 4> kCorners{{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}};
// The rating takes the side neighbours left, above, right, below.
constexpr std::array<Offset, 4> kRatedSides{{{-1, 0}, {0, -1}, {1, 0}, {0, 1}}};
// The side neighbours in their usual order: above, right, below, left.
constexpr std::array<Offset, 4> kSides{{{0, -1}, {1, 0}, {0, 1}, {-1, 0}}};

constexpr double kRuledOut = -2.0;

bool IsOpened(const TSeaCell& c) { return c.State == cell::Opened || c.State == cell::OpenedMarked; }

// Rates one corner neighbour; false when it rules the candidate out. Only an
// opened, unmarked corner counts.
bool RateCorner(const TBattleField& grid, TargetScore& r, int nx, int ny) {
  const TSeaCell& c = grid.TrueCells.At(nx, ny);
  if (c.State != cell::Opened) return true;
  if (c.Code == cell::Water || cell::IsNavigator(c.Code)) return false;
  if (c.Code == cell::CornerRing) {
    if (RingUnexplained(grid, nx, ny, 2)) r.score += 1;
  } else if (c.Code == cell::HitShip) {
    // Every damaged corner counts.
    r.score += 1;
    r.nextToHit = 1;
    r.hitX = nx;
    r.hitY = ny;
  }
  return true;
}

// Rates one side neighbour; false when it rules the candidate out.
bool RateSide(const TBattleField& grid, TargetScore& r, int nx, int ny) {
  const TSeaCell& c = grid.TrueCells.At(nx, ny);
  if (c.State == cell::Opened) {
    if (c.Code == cell::Water || c.Code == cell::CornerRing || cell::IsNavigator(c.Code)) return false;
    if (c.Code == cell::SideRing) {
      if (RingUnexplained(grid, nx, ny, 1)) r.score += 1;
    } else if (c.Code == cell::HitShip && !r.nextToHit) {
      // A damaged side counts only when no damaged neighbour did before it.
      r.score += 1;
      r.nextToHit = 1;
      r.hitX = nx;
      r.hitY = ny;
    }
  } else if (c.State == cell::OpenedMarked) {
    if (c.Code == cell::CornerRing) return false;
    if (c.Code == cell::SideRing && RingUnexplained(grid, nx, ny, 1)) r.score += 1;
  }
  return true;
}

void RateCandidate(const TBattleField& grid, TargetScore& r) {
  for (const Offset& o : kCorners) {
    const int nx = r.x + o.dx, ny = r.y + o.dy;
    if (TCellPlane::Contains(nx, ny) && !RateCorner(grid, r, nx, ny)) {
      r.score = kRuledOut;
      return;
    }
  }
  for (const Offset& o : kRatedSides) {
    const int nx = r.x + o.dx, ny = r.y + o.dy;
    if (TCellPlane::Contains(nx, ny) && !RateSide(grid, r, nx, ny)) {
      r.score = kRuledOut;
      return;
    }
  }
}

// The candidate on ship cell [ar][ac] of the shape: every hit of the
// cluster lands on another ship cell of it.
bool ClusterOnShape(const TShipShape& shape, int ar, int ac, const THitCluster& cluster) {
  for (size_t k = 1; k < cluster.size(); ++k)
    if (!shape.IsShipCell(ar + cluster[k].dy, ac + cluster[k].dx)) return false;
  return true;
}

// The hits of the ship covering (hx, hy), as offsets from the candidate.
THitCluster ClusterOf(const TBattleField& grid, TCellPoint candidate, int hx, int hy) {
  THitCluster cluster{THitOffset{0, 0}};
  for (int k = 1; k <= kFleetSize; ++k) {
    const TShipRecord& ship = grid.Slot(k);
    const int n = ship.ShapeSize();
    const int row = hy - ship.Y, col = hx - ship.X;
    if (row < 0 || col < 0 || row >= n || col >= n || ship.Shape[row][col] != cell::Ship) continue;
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < n; ++c) {
        const int x = ship.X + c, y = ship.Y + r;
        if (TCellPlane::Contains(x, y) && grid.TrueCells.At(x, y).Code == cell::HitShip)
          cluster.push_back(THitOffset{static_cast<int8_t>(x - candidate.x), static_cast<int8_t>(y - candidate.y)});
      }
    }
    break;
  }
  return cluster;
}

}  // namespace

bool ScoreCandidates(TBattleField& grid) {
  std::vector<TargetScore>& table = grid.TargetScores;
  table.assign(grid.Candidates.size(), TargetScore{});
  if (table.empty()) return false;
  for (size_t i = 0; i < table.size(); ++i) {
    table[i].x = grid.Candidates[i].x;
    table[i].y = grid.Candidates[i].y;
    RateCandidate(grid, table[i]);
  }
  double best = kRuledOut;
  for (const TargetScore& r : table)
    if (r.score > best) best = r.score;
  std::vector<size_t> ties;
  for (size_t i = 0; i < table.size(); ++i)
    if (table[i].score == best) ties.push_back(i);
  const TargetScore* pick = &table[ties[grid.Random().Random(static_cast<int>(ties.size()))]];
  // Beside a damaged ship the cell must let the ship still take a shape;
  // an equally rated cell that does is preferred.
  if (pick->nextToHit && !BigShipsSunk(grid) && !FitsShipShape(grid, *pick)) {
    for (size_t i : ties) {
      const TargetScore& t = table[i];
      if (t.score > 0 && t.nextToHit && (t.x != pick->x || t.y != pick->y) && FitsShipShape(grid, t)) {
        pick = &t;
        break;
      }
    }
  }
  grid.Target = TCellPoint{pick->x, pick->y};
  return true;
}

bool RingUnexplained(const TBattleField& grid, int x, int y, int kind) {
  const std::array<Offset, 4>& around = kind == 2 ? kCorners : kSides;
  for (const Offset& o : around) {
    const int nx = x + o.dx, ny = y + o.dy;
    if (!TCellPlane::Contains(nx, ny)) continue;
    const TSeaCell& c = grid.TrueCells.At(nx, ny);
    if (IsOpened(c) && (c.Code == cell::SunkShip || c.Code == cell::HitShip)) return false;
  }
  return true;
}

bool BigShipsSunk(const TBattleField& grid) { return grid.Slot(1).Sunk && grid.Slot(2).Sunk && grid.Slot(3).Sunk; }

bool FitsShipShape(const TBattleField& grid, const TargetScore& record) {
  const TCellPoint candidate{record.x, record.y};
  const THitCluster cluster = ClusterOf(grid, candidate, record.hitX, record.hitY);
  if (cluster.size() > 3 || (grid.Slot(2).Sunk && grid.Slot(3).Sunk)) {
    // Only the four-cell ship is left to hold these hits.
    if (grid.Slot(1).Sunk) return false;
    for (int v = 1; v <= VariantCount(4); ++v) {
      const TShipShape& shape = ShipShape(4, v);
      for (const TShapeCell& anchor : shape.ShipCells())
        if (ClusterOnShape(shape, anchor.row, anchor.col, cluster) &&
            ShapeCellsFree(grid, shape, anchor.row, anchor.col, candidate, cluster))
          return true;
    }
    return false;
  }
  for (int v = 1; v <= VariantCount(3); ++v) {
    const TShipShape& shape = ShipShape(3, v);
    for (const TShapeCell& anchor : shape.ShipCells())
      if (ClusterOnShape(shape, anchor.row, anchor.col, cluster)) return true;
  }
  return false;
}

bool ShapeCellsFree(const TBattleField& grid, const TShipShape& shape, int anchorRow, int anchorCol,
                    TCellPoint candidate, const THitCluster& cluster) {
  for (const TShapeCell& sc : shape.ShipCells()) {
    bool known = sc.row == anchorRow && sc.col == anchorCol;
    for (size_t k = 0; k < cluster.size() && !known; ++k)
      known = sc.row == anchorRow + cluster[k].dy && sc.col == anchorCol + cluster[k].dx;
    if (known) continue;
    if (CellBlocked(grid, candidate.x + sc.col - anchorCol, candidate.y + sc.row - anchorRow)) return false;
  }
  return true;
}

bool CellBlocked(const TBattleField& grid, int x, int y) {
  if (!TCellPlane::Contains(x, y) || grid.TrueCells.At(x, y).State != cell::Closed) return true;
  for (const Offset& o : kSides) {
    const int nx = x + o.dx, ny = y + o.dy;
    if (!TCellPlane::Contains(nx, ny)) continue;
    const TSeaCell& c = grid.TrueCells.At(nx, ny);
    if (c.State == cell::Opened &&
        (c.Code == cell::Water || c.Code == cell::CornerRing || c.Code >= cell::NavigatorRight))
      return true;
  }
  for (const Offset& o : kCorners) {
    const int nx = x + o.dx, ny = y + o.dy;
    if (!TCellPlane::Contains(nx, ny)) continue;
    const TSeaCell& c = grid.TrueCells.At(nx, ny);
    if (c.State == cell::Opened && (c.Code == cell::Water || c.Code >= cell::NavigatorRight)) return true;
  }
  return false;
}
