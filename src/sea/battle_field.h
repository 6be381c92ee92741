// One player's sea: the 16 x 17 cells in two planes, the fleet, the ship in
// hand, the lists the computer draws its targets from and the effects that
// run on the grid. The game holds two for its whole run, the own grid (Id 1)
// and the enemy grid (Id 2).
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "engine/image_list.h"
#include "engine/picture.h"
#include "engine/random.h"
#include "engine/surface.h"
#include "sea/sea_cell.h"
#include "sea/sea_host.h"
#include "sea/sea_records.h"

inline constexpr int kFleetSize = 10;

class TBattleField {
 public:
  // Every random choice of the grid comes from the one program-wide
  // generator, so a seed reproduces a game.
  TBattleField(eng::ImageList& images, eng::RandomSource& random, SeaHost& host);
  TBattleField(const TBattleField&) = delete;
  TBattleField& operator=(const TBattleField&) = delete;

  // --- Identity and the pictures of the grid ---
  uint8_t Id = 0;  // 1 own grid, 2 enemy grid
  int32_t OriginX = 0;  // screen position of the grid's top-left pixel
  int32_t OriginY = 0;
  // All cells, 256 x 272; made when the display starts. Until then nothing
  // is drawn into it.
  eng::Surface GridSurface;
  // GridSurface plus the running effects, composed each frame while effects run.
  eng::Surface EffectSurface;
  // Where the two surfaces are kept while the display is gone: the surfaces
  // are caches, these hold the look.
  eng::Picture GridPicture;
  eng::Picture EffectPicture;

  // --- Cells ---
  TCellPlane TrueCells;   // what really lies in each cell
  TCellPlane ShownCells;  // what the grid picture shows

  // --- Fleet and placement ---
  TShipRecord Current;  // the ship in hand
  // Slot 1 type 4; 2-3 type 3; 4-6 type 2; 7-10 type 1.
  std::array<TShipRecord, kFleetSize> Fleet;
  TShipRecord& Slot(int k);  // k = 1..10
  const TShipRecord& Slot(int k) const;
  uint8_t FlightStarted = 0;  // a ship has been taken in this game
  uint8_t FlyingCount = 0;    // ships still sliding into place
  std::vector<TFlight> FlightList;
  uint8_t FixedCount = 0;
  uint8_t AutoUsed = 0;     // automatic placement was used
  uint8_t CellsClosed = 0;  // 0 from the start of a placement until the cells are closed for battle
  uint8_t SunkCount = 0;
  int32_t DragAnchorX = 0;  // pointer at the last drag step
  int32_t DragAnchorY = 0;
  uint8_t Dragging = 0;
  uint8_t ShipActive = 0;    // the ship in hand has landed and may be moved
  uint8_t InvalidShown = 0;  // the ship's picture shows in greys
  // Random places tried for one of the computer's ships before its whole
  // layout begins again.
  int EnemyPlaceAttempts = 2000;
  int32_t ClickX = 0;        // last cell clicked on this grid
  int32_t ClickY = 0;

  // --- Shots ---
  std::vector<TCellPoint> Unshot;  // cells never shot
  int16_t UnshotCount = 0;
  std::vector<TCellPoint> Candidates;  // cells the computer may still choose
  int16_t CandidateCount = 0;
  uint8_t ExtraShots = 0;  // guaranteed further shots of the side firing here
  uint8_t HitStreak = 0;   // consecutive hits by ordinary shots; lives across games
  uint8_t BombArmed = 0;   // the next shot at this grid is a bomb
  uint8_t BombKind = 0;    // 4 X, 5 plus, 6 square

