// The placement rules and the ship in hand: a ship stands inside the grid and
// touches no fixed ship, not even at a corner. A new ship is shown in
// ShownCells with its ring, looks for a free place from a random start and
// slides in from the top or the bottom of the grid.
#include <algorithm>
#include <cmath>

#include "assets/image_table.h"
#include "sea/battle_field.h"

namespace {

// A ship cell of the ship in hand, allowed or blocked where it stands.
constexpr bool IsHeldShipCell(uint8_t v) { return v == cell::PlacingShip || v == cell::BlockedShip; }

// Pixels a ship slides per millisecond.
constexpr double kSlideSpeed = 0.3;

// The picture a shape element shows in the ship's image; -1 for none.
int ElementImage(uint8_t v) {
  switch (v) {
    case cell::SideRing: return assets::kHint1Cell;
    case cell::CornerRing: return assets::kHint2Cell;
    case cell::PlacingShip: return assets::kRedShipCell;
    default: return -1;
  }
}

}  // namespace

void TBattleField::NewCurrentShip(uint8_t type) {
  Current.Type = type;
  Current.Ordinal = 0;
  Current.Placed = 0;
  Current.ClearShape();
  const int n = Current.ShapeSize();
  Current.X = static_cast<int8_t>((GridCols - n) / 2 + 1);
  Current.Y = static_cast<int8_t>((GridRows - n) / 2 + 1);
}

void TBattleField::BuildShip(uint8_t variant) {
  const int n = Current.ShapeSize();
  const TShipShape& shape = ShipShape(Current.Type, variant);

  // The picture: black, with the ring and the ship cells drawn in.
  Current.Image.SetSize(CellSize * n, CellSize * n);
  Current.ClearShape();
  int firstCol = n, firstRow = n, lastCol = -1, lastRow = -1;
  for (int row = 0; row < n; ++row) {
    for (int col = 0; col < n; ++col) {
      const uint8_t v = shape.size == n ? shape.matrix[row][col] : cell::Water;
      Current.Shape[row][col] = v;
      const int image = ElementImage(v);
      if (image >= 0 && image < images_.Count()) {
        const eng::ImageItem& item = images_[image];
        Current.Image.Draw(CellSize * col, CellSize * row, item.picture, item.PatternRect(0));
      }
      if (v == cell::PlacingShip) {
        firstCol = std::min(firstCol, col);
        firstRow = std::min(firstRow, row);
        lastCol = std::max(lastCol, col);
        lastRow = std::max(lastRow, row);
      }
    }
  }
  if (lastCol >= 0) {
    Current.BoundLeft = static_cast<uint16_t>(CellSize * firstCol);
    Current.BoundTop = static_cast<uint16_t>(CellSize * firstRow);
    Current.BoundRight = static_cast<uint16_t>(CellSize * (lastCol + 1));
    Current.BoundBottom = static_cast<uint16_t>(CellSize * (lastRow + 1));
  }

  Current.ScreenX = OriginX + CellSize * (Current.X - 1);
  Current.ScreenY = OriginY + CellSize * (Current.Y - 1);
  Current.Alpha = 255;
  host_.ReloadDragPicture(Current.Image);

  // The rotation group is recorded only when a group's first shape is
  // built; otherwise it stays what it was, even from an earlier ship.
  Current.Variant = variant;
  if (Current.Type == 4) {
    const auto* it = std::find(kFourCellGroupStarts.begin(), kFourCellGroupStarts.end(), variant);
    if (it != kFourCellGroupStarts.end()) Current.Group = static_cast<uint8_t>(it - kFourCellGroupStarts.begin() + 1);
  } else if (Current.Type == 3 && (variant == 1 || variant == 5)) {
    Current.Group = variant;
  }
}

bool TBattleField::ShipInside(const TShipRecord& ship, int x, int y) const {
  const int n = ship.ShapeSize();
  for (int row = 0; row < n; ++row)
    for (int col = 0; col < n; ++col)
      if (IsHeldShipCell(ship.Shape[row][col]) && !TCellPlane::Contains(x + col, y + row)) return false;
  return true;
}

bool TBattleField::ShipSpaced(const TShipRecord& ship, int x, int y) const {
  const int n = ship.ShapeSize();
  for (int row = 0; row < n; ++row) {
    for (int col = 0; col < n; ++col) {
      if (!IsHeldShipCell(ship.Shape[row][col])) continue;
      const int gx = x + col, gy = y + row;
      if (!TCellPlane::Contains(gx, gy)) continue;
      // Only fixed ships count; their rings (codes 1 and 2) do not.
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (TCellPlane::Contains(gx + dx, gy + dy) && TrueCells.At(gx + dx, gy + dy).Code == cell::Ship) return false;
    }
  }
  return true;
}

