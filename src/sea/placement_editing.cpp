// Editing the placement: fixing the ship in hand, automatic placement of
// both fleets, changing and turning the ship in hand, and the rebuild and
// clamping steps those share.
#include <algorithm>

#include "sea/battle_field.h"

namespace {

constexpr bool IsHeldShipCell(uint8_t v) { return v == cell::PlacingShip || v == cell::BlockedShip; }

// Ship types of the fleet slots 1..10.
constexpr uint8_t kSlotTypes[kFleetSize] = {4, 3, 3, 2, 2, 2, 1, 1, 1, 1};
// The first and last fleet slot of each type, by type 1..4.
constexpr int kFirstSlot[5] = {0, 7, 4, 2, 1};
constexpr int kLastSlot[5] = {0, 10, 6, 3, 1};

}  // namespace

void TBattleField::FixCurrentShip() {
  // 1. Ship cells become fixed ship cells in both planes; the ring the ship
  // showed goes into TrueCells too.
  const int n = Current.ShapeSize();
  for (int row = 0; row < n; ++row) {
    for (int col = 0; col < n; ++col) {
      const int gx = Current.X + col, gy = Current.Y + row;
      if (!TCellPlane::Contains(gx, gy)) continue;
      if (Current.Shape[row][col] == cell::PlacingShip) {
        TrueCells.At(gx, gy).Code = cell::Ship;
        ShownCells.At(gx, gy).Code = cell::Ship;
        Current.Shape[row][col] = cell::Ship;
      } else {
        TrueCells.At(gx, gy).Code = ShownCells.At(gx, gy).Code;
      }
    }
  }

  // 2, 3. Into the first free slot of its type; the four-cell ship has one.
  Current.Placed = 1;
  if (Current.Type >= 1 && Current.Type <= 4) {
    const int first = kFirstSlot[Current.Type], last = kLastSlot[Current.Type];
    for (int k = first; k <= last; ++k) {
      TShipRecord& slot = Slot(k);
      if (Current.Type != 4 && slot.Placed) continue;
      const uint8_t ordinal = slot.Ordinal;  // the slot keeps its number within the type
      slot = Current;
      slot.Ordinal = ordinal;
      break;
    }
  }

  // 4, 5. The tenth ship of the own fleet: hide the bonuses and navigators,
  // then the interface sends the panel away and starts the battle.
  ++FixedCount;
  if (FixedCount == kFleetSize && Id == 1) {
    PlaceBonuses();
    PlaceNavigators();
    FixedCount = 1;
    host_.OwnFleetComplete();
  }

  // 6.
  if (Id == 1) ShipActive = 0;
}

bool TBattleField::AutoPlace() {
  if (Id == 2) {
    // The computer's fleet, laid out from scratch. Should a ship find no
    // place, the whole layout begins again, so it always ends.
    OpenForPlacement(false);
    while (!TryEnemyLayout()) {
      Reset();
      OpenAllCells();
    }
    return true;
  }

  // The own grid: every remaining ship is taken, and each call fixes the
  // ship taken by the call before while it is still sliding in. The call
  // for the eleventh slot only fixes the tenth ship.
  AutoUsed = 1;
  int first = 0;
  if (FixedCount == 0)
    first = ShipActive ? 2 : 1;
  else if (ShipActive)
    first = FixedCount + 2;
  else
    return true;
  // A blocked ship (in hand, or one that found no place) stops it: that
  // ship stays where it is, for the player to move.
  for (int k = first; k <= kFleetSize + 1; ++k)
    if (!TakeNextShip(k <= kFleetSize ? kSlotTypes[k - 1] : 1)) return false;
  return true;
}

