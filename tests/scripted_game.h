// One whole game against the computer, played by script through the
// window's input on a manual clock: the logo left with a key, the pointer
// wandering, New Game (the old grid breaks up, the panel slides out and its
// faces fade in), a ship dragged half-transparent, the rest placed
// automatically (the closed grid flies together), a few misses so the
// computer's rockets fly and burst, then every enemy ship cell until the
// fleet sinks and the fireworks burn out, and the pointer over the opened
// grid. Each frame is handed to the caller. Used by the tests, the frame
// benchmark and tools/frame_trace, so it needs nothing but the game.
#pragma once
#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "engine/clock.h"
#include "engine/keys.h"
#include "sea/sea_cell.h"
#include "settings/new_game_form.h"
#include "settings/settings_record.h"
#include "shell/main_form.h"

// Readies a main window on the dummy drivers in the given directory, with a
// config.opt for a windowed game at the given level.
inline void PrepareWindowedGame(const std::filesystem::path& dir, uint8_t level) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SDL_InitSubSystem(SDL_INIT_VIDEO);
  std::filesystem::create_directories(dir);
  SettingsRecord settings;
  settings.FullScreen = 0;
  settings.Difficulty = level;
  if (FILE* f = std::fopen((dir / "config.opt").c_str(), "wb")) {
    std::fwrite(&settings, sizeof settings, 1, f);
    std::fclose(f);
  }
}

class ScriptedGame {
 public:
  ScriptedGame(TMainForm& form, eng::ManualClock& clock) : form_(form), clock_(clock) {}

  // Called after every frame.
  std::function<void()> OnFrame;

  // What the game went through, for the caller to check.
  struct Seen {
    bool shatter = false, slide = false, fade = false, drag = false, assemble = false, rocket = false;
    int mostEnemyEffects = 0;
    bool won = false;
    int frames = 0;
  } seen;

  // Frames of the given LagCount, the clock moving along.
  void Frame(int lag = 16) {
    clock_.Advance(static_cast<uint32_t>(lag));
    form_.DXTimerTimer(lag);
    TCommon& c = form_.Common();
    seen.shatter |= c.Shattering != 0;
    seen.slide |= c.ChooserShown != 0;
    seen.fade |= c.NextShipFading != 0 || c.AutoFading != 0;
    seen.assemble |= c.Assembling != 0;
    seen.rocket |= form_.Sprites().Count() > 0;
    seen.drag |= form_.OwnGrid().Dragging != 0;
    seen.mostEnemyEffects = std::max(seen.mostEnemyEffects, static_cast<int>(form_.EnemyGrid().EffectCount));
    ++seen.frames;
    if (OnFrame) OnFrame();
  }
  bool FramesUntil(const std::function<bool()>& done, int limit) {
    for (int i = 0; i < limit; ++i) {
      if (done()) return true;
      Frame();
    }
    return done();
  }
  void Move(int x, int y) { form_.Display().InjectMouseMove(x, y); }
  void Click(int x, int y, int button = eng::kMouseLeft) {
    Move(x, y);
    form_.Display().InjectMouseDown(button, x, y);
    form_.Display().InjectMouseUp(button, x, y);
  }

