// Aiming with the keys: a frame over one cell of the enemy grid that the
// arrow keys move and Space or Enter fires at. The frame and the software
// cursor show the same cell: a key puts the cursor on the framed cell, and
// the cursor over the grid takes the frame along.
#include <algorithm>

#include "sea/battle_field.h"
#include "ui/common.h"

namespace {

// The frame: gold, two pixels wide, just inside the cell, with a dark edge
// around it so that it shows on any cell.
constexpr eng::Color kFrameColour{255, 214, 96};
constexpr eng::Color kFrameEdge{14, 20, 30};

void Outline(eng::Surface& back, eng::Rect r, int width, eng::Color colour) {
  back.FillRect(eng::Rect{r.x, r.y, r.w, width}, colour);
  back.FillRect(eng::Rect{r.x, r.y + r.h - width, r.w, width}, colour);
  back.FillRect(eng::Rect{r.x, r.y, width, r.h}, colour);
  back.FillRect(eng::Rect{r.x + r.w - width, r.y, width, r.h}, colour);
}

}  // namespace

void TCommon::AimFollowsPointer() {
  if (!BattlePhase) return;
  // The pointer counts as over the enemy grid in the closed rectangle of
  // 256 by 269 pixels from its corner, as for the cursor's shape.
  const int a = MouseX - enemy_.OriginX, b = MouseY - enemy_.OriginY;
  if (a < 0 || a > 256 || b < 0 || b > 269) return;
  AimX = std::clamp(a / CellSize + 1, 1, GridCols);
  AimY = std::clamp(b / CellSize + 1, 1, GridRows);
}

void TCommon::MoveAim(int dx, int dy) {
  if (!AimFrameShown()) return;
  AimX = std::clamp(AimX + dx, 1, GridCols);
  AimY = std::clamp(AimY + dy, 1, GridRows);
  // The cursor's tip goes to the middle of the framed cell, and the move
  // takes the mouse's path: the cursor's shape, the navigator rays, the
  // menu's highlights.
  MouseX = enemy_.OriginX + CellSize * (AimX - 1) + CellSize / 2;
  MouseY = enemy_.OriginY + CellSize * (AimY - 1) + CellSize / 2;
  MouseMove(MouseX, MouseY);
}

void TCommon::FireAtAim() {
  if (!BattlePhase) return;
  // Whether it is the player's turn the shot itself decides, as for a click.
  ShootAt(enemy_.OriginX + CellSize * (AimX - 1) + CellSize / 2,
          enemy_.OriginY + CellSize * (AimY - 1) + CellSize / 2);
}

void TCommon::DrawAimFrame(eng::Surface& back) {
  if (!AimFrameShown()) return;
  const int x = enemy_.OriginX + CellSize * (AimX - 1), y = enemy_.OriginY + CellSize * (AimY - 1);
  Outline(back, eng::Rect{x - 1, y - 1, CellSize + 2, CellSize + 2}, 1, kFrameEdge);
  Outline(back, eng::Rect{x, y, CellSize, CellSize}, 2, kFrameColour);
  Outline(back, eng::Rect{x + 2, y + 2, CellSize - 4, CellSize - 4}, 1, kFrameEdge);
}
