// The hard computer: every candidate is rated from what its eight
// neighbours show, and a cell beside a damaged ship must still let that
// ship take one of the possible shapes.
#pragma once
#include <cstdint>
#include <vector>

#include "sea/sea_records.h"

class TBattleField;

// A candidate and the damaged cells of one ship, as offsets from the
// candidate; the first entry, (0, 0), is the candidate.
struct THitOffset {
  int8_t dx = 0;
  int8_t dy = 0;
};
using THitCluster = std::vector<THitOffset>;

// Rates the candidates into TargetScores and sets Target to a best one.
// False, with Target unchanged, when there is no candidate.
bool ScoreCandidates(TBattleField& grid);
// No opened ship part (sunk or damaged) beside the ring cell accounts for
// it yet: at its sides for a side ring (kind 1), at its corners for a
// corner ring (kind 2).
bool RingUnexplained(const TBattleField& grid, int x, int y, int kind);
// The four-cell ship and both three-cell ships are sunk.
bool BigShipsSunk(const TBattleField& grid);
// The candidate of the record and the hits of the ship beside it can still
// form one ship.
bool FitsShipShape(const TBattleField& grid, const TargetScore& record);
// With the candidate on the shape's anchor cell and the hits on the
// cluster's cells, every other cell of the shape could still hold a ship.
bool ShapeCellsFree(const TBattleField& grid, const TShipShape& shape, int anchorRow, int anchorCol,
                    TCellPoint candidate, const THitCluster& cluster);
// The cell is outside the grid, already shot or marked, or an opened
// neighbour rules a ship out of it.
bool CellBlocked(const TBattleField& grid, int x, int y);
