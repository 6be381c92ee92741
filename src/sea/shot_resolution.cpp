// Shot resolution: every shot, rocket cell and bomb cell ends here. A shot
// opens the cell and shows what was there, damages and sinks ships, tells a
// miss beside a ship which side the ship touches, darkens the cells it proves
// empty, hands a found bonus to the shooter and decides whose turn is next.
// Collateral shots (bomb-pattern cells, penalty rockets) damage the same but
// leave the turn, the streak and the extra shots alone and destroy bonuses.
#include "engine/text_codec.h"
#include "sea/battle_field.h"
#include "ui/common.h"

namespace {

struct Step {
  int dx, dy;
};

// The order the eight neighbours are visited in when cells around a shot
// or a sunk ship are marked: the corners first, then the sides.
constexpr Step kAround[8] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {0, -1}, {1, 0}, {0, 1}, {-1, 0}};

// The order a miss looks for a ship beside it, with the ring code each
// neighbour gives: a side neighbour wins over a corner one.
struct HintStep {
  int dx, dy;
  uint8_t ring;
};
constexpr HintStep kHintOrder[8] = {{0, -1, cell::SideRing},    {1, 0, cell::SideRing},     {0, 1, cell::SideRing},
                                    {-1, 0, cell::SideRing},    {-1, -1, cell::CornerRing}, {1, -1, cell::CornerRing},
                                    {1, 1, cell::CornerRing},   {-1, 1, cell::CornerRing}};

constexpr bool IsShipCode(uint8_t code) {
  return code == cell::Ship || code == cell::SunkShip || code == cell::HitShip;
}

constexpr bool IsOpened(uint8_t state) { return state == cell::Opened || state == cell::OpenedMarked; }

}  // namespace

