// The hard computer's choice of target (ScoreCandidates with the check of
// the ship's shape) on the own grids of a real game at the hard level: the
// player misses on every turn, so the computer shoots its way through the
// own fleet. At every turn of the player the choice is timed on the grid as
// the computer left it (each state's fastest of a few runs, on the thread's
// CPU clock); the median and the worst state are reported in microseconds
// and in full-screen opaque copies measured in the same run.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "../tests/scripted_game.h"
#include "ai/hard_level.h"
#include "engine/surface.h"
#include "settings/settings_record.h"
#include "shell/main_form.h"

namespace {

double CpuMicros() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

double CopyMicros() {
  eng::Surface src(640, 480), dst(640, 480);
  src.Fill(eng::RGB(20, 40, 80));
  std::vector<double> batches;
  for (int b = 0; b < 15; ++b) {
    const double t0 = CpuMicros();
    for (int i = 0; i < 200; ++i) dst.Draw(0, 0, src, false);
    batches.push_back((CpuMicros() - t0) / 200);
  }
  std::sort(batches.begin(), batches.end());
  return batches[batches.size() / 2];
}

// Every own-grid state of one game at the hard level, timed.
std::vector<double> TurnTimes(uint32_t seed) {
  const auto dir = std::filesystem::temp_directory_path() / ("salvora-hard-bench-" + std::to_string(seed));
  PrepareWindowedGame(dir, 3);
  std::vector<double> times;
  {
    eng::ManualClock clock;
    clock.now = 1000;
    MainFormOptions options;
    options.clock = &clock;
    options.appDir = dir.string() + "/";
    options.seed = seed;
    options.sound = false;
    TMainForm form(options);
    form.OpenDisplay();
    ScriptedGame game(form, clock);
    if (!game.StartBattle()) return times;
    TCommon& c = form.Common();
    TBattleField& own = form.OwnGrid();
    TBattleField& enemy = form.EnemyGrid();
    for (int y = 1; y <= GridRows && c.BattlePhase == 1; ++y)
      for (int x = 1; x <= GridCols && c.BattlePhase == 1; ++x) {
        const TSeaCell& cell = enemy.TrueCells.At(x, y);
        if (cell.State != cell::Closed || cell.Code != cell::Water) continue;
        if (!game.FramesUntil([&] { return c.BattlePhase != 1 || (c.LocalTurn && !c.AnimationsInFlight); }, 3000))
          return times;
        if (c.BattlePhase != 1) break;
        // The grid as the computer left it, before the player's miss.
        if (!own.Candidates.empty()) {
          double best = 1e18;
          for (int r = 0; r < 5; ++r) {
            const double t0 = CpuMicros();
            ScoreCandidates(own);
            best = std::min(best, CpuMicros() - t0);
          }
          times.push_back(best);
        }
        game.Click(ScriptedGame::CellX(x), ScriptedGame::CellY(y));
        game.Frame();
      }
  }
  std::filesystem::remove_all(dir);
  return times;
}

void BM_HardLevelTurn(benchmark::State& state) {
  const double copy = CopyMicros();
  std::vector<double> all;
  uint32_t seed = 11;
  for (auto _ : state) {
    const std::vector<double> t = TurnTimes(seed++);
    all.insert(all.end(), t.begin(), t.end());
  }
  std::sort(all.begin(), all.end());
  const double median = all.empty() ? 0 : all[all.size() / 2];
  const double worst = all.empty() ? 0 : all.back();
  state.counters["states"] = static_cast<double>(all.size());
  state.counters["median_us"] = median;
  state.counters["worst_us"] = worst;
  state.counters["median_copies"] = median / copy;
  state.counters["worst_copies"] = worst / copy;
}

}  // namespace

BENCHMARK(BM_HardLevelTurn)->Iterations(4)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
