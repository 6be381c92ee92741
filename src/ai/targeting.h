// The computer's lead machinery of the easy and normal levels: following a
// hit ship in all eight directions, and the ring hints that opened water
// shows beside a ship. All of it works on the grid under attack and sets
// its Target.
#pragma once

#include "sea/sea_records.h"

class TBattleField;

// The leads of an opened ring cell.
inline constexpr int kSideRingLead = 1;
inline constexpr int kCornerRingLead = 2;

// Moves a lead to Target when the cell holds a ship part or a ring.
void NoteTargetContent(TBattleField& grid);
// A damaged ship part with a closed neighbour, scanned from a random end of
// the grid, becomes the HitLead cell.
bool FindHitLead(TBattleField& grid);
// Aims at a random closed neighbour of HitLead; switches the lead off and
// returns false when it has none.
bool FireAroundHitLead(TBattleField& grid);
// An opened side ring not yet explained by a sunk ship (kind 1), or an
// opened corner ring away from sunk ships (kind 2), becomes the lead.
bool FindRingLead(TBattleField& grid, int kind);
// A sunk ship part shares a side with the ring cell.
bool SideRingSettled(const TBattleField& grid, int x, int y);
// Aim at a random closed side (corner) neighbour of the lead. False, with
// the lead switched off and Target unchanged, when no such neighbour is
// left: the lead can show nothing more.
bool FireAroundSideLead(TBattleField& grid);
bool FireAroundCornerLead(TBattleField& grid);
// No opened neighbour rules a ship out of the cell.
bool MayHoldShip(const TBattleField& grid, int x, int y);
// From a random candidate on, the first one that may hold a ship.
bool ScanCandidates(TBattleField& grid);
// Target := a random candidate. With no candidate left, a random closed
// cell never shot stands in; false when there is none either. No lead is
// touched.
bool PickRandomCell(TBattleField& grid);
// The same, and a lead follows what lies in the cell.
bool TakeRandomCandidate(TBattleField& grid);
// The strategies of levels 1 and 2; false when no cell is left to aim at.
bool ChooseEasyTarget(TBattleField& grid);
bool ChooseNormalTarget(TBattleField& grid);
// ChooseTarget, telling whether a cell was found: false, with Target
// unchanged, when no closed cell is left to aim at.
bool FindTarget(TBattleField& grid, int level);
