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

#include "play_hunt_player.h"
