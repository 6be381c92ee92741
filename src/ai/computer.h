// The computer opponent: when it acts, and how it picks the cell to shoot
// at each level (0 very easy, 1 easy, 2 normal, 3 hard).
#pragma once

class TBattleField;
class TCommon;

// Once a frame, with the own grid: acts when it is the computer's move,
// nothing is in flight and the own cells are closed for battle.
void ComputerTurnStep(TBattleField& grid, TCommon& common);
// Sets the grid's Target by the level's strategy; a level past 3 plays hard.
void ChooseTarget(TBattleField& grid, int level);
