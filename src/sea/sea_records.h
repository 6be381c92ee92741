// The records a sea grid keeps: ships, ships sliding in, running effects,
// navigator rays, the sunk-ship meter and the computer's working state.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/picture.h"
#include "engine/surface.h"
#include "sea/ship_shapes.h"

// A cell of the grid as the lists of cells hold it.
struct TCellPoint {
  int32_t x = 0;
  int32_t y = 0;
  constexpr bool operator==(const TCellPoint&) const = default;
};

// One ship. The first nine fields, one byte each and in this order, are what
// the fleet message carries of a ship.
struct TShipRecord {
  uint8_t Type = 0;     // 1..4, also the number of ship cells
  uint8_t Group = 0;    // rotation group of the shape
  uint8_t Variant = 0;  // shape number within the type, from 1
  uint8_t Ordinal = 0;  // number within its type in the fleet; 0 for the ship in hand
  uint8_t Placed = 0;   // 1 once fixed on the grid
  int8_t X = 0;         // grid cell of Shape[0][0]; -2..16
  int8_t Y = 0;         // -2..17
  uint8_t Hits = 0;
  uint8_t Sunk = 0;  // 1 once Hits reached Type

  eng::Picture Image;        // the ship with its ring, 16n pixels square (ship in hand only)
  eng::Picture ImageBackup;  // the true colours while Image is shown in greys
  int32_t ScreenX = 0;       // screen position of Image
  int32_t ScreenY = 0;
  // Pixel box of the ship cells inside Image.
  uint16_t BoundLeft = 0;
  uint16_t BoundTop = 0;
  uint16_t BoundRight = 0;
  uint16_t BoundBottom = 0;
  int32_t Alpha = 255;  // 200 while dragged
  // [row][col]; element [r][c] lies on grid cell (X + c, Y + r). Only the
  // n x n corner is used, n = Type + 2.
  uint8_t Shape[kMaxShapeSize][kMaxShapeSize] = {};

  int ShapeSize() const { return Type >= 1 && Type <= kMaxShipType ? Type + 2 : 0; }
  void ClearShape() {
    for (auto& row : Shape)
      for (uint8_t& v : row) v = 0;
  }
};

// A ship sliding into the grid after it was taken.
struct TFlight {
  float FlyX = 0;  // picture position inside the grid; FlyY moves
  float FlyY = 0;
  int32_t TargetCellX = 0;  // the ship's X, Y
  int32_t TargetCellY = 0;
  int32_t TargetX = 0;  // 16(X - 1), 16(Y - 1)
  int32_t TargetY = 0;
  int8_t FlyDir = 0;  // -1 moving up, +1 moving down
  eng::Surface FlySurface;
  uint8_t Flying = 0;        // 1 until the ship has arrived
  uint8_t FixOnArrival = 0;  // the ship was fixed while still moving
  TShipRecord FlyShip;       // the ship in hand as it was taken
  int32_t FlyIndex = 0;      // place in the list, from 1
};

// A splash, explosion, falling bomb or bonus label running on a grid.
struct TEffect {
  uint8_t Done = 0;
  int32_t Index = 0;  // position in its list, from 0 (wide: a list may outgrow a byte)
  uint8_t Released = 0;  // no longer holds up the game
  int32_t CellX = 0;
  int32_t CellY = 0;
  int32_t PixelX = 0;  // drawing position inside the grid picture
  int32_t PixelY = 0;
  std::string SoundName;  // played when an explosion starts; empty for none
  int8_t Drift = 0;       // a label drifts up (+1) or down (-1)
  double Progress = 0;    // ring radius, explosion frame, bomb fall frame, label drift
  double ProgressBefore = 0;
  double Fade = 0;  // a label's opacity
  uint8_t BombKindOfEffect = 0;
  uint8_t LabelKind = 0;
  double DelayClock = 0;  // explosions wait Delay x 100 ms before starting
  double Delay = 0;
  uint8_t Started = 0;
  // A penalty label of a network game: the cells its rockets will strike,
  // drawn when it was found so both sides strike the same ones.
  std::vector<TCellPoint> PenaltyTargets;
};

// The strip from an opened navigator to the edge it points at, darkened
// while the pointer rests on it.
struct TNavigatorRay {
  uint8_t RayShown = 0;
  int32_t LineX1 = 0;  // the tick across the strip's end, in the ray picture
  int32_t LineY1 = 0;
  int32_t LineX2 = 0;
  int32_t LineY2 = 0;
  int32_t RayLeft = 0;  // screen rectangle
  int32_t RayTop = 0;
  int32_t RayRight = 0;
  int32_t RayBottom = 0;
  eng::Surface RaySurface;
};

// The meter of sunk ships beside the grid.
struct TSunkMeter {
  uint8_t MeterTarget = 0;
  uint8_t MeterValue = 0;
  float MeterLevel = 0;
  float MeterLevelBefore = 0;
  uint8_t MeterRunning = 0;
};

// A cell the computer keeps firing around.
struct TLead {
  uint8_t Active = 0;
  int32_t X = 0;
  int32_t Y = 0;
};

// The hard computer's rating of one candidate cell.
struct TargetScore {
  int32_t x = 0;
  int32_t y = 0;
  double score = 0;        // -2.0: ruled out
  uint8_t nextToHit = 0;   // a damaged ship part was counted beside the cell
  int32_t hitX = 0;        // that damaged neighbour
  int32_t hitY = 0;
};
