// The random player of the hunting tool's sessions: presses, drags, wheel
// turns and keys, the New Game and Options dialogs driven pass by pass, the
// boxes, the window going away and coming back, the full-screen button and
// the render resets, each with what it must leave as it was.
#pragma once
#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "play_hunt_session.h"

namespace hunt {

// --- The random player ---

inline void Session::RandomAction() {
  // Moments when something moves get more of the disruptive actions.
  if (Moving() && Chance(20)) return Disrupt();
  const int r = R(100);
  if (r < 12) {
    const int x = Range(0, 639), y = Range(0, 479);
    Note("move to " + std::to_string(x) + "," + std::to_string(y));
    g_->Move(x, y);
  } else if (r < 20) {
    int x = Range(0, 639), y = Range(50, 479);
    const int button = Chance(75) ? eng::kMouseLeft : (Chance(50) ? eng::kMouseRight : eng::kMouseMiddle);
    // The close button ends the program.
    if (x >= 620 && y < 20) y = 60;
    Note("press " + std::to_string(button) + " at " + std::to_string(x) + "," + std::to_string(y));
    g_->Click(x, y, button);
  } else if (r < 32) {
    const int which = R(3);
    const eng::Rect& b = which == 0 ? C().NextShipButton : which == 1 ? C().ModifyButton : C().AutoButton;
    PressPanel(b, Chance(85) ? eng::kMouseLeft : eng::kMouseRight);
  } else if (r < 44) {
    Drag();
  } else if (r < 50) {
    int x = 0, y = 0;
    if (ShipCellPoint(x, y)) {
      Note("right press on the ship in hand");
      g_->Click(x, y, eng::kMouseRight);
    }
  } else if (r < 58) {
    const int steps = Chance(50) ? 1 : -1;
    Note("wheel " + std::to_string(steps));
    g_->form->DXDrawMouseWheel(steps);
  } else if (r < 68) {
    static const int kKeys[] = {'R', 'M', 'R', 'M', eng::kKeyF5, eng::kKeyF1, eng::kKeyEnter, eng::kKeySpace, 'A'};
    const int key = kKeys[R(9)];
    Note("key " + std::to_string(key));
    g_->Key(key);
  } else if (r < 88) {
    ShootRandom();
  } else {
    Disrupt();
  }
}

inline void Session::Disrupt() {
  const int r = R(100);
  if (r < 35)
    NewGame(false);
  else if (r < 55)
    OptionsDialog();
  else if (r < 70)
    Minimise();
  else if (r < 80)
    Home();
  else if (r < 90)
    FullScreenButton();
  else
    DeviceReset();
}

// A dialog's per-pass hook: the step drives the dialog, a box over it gets
// Enter; the clock goes on as the player takes his time.
inline eng::ModalHook Session::DialogPump(eng::Dialog& dialog, std::function<void(int pass)> step) {
  auto pass = std::make_shared<int>(0);
  return [this, &dialog, step, pass] {
    Beat();
    g_->clock.Advance(static_cast<uint32_t>(Range(5, 60)));
    if (Screen().PushedHandlers() >= 2) {
      Note("Enter on the box over the dialog");
      g_->Key(eng::kKeyEnter);
    } else if (!dialog.Closed()) {
      step(*pass);
    }
    if (++*pass > 300) throw Breach("dialog: a dialog stayed open for 300 passes");
    // The loop need not wait for the window's events: the next step is due.
    SDL_Event wake{};
    wake.type = SDL_USEREVENT;
    SDL_PushEvent(&wake);
  };
}

inline void Session::ClickIn(eng::Dialog& dialog, const eng::Rect& r) {
  g_->Click(dialog.Left + r.x + r.w / 2, dialog.Top + r.y + r.h / 2);
}

inline void Session::NewGame(bool mustStart) {
  TNewGameForm& form = *g_->form->NewGameForm;
  const int steps = R(6);
  const bool start = mustStart || Chance(75);
  const bool network = !mustStart && Chance(10);
  Note(std::string("New Game, ") + (start ? (network ? "start a network game" : "start") : "leave"));
  form.Pump = DialogPump(form, [this, &form, steps, start, network](int pass) {
    if (pass < steps) {
      const int r = R(5);
      if (r == 0) {
        g_->Text(Chance(50) ? "Ян" : "Player 9");
      } else if (r == 1) {
        g_->Key(eng::kKeyBackspace);
      } else if (r == 2) {
        ClickIn(form, Chance(50) ? form.PlvsCompBtn.Bounds : form.PlvsPlBtn.Bounds);
      } else if (r == 3) {
        ClickIn(form, form.GetIPBtn.Bounds);
      } else {
        g_->Move(Range(0, 639), Range(0, 479));
      }
      return;
    }
    if (!start) {
      if (Chance(50))
        g_->Key(eng::kKeyEscape);
      else
        ClickIn(form, form.CloseBtn.Bounds);
      return;
    }
    // The opponent first, however many passes a box over the dialog took.
    eng::ImageRadioButton& opponent = network ? form.PlvsPlBtn : form.PlvsCompBtn;
    if (!opponent.Down()) {
      ClickIn(form, opponent.Bounds);
      return;
    }
    if (Chance(50))
      ClickIn(form, form.StartBtn.Bounds);
    else
      g_->Key(eng::kKeyEnter);  // in the name edit
  });
  const auto begin = Clock::now();
  g_->Move(211, 29);
  g_->Click(211, 29);
  form.Pump = nullptr;
  Timed(begin, "New Game");
}

inline void Session::OptionsDialog() {
  TOptionsForm& form = *g_->form->OptionsForm;
  const int steps = R(6);
  const int end = R(3);
  Note("Options, " + std::to_string(steps) + " changes, " + (end == 0 ? "OK" : end == 1 ? "Close" : "Esc"));
  form.Pump = DialogPump(form, [this, &form, steps, end](int pass) {
    if (pass < steps) {
      const int r = R(4);
      if (r == 0) {
        eng::ImageRadioButton* levels[] = {&form.VeryEasyBtn, &form.EasyBtn, &form.NormalBtn, &form.HardBtn};
        ClickIn(form, levels[R(4)]->Bounds);
      } else if (r == 1) {
        ClickIn(form, form.FullscreenBtn.Bounds);
      } else if (r == 2) {
        const eng::Rect t = form.SoundTracker.Bounds;
        const int y = form.Top + t.y + t.h / 2;
        Screen().InjectMouseDown(eng::kMouseLeft, form.Left + t.x + R(t.w), y);
        Screen().InjectMouseMove(form.Left + t.x + Range(-30, t.w + 30), y);
        Screen().InjectMouseUp(eng::kMouseLeft, form.Left + t.x + R(t.w), y);
      } else {
        g_->Move(Range(0, 639), Range(0, 479));
      }
      return;
    }
    if (end == 0)
      ClickIn(form, form.OKBtn.Bounds);
    else if (end == 1)
      ClickIn(form, form.CloseBtn.Bounds);
    else
      g_->Key(eng::kKeyEscape);
  });
  const auto begin = Clock::now();
  g_->Move(260, 20);
  g_->Click(260, 20);
  form.Pump = nullptr;
  Timed(begin, "Options");
  BackToWindow();
}

// Full screen is scaled in software on the dummy driver and costs several
// windowed frames: the player mostly goes back to the window soon.
inline void Session::BackToWindow() {
  if (!Screen().FullScreen() || Chance(2)) return;
  Passes(R(10));
  FullScreenButton();
}

// The credit box, answered by a queued Enter; the box leaves the game as it was.
inline void Session::Home() {
  Note("Home");
  const std::vector<double> before = MovingParts(C(), Own(), Enemy(), g_->form->Sprites());
  const bool shown = !C().LogoShown;
  g_->QueueKey(SDLK_RETURN);
  const auto begin = Clock::now();
  g_->Key(eng::kKeyHome);
  Timed(begin, "Home's box");
  if (shown)
    rules_.Require(MovingParts(C(), Own(), Enemy(), g_->form->Sprites()) == before, "box",
                   [] { return std::string("Home's box changed the game behind it (the pointer or a moving part)"); });
}

// Esc minimises; the dummy driver has no minimise, so the window is hidden
// as a window manager does. The loop passes while the window is away, the
// time goes by, and the window comes back.
inline void Session::Minimise() {
  const int away = Chance(70) ? Range(100, 3000) : Range(3000, 60000);
  Note("Esc, " + std::to_string(away) + " ms away, restore");
  g_->Key(eng::kKeyEscape);
  SDL_Window* window = SDL_GetWindowFromID(Screen().WindowId());
  if (window) SDL_HideWindow(window);
  const int passes = Range(1, 3);
  for (int i = 0; i < passes; ++i) Pass(away / passes);
  if (window) SDL_ShowWindow(window);
  Screen().Restore();
}

// The screen's full-screen button switches the display; the level and the
// volume become what the Options dialog's controls hold, which is what is
// stored unless a dialog closed without OK left them changed.
inline void Session::FullScreenButton() {
  Note("full-screen button");
  const TOptionsForm& form = *g_->form->OptionsForm;
  int level = C().Settings.Difficulty;
  const eng::ImageRadioButton* levels[] = {&form.VeryEasyBtn, &form.EasyBtn, &form.NormalBtn, &form.HardBtn};
  for (int i = 3; i >= 0; --i)
    if (levels[i]->Down()) level = i;
  const int volume = form.SoundTracker.Value();
  const bool full = Screen().FullScreen();
  const auto begin = Clock::now();
  g_->Click(613, 10);
  Timed(begin, "the full-screen button");
  rules_.Require(Screen().FullScreen() != full, "full-screen",
                 [] { return std::string("the full-screen button did not switch the display"); });
  rules_.Require(C().Settings.Difficulty == level && C().Settings.Volume == volume, "full-screen", [&] {
    return "the full-screen button set the level " + std::to_string(C().Settings.Difficulty) + " (controls " +
           std::to_string(level) + ") and the volume " + std::to_string(C().Settings.Volume) + " (controls " +
           std::to_string(volume) + ")";
  });
  BackToWindow();
}

// The render targets or the device were reset: the surfaces keep what they show.
inline void Session::DeviceReset() {
  const bool device = Chance(50);
  Note(device ? "render device reset" : "render targets reset");
  if (C().LogoShown) return;
  const std::vector<uint16_t> before = SurfacePixels(C(), Own(), Enemy());
  SDL_Event e{};
  e.type = device ? SDL_RENDER_DEVICE_RESET : SDL_RENDER_TARGETS_RESET;
  SDL_PushEvent(&e);
  Screen().PumpEvents(0);
  rules_.Require(SurfacePixels(C(), Own(), Enemy()) == before, "render-reset",
                 [] { return std::string("a render reset changed what the surfaces show"); });
}

inline bool Session::ShipCellPoint(int& x, int& y) {
  const TShipRecord& ship = Own().Current;
  if (C().BattlePhase || !Own().ShipActive) return false;
  const int n = ship.ShapeSize();
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c)
      if (ship.Shape[r][c] == cell::PlacingShip || ship.Shape[r][c] == cell::BlockedShip) {
        x = ship.ScreenX + 16 * c + 8;
        y = ship.ScreenY + 16 * r + 8;
        return true;
      }
  return false;
}

