// Mouse input on the game screen: which fixed rectangle a press or a move
// concerns, and what it does there.
#include <algorithm>
#include <cmath>

#include "assets/image_table.h"
#include "engine/keys.h"
#include "engine/text_codec.h"
#include "sea/battle_field.h"
#include "ui/common.h"

using namespace assets;

namespace {

// Closed: both edges belong to the rectangle.
bool InClosed(int x, int y, int left, int top, int width, int height) {
  return x >= left && x <= left + width && y >= top && y <= top + height;
}

// Open: neither edge does.
bool InOpen(int x, int y, int left, int top, int width, int height) {
  return x > left && x < left + width && y > top && y < top + height;
}

// Panel buttons answer inside their rectangle shrunk by a pixel all round.
bool InPanelButton(int x, int y, int panelX, int panelY, const eng::Rect& b) {
  return InClosed(x, y, panelX + b.x + 1, panelY + b.y + 1, b.w - 2, b.h - 2);
}

int RoundCell(double v) { return static_cast<int>(std::nearbyint(v)); }

// The ship in hand moved by (dx, dy) pixels, each way no further than keeps
// its ship cells on the grid.
void MoveWithinGrid(const TBattleField& own, int dx, int dy, int& sx, int& sy) {
  const int gx = own.OriginX, gy = own.OriginY;
  const TShipRecord& ship = own.Current;
  if (dx > 0) sx = std::min(sx + dx, gx + 256 - ship.BoundRight);
  if (dx < 0) sx = std::max(sx + dx, gx - ship.BoundLeft);
  if (dy > 0) sy = std::min(sy + dy, gy + 272 - ship.BoundBottom);
  if (dy < 0) sy = std::max(sy + dy, gy - ship.BoundTop);
}

}  // namespace

void TCommon::MouseDown(int x, int y, int button) {
  TBattleField& own = own_;
  // 1. A shot, or the ship in hand.
  if (BattlePhase) {
    ShootAt(x, y);
  } else if (own.ShipActive && !own.Dragging && InClosed(x, y, own.OriginX, own.OriginY, 256, 272) &&
             own.HitTestCurrentShip(static_cast<int16_t>(x - own.OriginX), static_cast<int16_t>(y - own.OriginY))) {
    if (button != eng::kMouseLeft) {
      // Any other button fixes the ship and takes the next one.
      const int slot = std::min<int>(ShipsChosen + 1, 10);
      // The panel is locked by the fleet's completion alone.
      if (!own.TakeNextShip(own.Slot(slot).Type))
        ShowFixFailed();
      else if (own.FixedCount < 10)
        AdvanceChooser();
    } else {
      own.DragAnchorX = x;
      own.DragAnchorY = y;
      own.Dragging = 1;
      own.Current.Alpha = 200;
    }
  }

  // 2. The placement panel.
  if (PanelTakesPresses() && InClosed(x, y, ChooserX, ChooserY, 250, 55)) {
    if (InPanelButton(x, y, ChooserX, ChooserY, NextShipButton)) PressNextShipButton();
    if (InPanelButton(x, y, ChooserX, ChooserY, AutoButton)) PressAutoButton();
    if (InPanelButton(x, y, ChooserX, ChooserY, ModifyButton) && ModifyEnabled) own.ModifyShip();
  }

  // 3. The menu, by the highlight the last move left, whatever the button.
  if (NewButton.Hover) {
    MouseX = -50;
    services_.host.RunFrameNow(50);
    services_.host.ShowNewGameDialog();
  } else if (OptionsButton.Hover) {
    MouseX = -50;
    services_.host.RunFrameNow(50);
    services_.host.ShowOptionsDialog();
  } else if (HelpButton.Hover) {
    MouseX = -50;
    services_.host.OpenHelp();
  }

  // 4. The chat's send button.
  if (SendButtonHover == 1) services_.host.SendChatLine();

  // 5. The window buttons.
  if (InClosed(x, y, CloseButton.x, CloseButton.y, CloseButton.w, CloseButton.h)) services_.host.CloseWindow();
  if (InClosed(x, y, FullScreenButton.x, FullScreenButton.y, FullScreenButton.w, FullScreenButton.h))
    services_.host.ToggleFullScreen();
  if (InClosed(x, y, MinimizeButton.x, MinimizeButton.y, MinimizeButton.w, MinimizeButton.h))
    services_.host.MinimizeWindow();
}

void TCommon::ShootAt(int x, int y) {
  OverlayShown = 0;  // any press removes the centre text
  // The shot rectangle is closed and one pixel short of the grid's edge.
  if (!InClosed(x, y, enemy_.OriginX, enemy_.OriginY, 255, 270)) return;
  // The frame stays on the cell shot last.
  AimX = (x - enemy_.OriginX) / CellSize + 1;
  AimY = (y - enemy_.OriginY) / CellSize + 1;
  enemy_.FireAtEnemyGrid(x - enemy_.OriginX, y - enemy_.OriginY);
}

bool TCommon::PanelTakesPresses() const { return !ChooserClosed && !ChooserShown && !ChooserLocked; }

void TCommon::PressNextShipButton() {
  TBattleField& own = own_;
  if (ShipsChosen == 0) ModifyFading = 1;
  // Past the tenth ship a press only fixes it. Fixing the tenth locks the
  // panel; a blocked one leaves it open, for the player to move it.
  if (ShipsChosen > 9) {
    if (!own.TakeNextShip(own.Slot(10).Type)) ShowFixFailed();
  } else if (own.TakeNextShip(own.Slot(ShipsChosen + 1).Type)) {
    AdvanceChooser();
  } else {
    ShowFixFailed();
  }
}