  // --- Effects ---
  std::vector<TEffect> SplashList;
  std::vector<TEffect> ExplosionList;
  std::vector<TEffect> BombList;
  std::vector<TEffect> LabelList;
  uint8_t SplashCount = 0;  // records in each list still running
  uint8_t ExplosionCount = 0;
  uint8_t BombCount = 0;
  uint8_t LabelCount = 0;
  int16_t EffectCount = 0;  // effects and rockets still running on this grid
  uint8_t RaysShown = 0;
  std::vector<TNavigatorRay> RayList;
  TSunkMeter SunkMeter;

  // --- The computer's state against this grid ---
  TCellPoint Target;  // cell chosen for the next shot
  TLead HitLead;      // a hit ship part whose neighbours are fired at
  TLead SideLead;     // an opened side-ring cell
  TLead CornerLead;   // an opened corner-ring cell
  std::vector<TargetScore> TargetScores;

  // Empties the grid for a new game: closed water, fresh fleet table, full
  // target lists, no effects. HitStreak carries over.
  void Reset();
  // Ends every splash, explosion, falling bomb and label on the grid at
  // once; nothing of them is drawn, detonated or released any more.
  void ClearEffects();
  // A rocket or an effect on this grid has ended. The count never goes
  // below 0, so an end that has already been counted cannot unbalance it.
  void EffectEnded() {
    if (EffectCount > 0) --EffectCount;
  }
  // Reset, clear the turn flags and open every cell as water, so the fleet
  // shows while it is built.
  void OpenForPlacement(bool redraw);
  // Closes every cell of both planes and forgets what was known free; codes stay.
  void CloseAllCells(bool redraw);
  void SetShownCode(int x, int y, bool redraw, uint8_t code);
  // Draws cell (x, y) of ShownCells onto GridSurface.
  void DrawCell(int x, int y);
  void DrawAllCells();

  // Removes every entry equal to the point, keeping the order of the rest;
  // the count follows the list.
  static void RemoveFromList(TCellPoint point, std::vector<TCellPoint>& list, int16_t& count);

  // --- The placement rules and the ship in hand (placement.cpp) ---
  // A fresh ship of the type in hand, centred, with an empty shape.
  void NewCurrentShip(uint8_t type);
  // Gives the ship in hand a shape variant of its type, with its picture.
  void BuildShip(uint8_t variant);
  // Every ship cell lands inside the grid with the shape's corner on (x, y).
  bool CheckInside(int x, int y) const;
  // No ship cell at (x, y) lies on or beside a cell of a fixed ship.
  bool CheckSpacing(int x, int y) const;
  // Marks the ship cells of the ship in hand as blocked or allowed.
  void SetShapeValidity(bool blocked);
  // Shows the ship in hand, with its ring, in ShownCells.
  void DrawCurrentShip(bool redraw);
  // The same for a stored ship standing in for the ship in hand: a ship
  // fixed while it slid in is drawn from its flight record.
  void DrawCurrentShip(TShipRecord& ship, bool redraw);
  // Shows again what TrueCells holds under the ship in hand.
  void EraseCurrentShip();
  void MoveCurrentShip(int x, int y);
  // Whether pixel (a, b) of the grid lies on the ship in hand or its ring.
  bool HitTestCurrentShip(int a, int b) const;
  // Fixes the ship in hand and brings a ship of the type onto the grid;
  // false, with nothing changed, when the ship in hand may not be fixed.
  bool TakeNextShip(uint8_t type);
  // The order in which a new ship's position is sought from the random
  // start (x0, y0): forward to the bottom, then backward to the top, every
  // other column.
  static std::vector<TCellPoint> PositionSearchOrder(int x0, int y0);
  // One frame of the ships sliding into place, drawn onto the back surface.
  void SlideInStep(eng::Surface& back, int lagCount);

  // --- Editing the placement (placement_editing.cpp) ---
  // Writes the ship in hand into both planes and the fleet; the tenth ship
  // of the own grid starts the battle.
  void FixCurrentShip();
  // Own grid: takes and fixes every remaining ship; false when a blocked
  // ship stopped it. Enemy grid: lays out the computer's whole fleet.
  bool AutoPlace();
  // The next shape variant of the type.
  void ModifyShip();
  // The next shape of the rotation group.
  void RotateShip();
  // Rebuilds the ship in hand after its variant changed, keeping its place.
  void RebuildCurrentShip();
  // Pulls the ship in hand back inside the grid.
  void ClampCurrentShip();