bool TBattleField::CheckInside(int x, int y) const { return ShipInside(Current, x, y); }

bool TBattleField::CheckSpacing(int x, int y) const { return ShipSpaced(Current, x, y); }

void TBattleField::SetShapeValidity(bool blocked) {
  const int n = Current.ShapeSize();
  for (int row = 0; row < n; ++row)
    for (int col = 0; col < n; ++col)
      if (IsHeldShipCell(Current.Shape[row][col]))
        Current.Shape[row][col] = blocked ? cell::BlockedShip : cell::PlacingShip;
}

void TBattleField::DrawCurrentShip(bool redraw) { DrawCurrentShip(Current, redraw); }

void TBattleField::DrawCurrentShip(TShipRecord& ship, bool redraw) {
  const int n = ship.ShapeSize();
  // The ship cells show whether the ship may stand where it is.
  const bool blocked = !ShipSpaced(ship, ship.X, ship.Y);
  for (int row = 0; row < n; ++row)
    for (int col = 0; col < n; ++col)
      if (IsHeldShipCell(ship.Shape[row][col])) ship.Shape[row][col] = blocked ? cell::BlockedShip : cell::PlacingShip;

  for (int row = 0; row < n; ++row) {
    for (int col = 0; col < n; ++col) {
      const int gx = ship.X + col, gy = ship.Y + row;
      if (!TCellPlane::Contains(gx, gy)) continue;
      const uint8_t t = TrueCells.At(gx, gy).Code;
      const uint8_t v = ship.Shape[row][col];
      switch (v) {
        // A ring never covers a fixed ship, and a corner ring never covers
        // a side ring, which tells more.
        case cell::SideRing:
          if (t != cell::Ship) SetShownCode(gx, gy, redraw, v);
          break;
        case cell::CornerRing:
          if (t != cell::Ship && t != cell::SideRing) SetShownCode(gx, gy, redraw, v);
          break;
        case cell::PlacingShip:
        case cell::BlockedShip:
        case cell::Ship: SetShownCode(gx, gy, redraw, v); break;
        default: break;
      }
    }
  }
}

void TBattleField::EraseCurrentShip() {
  const int n = Current.ShapeSize();
  for (int row = 0; row < n; ++row) {
    for (int col = 0; col < n; ++col) {
      const int gx = Current.X + col, gy = Current.Y + row;
      if (TCellPlane::Contains(gx, gy)) SetShownCode(gx, gy, true, TrueCells.At(gx, gy).Code);
    }
  }
}

void TBattleField::MoveCurrentShip(int x, int y) {
  Current.X = static_cast<int8_t>(x);
  Current.Y = static_cast<int8_t>(y);
}

bool TBattleField::HitTestCurrentShip(int a, int b) const {
  const int col = a / CellSize + 1;  // truncated toward zero
  const int row = b / CellSize + 1;
  const int n = Current.ShapeSize();
  if (row < Current.Y || col < Current.X || row - Current.Y > n - 1 || col - Current.X > n - 1) return false;
  if (TCellPlane::Contains(col, row)) {
    const uint8_t shown = ShownCells.At(col, row).Code;
    if (shown == cell::PlacingShip || shown == cell::BlockedShip) return true;
  }
  const uint8_t v = Current.Shape[row - Current.Y][col - Current.X];
  return v == cell::SideRing || v == cell::CornerRing;
}

std::vector<TCellPoint> TBattleField::PositionSearchOrder(int x0, int y0) {
  // Only every other column of a row is tried, counted from the row's first
  // column, so later rows try the odd columns going forward and the even
  // ones going backward.
  std::vector<TCellPoint> order;
  for (int y = y0; y <= GridRows; ++y)
    for (int x = (y == y0 ? x0 : -1); x <= GridCols; x += 2) order.push_back(TCellPoint{x, y});
  for (int y = y0; y >= -1; --y)
    for (int x = (y == y0 ? x0 : GridCols); x >= -1; x -= 2) order.push_back(TCellPoint{x, y});
  return order;
}