void TCommon::PressAutoButton() {
  TBattleField& own = own_;
  if (own.FlyingCount != 0 || own.AutoPlace()) return;
  // A blocked ship stopped it: the panel stays open and its next-ship
  // button goes on from the ships taken so far.
  ShowFixFailed();
  while (ShipsChosen < std::min<size_t>(own.FlightList.size(), 10)) AdvanceChooser();
}

void TCommon::ShowFixFailed() {
  SetStatus(2, W("Невозможно зафиксировать корабль"), true);
  BlinkStatus(2, true);
}

void TCommon::MouseMove(int x, int y) {
  TBattleField& own = own_;
  // 1. The grids.
  if (BattlePhase) {
    if (InClosed(x, y, enemy_.OriginX, enemy_.OriginY, 256, 269)) UpdateCursorShape();
  } else if (own.Dragging) {
    const int gx = own.OriginX, gy = own.OriginY;
    TShipRecord& ship = own.Current;
    int sx = ship.ScreenX, sy = ship.ScreenY;
    if (!InClosed(x, y, gx, gy, 256, 272)) {
      // Outside the grid the ship stays pinned to the side the pointer left.
      if (x > gx + 256) sx = gx + 256 - ship.BoundRight;
      if (x < gx) sx = gx - ship.BoundLeft;
      if (y > gy + 272) sy = gy + 272 - ship.BoundBottom;
      if (y < gy) sy = gy - ship.BoundTop;
    } else {
      // The pointer's whole movement since the anchor, however fast it moved.
      MoveWithinGrid(own, x - own.DragAnchorX, y - own.DragAnchorY, sx, sy);
      own.DragAnchorX = x;
      own.DragAnchorY = y;
    }
    PutShipInHand(sx, sy);
  }

  // 2. Menu hover: one button lit at most.
  struct Entry {
    TMenuButton* button;
    int image;
  };
  for (Entry e : {Entry{&NewButton, kMNewBtn}, Entry{&OptionsButton, kMOptionsBtn}, Entry{&HelpButton, kMHelpBtn}}) {
    TMenuButton& b = *e.button;
    if (InOpen(x, y, MenuX + b.x, MenuY + b.y, b.w, b.h)) {
      if (!b.Hover) HighlightMenuButton(b, e.image);
    } else if (b.Hover) {
      ClearMenuHighlights();
    }
  }

  // 3. The chat's send button, and the list of the game's lines.
  if (ChatShown) SendButtonHover = InOpen(x, y, SendButton.x, SendButton.y, SendButton.w, SendButton.h) ? 1 : 0;
  const eng::Rect& strip = ChatLineStrip;
  ChatListShown = ChatShown && x >= strip.x && x < strip.Right() && y >= strip.y && y < strip.Bottom() ? 1 : 0;

  // 4. The navigator rays under the pointer.
  enemy_.HoverNavigatorRays(x, y, false);
}

void TCommon::PutShipInHand(int sx, int sy) {
  TBattleField& own = own_;
  TShipRecord& ship = own.Current;
  ship.ScreenX = sx;
  ship.ScreenY = sy;
  own.EraseCurrentShip();
  const int column = RoundCell((sx - own.OriginX) / 16.0) + 1, row = RoundCell((sy - own.OriginY) / 16.0) + 1;
  own.MoveCurrentShip(static_cast<int8_t>(column), static_cast<int8_t>(row));
  own.DrawCurrentShip(false);
  TintTest(column, row);
}

void TCommon::MoveShipByCell(int dx, int dy) {
  TBattleField& own = own_;
  // Only a ship that may be dragged moves, and not while it is.
  if (BattlePhase || !own.ShipActive || own.Dragging) return;
  TShipRecord& ship = own.Current;
  int sx = ship.ScreenX, sy = ship.ScreenY;
  MoveWithinGrid(own, dx * CellSize, dy * CellSize, sx, sy);
  PutShipInHand(sx, sy);
  // It rests on its cell, as a dragged ship does once let go.
  ship.ScreenX = own.OriginX + CellSize * (ship.X - 1);
  ship.ScreenY = own.OriginY + CellSize * (ship.Y - 1);
}

void TCommon::MouseUp(int, int) {
  TBattleField& own = own_;
  if (!own.Dragging) return;
  TShipRecord& ship = own.Current;
  own.EraseCurrentShip();
  const int column = RoundCell((ship.ScreenX - own.OriginX) / 16.0) + 1;
  const int row = RoundCell((ship.ScreenY - own.OriginY) / 16.0) + 1;
  own.MoveCurrentShip(static_cast<int8_t>(column), static_cast<int8_t>(row));
  ship.Alpha = 255;
  ship.ScreenX = own.OriginX + 16 * (ship.X - 1);
  ship.ScreenY = own.OriginY + 16 * (ship.Y - 1);
  own.DrawCurrentShip(false);
  own.Dragging = 0;
}

void TCommon::TintTest(int column, int row) {
  TBattleField& own = own_;
  TShipRecord& ship = own.Current;
  if (own.CheckSpacing(static_cast<int8_t>(column), static_cast<int8_t>(row))) {
    if (!own.InvalidShown) return;
    own.SetShapeValidity(false);
    own.InvalidShown = 0;
    ship.Image = ship.ImageBackup;
  } else {
    if (own.InvalidShown) return;
    own.SetShapeValidity(true);
    own.InvalidShown = 1;
    ship.ImageBackup = ship.Image;
    ship.Image.ToGrey();
  }
  DragSurface.LoadFromPicture(ship.Image);
}
