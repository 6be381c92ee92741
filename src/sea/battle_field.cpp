#include "sea/battle_field.h"

#include <algorithm>
#include <cassert>

#include "assets/image_table.h"

namespace {

// Ship types of the fleet slots 1..10.
constexpr uint8_t kFleetTypes[kFleetSize] = {4, 3, 3, 2, 2, 2, 1, 1, 1, 1};

}  // namespace

TBattleField::TBattleField(eng::ImageList& images, eng::RandomSource& random, SeaHost& host)
    : images_(images), random_(random), host_(host) {
  Current.Image.SetSize(GridWidth, GridHeight);
  Current.ImageBackup.SetSize(GridWidth, GridHeight);
  CellsClosed = 1;
  Reset();
}

TShipRecord& TBattleField::Slot(int k) {
  assert(k >= 1 && k <= kFleetSize);
  return Fleet[std::clamp(k, 1, kFleetSize) - 1];
}

const TShipRecord& TBattleField::Slot(int k) const {
  assert(k >= 1 && k <= kFleetSize);
  return Fleet[std::clamp(k, 1, kFleetSize) - 1];
}

void TBattleField::Reset() {
  // 1. Closed water everywhere.
  TrueCells.Fill(TSeaCell{});
  ShownCells.Fill(TSeaCell{});

  // 2. No ship of the fleet is placed, hit or sunk.
  for (TShipRecord& ship : Fleet) {
    ship.Placed = 0;
    ship.Hits = 0;
    ship.Sunk = 0;
    ship.ClearShape();
  }

  // 3. Every cell is unshot and a candidate, row by row.
  Unshot.clear();
  Unshot.reserve(GridCols * GridRows);
  for (int y = 1; y <= GridRows; ++y)
    for (int x = 1; x <= GridCols; ++x) Unshot.push_back(TCellPoint{x, y});
  Candidates = Unshot;
  UnshotCount = static_cast<int16_t>(Unshot.size());
  CandidateCount = static_cast<int16_t>(Candidates.size());

  // 4. Counters, weapons, effects, the meter and the computer's leads.
  SunkCount = 0;
  FixedCount = 0;
  ShipActive = 0;
  InvalidShown = 0;
  ExtraShots = 0;
  BombArmed = 0;
  BombKind = 0;
  ClearEffects();
  SunkMeter.MeterRunning = 0;
  HitLead.Active = 0;
  SideLead.Active = 0;
  CornerLead.Active = 0;

  // 5. The ship in hand starts from the first shape.
  Current.Group = 1;
  Current.Variant = 1;

  // 6. No ship taken yet, no navigator rays.
  FlightStarted = 0;
  FlightList.clear();
  FlyingCount = 0;
  AutoUsed = 0;
  RaysShown = 0;
  RayList.clear();

  // 7. The fleet table: types and ordinals, empty centred shapes.
  uint8_t ordinal = 0;
  for (int k = 1; k <= kFleetSize; ++k) {
    TShipRecord& ship = Slot(k);
    const uint8_t type = kFleetTypes[k - 1];
    ordinal = static_cast<uint8_t>((k > 1 && kFleetTypes[k - 2] == type) ? ordinal + 1 : 1);
    ship.Type = type;
    ship.Ordinal = ordinal;
    ship.ClearShape();
    const int n = ship.ShapeSize();
    ship.X = static_cast<int8_t>((GridCols - n) / 2);
    ship.Y = static_cast<int8_t>((GridRows - n) / 2);
  }
}

void TBattleField::ClearEffects() {
  SplashList.clear();
  ExplosionList.clear();
  BombList.clear();
  LabelList.clear();
  SplashCount = 0;
  ExplosionCount = 0;
  BombCount = 0;
  LabelCount = 0;
  EffectCount = 0;
}

void TBattleField::OpenForPlacement(bool redraw) {
  Reset();
  host_.ResetTurnState();
  OpenAllCells();
  if (redraw) DrawAllCells();
}

void TBattleField::OpenAllCells() {
  const TSeaCell open{cell::Opened, cell::Water, 0};
  TrueCells.Fill(open);
  ShownCells.Fill(open);
}

void TBattleField::CloseAllCells(bool redraw) {
  for (TCellPlane* plane : {&TrueCells, &ShownCells}) {
    for (TSeaCell& c : plane->Cells) {
      c.State = cell::Closed;
      c.KnownFree = 0;
    }
  }
  if (redraw) DrawAllCells();
}

void TBattleField::SetShownCode(int x, int y, bool redraw, uint8_t code) {
  if (!TCellPlane::Contains(x, y)) return;
  ShownCells.At(x, y).Code = code;
  if (redraw) DrawCell(x, y);
}

void TBattleField::DrawImage(int index, int pattern, int x, int y) {
  if (index < 0 || index >= images_.Count()) return;
  images_[index].Draw(GridSurface, x, y, pattern);
}

void TBattleField::DrawCell(int x, int y) {
  if (!TCellPlane::Contains(x, y) || !GridSurface.Exists()) return;
  const TSeaCell& c = ShownCells.At(x, y);
  const int px = CellSize * (x - 1);
  const int py = CellSize * (y - 1);

  if (c.State == cell::Closed) {
    DrawImage(assets::kCloseCell, 0, px, py);
  } else if (c.State == cell::Marked) {
    DrawImage(assets::kMarkedCell, 0, px, py);
  } else if (c.State == cell::Opened || c.State == cell::OpenedMarked) {
    switch (c.Code) {
      case cell::Water: DrawImage(assets::kOpenCell, 0, px, py); break;
      case cell::SideRing: DrawImage(assets::kHint1Cell, 0, px, py); break;
      case cell::CornerRing: DrawImage(assets::kHint2Cell, 0, px, py); break;
      case cell::PlacingShip: DrawImage(assets::kRedShipCell, 0, px, py); break;
      case cell::BlockedShip: DrawImage(assets::kBlackShipCell, 0, px, py); break;
      case cell::Ship: DrawImage(assets::kRFixShipCell, 0, px, py); break;
      case cell::SunkShip: DrawImage(assets::kDestrShipCell, 0, px, py); break;
      case cell::HitShip: DrawImage(assets::kDamShipCell, 0, px, py); break;
      case cell::NotFoundShip: DrawImage(assets::kNotFoundCell, 0, px, py); break;
      default:
        // Navigators show their direction and count; bonuses stay unseen.
        if (cell::IsNavigator(c.Code)) DrawImage(assets::kNavigators, c.Code - cell::NavigatorRight, px, py);
        break;
    }
  }
  // A cell known to be free gets the dark veil over whatever it shows.
  if (c.KnownFree == 1) DrawImage(assets::kCloseCellDark, 0, px, py);
}

void TBattleField::DrawAllCells() {
  for (int y = 1; y <= GridRows; ++y)
    for (int x = 1; x <= GridCols; ++x) DrawCell(x, y);
}

void TBattleField::RemoveFromList(TCellPoint point, std::vector<TCellPoint>& list, int16_t& count) {
  const auto removed = std::erase(list, point);
  // The lists hold each cell once, so this lowers the count by one; should a
  // cell ever be listed twice, the count still matches what is left.
  if (removed > 0) count = static_cast<int16_t>(list.size());
}