  // --- Hidden items, once the fleet is complete (seeding.cpp) ---
  void PlaceBonuses();
  // Puts the code into as many random water cells as asked for, or as are left.
  void PlaceRandomCode(uint8_t code, uint8_t count);
  void PlaceNavigators();

  // --- Shots: every shot, rocket cell and bomb cell ends here (shot_resolution.cpp) ---
  void Shoot(TCellPoint point, bool collateral);
  void OpenShotCell(TCellPoint point);
  // Gives a missed cell the ring code of a ship beside it; false when none.
  bool ShowHintFromNeighbours(int x, int y);
  void MarkKnownFree(TCellPoint point);
  void ClearKnownFree(int x, int y);
  void RegisterHit(TCellPoint point);
  void SinkShip(TShipRecord& ship);
  void MarkAroundSunk(int x, int y);
  void PlayHitSound();

  // --- Bombs (weapons.cpp) ---
  // The player's press at pixel (a, b) of the enemy grid.
  void FireAtEnemyGrid(int a, int b);
  // A bomb of the kind (4 X, 5 plus, 6 square) lands on (x, y).
  void ApplyBomb(int x, int y, uint8_t kind);
  void BombCell(int x, int y);

  // --- Effects, bonuses and navigators (bonuses.cpp) ---
  // Starts a splash (0), explosion (1), falling bomb or bonus label (4..16)
  // on the cell, with the bonus's side effects.
  void AddEffect(std::vector<TEffect>& list, uint8_t kind, const std::string& soundName, double delay,
                 TCellPoint cell);
  // A penalty label of kind 12..16 on this grid has faded: its rockets fly
  // at the finder's own grid, the other one: at the cells chosen when it was
  // found (a network game), else at cells drawn now.
  void LaunchPenaltyRockets(uint8_t kind, const std::vector<TCellPoint>& chosen = {});
  // The cells the penalty found at the cell will strike in a network game:
  // drawn from the finder's unshot cells by a generator both sides seed
  // alike, so both copies of the finder's grid take the same rockets.
  std::vector<TCellPoint> SharedPenaltyTargets(uint8_t kind, TCellPoint cell) const;
  void PruneByNavigator(TCellPoint cell, uint8_t code);
  void RecheckNavigators(TCellPoint cell);
  void AddNavigatorRay(TCellPoint cell);
  void HoverNavigatorRays(int px, int py, bool force);

  // --- The end of a game (end_of_game.cpp) ---
  void StartSunkMeter(uint8_t count);
  // The tenth ship of this grid has sunk.
  void GameOver();
  // Shows where the ships stand that were never hit: each of their cells
  // still closed gets the not-found look. Returns how many cells it showed.
  int RevealSurvivors();

  eng::ImageList& Images() { return images_; }
  eng::RandomSource& Random() { return random_; }
  SeaHost& Host() { return host_; }

 private:
  void DrawImage(int index, int pattern, int x, int y);
  // Opens every cell of both planes as water.
  void OpenAllCells();
  bool ShipInside(const TShipRecord& ship, int x, int y) const;
  bool ShipSpaced(const TShipRecord& ship, int x, int y) const;
  // Lays out the computer's fleet once; false when a ship found no place.
  bool TryEnemyLayout();
  // The navigator passes (seeding.cpp).
  void PlaceRowNavigators(bool pointRight);
  void PlaceColumnNavigators(bool pointUp);
  int ShipCellsToward(int x, int y, int dx, int dy) const;

  eng::ImageList& images_;
  eng::RandomSource& random_;
  SeaHost& host_;
};
