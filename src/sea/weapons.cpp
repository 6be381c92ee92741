// The player's shot at the enemy grid, which drops an armed bomb instead of
// a shot, and the landing of a bomb: the X bomb strikes the centre and its
// corners, the plus bomb the centre and its sides, the square bomb the
// centre and all eight neighbours.
#include "engine/text_codec.h"
#include "sea/battle_field.h"
#include "ui/common.h"

namespace {

struct Step {
  int dx, dy;
};

// Top-left, top-right, bottom-right, bottom-left, top, right, bottom, left:
// the X bomb strikes the first four, the plus bomb the last four, the square
// bomb all eight.
constexpr Step kPattern[8] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {0, -1}, {1, 0}, {0, 1}, {-1, 0}};

constexpr bool IsOpened(uint8_t state) { return state == cell::Opened || state == cell::OpenedMarked; }

}  // namespace

void TBattleField::FireAtEnemyGrid(int a, int b) {
  TCommon* common = host_.Common();
  if (!common || common->BattlePhase != 1 || common->LocalTurn != 1) return;
  // A press off the grid's pixels names no cell.
  if (a < 0 || a >= GridWidth || b < 0 || b >= GridHeight) return;
  ClickX = a / CellSize + 1;
  ClickY = b / CellSize + 1;
  // An opened cell is not a shot: the player keeps the turn.
  if (IsOpened(TrueCells.At(ClickX, ClickY).State)) return;

  const TCellPoint click{ClickX, ClickY};
  common->LocalTurn = 0;
  if (!BombArmed) {
    Shoot(click, false);
    return;
  }
  // The armed bomb falls instead; the turn is decided when it lands.
  BombArmed = 0;
  AddEffect(BombList, BombKind, "", 0, click);
  if (common->Settings.GameMode == 2)
    common->Services().host.SendShot(ClickX, ClickY, BombKind - 2);  // 2 X, 3 plus, 4 square
  else
    common->ComputerMovePending = 0;
}

void TBattleField::ApplyBomb(int x, int y, uint8_t kind) {
  // A bomb message from the other side may carry any column and row.
  if (!TCellPlane::Contains(x, y)) return;
  AddEffect(ExplosionList, 1, "explode", 0, TCellPoint{x, y});
  Shoot(TCellPoint{x, y}, true);

  int first = 0, last = -1;
  if (kind == cell::BonusXBomb) first = 0, last = 3;
  if (kind == cell::BonusPlusBomb) first = 4, last = 7;
  if (kind == cell::BonusSquareBomb) first = 0, last = 7;
  for (int i = first; i <= last; ++i) {
    const int nx = x + kPattern[i].dx, ny = y + kPattern[i].dy;
    if (TCellPlane::Contains(nx, ny)) BombCell(nx, ny);
  }
  BombArmed = 0;

  // The bomb ends the bomber's turn, whatever it hit.
  TCommon* common = host_.Common();
  if (!common) return;
  if (common->OwnGrid().SunkCount >= kFleetSize || common->EnemyGrid().SunkCount >= kFleetSize) {
    // The bomb sank the last ship: the winner's line stays and nobody
    // shoots any more.
    common->LocalTurn = 0;
    common->ComputerMovePending = 0;
    return;
  }
  if (common->Settings.GameMode == 2) {
    // Over the network the turn went with the bomb's drop and arrival; by
    // the time it lands the player may have shot and passed it on again,
    // so the landing only repeats the prompt to the side that has the turn.
    if (Id == 1 && common->LocalTurn == 1 && common->BattlePhase == 1) {
      common->CursorPattern = 1;
      common->SetStatus(2, W("Атакуйте вашего противника!"), false);
    }
    return;
  }
  if (Id == 1) {
    common->LocalTurn = 1;
    common->ComputerMovePending = 0;
    common->CursorPattern = 1;
    common->SetStatus(2, W("Атакуйте вашего противника!"), false);
  } else {
    common->LocalTurn = 0;
    common->ComputerMovePending = 1;
    common->CursorPattern = 0;
  }
}

void TBattleField::BombCell(int x, int y) {
  if (!TCellPlane::Contains(x, y)) return;
  AddEffect(ExplosionList, 1, "explode", 0, TCellPoint{x, y});
  if (IsOpened(TrueCells.At(x, y).State))
    AddEffect(SplashList, 0, "", 0, TCellPoint{x, y});
  else
    Shoot(TCellPoint{x, y}, true);
}
