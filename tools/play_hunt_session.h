// One session of the hunting tool: a fresh game from one seed, played by a
// random player and ended by shooting the enemy fleet down, checked after
// every frame.
#pragma once
#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <string>

#include "engine/text_codec.h"
#include "headless_game.h"
#include "play_hunt_checks.h"
#include "settings/new_game_form.h"
#include "settings/options_form.h"
#include "settings/settings_record.h"

namespace hunt {

struct Options {
  int traceLength = 40;  // actions kept for the report of a breach
  double frameMs = 2000;  // the longest a frame or an action may take; 0 unbounded
};

// What the session shares with the thread that watches for a hang: a beat
// on every pass of any loop, and the trace of the last actions.
struct Watchdog {
  std::atomic<uint64_t> heartbeat{0};
  std::atomic<uint64_t> nudges{0};  // boxes without a hook answered with Enter
  std::mutex mutex;
  uint32_t seed = 0;
  std::string trace;  // the last actions, one a line, newest last
};

struct Outcome {
  uint64_t frames = 0;
  double maxFrameMs = 0;
  int winner = 0;  // 1 the player, 2 the computer, 0 no game ended
  int level = -1;  // Difficulty when the last game ended
  std::string breach, trace;
};

class Session {
 public:
  Session(uint32_t seed, const Options& options, Rules& rules, Watchdog& dog);
  Outcome Play();

 private:
  using Clock = std::chrono::steady_clock;