bool TBattleField::TryEnemyLayout() {
  for (int i = 1; i <= kFleetSize; ++i) {
    const uint8_t type = kSlotTypes[i - 1];
    NewCurrentShip(type);
    BuildShip(static_cast<uint8_t>(random_.Random(VariantCount(type)) + 1));
    int attempts = 0;
    int x = 0, y = 0;
    do {
      if (attempts++ == EnemyPlaceAttempts) return false;
      x = random_.Random(19) - 2;  // -2..16
      y = random_.Random(20) - 2;  // -2..17
    } while (!(CheckInside(x, y) && CheckSpacing(x, y)));
    MoveCurrentShip(x, y);
    DrawCurrentShip(false);
    FixCurrentShip();
    DrawCurrentShip(false);
  }
  return true;
}

void TBattleField::ModifyShip() {
  const int variants = VariantCount(Current.Type);
  if (variants <= 1) return;  // a single cell has one shape
  Current.Variant = static_cast<uint8_t>(Current.Variant >= variants ? 1 : Current.Variant + 1);
  RebuildCurrentShip();
  Current.ScreenX = OriginX + CellSize * (Current.X - 1);
  Current.ScreenY = OriginY + CellSize * (Current.Y - 1);
  InvalidShown = 0;
  host_.RetintCurrentShip(Current.X, Current.Y);
}

void TBattleField::RotateShip() {
  uint8_t& v = Current.Variant;
  switch (Current.Type) {
    case 2:  // horizontal, diagonal, vertical, other diagonal
      v = static_cast<uint8_t>(v >= 4 ? 1 : v + 1);
      break;
    case 3:  // the straight group 1-4 and the corners 5-8, by the variant alone
      if (v <= 4)
        v = static_cast<uint8_t>(v >= 4 ? 1 : v + 1);
      else
        v = static_cast<uint8_t>(v >= 8 ? 5 : v + 1);
      break;
    case 4: {
      // By the group recorded when a group's first shape was built: a ship
      // that began inside another group steps forward until it builds a
      // group start, and turns within that group from then on.
      const int group = std::clamp<int>(Current.Group, 1, static_cast<int>(kFourCellGroupStarts.size()));
      const int groups = static_cast<int>(kFourCellGroupStarts.size());
      if (group < groups && v + 1 == kFourCellGroupStarts[group])
        v = kFourCellGroupStarts[group - 1];
      else if (group < groups)
        v = static_cast<uint8_t>(std::min(v + 1, VariantCount(4)));
      else if (v + 1 > VariantCount(4))
        v = static_cast<uint8_t>(VariantCount(4));
      else
        v = static_cast<uint8_t>(v + 1);
      break;
    }
    default: return;  // a single cell does not turn
  }
  RebuildCurrentShip();
  // The picture is the new shape's: whether it is greyed is tested afresh,
  // as after a change of shape, or a later drag would bring back the
  // picture of the shape before the turn.
  InvalidShown = 0;
  host_.RetintCurrentShip(Current.X, Current.Y);
}

void TBattleField::RebuildCurrentShip() {
  EraseCurrentShip();
  const int x = Current.X, y = Current.Y;
  NewCurrentShip(Current.Type);
  BuildShip(Current.Variant);
  MoveCurrentShip(x, y);
  ClampCurrentShip();
  DrawCurrentShip(false);
}

void TBattleField::ClampCurrentShip() {
  // Cell by cell, row by row: each ship cell outside pulls the ship back.
  const int n = Current.ShapeSize();
  for (int row = 0; row < n; ++row) {
    for (int col = 0; col < n; ++col) {
      if (!IsHeldShipCell(Current.Shape[row][col])) continue;
      if (Current.X + col < 1) ++Current.X;
      if (Current.X + col > GridCols) Current.X = static_cast<int8_t>(GridCols - col);
      if (Current.Y + row < 1) ++Current.Y;
      if (Current.Y + row > GridRows) --Current.Y;
    }
  }
  Current.ScreenX = OriginX + CellSize * (Current.X - 1);
  Current.ScreenY = OriginY + CellSize * (Current.Y - 1);
}