void TBattleField::Shoot(TCellPoint point, bool collateral) {
  const int x = point.x, y = point.y;
  // A shot message from the other side may carry any column and row.
  if (!TCellPlane::Contains(x, y)) return;
  TCommon* common = host_.Common();
  // In a network game the other side may shoot before the closed cells of
  // this grid have flown in: the cells are closed for battle now, or the
  // shot would find them still open from the placement and be lost.
  if (Id == 1 && !CellsClosed && common && common->BattlePhase) {
    CloseAllCells(false);
    CellsClosed = 1;
  }

  const bool wasOpened = IsOpened(TrueCells.At(x, y).State);
  if (!wasOpened) {
    OpenShotCell(point);
    const uint8_t k = TrueCells.At(x, y).Code;

    if (k == cell::SideRing || k == cell::CornerRing) {
      // Water beside a ship: the ring shows which way the ship lies.
      SetShownCode(x, y, true, k);
      AddEffect(SplashList, 0, "", 0, point);
      if (!collateral) {
        HitStreak = 0;
        if (ExtraShots > 0) --ExtraShots;
      }
      ClearKnownFree(x, y);
    } else if (k == cell::Ship) {
      SetShownCode(x, y, true, cell::HitShip);
      TrueCells.At(x, y).Code = cell::HitShip;
      PlayHitSound();
      AddEffect(ExplosionList, 1, "", 0, point);
      if (!collateral) {
        ++HitStreak;
        if (ExtraShots > 0) --ExtraShots;
        if (HitStreak >= 3) {
          // Three hits in a row: the label of two extra shots, silent
          // because the streak still stands while it is added.
          AddEffect(LabelList, cell::BonusShots2, "", 0, point);
          HitStreak = 0;
        }
      }
      RecheckNavigators(point);
      RegisterHit(point);
    } else if (collateral) {
      // A bomb cell or a penalty rocket wipes out whatever it opens.
      if (!ShowHintFromNeighbours(x, y)) {
        SetShownCode(x, y, true, cell::Water);
        TrueCells.At(x, y).Code = cell::Water;
        AddEffect(SplashList, 0, "", 0, point);
        ClearKnownFree(x, y);
        MarkKnownFree(point);
      }
    } else {
      SetShownCode(x, y, true, k);
      // A collected bonus leaves water, or the ring of a ship beside it so
      // the hint is not lost.
      auto clearBonus = [&] {
        if (!ShowHintFromNeighbours(x, y)) {
          SetShownCode(x, y, true, cell::Water);
          TrueCells.At(x, y).Code = cell::Water;
          MarkKnownFree(point);
        }
      };
      if (k == cell::Water || cell::IsNavigator(k)) {
        AddEffect(SplashList, 0, "", 0, point);
        HitStreak = 0;
        if (ExtraShots > 0) --ExtraShots;
        PruneByNavigator(point, k);
        MarkKnownFree(point);
        ClearKnownFree(x, y);
        AddNavigatorRay(point);
      } else if (cell::IsBonus(k)) {
        // Bombs, extra shots and penalties alike: taken only while no extra
        // shots run (otherwise lost, one extra shot spent). A bomb arms the
        // next shot; a penalty's rockets follow from its label once it fades.
        HitStreak = 0;
        AddEffect(SplashList, 0, "", 0, point);
        if (ExtraShots == 0) {
          if (k <= cell::BonusSquareBomb) {
            BombArmed = 1;
            BombKind = k;
          }
          AddEffect(LabelList, k, "", 0, point);
        } else {
          --ExtraShots;
        }
        clearBonus();
        ClearKnownFree(x, y);
      }
    }
  }

  // The turn. In a network game the other side's shot may find a cell of
  // the own grid that a bomb or a penalty rocket opened here first, while
  // its copy was still closed: the turn goes by what lies there, as it did
  // there. Once a network battle is over (or the other side gone), a
  // late rocket hands nobody the turn.
  const bool network = common && common->Settings.GameMode == 2;
  if (!collateral && common && (!wasOpened || (network && Id == 1)) && (!network || common->BattlePhase == 1)) {
    if (network && Id == 2) common->Services().host.SendShot(x, y, 1);
    const uint8_t now = TrueCells.At(x, y).Code;
    const bool keeps = now == cell::HitShip || now == cell::SunkShip || ExtraShots > 0 || BombArmed == 1;
    if (keeps) {
      if (Id == 1) {
        if (common->Settings.GameMode == 1) common->ComputerMovePending = 1;
      } else {
        common->LocalTurn = 1;
      }
    } else if (Id == 1) {
      common->LocalTurn = 1;
      common->CursorPattern = 1;
      common->SetStatus(2, W("Атакуйте вашего противника!"), false);
    } else {
      if (common->Settings.GameMode == 1) common->ComputerMovePending = 1;
      common->CursorPattern = 0;
      common->SetStatus(2, W("Дождитесь противника..."), false);
    }
  }

  if (!common) return;
  HoverNavigatorRays(common->MouseX, common->MouseY, true);
  TBattleField& own = common->OwnGrid();
  TBattleField& enemy = common->EnemyGrid();
  if (own.SunkCount >= kFleetSize || enemy.SunkCount >= kFleetSize) {
    common->BattlePhase = 0;
    own.RaysShown = 0;
    enemy.RaysShown = 0;
    common->CursorPattern = 0;
  }
}

void TBattleField::OpenShotCell(TCellPoint point) {
  RemoveFromList(point, Unshot, UnshotCount);
  uint8_t state = cell::Opened;
  if (TrueCells.At(point.x, point.y).State == cell::Marked) {
    // Already known empty: it left the candidates when it was marked.
    state = cell::OpenedMarked;
  } else {
    RemoveFromList(point, Candidates, CandidateCount);
  }
  TrueCells.At(point.x, point.y).State = state;
  ShownCells.At(point.x, point.y).State = state;
}