  int R(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  int Range(int lo, int hi) { return lo + R(hi - lo + 1); }
  bool Chance(int percent) { return R(100) < percent; }

  TCommon& C() { return g_->common(); }
  TBattleField& Own() { return g_->form->OwnGrid(); }
  TBattleField& Enemy() { return g_->form->EnemyGrid(); }
  eng::Display& Screen() { return g_->form->Display(); }

  std::string MakeSettings();
  void Note(const std::string& action);
  void Beat() { dog_.heartbeat.fetch_add(1); }
  // Bounds the wall time of what just ran.
  void Timed(Clock::time_point since, const char* what);
  int Lag();
  // One pass of the game's loop: the window's events, then a frame when the
  // frame timer gives one; the checks follow.
  void Pass(int lag);
  void Passes(int n) {
    for (int i = 0; i < n; ++i) Pass(Lag());
  }
  bool PassesUntil(const std::function<bool()>& done, int limit);
  void Check();
  // Something moves: a slide, a rocket, a bomb, the assemble, the fireworks.
  bool Moving();
  bool PanelOpen() { return !C().ChooserClosed && !C().ChooserShown; }

  // --- The random player ---
  void RandomAction();
  void Disrupt();
  void NewGame(bool mustStart);
  void OptionsDialog();
  eng::ModalHook DialogPump(eng::Dialog& dialog, std::function<void(int pass)> step);
  void ClickIn(eng::Dialog& dialog, const eng::Rect& r);
  void Home();
  void Minimise();
  void FullScreenButton();
  void BackToWindow();
  void DeviceReset();
  bool ShipCellPoint(int& x, int& y);
  void Drag();
  void PressPanel(const eng::Rect& button, int mouseButton);
  void ShootRandom();
  void ClickCell(int x, int y);

  // --- The end of every session ---
  void FinishPlacement();
  void ShootItDown();
  bool WinnerShown();

  uint32_t seed_;
  Options options_;
  Rules& rules_;
  Watchdog& dog_;
  std::mt19937 rng_;
  std::unique_ptr<HeadlessGame> g_;
  Outcome out_;
  std::deque<std::string> trace_;
  double blinkIdleMs_ = 0;  // the blink has stood with nothing in flight
  int blinkIdleFrames_ = 0;
  int lastBlinkStep_ = -1;
};

// --- Set-up and the loop ---

inline Session::Session(uint32_t seed, const Options& options, Rules& rules, Watchdog& dog)
    : seed_(seed), options_(options), rules_(rules), dog_(dog), rng_(seed * 2654435761u + 12345u) {}

// Most sessions start from a sound config.opt at a random level; some from
// none, some from an unknown level, some from bytes of any kind.
inline std::string Session::MakeSettings() {
  // Few sessions start in full screen (see BackToWindow).
  const int kind = R(100);
  if (kind < 4) return "";
  if (kind < 85) {
    SettingsRecord r;
    r.FullScreen = Chance(5) ? 1 : 0;
    r.Difficulty = static_cast<uint8_t>(kind < 70 ? R(4) : Range(4, 255));
    std::string name;
    const int letters = R(14);
    for (int i = 0; i < letters; ++i) name += static_cast<char>(Chance(50) ? Range(0xC0, 0xFF) : Range('A', 'z'));
    r.SetPlayerName(name);
    r.Volume = -R(5001);
    r.GameMode = Chance(85) ? 1 : 2;
    return std::string(reinterpret_cast<const char*>(&r), sizeof r);
  }
  std::string bytes(static_cast<size_t>(Chance(70) ? 24 : Range(1, 40)), '\0');
  for (char& b : bytes) b = static_cast<char>(R(256));
  return bytes;
}

inline void Session::Note(const std::string& action) {
  char head[48];
  std::snprintf(head, sizeof head, "  frame %6llu  ", static_cast<unsigned long long>(out_.frames));
  trace_.push_back(head + action);
  while (static_cast<int>(trace_.size()) > options_.traceLength) trace_.pop_front();
  std::string all;
  for (const std::string& line : trace_) all += line + "\n";
  std::lock_guard<std::mutex> lock(dog_.mutex);
  dog_.trace = std::move(all);
}

inline void Session::Timed(Clock::time_point since, const char* what) {
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - since).count();
  out_.maxFrameMs = std::max(out_.maxFrameMs, ms);
  rules_.Require(options_.frameMs <= 0 || ms <= options_.frameMs, "frame-time",
                 [&] { return std::string(what) + " took " + std::to_string(static_cast<int>(ms)) + " ms"; });
}

// The frames of a fast desktop and of a slow or busy one, now and then a
// stall.
inline int Session::Lag() {
  const int r = R(100);
  if (r < 45) return Range(10, 25);
  if (r < 85) return Range(26, 100);
  if (r < 98) return Range(101, 400);
  return Range(401, 1500);
}

inline void Session::Pass(int lag) {
  Beat();
  g_->clock.Advance(static_cast<uint32_t>(lag));
  const auto start = Clock::now();
  Screen().PumpEvents(0);
  if (g_->form->Closing()) throw Breach("window: the window closed by itself");
  if (!Screen().Ready()) return;
  rules_.Require(g_->form->DXTimer().Enabled(), "timer", [] { return std::string("the frame timer is off with no dialog open"); });
  uint32_t lagCount = 0;
  if (!g_->form->DXTimer().Tick(&lagCount)) return;
  g_->clock.longestSleep = 0;
  g_->form->DXTimerTimer(static_cast<int>(lagCount));
  // The frame's pacing sleeps a refresh period at most.
  rules_.Require(g_->clock.longestSleep <= 1000, "sleep", [&] {
    return "a frame slept " + std::to_string(g_->clock.longestSleep) + " ms at tick " + std::to_string(g_->clock.now);
  });
  ++out_.frames;
  Timed(start, "a frame");
  Check();
  // A blink steps every 400 ms, held only while something flies: one that
  // stands still for many frames and seconds with nothing in flight froze.
  const int blinkStep = C().BlinkCount * 2 + C().BlinkShown;
  if (!C().Blinking || blinkStep != lastBlinkStep_) {
    blinkIdleMs_ = 0;
    blinkIdleFrames_ = 0;
  } else if (C().AnimationsInFlight == 0) {
    blinkIdleMs_ += lagCount;
    ++blinkIdleFrames_;
  }
  lastBlinkStep_ = blinkStep;
  rules_.Require(blinkIdleMs_ < 5000 || blinkIdleFrames_ < 20, "blink", [&] {
    return "the status blink stood still for 5 s and 20 frames: step " + std::to_string(C().BlinkCount) + " of " +
           std::to_string(C().BlinkLimit) + ", tick " + std::to_string(g_->clock.now) + ", line 2 \"" +
           eng::Cp1251ToUtf8(C().StatusLine[1]) + "\", blinking \"" + eng::Cp1251ToUtf8(C().BlinkText) + "\"";
  });
}

inline bool Session::PassesUntil(const std::function<bool()>& done, int limit) {
  for (int i = 0; i < limit; ++i) {
    if (done()) return true;
    Pass(Lag());
  }
  return done();
}

inline void Session::Check() { CheckAll(rules_, C(), Own(), Enemy()); }

inline bool Session::Moving() {
  return g_->form->Sprites().Count() > 0 || C().AnimationsInFlight > 0 || C().ChooserShown || C().Shattering ||
         C().Assembling || Own().FlyingCount > 0 || Own().EffectCount > 0 || Enemy().EffectCount > 0;
}

inline Outcome Session::Play() {
  dog_.seed = seed_;
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  try {
    const std::string settings = MakeSettings();
    Note("config.opt of " + std::to_string(settings.size()) + " bytes");
    g_ = std::make_unique<HeadlessGame>(seed_, settings);
    // A network game's wizard is cancelled: the start stops quietly. The
    // help page is not opened in a browser.
    g_->form->ConnectWizard = [] { return WizardResult{}; };
    g_->form->OpenDocument = [this](const std::string& path) { Note("help page " + path); };
    if (Chance(10)) {
      // The tick count wraps during the session.
      g_->clock.now = 0xFFFFFFFFu - static_cast<uint32_t>(Range(1000, 120000));
      Note("clock near the wrap");
    }
    Passes(Range(1, 4));
    if (Chance(50)) {
      Note("key on the logo");
      g_->Key(eng::kKeySpace);
    } else {
      Note("press on the logo");
      g_->Click(Range(0, 639), Range(50, 479));
    }
    Pass(20000);
    Pass(20);
    BackToWindow();
    const int actions = Range(20, 160);
    for (int i = 0; i < actions; ++i) {
      RandomAction();
      Passes(R(4));
    }
    FinishPlacement();
    ShootItDown();
    // The fireworks, with now and then a new game or a dialog over them.
    for (int i = Range(50, 150); i > 0; --i) {
      if (Chance(3)) Disrupt();
      Pass(Lag());
    }
  } catch (const Breach& b) {
    out_.breach = b.what();
  }
  out_.trace = dog_.trace;
  SDL_StopTextInput();
  g_.reset();
  return out_;
}

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

// --- The end of every session ---

// Whatever the random player left, the fleet gets placed: the game in
// progress, or a new one against the computer, with Auto.
inline void Session::FinishPlacement() {
  for (int round = 0; round < 4 && !C().BattlePhase; ++round) {
    Note("finish the placement, round " + std::to_string(round));
    PassesUntil([&] { return !C().Shattering && !C().Assembling && !C().ChooserShown && !Own().FlyingCount; }, 2000);
    if (C().BattlePhase) break;
    const bool over = Own().SunkCount >= kFleetSize || Enemy().SunkCount >= kFleetSize;
    if (!PanelOpen() || over || C().Settings.GameMode != 1 || round >= 2) {
      NewGame(true);
      PassesUntil([&] { return PanelOpen() && !C().Shattering && !Own().FlyingCount; }, 2000);
    }
    PassesUntil([&] { return !Own().FlyingCount; }, 2000);
    PressPanel(C().AutoButton, eng::kMouseLeft);
    PassesUntil([&] { return C().BattlePhase == 1; }, 300);
  }
  if (C().BattlePhase) return;
  throw Breach("placement: the fleet could not be placed: panel closed " + std::to_string(C().ChooserClosed) + " shown " +
               std::to_string(C().ChooserShown) + " locked " + std::to_string(C().ChooserLocked) + " fixed " +
               std::to_string(Own().FixedCount) + " in hand " + std::to_string(Own().ShipActive) + " y " +
               std::to_string(C().ChooserY));
}

inline bool Session::WinnerShown() {
  const std::string won = W("Выиграл");
  return C().StatusLine[1].rfind(won, 0) == 0 || (C().Blinking && C().BlinkText.rfind(won, 0) == 0);
}

// The player keeps shooting, the fleet's cells first, then every closed
// cell; the game must name a winner in bounded time.
inline void Session::ShootItDown() {
  // Nobody shoots faster than the closed grid flies together.
  PassesUntil([&] { return !C().Assembling && std::none_of(C().InPieces.begin(), C().InPieces.end(),
                                                          [](const TPiece& p) { return p.active; }); },
              2000);
  Note("shoot the enemy fleet down at level " + std::to_string(C().Settings.Difficulty));
  constexpr int kLimit = 30000;
  for (int i = 0; i < kLimit && !WinnerShown(); ++i) {
    if (C().BattlePhase && C().LocalTurn) {
      int tx = 0, ty = 0;
      for (int pass = 0; pass < 2 && !tx; ++pass)
        for (int y = 1; y <= GridRows && !tx; ++y)
          for (int x = 1; x <= GridCols && !tx; ++x) {
            const TSeaCell& c = Enemy().TrueCells.At(x, y);
            const bool closed = c.State == cell::Closed || c.State == cell::Marked;
            if (closed && (pass == 1 || c.Code == cell::Ship)) tx = x, ty = y;
          }
      if (tx) {
        Note("shot at " + std::to_string(tx) + "," + std::to_string(ty));
        ClickCell(tx, ty);
      }
    }
    Pass(Lag());
  }
  if (!WinnerShown())
    throw Breach("no-winner: no winner after " + std::to_string(kLimit) + " passes: battle " + std::to_string(C().BattlePhase) +
                 " local turn " + std::to_string(C().LocalTurn) + " computer pending " +
                 std::to_string(C().ComputerMovePending) + " in flight " + std::to_string(C().AnimationsInFlight) +
                 " level " + std::to_string(C().Settings.Difficulty) + " sunk " + std::to_string(Own().SunkCount) +
                 ":" + std::to_string(Enemy().SunkCount) + " line 2 \"" + eng::Cp1251ToUtf8(C().StatusLine[1]) +
                 "\" blinking " + std::to_string(C().Blinking) + " \"" + eng::Cp1251ToUtf8(C().BlinkText) + "\"");
  out_.winner = Enemy().SunkCount >= kFleetSize ? 1 : 2;
  out_.level = C().Settings.Difficulty;
  Note(out_.winner == 1 ? "the player won" : "the computer won");
}

}  // namespace hunt
