// The cost of one game-state frame with no effects running, composed and
// presented on the dummy driver, against one full-screen opaque copy.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "engine/clock.h"
#include "engine/keys.h"
#include "engine/surface.h"
#include "shell/main_form.h"

namespace {

struct Game {
  Game() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    dir = std::filesystem::temp_directory_path() / "salvora-frame-bench";
    std::filesystem::create_directories(dir);
    clock.now = 1000;
    MainFormOptions options;
    options.clock = &clock;
    options.appDir = dir.string() + "/";
    options.seed = 7;
    options.sound = false;
    form = std::make_unique<TMainForm>(options);
    form->OpenDisplay();
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
};

Game& TheGame() {
  static Game game;
  return game;
}

// A still screen: composed every frame, presented only when it changed.
void BM_IdleFrame(benchmark::State& state) {
  Game& g = TheGame();
  for (auto _ : state) g.Frame(16);
}
BENCHMARK(BM_IdleFrame)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The pointer moving every frame: every frame is presented.
void BM_FrameWithMovingPointer(benchmark::State& state) {
  Game& g = TheGame();
  int x = 0;
  for (auto _ : state) {
    x = (x + 7) % 600;
    g.form->Display().InjectMouseMove(20 + x, 420);
    g.Frame(16);
  }
}
BENCHMARK(BM_FrameWithMovingPointer)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The unit: one full-screen opaque copy, in the same run.
void BM_FullScreenOpaqueCopy(benchmark::State& state) {
  Game& g = TheGame();
  eng::Surface src(640, 480);
  src.Fill(eng::RGB(20, 40, 80));
  for (auto _ : state) {
    g.form->Display().BackSurface().Draw(0, 0, src, false);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FullScreenOpaqueCopy)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
