// TCommon: the single screen-interface object. It holds the turn flags the
// grids, the computer and the network share, the settings, the panels with
// the pictures they are rebuilt from, the status lines, the score, the
// overlay texts and the flying pieces of the own grid.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "engine/clock.h"
#include "engine/image_list.h"
#include "engine/picture.h"
#include "engine/random.h"
#include "engine/sound.h"
#include "engine/sprite_engine.h"
#include "engine/surface.h"
#include "sea/fleet_check.h"
#include "sea/sea_host.h"
#include "settings/settings_record.h"
#include "ui/chat_log.h"
#include "ui/ui_host.h"

class TBattleField;

// Everything the interface draws with or plays through, owned by the main window.
struct UiServices {
  eng::ImageList& images;
  eng::WaveList& waves;
  eng::SoundDevice& sound;
  eng::RandomSource& random;
  eng::Clock& clock;
  UiHost& host;
  std::string settingsPath;  // where config.opt lives
  eng::SpriteEngine* sprites = nullptr;  // the rockets fly here
};

// A button of the menu block: position inside the block, size, and whether
// the pointer is over it.
struct TMenuButton {
  int x = 0, y = 0, w = 0, h = 0;
  uint8_t Hover = 0;
};

// A shot (code 1) or bomb (2 X, 3 plus, 4 square) of the other player at a
// cell of the own grid, waiting for its turn to be resolved.
struct TIncomingShot {
  TCellPoint cell;
  uint8_t code = 1;
};

// A quarter of the own grid flying out (shatter) or in (assemble).
struct TPiece {
  float x = 0, y = 0;  // top-left corner on the screen
  int8_t dx = 0, dy = 0;
  int32_t targetX = 0, targetY = 0;  // landing corner (assemble only)
  eng::Surface surface;
  uint8_t active = 0;
};

class TCommon : public SeaHost {
 public:
  TCommon(UiServices services, TBattleField& ownGrid, TBattleField& enemyGrid);
  TCommon(const TCommon&) = delete;
  TCommon& operator=(const TCommon&) = delete;

  // --- Turn state, shared with the grids, the computer and the network ---
  uint8_t BattlePhase = 0;          // presses on the enemy grid are shots
  uint8_t ComputerMovePending = 0;  // the computer's shot is due
  uint8_t LocalTurn = 0;            // the local player may shoot now
  int16_t AnimationsInFlight = 0;   // rockets and shot animations under way
  // A rocket or an effect no longer holds up play; the count never goes
  // below 0.
  void AnimationEnded() {
    if (AnimationsInFlight > 0) --AnimationsInFlight;
  }

  // --- Settings (config.opt) ---
  alignas(4) SettingsRecord Settings;  // aligned, so its 32-bit volume is too
  void LoadSettings();
  void SaveSettings();

  // --- The pointer as the game draws it ---
  int MouseX = 0, MouseY = 0;  // MouseX -50 hides the software cursor
  uint8_t CursorPattern = 0;   // 1 aiming, 0 waiting

  // --- Logo ---
  uint8_t LogoShown = 1;
  uint8_t AnyInput = 0;  // a key or a press ends the logo
  float LogoClock = 0;

  // --- Panels: each surface with the picture it is rebuilt from ---
  eng::Surface CounterSurface, ChooserSurface, MenuSurface, StatusSurface, ScoreSurface;
  eng::Picture CounterPicture, ChooserPicture, MenuPicture, StatusPicture, ScorePicture;
  eng::Surface DragSurface;  // the picture of the ship in hand

  // --- Placement panel ---
  uint8_t ChooserShown = 0;    // sliding in or out
  uint8_t ChooserClosed = 1;   // not at its open rest position
  uint8_t ChooserBehind = 1;   // drawn beneath the grids
  uint8_t ChooserClosing = 0;  // to slide out
  uint8_t ChooserLocked = 0;   // presses on the panel are ignored
  int ChooserX = 195, ChooserY = 308;
  float ChooserSlide = 0;  // pixels slid in the current phase
  uint8_t ShipsChosen = 0;
  eng::Rect NextShipButton{38, 11, 66, 23};
  eng::Rect ModifyButton{110, 11, 32, 23};
  eng::Rect AutoButton{148, 11, 66, 23};
  uint8_t ModifyEnabled = 0;
  float NextShipFade = 0.6f, AutoFade = 0.6f, ModifyFade = 0.6f;
  uint8_t NextShipFading = 0, AutoFading = 0, ModifyFading = 0;
  eng::Picture SCblockCopy, SCmodifCopy;  // sources of the fades

