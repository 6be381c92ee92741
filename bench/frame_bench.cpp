// What a game-state frame costs, composed and uploaded to the texture on the
// dummy driver, as a count of full-screen opaque copies measured in the same
// run (the counter "copies"): a still frame, a frame with the pointer
// moving, and the frames of the end-of-game fireworks. Times are the
// thread's CPU time, which a loaded machine disturbs least.
//
// The game's own work leaves out the driver's copy of the texture to the
// window (on the dummy driver a software conversion, scaled to the desktop
// in full screen); the *WithWindowCopy runs put it back, windowed and full
// screen, for comparison.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "../tests/scripted_game.h"
#include "engine/clock.h"
#include "engine/keys.h"
#include "engine/surface.h"
#include "settings/settings_record.h"
#include "shell/main_form.h"

namespace {

double CpuMicros() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

struct Game {
  explicit Game(bool fullScreen, bool windowCopy) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    dir = std::filesystem::temp_directory_path() / ("salvora-frame-bench-" + std::to_string(counter++));
    std::filesystem::create_directories(dir);
    SettingsRecord settings;
    settings.FullScreen = fullScreen ? 1 : 0;
    settings.Difficulty = 0;
    if (FILE* f = std::fopen((dir / "config.opt").c_str(), "wb")) {
      std::fwrite(&settings, sizeof settings, 1, f);
      std::fclose(f);
    }
    clock.now = 1000;
    MainFormOptions options;
    options.clock = &clock;
    options.appDir = dir.string() + "/";
    options.seed = 7;
    options.sound = false;
    form = std::make_unique<TMainForm>(options);
    form->OpenDisplay();
    form->Display().SetWindowCopy(windowCopy);
    form->Display().InjectKey(eng::kKeySpace);
    Frame(20000);
    Frame(20);
  }
  ~Game() {
    form.reset();
    std::filesystem::remove_all(dir);
  }
  void Frame(int lag) {
    clock.Advance(lag);
    form->DXTimerTimer(lag);
  }
  eng::ManualClock clock;
  std::filesystem::path dir;
  std::unique_ptr<TMainForm> form;
  static inline int counter = 0;
};

// One full-screen opaque copy onto the back surface: the unit.
double CopyMicros() {
  static const double unit = [] {
    Game g(false, false);
    eng::Surface src(640, 480);
    src.Fill(eng::RGB(20, 40, 80));
    eng::Surface& back = g.form->Display().BackSurface();
    std::vector<double> batches;
    for (int b = 0; b < 15; ++b) {
      const double t0 = CpuMicros();
      for (int i = 0; i < 200; ++i) back.Draw(0, 0, src, false);
      batches.push_back((CpuMicros() - t0) / 200);
    }
    std::sort(batches.begin(), batches.end());
    return batches[batches.size() / 2];
  }();
  return unit;
}

// Runs frame() per iteration, timed on the thread's CPU clock, and reports
// the mean as copies.
template <class F>
void TimeFrames(benchmark::State& state, F frame) {
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    const double t0 = CpuMicros();
    frame();
    const double t = CpuMicros() - t0;
    state.SetIterationTime(t / 1e6);
    total += t;
    ++n;
  }
  state.counters["copies"] = n ? total / n / CopyMicros() : 0;
  state.counters["copy_us"] = CopyMicros();
}

void IdleFrame(benchmark::State& state, bool full, bool windowCopy) {
  Game g(full, windowCopy);
  g.Frame(16);
  TimeFrames(state, [&] { g.Frame(16); });
}

void MovingPointer(benchmark::State& state, bool full, bool windowCopy) {
  Game g(full, windowCopy);
  int x = 0;
  TimeFrames(state, [&] {
    x = (x + 7) % 600;
    g.form->Display().InjectMouseMove(20 + x, 420);
    g.Frame(16);
  });
}

// A still screen: composed, equal to the last, not shown again.
void BM_IdleFrame(benchmark::State& state) { IdleFrame(state, false, false); }
// The pointer moving every frame: every frame is shown.
void BM_FrameWithMovingPointer(benchmark::State& state) { MovingPointer(state, false, false); }
void BM_FrameWithMovingPointerWithWindowCopy(benchmark::State& state) { MovingPointer(state, false, true); }
void BM_FrameWithMovingPointerWithWindowCopyFullScreen(benchmark::State& state) { MovingPointer(state, true, true); }

// The frames from the last shot to the end of the fireworks (214
// explosions on the enemy grid); a new game is played up to its last shot
// whenever they have burnt out, untimed.
void BM_FireworksFrame(benchmark::State& state) {
  std::unique_ptr<Game> g;
  std::unique_ptr<ScriptedGame> script;
  double total = 0;
  int64_t n = 0;
  int most = 0;
  for (auto _ : state) {
    if (!g || g->form->EnemyGrid().EffectCount == 0) {
      state.PauseTiming();
      script.reset();
      g = std::make_unique<Game>(false, false);
      script = std::make_unique<ScriptedGame>(*g->form, g->clock);
      if (!script->PlayToTheLastShot()) state.SkipWithError("the game did not reach its end");
      state.ResumeTiming();
    }
    most = std::max(most, static_cast<int>(g->form->EnemyGrid().EffectCount));
    const double t0 = CpuMicros();
    g->Frame(16);
    const double t = CpuMicros() - t0;
    state.SetIterationTime(t / 1e6);
    total += t;
    ++n;
  }
  state.counters["copies"] = n ? total / n / CopyMicros() : 0;
  state.counters["explosions"] = most;
}

void BM_FullScreenOpaqueCopy(benchmark::State& state) {
  Game g(false, false);
  eng::Surface src(640, 480);
  src.Fill(eng::RGB(20, 40, 80));
  TimeFrames(state, [&] { g.form->Display().BackSurface().Draw(0, 0, src, false); });
}

}  // namespace

BENCHMARK(BM_FullScreenOpaqueCopy)->UseManualTime()->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_IdleFrame)->UseManualTime()->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameWithMovingPointer)->UseManualTime()->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FireworksFrame)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(400)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameWithMovingPointerWithWindowCopy)->UseManualTime()->Unit(benchmark::kMicrosecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameWithMovingPointerWithWindowCopyFullScreen)->UseManualTime()->Unit(benchmark::kMicrosecond)->Repetitions(3)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
