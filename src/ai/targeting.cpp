#include "ai/targeting.h"

#include <array>
#include <vector>

#include "sea/battle_field.h"

namespace {

struct Offset {
  int dx, dy;
};
// Side neighbours: above, right, below, left. Corner neighbours: top-left,
// top-right, bottom-right, bottom-left.
constexpr std::array<Offset, 4> kSides{{{0, -1}, {1, 0}, {0, 1}, {-1, 0}}};
constexpr std::array<Offset, 4> kCorners{{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}};

bool IsOpened(const TSeaCell& c) { return c.State == cell::Opened || c.State == cell::OpenedMarked; }

// The closed cells among the given neighbours of (x, y), in their order.
template <size_t N>
std::vector<TCellPoint> ClosedNeighbours(const TBattleField& grid, int x, int y, const std::array<Offset, N>& around) {
  std::vector<TCellPoint> closed;
  for (const Offset& o : around) {
    const int nx = x + o.dx, ny = y + o.dy;
    if (TCellPlane::Contains(nx, ny) && grid.TrueCells.At(nx, ny).State == cell::Closed) closed.push_back({nx, ny});
  }
  return closed;
}

// Every neighbour of a hit, corners first.
constexpr std::array<Offset, 8> kAllAround{{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {0, -1}, {1, 0}, {0, 1}, {-1, 0}}};

// Target := a random entry of the list, and a lead follows what lies there.
bool AimAtOneOf(TBattleField& grid, const std::vector<TCellPoint>& cells) {
  if (cells.empty()) return false;
  grid.Target = cells[grid.Random().Random(static_cast<int>(cells.size()))];
  NoteTargetContent(grid);
  return true;
}

// Walks the grid from a random end: forward (rows from the top, columns
// from the left) on an odd draw, backward on an even one; stops at the
// first cell the test takes.
template <class Test>
bool ScanFromRandomEnd(TBattleField& grid, TLead& lead, Test takes) {
  const bool forward = grid.Random().Random(50) % 2 == 1;
  for (int i = 0; i < GridCols * GridRows; ++i) {
    const int k = forward ? i : GridCols * GridRows - 1 - i;
    const int x = k % GridCols + 1, y = k / GridCols + 1;
    if (!takes(x, y)) continue;
    lead.X = x;
    lead.Y = y;
    return true;
  }
  return false;
}

// Step 1 of levels 1 and 2: a damaged ship is followed while any of its hit
// cells has a closed neighbour.
bool FollowHitShip(TBattleField& grid) {
  for (;;) {
    if (!grid.HitLead.Active) grid.HitLead.Active = FindHitLead(grid) ? 1 : 0;
    if (!grid.HitLead.Active) return false;
    if (FireAroundHitLead(grid)) return true;
  }
}

// Steps 2 to 5 of level 2: the ring leads, the scan, a random candidate.
bool FollowHints(TBattleField& grid) {
  if (!grid.SideLead.Active) grid.SideLead.Active = FindRingLead(grid, kSideRingLead) ? 1 : 0;
  if (grid.SideLead.Active && FireAroundSideLead(grid)) return true;
  if (!grid.CornerLead.Active) grid.CornerLead.Active = FindRingLead(grid, kCornerRingLead) ? 1 : 0;
  if (grid.CornerLead.Active && FireAroundCornerLead(grid)) return true;
  if (ScanCandidates(grid)) return true;
  return TakeRandomCandidate(grid);
}

}  // namespace

bool PickRandomCell(TBattleField& grid) {
  if (!grid.Candidates.empty()) {
    grid.Target = grid.Candidates[grid.Random().Random(static_cast<int>(grid.Candidates.size()))];
    return true;
  }
  std::vector<TCellPoint> closed;
  for (const TCellPoint& p : grid.Unshot)
    if (TCellPlane::Contains(p.x, p.y) && grid.TrueCells.At(p.x, p.y).State == cell::Closed) closed.push_back(p);
  if (closed.empty()) return false;
  grid.Target = closed[grid.Random().Random(static_cast<int>(closed.size()))];
  return true;
}

void NoteTargetContent(TBattleField& grid) {
  const TCellPoint t = grid.Target;
  if (!TCellPlane::Contains(t.x, t.y)) return;
  TLead* lead = nullptr;
  switch (grid.TrueCells.At(t.x, t.y).Code) {
    case cell::SideRing: lead = &grid.SideLead; break;
    case cell::CornerRing: lead = &grid.CornerLead; break;
    case cell::Ship: lead = &grid.HitLead; break;
    default: return;
  }
  lead->Active = 1;
  lead->X = t.x;
  lead->Y = t.y;
}