  // --- Menu block ---
  int MenuX = 170, MenuY = 10, MenuWidth = 0, MenuHeight = 0;
  TMenuButton NewButton, OptionsButton, HelpButton;

  // --- Frame bars: top, left, bottom, right of each grid ---
  std::array<eng::Rect, 4> OwnFrame{}, EnemyFrame{};

  // --- Window buttons ---
  eng::Rect CloseButton, FullScreenButton, MinimizeButton;

  // --- Status panel ---
  std::array<std::string, 3> StatusLine;  // Windows-1251
  std::string StatusSaved;
  uint8_t Blinking = 0, BlinkShown = 0, BlinkCount = 0, BlinkLimit = 0, BlinkRestore = 0;
  // The tick count of the last change. Kept whole and compared by its
  // difference, which stays right across the count's wrap after 49.7 days.
  uint32_t BlinkTick = 0;
  std::string BlinkText;

  // --- Score board ---
  uint8_t ScoreLeft = 0, ScoreRight = 0;
  std::string ScoreText = "0:0";
  int ScoreTextX = 0, ScoreTextY = 0;
  uint8_t ScoreRolling = 0, ScoreSide = 1;
  std::string RollOld, RollNew, RollKept;  // the leaving number, the arriving one, the part that stays
  int RollOldX = 0, RollNewX = 0, RollKeptX = 0, RollKeptY = 0;
  float RollOldY = 0, RollNewY = 0;

  // --- The end of a lost game ---
  // Set when the own fleet is sunk: once the fireworks over the own grid
  // are over, the enemy grid shows the ships that were never found. The
  // look stays until the next game begins.
  uint8_t RevealPending = 0;
  void RevealStep();

  // --- Overlay and chat ---
  uint8_t OverlayShown = 0;
  std::string OverlayText;
  uint8_t ChatShown = 0;
  std::string ChatLine;
  eng::Rect SendButton{470, 441, 33, 23};
  uint8_t SendButtonHover = 0;
  // The lines sent in this run, the lines of this game and the last one
  // received.
  TChatLog ChatLog;
  // A line sent or received: it becomes the chat line and joins the game's.
  void ShowChatLine(const std::string& line, bool received);
  // The strip of the chat line below the edit; while the pointer rests on
  // it, the game's lines are listed above the edit.
  eng::Rect ChatLineStrip{24, 464, 441, 16};
  uint8_t ChatListShown = 0;
  void DrawChatList(eng::Surface& back);

  // --- Network game ---
  uint8_t RemoteFleetReceived = 0, LocalFleetReady = 0;
  std::string OpponentName;
  uint8_t LocalPlayerNumber = 0;  // 1 created the session, 2 joined it
  std::string SessionPlayerName;
  uint8_t SessionRole = 0;
  // A fleet that came while this game already had one (the other side began
  // its next game first), taken up by the next game start.
  std::optional<TFleetRecord> NextRemoteFleet;
  // The other side's shots and bombs in the order they came. One at a time
  // flies or falls, and each counts only if it is still that side's turn
  // when the ones before it have landed, so both sides resolve the same
  // shots in the same order.
  std::deque<TIncomingShot> IncomingShots;
  static constexpr size_t kMaxIncomingShots = 300;  // more than a grid has cells

  // A valid fleet of the other side has arrived: it becomes this game's,
  // or waits for the next game when this one already has one or is not a
  // network game.
  void OfferRemoteFleet(const TFleetRecord& fleet);
  // The fleet becomes the enemy grid's, fresh: nothing of the last game is left.
  void AdoptRemoteFleet(const TFleetRecord& fleet);
  // A received fleet broke the rules: the player is told, nothing starts.
  void RefuseRemoteFleet();
  // A shot or bomb of the other side; resolved in turn by StepIncomingShots.
  void QueueIncomingShot(const TIncomingShot& shot);
  // Starts the next waiting shot once nothing of the other side flies or
  // falls; a shot out of turn is dropped. Runs every frame and on arrival.
  void StepIncomingShots();
  // Whether the other side may shoot now by the mirrored turn rule.
  bool PeerMayShoot() const;
  // A shot of the other side is still flying at the own grid, or its bomb falling.
  bool IncomingUnderWay();
  // Shots have been fired in this network game (it can no longer start afresh).
  bool NetworkBattleBegun() const;
  // The other player has gone (lost or left): the battle ends, nobody shoots.
  void ConnectionEnded();

  // --- Flying pieces of the own grid ---
  uint8_t Shattering = 0, Assembling = 0;
  float ShatterClock = 0, AssembleClock = 0;
  std::array<TPiece, 4> OutPieces, InPieces;

