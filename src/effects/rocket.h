// Rockets: shots that come from the other side of the screen fly as sprites
// from the shooter's grid to the target cell and are resolved on arrival.
#pragma once
#include <cstdint>

#include "engine/sprite_engine.h"
#include "sea/sea_records.h"

class TBattleField;
class TCommon;

class TRocket : public eng::ImageSprite {
 public:
  TRocket(TCommon& common, TBattleField& target, TCellPoint cell, double delay, bool collateral, int divisor);

  void DoMove(int lagCount) override;

  TBattleField& TargetGrid;
  TCellPoint TargetCell;
  int32_t TargetX;        // screen x of the arrival line
  uint8_t Collateral;     // passed to Shoot on arrival
  int32_t FlightClock = 0;  // milliseconds spent accelerating
  float Divisor;          // 150..399: a smaller one makes a faster rocket
  float Delay;            // length of the launch phase, in launch-clock units
  float LaunchClock = 0;  // 0.03 a millisecond while launching
  uint8_t Incoming = 0;   // a shot of the other player over the network

 private:
  TCommon& common_;
};

// Kind 1 flies from the enemy grid to the own grid, kind 2 the other way.
// The rocket, or null when nothing can fly (no sprites).
TRocket* LaunchRocket(TCommon& common, int kind, TCellPoint cell, double delay, bool collateral);
