// The painter of each built-in picture. Each paints onto a transparent
// canvas of exactly its table size; PaintPictures() turns the canvas into
// the item's picture with the item's colour key.
#pragma once
#include "assets/paint_kit.h"

namespace assets::painters {

using paint::Canvas;

// pictures_cells.cpp: the sea cells and the navigators.
void CloseCell(Canvas& c);
void OpenCell(Canvas& c);
void MarkedCell(Canvas& c);
void DamShipCell(Canvas& c);
void BlackShipCell(Canvas& c);
void DestrShipCell(Canvas& c);
void RedShipCell(Canvas& c);
void RFixShipCell(Canvas& c);
void Hint1Cell(Canvas& c);
void Hint2Cell(Canvas& c);
void CloseCellDark(Canvas& c);
void NotFoundCell(Canvas& c);
void Navigators(Canvas& c);

// pictures_effects.cpp: bombs, cursor, rockets, explosion, bonus icons, meter.
void SQBomb(Canvas& c);
void PBomb(Canvas& c);
void XBomb(Canvas& c);
void Cursor(Canvas& c);
void Rocket(Canvas& c);
void Rocket2(Canvas& c);
void Explosion(Canvas& c);
void Bonuses(Canvas& c);
void Counter(Canvas& c);

// pictures_panels.cpp: the placement panel, menu, status panel, score board,
// window and send buttons, and the grid frame bars.
void ButtonBlock(Canvas& c);
void SCblock(Canvas& c);
void SCmodif(Canvas& c);
void MenuBlock(Canvas& c);
void MNewBtn(Canvas& c);
void MOptionsBtn(Canvas& c);
void MHelpBtn(Canvas& c);
void StatusBlock(Canvas& c);
void ScoreTable(Canvas& c);
void CloseBtn(Canvas& c);
void SendBtn(Canvas& c);
void MainBlockTop(Canvas& c);
void MainBlockLeft(Canvas& c);
void MainBlockBottom(Canvas& c);
void MainBlockRight(Canvas& c);

// pictures_scenes.cpp: the big pictures.
void Background(Canvas& c);
void Logo(Canvas& c);

}  // namespace assets::painters