bool FindHitLead(TBattleField& grid) {
  return ScanFromRandomEnd(grid, grid.HitLead, [&grid](int x, int y) {
    return grid.TrueCells.At(x, y).Code == cell::HitShip && !ClosedNeighbours(grid, x, y, kAllAround).empty();
  });
}

bool FireAroundHitLead(TBattleField& grid) {
  const std::vector<TCellPoint> closed = ClosedNeighbours(grid, grid.HitLead.X, grid.HitLead.Y, kAllAround);
  if (closed.empty()) {
    grid.HitLead.Active = 0;
    return false;
  }
  return AimAtOneOf(grid, closed);
}

bool FindRingLead(TBattleField& grid, int kind) {
  if (kind == kSideRingLead)
    return ScanFromRandomEnd(grid, grid.SideLead, [&grid](int x, int y) {
      const TSeaCell& c = grid.TrueCells.At(x, y);
      return c.Code == cell::SideRing && IsOpened(c) && !SideRingSettled(grid, x, y);
    });
  // Opened cells beside a sunk ship are also marked, so they are passed over.
  return ScanFromRandomEnd(grid, grid.CornerLead, [&grid](int x, int y) {
    const TSeaCell& c = grid.TrueCells.At(x, y);
    return c.Code == cell::CornerRing && c.State == cell::Opened;
  });
}

bool SideRingSettled(const TBattleField& grid, int x, int y) {
  for (const Offset& o : kSides) {
    const int nx = x + o.dx, ny = y + o.dy;
    if (TCellPlane::Contains(nx, ny) && grid.TrueCells.At(nx, ny).Code == cell::SunkShip) return true;
  }
  return false;
}

bool FireAroundSideLead(TBattleField& grid) {
  if (AimAtOneOf(grid, ClosedNeighbours(grid, grid.SideLead.X, grid.SideLead.Y, kSides))) return true;
  grid.SideLead.Active = 0;
  return false;
}

bool FireAroundCornerLead(TBattleField& grid) {
  if (AimAtOneOf(grid, ClosedNeighbours(grid, grid.CornerLead.X, grid.CornerLead.Y, kCorners))) return true;
  grid.CornerLead.Active = 0;
  return false;
}

bool MayHoldShip(const TBattleField& grid, int x, int y) {
  for (const Offset& o : kSides) {
    const int nx = x + o.dx, ny = y + o.dy;
    if (!TCellPlane::Contains(nx, ny)) continue;
    const TSeaCell& c = grid.TrueCells.At(nx, ny);
    if (IsOpened(c) && (c.Code == cell::Water || c.Code == cell::CornerRing || c.Code >= cell::NavigatorRight))
      return false;
  }
  for (const Offset& o : kCorners) {
    const int nx = x + o.dx, ny = y + o.dy;
    if (!TCellPlane::Contains(nx, ny)) continue;
    const TSeaCell& c = grid.TrueCells.At(nx, ny);
    if (c.State == cell::Opened && (c.Code == cell::Water || c.Code >= cell::NavigatorRight)) return false;
  }
  return true;
}

bool ScanCandidates(TBattleField& grid) {
  const int n = static_cast<int>(grid.Candidates.size());
  const int s = grid.Random().Random(n);
  for (int i = 0; i < n; ++i) {
    const TCellPoint p = grid.Candidates[(s + i) % n];
    if (!MayHoldShip(grid, p.x, p.y)) continue;
    grid.Target = p;
    NoteTargetContent(grid);
    return true;
  }
  return false;
}

bool TakeRandomCandidate(TBattleField& grid) {
  if (!PickRandomCell(grid)) return false;
  NoteTargetContent(grid);
  return true;
}

bool ChooseEasyTarget(TBattleField& grid) {
  if (FollowHitShip(grid)) return true;
  // Without a ship to follow, every other turn ignores the hints.
  if (grid.Random().Random(100) % 2 == 0) return TakeRandomCandidate(grid);
  return FollowHints(grid);
}

bool ChooseNormalTarget(TBattleField& grid) { return FollowHitShip(grid) || FollowHints(grid); }
