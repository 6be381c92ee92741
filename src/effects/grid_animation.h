// Per-frame steps that draw over the grids: the sunk-ship meters, the
// navigator rays of the enemy grid and the bonus icons beside the cursor.
#pragma once

#include "engine/surface.h"

class TBattleField;
class TCommon;

// Grows the grid's sunk-ship meter on the strip between the grids.
void MeterStep(TBattleField& grid, eng::Surface& counter, int lagCount);
// Draws the highlighted navigator rays while no effect runs on the grid.
void DrawShownRays(TBattleField& grid, eng::Surface& back);
// The pending extra shots and the armed bomb beside the aiming cursor.
void DrawCursorIcons(TBattleField& grid, TCommon& common, eng::Surface& back);
// The colour of meter line l (from 1, bottom first): a rainbow from red
// through yellow, green, cyan, blue and magenta back to red.
eng::Color MeterColour(int line);