inline void Session::Drag() {
  int x = 0, y = 0;
  if (!ShipCellPoint(x, y)) return;
  const int moves = Range(1, 6);
  Note("drag the ship in hand, " + std::to_string(moves) + " moves from " + std::to_string(x) + "," +
       std::to_string(y));
  g_->Move(x, y);
  Screen().InjectMouseDown(eng::kMouseLeft, x, y);
  for (int i = 0; i < moves; ++i) {
    x = std::clamp(x + Range(-70, 70), 0, 639);
    y = std::clamp(y + Range(-70, 70), 0, 479);
    g_->Move(x, y);
    if (Chance(30)) Pass(Lag());
    if (Chance(10)) g_->Key('R');
  }
  Screen().InjectMouseUp(eng::kMouseLeft, x, y);
}

inline void Session::PressPanel(const eng::Rect& button, int mouseButton) {
  const char* name = &button == &C().NextShipButton ? "next ship" : &button == &C().AutoButton ? "Auto" : "modify";
  Note(std::string("panel: ") + name + (mouseButton == eng::kMouseLeft ? "" : " (right)"));
  g_->Click(C().ChooserX + button.x + button.w / 2, C().ChooserY + button.y + button.h / 2, mouseButton);
}

inline void Session::ClickCell(int x, int y) {
  g_->Click(Enemy().OriginX + 16 * (x - 1) + 8, Enemy().OriginY + 16 * (y - 1) + 8);
}

inline void Session::ShootRandom() {
  const int x = Range(1, 16), y = Range(1, 17);
  Note("shot at " + std::to_string(x) + "," + std::to_string(y));
  ClickCell(x, y);
}

}  // namespace hunt
