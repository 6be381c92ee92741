// The whole game on SDL's dummy drivers: a TMainForm with a manual clock, a
// fixed seed and its settings in a fresh directory, driven by mouse and key
// events and frames of chosen LagCount; the model and the back surface's
// pixels are there to read. Free of any test framework, so the tests (through
// game_harness.h) and the tools drive the same game.
#pragma once
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "assets/pictures.h"
#include "engine/clock.h"
#include "engine/image_list.h"
#include "engine/keys.h"
#include "shell/main_form.h"

// The harness's manual clock; it keeps the longest sleep asked of it.
using HarnessClock = eng::ManualClock;

class HeadlessGame {
 public:
  explicit HeadlessGame(uint32_t seed = 1234, const std::string& settingsBytes = "") {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    dir_ = std::filesystem::temp_directory_path() /
           ("salvora-game-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    if (!settingsBytes.empty()) {
      FILE* f = std::fopen((dir_ / "config.opt").c_str(), "wb");
      std::fwrite(settingsBytes.data(), 1, settingsBytes.size(), f);
      std::fclose(f);
    }
    clock.now = 100000;
    MainFormOptions options;
    options.clock = &clock;
    options.appDir = dir_.string() + "/";
    options.seed = seed;
    options.sound = false;
    options.paintedImages = &Painted();
    form = std::make_unique<TMainForm>(options);
    form->OpenDisplay();
  }
  ~HeadlessGame() {
    form.reset();
    std::filesystem::remove_all(dir_);
  }
  HeadlessGame(const HeadlessGame&) = delete;
  HeadlessGame& operator=(const HeadlessGame&) = delete;

  // Frames of the given LagCount, the clock moving along.
  void Frames(int count, int lag = 20) {
    for (int i = 0; i < count; ++i) {
      clock.Advance(lag);
      form->DXTimerTimer(lag);
    }
  }
  // Leaves the logo: a key, then the 20 s run-out.
  void SkipLogo() {
    form->Display().InjectKey(eng::kKeySpace);
    Frames(1, 20000);
    Frames(1);
  }
  // A dialog's per-pass hook that runs step(pass) on every pass of its loop;
  // past the limit of passes the dialog is taken as stuck: stuck() runs and
  // the window is asked to close, which ends the loop. The events left over
  // from before are flushed first.
  static std::function<void()> StepPump(std::function<void(int pass)> step, int& pass, std::function<void()> stuck,
                                        int limit = 300) {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    return [step, &pass, stuck, limit] {
      step(pass);
      if (++pass > limit) {
        if (stuck) stuck();
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
      }
    };
  }
  void Move(int x, int y) { form->Display().InjectMouseMove(x, y); }
  void Click(int x, int y, int button = eng::kMouseLeft) {
    Move(x, y);
    form->Display().InjectMouseDown(button, x, y);
    form->Display().InjectMouseUp(button, x, y);
  }
  void Key(int key) { form->Display().InjectKey(key); }
  // Typed text as the keyboard sends it (UTF-8), queued for the next pass of
  // whichever loop pumps the window's events. The window drops it while no
  // edit has switched text input on.
  void Text(const std::string& utf8) {
    size_t pos = 0;
    while (pos < utf8.size()) {
      // Whole characters, as many as one event holds.
      size_t end = std::min(utf8.size(), pos + SDL_TEXTINPUTEVENT_TEXT_SIZE - 1);
      while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
      SDL_Event e{};
      e.type = SDL_TEXTINPUT;
      utf8.copy(e.text.text, end - pos, pos);
      SDL_PushEvent(&e);
      pos = end;
    }
  }
  // A key press queued as the keyboard sends it (for the boxes the game
  // shows without a hook).
  void QueueKey(SDL_Keycode key) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    SDL_PushEvent(&e);
  }
  eng::Color Pixel(int x, int y) { return form->Display().BackSurface().GetColor(x, y); }
  std::string SettingsFile() const { return (dir_ / "config.opt").string(); }
  TCommon& common() { return form->Common(); }

  HarnessClock clock;
  std::unique_ptr<TMainForm> form;

  // The pictures as the game paints them, painted once for every game of
  // the program; no game changes them.
  static const eng::ImageList& Painted() {
    static const eng::ImageList* list = [] {
      auto* l = new eng::ImageList;
      assets::PaintPictures(*l);
      return l;
    }();
    return *list;
  }

 private:
  std::filesystem::path dir_;
  static inline int counter_ = 0;
};