  // --- Life cycle ---
  void ResetTurnState() override;
  void ReloadDragPicture(const eng::Picture& image) override;
  void RetintCurrentShip(int x, int y) override;
  void OwnFleetComplete() override;
  TCommon* Common() override { return this; }
  // The single entry point that begins a game: names, chat, session, and a
  // fresh own grid with the placement panel. False when opening the session
  // was cancelled or failed: the start stops there.
  bool StartNewGame();
  // Makes the interface surfaces (the display has just started).
  void CreateSurfaces();
  void ReleaseSurfaces();
  void SaveSurfaces();     // before the display goes
  void RestoreSurfaces();  // after it was made or lost
  void ResetCounterStrip();
  // Ends everything of the old game that still moves: its rockets leave the
  // screen without landing, the effects, rays and meters of both grids stop,
  // and nothing holds up play any more.
  void EndOldGameMotion();

  // --- Menu and placement panel ---
  void DrawMenu(eng::Surface& back);
  void HighlightMenuButton(TMenuButton& button, int imageIndex);
  void ClearMenuHighlights();
  // One step of the panel's slide or fades, then its drawing.
  void DrawChooser(eng::Surface& back, int lagCount);
  // Brings the panel out for a new placement (or refreshes it when open).
  void OpenChooser();
  // Shows the next ship's face on the next-ship button.
  void AdvanceChooser();

  // --- Status, score, overlay ---
  void SetStatus(int line, const std::string& text, bool saveLine2);
  void BlinkStatus(int times, bool restore);
  void UpdateBlink();
  // Milliseconds until the blink's next change is due; -1 while none is.
  int NextBlinkIn();
  void PaintScoreText();
  void AddPoint(int side);
  void DrawScore(eng::Surface& back, int lagCount);
  void DrawOverlay(eng::Surface& back);

  // --- Input ---
  void MouseDown(int x, int y, int button);
  void MouseMove(int x, int y);
  void MouseUp(int x, int y);
  void UpdateCursorShape();
  // A press at (x, y) in battle: the overlay goes, and on the enemy grid it
  // is a shot (or the armed bomb).
  void ShootAt(int x, int y);
  // The placement panel's buttons, pressed by the mouse or the keys.
  bool PanelTakesPresses() const;
  void PressNextShipButton();
  void PressAutoButton();
  // The ship in hand with its picture's corner at (sx, sy) on the screen:
  // shown on the nearest cell and tinted by whether it may stand there.
  void PutShipInHand(int sx, int sy);

  // --- Keyboard play ---
  // The cell of the enemy grid the keys aim at (column 1..16, row 1..17).
  // It follows the software cursor over the enemy grid, so the two always
  // show the same cell; a new game puts it back in the centre.
  int AimX = kAimStartX, AimY = kAimStartY;
  static constexpr int kAimStartX = 8, kAimStartY = 9;
  // Shown during the local player's turn.
  bool AimFrameShown() const { return BattlePhase && LocalTurn; }
  // An arrow key in battle: the frame moves a cell, no further than the
  // grid's edge, and the software cursor goes with it.
  void MoveAim(int dx, int dy);
  // Space or Enter in battle: a press on the framed cell.
  void FireAtAim();
  // Takes the aim from the software cursor while it lies over the enemy grid.
  void AimFollowsPointer();
  void DrawAimFrame(eng::Surface& back);
  // An arrow key in placement: the ship in hand moves a cell as a drag
  // would move it.
  void MoveShipByCell(int dx, int dy);
  // The ship in hand may not be fixed where it lies: the prompt says so and
  // blinks, then comes back.
  void ShowFixFailed();
  // Greys the ship in hand while it may not stand at (column, row).
  void TintTest(int column, int row);

  // --- The own grid breaking up and flying together ---
  // Four quarters of the old own grid fly out to the corners.
  void StartShatter();
  void DrawShatter(eng::Surface& back, int lagCount);
  // Four quarters of closed cells fly in and settle on the own grid.
  void StartAssemble();
  void DrawAssemble(eng::Surface& back, int lagCount);
  // One cell of a piece, from the cell's three bytes.
  void DrawPieceCell(eng::Surface& piece, int column, int row, uint8_t state, uint8_t code, uint8_t knownFree);

  // --- Sound ---
  void PlaySound(const std::string& name);

  UiServices& Services() { return services_; }
  TBattleField& OwnGrid() { return own_; }
  TBattleField& EnemyGrid() { return enemy_; }

 private:
  void DrawFade(const eng::Picture& source, eng::Rect sourceRect, int faceX, int faceY, float level);

  UiServices services_;
  TBattleField& own_;
  TBattleField& enemy_;
};
