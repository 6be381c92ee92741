// The own grid breaking into four quarters at a new game, and four quarters
// of closed cells flying together when the fleet is complete.
#include <cmath>

#include "assets/image_table.h"
#include "engine/text_codec.h"
#include "sea/battle_field.h"
#include "ui/common.h"

using namespace assets;

namespace {

// The quarters of the 16 x 17 grid: first cell (column, row), size in cells,
// and the direction each flies out in.
struct Quarter {
  int column, row, columns, rows;
  int8_t dx, dy;
};
constexpr Quarter kQuarters[4] = {
    {1, 1, 8, 8, -1, -1}, {9, 1, 8, 8, +1, -1}, {1, 9, 8, 9, -1, +1}, {9, 9, 8, 9, +1, +1}};

int Nearest(float v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

void TCommon::DrawPieceCell(eng::Surface& piece, int column, int row, uint8_t state, uint8_t code,
                            uint8_t knownFree) {
  const eng::ImageList& images = services_.images;
  const int x = (column - 1) * 16, y = (row - 1) * 16;
  int image = -1;
  if (state == 0) {
    image = kCloseCell;
  } else if (state == 1) {
    image = kMarkedCell;
  } else if (state == 2 || state == 3) {
    switch (code) {
      case 1: image = kHint1Cell; break;
      case 2: image = kHint2Cell; break;
      case 3: image = kRedShipCell; break;
      case 49: image = kBlackShipCell; break;
      case 50: image = kRFixShipCell; break;
      case 51: image = kDestrShipCell; break;
      case 52: image = kDamShipCell; break;
      default: break;  // open water stays a hole in the piece
    }
  }
  if (image >= 0) images[image].Draw(piece, x, y, 0);
  const bool blankWater = state == 2 && code == 0;
  if (knownFree == 1 && !blankWater) images[kCloseCellDark].Draw(piece, x, y, 0);
}

void TCommon::StartShatter() {
  for (int i = 0; i < 4; ++i) {
    const Quarter& q = kQuarters[i];
    TPiece& p = OutPieces[i];
    p.surface.Create(q.columns * 16, q.rows * 16);
    p.surface.Fill(eng::kWhite);
    p.surface.SetColorKey(eng::kWhite);
    p.x = static_cast<float>(own_.OriginX + (q.column - 1) * 16);
    p.y = static_cast<float>(own_.OriginY + (q.row - 1) * 16);
    p.dx = q.dx;
    p.dy = q.dy;
    for (int r = 0; r < q.rows; ++r)
      for (int c = 0; c < q.columns; ++c) {
        const TSeaCell& cell = own_.ShownCells.At(q.column + c, q.row + r);
        DrawPieceCell(p.surface, c + 1, r + 1, cell.State, cell.Code, cell.KnownFree);
      }
    p.active = 1;
  }
  Shattering = 1;
  ShatterClock = 0;
}

void TCommon::DrawShatter(eng::Surface& back, int lagCount) {
  if (Shattering) {
    ShatterClock += 0.3f * lagCount;
    if (ShatterClock >= 50) Shattering = 0;
  }
  const int screenW = 640, screenH = 480;
  for (int i = 0; i < 4; ++i) {
    TPiece& p = OutPieces[i];
    if (!p.active) continue;
    p.x += p.dx * 0.3f * lagCount;
    p.y += p.dy * 0.3f * lagCount;
    back.Draw(Nearest(p.x), Nearest(p.y), p.surface, true);
    const float w = static_cast<float>(p.surface.Width()), h = static_cast<float>(p.surface.Height());
    bool gone = false;
    switch (i) {
      case 0: gone = p.x + w <= 0 || p.y + h <= 0; break;
      case 1: gone = p.y + h <= 0 || p.x >= screenW; break;
      case 2: gone = p.x + w <= 0 || p.y >= screenH; break;
      default: gone = p.y >= screenH || p.x >= screenW; break;
    }
    if (gone) {
      p.active = 0;
      p.surface.Release();
    }
  }
}

void TCommon::StartAssemble() {
  const int gx = own_.OriginX, gy = own_.OriginY;
  // The pieces start on the 45-degree lines through their landing corners.
  const int off = static_cast<int>(std::lround((128 + gy) / std::tan(M_PI / 4)));
  const int d = 128 + gy;
  const struct {
    int startX, startY, targetX, targetY, rows;
    int8_t dx, dy;
  } plan[4] = {{gx - off, gy - d, gx, gy, 8, +1, +1},
               {gx + 128 + off, gy - d, gx + 128, gy, 8, -1, +1},
               {gx - off, gy + 128 + d, gx, gy + 128, 9, +1, -1},
               {gx + 128 + off, gy + 128 + d, gx + 128, gy + 128, 9, -1, -1}};
  for (int i = 0; i < 4; ++i) {
    TPiece& p = InPieces[i];
    p.surface.Create(128, plan[i].rows * 16);
    p.surface.Fill(eng::kWhite);
    p.surface.SetColorKey(eng::kWhite);
    for (int r = 1; r <= plan[i].rows; ++r)
      for (int c = 1; c <= 8; ++c) DrawPieceCell(p.surface, c, r, 0, 0, 0);
    p.x = static_cast<float>(plan[i].startX);
    p.y = static_cast<float>(plan[i].startY);
    p.targetX = plan[i].targetX;
    p.targetY = plan[i].targetY;
    p.dx = plan[i].dx;
    p.dy = plan[i].dy;
    p.active = 1;
  }
  Assembling = 1;
  AssembleClock = 0;
}

void TCommon::DrawAssemble(eng::Surface& back, int lagCount) {
  if (own_.FlyingCount != 0) return;  // taken ships are still sliding in
  if (Assembling) {
    AssembleClock += 0.1f * lagCount;
    if (AssembleClock >= 50) {
      Assembling = 0;
      ChooserShown = 1;
      ChooserClosed = 1;
    }
  }
  bool landedNow = false;
  for (int i = 0; i < 4; ++i) {
    TPiece& p = InPieces[i];
    if (!p.active) continue;
    p.x += p.dx * 0.3f * lagCount;
    p.y += p.dy * 0.3f * lagCount;
    back.Draw(Nearest(p.x), Nearest(p.y), p.surface, true);
    // All four cover the same distance, so they land together: when the
    // first has reached its corner.
    if (InPieces[0].x < InPieces[0].targetX) continue;
    if (!own_.CellsClosed) {
      own_.CloseAllCells(false);
      own_.CellsClosed = 1;
    }
    own_.GridSurface.Draw(p.targetX - own_.OriginX, p.targetY - own_.OriginY, p.surface, true);
    p.active = 0;
    p.surface.Release();
    landedNow = true;
  }
  // The landing shows the prompt once and blinks it twice. A cell shot
  // while the pieces flew is drawn again over the closed picture.
  if (landedNow) {
    for (int y = 1; y <= 17; ++y)
      for (int x = 1; x <= 16; ++x)
        if (own_.ShownCells.At(x, y).State != 0) own_.DrawCell(x, y);
    // Over the network the other side may shoot first, or not have sent its
    // fleet yet: the prompt asks to attack only when it is this side's turn.
    const bool wait = Settings.GameMode == 2 && !(BattlePhase == 1 && LocalTurn == 1);
    SetStatus(2, W(wait ? "Дождитесь противника..." : "Атакуйте вашего противника!"), false);
    BlinkStatus(2, false);
  }
}
