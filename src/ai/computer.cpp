#include "ai/computer.h"

#include "ai/hard_level.h"
#include "ai/targeting.h"
#include "effects/rocket.h"
#include "sea/battle_field.h"
#include "ui/common.h"

bool FindTarget(TBattleField& grid, int level) {
  switch (level) {
    case 0: return PickRandomCell(grid);  // very easy: any candidate, no leads
    case 1: return ChooseEasyTarget(grid);
    case 2: return ChooseNormalTarget(grid);
    default:  // hard
      return ScoreCandidates(grid) || PickRandomCell(grid);
  }
}

void ChooseTarget(TBattleField& grid, int level) { FindTarget(grid, level); }

void ComputerTurnStep(TBattleField& grid, TCommon& common) {
  // Nothing may be in flight on either grid: the computer waits for every
  // rocket, explosion and falling bomb, and for the start of every splash
  // and label. It also waits for the closed quarters to land on the own
  // grid: until then the fleet lies open, and a player on its side could
  // not see it either.
  if (common.BattlePhase != 1 || common.ComputerMovePending != 1 || common.AnimationsInFlight != 0 ||
      common.Settings.GameMode != 1 || !grid.CellsClosed)
    return;
  const int level = common.Settings.PlayedLevel();
  if (grid.BombArmed) {
    // The bomb the computer found falls on the cell it picks; the landing
    // passes the turn, so the move stays pending until then.
    if (!FindTarget(grid, level)) {
      common.ComputerMovePending = 0;
      return;
    }
    grid.BombArmed = 0;
    grid.AddEffect(grid.BombList, grid.BombKind, "", 0, grid.Target);
    return;
  }
  common.ComputerMovePending = 0;
  if (!FindTarget(grid, level)) return;  // no closed cell left to shoot at
  // Half of the rockets wait a moment before they leave.
  const int r = grid.Random().Random(10);
  const int delay = r >= 5 ? grid.Random().Random(7) + 1 : 0;
  LaunchRocket(common, 1, grid.Target, delay, false);
}
