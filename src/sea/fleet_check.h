// A fleet as the other side sends it, and whether it could have been laid
// and seeded by the rules: the other program is not trusted to have done so.
#pragma once
#include <array>

#include "sea/sea_cell.h"
#include "sea/sea_records.h"

inline constexpr int kFleetShips = 10;

// The opponent's true plane (State and KnownFree cleared) and its ten ships.
struct TFleetRecord {
  TCellPlane Cells;
  std::array<TShipRecord, kFleetShips> Ships;
};

// True when the fleet is one a game could start on: ten fixed, undamaged
// ships of the fleet's types in their slots, each with a shape of its type
// from the table (ship cells fixed, ring as the table gives it) standing
// inside the grid; the plane's ship cells are exactly the ships' cells, no
// two ships touch, every other cell holds water with the ring the ships
// give it, a bonus or a navigator; no more bonuses of a kind than the
// seeding lays, navigators only where the seeding puts them, at most two of
// a direction in a line, each showing the ship cells beyond it.
bool FleetFollowsRules(const TFleetRecord& fleet);

// How many cells of a bonus or penalty code the seeding lays at most.
int MostSeeded(uint8_t code);