bool TBattleField::TakeNextShip(uint8_t type) {
  // 1. The ship in hand is fixed first: at once if it is still sliding in
  // (it is drawn fixed when it lands), otherwise only where it may stand.
  // A ship already fixed by the fix command is not fixed a second time.
  if (!FlightList.empty() && Current.Placed == 0) {
    TFlight& last = FlightList.back();
    // A ship that found no free place is still blocked where it slides to;
    // it is never fixed there, or its blocked cells would go into the grid
    // and might cover a cell of the ship it overlaps.
    if (!CheckSpacing(Current.X, Current.Y)) return false;
    if (last.Flying) {
      last.FixOnArrival = 1;
      FixCurrentShip();
      last.FlyShip = Current;
    } else {
      FixCurrentShip();
      DrawCurrentShip(true);
    }
  }

  // 2. Every ship has been taken; this call only fixed the last one.
  if (FlightList.size() >= kFleetSize) return true;

  // 3. The new ship, in a random shape of its type.
  NewCurrentShip(type);
  const int variants = VariantCount(type);
  BuildShip(static_cast<uint8_t>(variants > 1 ? random_.Random(variants) + 1 : 1));

  // 4. A free place from a random start. The quick search tries every
  // other column only; before the ship is left centred and blocked, every
  // column of every row is tried, from the same start on.
  const int x0 = random_.Random(18) - 1;  // -1..16
  const int y0 = random_.Random(19) - 1;  // -1..17
  bool placed = false;
  for (const TCellPoint& p : PositionSearchOrder(x0, y0)) {
    if (CheckInside(p.x, p.y) && CheckSpacing(p.x, p.y)) {
      MoveCurrentShip(p.x, p.y);
      placed = true;
      break;
    }
  }
  constexpr int kColumns = GridCols + 2, kRows = GridRows + 2;  // corners -1..16, -1..17
  for (int i = 0; !placed && i < kColumns * kRows; ++i) {
    const int at = ((y0 + 1) * kColumns + (x0 + 1) + i) % (kColumns * kRows);
    const int x = at % kColumns - 1, y = at / kColumns - 1;
    if (CheckInside(x, y) && CheckSpacing(x, y)) {
      MoveCurrentShip(x, y);
      placed = true;
    }
  }

  // 5. Shown in the cells (for hit tests), not yet in the grid picture.
  DrawCurrentShip(false);

  // 6. It slides in from the far side: a ship in the upper half rises from
  // the bottom, one in the lower half falls from the top.
  const int n = Current.ShapeSize();
  TFlight& flight = FlightList.emplace_back();
  flight.FlyX = static_cast<float>(CellSize * (Current.X - 1));
  if (Current.Y < 8) {
    flight.FlyY = static_cast<float>(CellSize * (18 - n));
    flight.FlyDir = -1;
  } else {
    flight.FlyY = 0;
    flight.FlyDir = 1;
  }
  flight.TargetCellX = Current.X;
  flight.TargetCellY = Current.Y;
  flight.TargetX = CellSize * (Current.X - 1);
  flight.TargetY = CellSize * (Current.Y - 1);
  flight.FlySurface.LoadFromPicture(Current.Image);
  flight.Flying = 1;
  flight.FixOnArrival = 0;
  flight.FlyShip = Current;
  flight.FlyIndex = static_cast<int32_t>(FlightList.size());
  Current.ScreenX = OriginX + CellSize * (Current.X - 1);
  Current.ScreenY = OriginY + CellSize * (Current.Y - 1);

  // 7.
  FlightStarted = 1;
  ++FlyingCount;
  return true;
}

void TBattleField::SlideInStep(eng::Surface& back, int lagCount) {
  for (TFlight& flight : FlightList) {
    if (!flight.Flying) continue;
    flight.FlyY += static_cast<float>(flight.FlyDir * kSlideSpeed * lagCount);
    back.Draw(OriginX + static_cast<int>(std::nearbyint(flight.FlyX)),
              OriginY + static_cast<int>(std::nearbyint(flight.FlyY)), flight.FlySurface, true);

    const bool arrived = flight.FlyDir > 0 ? flight.FlyY >= static_cast<float>(flight.TargetY)
                                           : flight.FlyY <= static_cast<float>(flight.TargetY);
    if (!arrived) continue;
    if (flight.FixOnArrival) {
      // Fixed while it moved: the ship and its ring go into the grid picture.
      DrawCurrentShip(flight.FlyShip, true);
    } else {
      ShipActive = 1;  // landed: it may now be dragged, turned or fixed
    }
    flight.Flying = 0;
    flight.FixOnArrival = 0;
    flight.FlySurface.Release();
    if (FlyingCount > 0) --FlyingCount;
  }
}