  // Plays up to the first shot of the battle; false when a step never came
  // about.
  bool StartBattle() {
    LeaveLogo();
    return NewGameToBattle();
  }
  void LeaveLogo() {
    form_.Display().InjectKey(eng::kKeySpace);
    Frame(20000);
    for (int i = 0; i < 40; ++i) {
      Move(40 + i * 14, 60 + i * 9);
      Frame();
    }
  }
  // From the game screen to the first shot of a new game.
  bool NewGameToBattle() {
    TCommon& c = form_.Common();
    // New Game: Enter in the dialog takes the name as it stands.
    TNewGameForm& dialog = *form_.NewGameForm;
    int pass = 0;
    dialog.Pump = [&] {
      if (pass++ == 0) form_.Display().InjectKey(eng::kKeyEnter);
    };
    Click(211, 29);
    dialog.Pump = nullptr;
    if (!FramesUntil([&] { return !c.Shattering && !c.ChooserClosed && !c.ChooserShown && !c.Blinking; }, 600))
      return false;
    // One ship taken and dragged about before it is put back by the panel.
    ClickPanel(c.NextShipButton);
    TBattleField& own = form_.OwnGrid();
    if (!FramesUntil([&] { return own.ShipActive && own.FlyingCount == 0; }, 300)) return false;
    // Pressed on one of its cells.
    int sx = 0, sy = 0;
    const TShipRecord& ship = own.Current;
    for (int r = ship.ShapeSize() - 1; r >= 0; --r)
      for (int col = 0; col < ship.ShapeSize(); ++col)
        if (ship.Shape[r][col] == cell::PlacingShip || ship.Shape[r][col] == cell::BlockedShip) {
          sx = ship.ScreenX + 16 * col + 8;
          sy = ship.ScreenY + 16 * r + 8;
        }
    Move(sx, sy);
    form_.Display().InjectMouseDown(eng::kMouseLeft, sx, sy);
    for (int i = 1; i <= 12; ++i) {
      form_.Display().InjectMouseMove(sx + 5 * i, sy + 3 * i);
      Frame();
    }
    form_.Display().InjectMouseUp(eng::kMouseLeft, sx + 60, sy + 36);
    Frame();
    ClickPanel(c.AutoButton);
    // The closed grid flies together and the panel goes.
    return FramesUntil([&] { return c.BattlePhase == 1 && c.LocalTurn == 1 && !c.Assembling && !c.ChooserShown; },
                       1500);
  }

  // Plays up to the last enemy ship's sinking; false when a step never
  // came about.
  bool PlayToTheLastShot() { return StartBattle() && ShootToTheLastShip(); }
  // A game after the first, from the game screen to its still end.
  bool PlayAnother() { return NewGameToBattle() && ShootToTheLastShip() && PlayOut(); }

  // A few misses, then every enemy ship cell until the last ship sinks.
  bool ShootToTheLastShip() {
    TCommon& c = form_.Common();
    // Misses first, each answered by a rocket of the computer's.
    TBattleField& enemy = form_.EnemyGrid();
    int misses = 0;
    for (int y = 1; y <= GridRows && misses < 3; ++y)
      for (int x = 1; x <= GridCols && misses < 3; ++x) {
        const TSeaCell& cell = enemy.TrueCells.At(x, y);
        if (cell.State != cell::Closed || cell.Code != cell::Water) continue;
        if (!Shoot(x, y)) return false;
        ++misses;
      }
    // Then the ships, cell by cell, keeping the turn.
    for (int y = 1; y <= GridRows; ++y)
      for (int x = 1; x <= GridCols; ++x) {
        if (c.BattlePhase != 1) return true;
        const TSeaCell& cell = enemy.TrueCells.At(x, y);
        if (cell.Code == cell::Ship && (cell.State == cell::Closed || cell.State == cell::Marked) &&
            !Shoot(x, y))
          return false;
      }
    return c.BattlePhase != 1;
  }

  // The fireworks and what follows them, to a still screen.
  bool PlayOut() {
    TBattleField& enemy = form_.EnemyGrid();
    const bool burnt = FramesUntil([&] { return enemy.EffectCount == 0 && form_.OwnGrid().EffectCount == 0; }, 4000);
    seen.won = form_.Common().ScoreLeft == 1;
    // The pointer over the opened grid: navigators show their rays.
    for (int i = 0; i < 60; ++i) {
      Move(353 + (i * 37) % 256, 108 + (i * 53) % 272);
      Frame();
    }
    return burnt;
  }

  bool Play() { return PlayToTheLastShot() && PlayOut(); }

  void ClickPanel(const eng::Rect& button) {
    TCommon& c = form_.Common();
    Click(c.ChooserX + button.x + button.w / 2, c.ChooserY + button.y + button.h / 2);
    Frame();
  }
  // The screen position of an enemy cell's centre.
  static int CellX(int x) { return 353 + (x - 1) * 16 + 8; }
  static int CellY(int y) { return 108 + (y - 1) * 16 + 8; }

 private:
  // One shot at an enemy cell once the turn is the player's again.
  bool Shoot(int x, int y) {
    TCommon& c = form_.Common();
    if (!FramesUntil([&] { return c.BattlePhase != 1 || (c.LocalTurn == 1 && c.AnimationsInFlight == 0); }, 3000))
      return false;
    if (c.BattlePhase != 1) return true;
    Click(CellX(x), CellY(y));
    Frame();
    return true;
  }

  TMainForm& form_;
  eng::ManualClock& clock_;
};
