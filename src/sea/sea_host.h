// What a sea grid asks of the screen interface that owns the turn flags.
#pragma once

class SeaHost {
 public:
  virtual ~SeaHost() = default;
  // Clears the turn flags at the start of a placement.
  virtual void ResetTurnState() = 0;
};
