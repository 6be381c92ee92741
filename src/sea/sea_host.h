// What a sea grid asks of the screen interface that owns the turn flags,
// the placement panel and the picture of the ship being dragged.
#pragma once

#include "engine/picture.h"

class TCommon;

class SeaHost {
 public:
  virtual ~SeaHost() = default;
  // Clears the turn flags at the start of a placement.
  virtual void ResetTurnState() = 0;

  // The ship in hand was built anew (a new ship, another shape or a turn):
  // the picture dragged over the own grid is reloaded from its image. The
  // enemy grid builds ships too while it lays out the computer's fleet, when
  // nothing is being dragged.
  virtual void ReloadDragPicture(const eng::Picture& image) = 0;

  // The ship in hand took another shape and stands at cell (x, y): test
  // whether it may stand there and show its picture in greys or in its
  // colours accordingly, as after a drag step.
  virtual void RetintCurrentShip(int x, int y) = 0;

  // The own fleet of ten is fixed, and the own grid has already hidden its
  // bonuses and navigators. The interface locks the placement panel and sends
  // it away, then starts the battle: against the computer the closed own grid
  // flies in, the enemy grid lays out, seeds and closes the computer's fleet
  // and the player gets the first shot; against a remote player the own fleet
  // is sent with its cells closed, the grid flies in, and the battle starts
  // once the opponent's fleet is here.
  virtual void OwnFleetComplete() = 0;

  // The screen interface itself, for the battle: turn flags, status lines,
  // score, sounds, rockets and the other grid. Placement needs none of it.
  virtual TCommon* Common() { return nullptr; }
};