bool TBattleField::ShowHintFromNeighbours(int x, int y) {
  for (const HintStep& s : kHintOrder) {
    const int nx = x + s.dx, ny = y + s.dy;
    if (!TCellPlane::Contains(nx, ny) || !IsShipCode(TrueCells.At(nx, ny).Code)) continue;
    TrueCells.At(x, y).Code = s.ring;
    SetShownCode(x, y, true, s.ring);
    AddEffect(SplashList, 0, "", 0, TCellPoint{x, y});
    ClearKnownFree(x, y);
    return true;
  }
  return false;
}

void TBattleField::MarkKnownFree(TCellPoint point) {
  for (const Step& s : kAround) {
    const int nx = point.x + s.dx, ny = point.y + s.dy;
    if (!TCellPlane::Contains(nx, ny) || TrueCells.At(nx, ny).State != cell::Closed) continue;
    TrueCells.At(nx, ny).KnownFree = 1;
    ShownCells.At(nx, ny).KnownFree = 1;
    DrawCell(nx, ny);
  }
}

void TBattleField::ClearKnownFree(int x, int y) {
  if (!TCellPlane::Contains(x, y)) return;
  TrueCells.At(x, y).KnownFree = 0;
  ShownCells.At(x, y).KnownFree = 0;
  DrawCell(x, y);
}

void TBattleField::RegisterHit(TCellPoint point) {
  for (TShipRecord& ship : Fleet) {
    if (ship.Sunk) continue;
    const int n = ship.ShapeSize();
    for (int row = 0; row < n; ++row) {
      for (int col = 0; col < n; ++col) {
        if (ship.Shape[row][col] != cell::Ship) continue;
        if (ship.X + col != point.x || ship.Y + row != point.y) continue;
        ++ship.Hits;
        if (ship.Hits == ship.Type) {
          ship.Sunk = 1;
          SinkShip(ship);
        }
        return;
      }
    }
  }
}

void TBattleField::SinkShip(TShipRecord& ship) {
  ++SunkCount;
  if (Id == 1) HitLead.Active = 0;

  // The cells blow up one after another, 200 to 340 ms apart.
  double delay = 0.4;
  const int n = ship.ShapeSize();
  for (int row = 0; row < n; ++row) {
    for (int col = 0; col < n; ++col) {
      if (ship.Shape[row][col] != cell::Ship) continue;
      const int x = ship.X + col, y = ship.Y + row;
      if (!TCellPlane::Contains(x, y)) continue;
      AddEffect(ExplosionList, 1, "explode", delay, TCellPoint{x, y});
      delay += 2 + Random().Random(15) / 10.0;
      SetShownCode(x, y, true, cell::SunkShip);
      TrueCells.At(x, y).Code = cell::SunkShip;
      MarkAroundSunk(x, y);
    }
  }

  StartSunkMeter(SunkCount);
  if (SunkCount == kFleetSize) GameOver();
}

void TBattleField::MarkAroundSunk(int x, int y) {
  for (const Step& s : kAround) {
    const int nx = x + s.dx, ny = y + s.dy;
    if (!TCellPlane::Contains(nx, ny)) continue;
    TSeaCell& t = TrueCells.At(nx, ny);
    TSeaCell& shown = ShownCells.At(nx, ny);
    if (t.State == cell::Closed) {
      t.KnownFree = shown.KnownFree = 0;
      t.State = shown.State = cell::Marked;
      shown.Code = t.Code;
      DrawCell(nx, ny);
      RemoveFromList(TCellPoint{nx, ny}, Candidates, CandidateCount);
    } else if (IsOpened(t.State)) {
      t.State = shown.State = cell::OpenedMarked;
      // A ring cell beside the sunk ship has nothing more to lead to.
      if (SideLead.Active && SideLead.X == nx && SideLead.Y == ny) SideLead.Active = 0;
      if (CornerLead.Active && CornerLead.X == nx && CornerLead.Y == ny) CornerLead.Active = 0;
    }
  }
}

void TBattleField::PlayHitSound() {
  // Four hits in five sound "explode2", the fifth "explode".
  const int r = Random().Random(5);
  if (TCommon* common = host_.Common()) common->PlaySound(r < 4 ? "explode2" : "explode");
}
