// The game's own heap (mallinfo2: bytes in use, small blocks and mapped ones)
// and the resident size, at the game screen and after each of ten whole
// games in a row against the computer in one window, each played to its
// still end. The heap must not grow from game to game.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "../tests/scripted_game.h"
#include "engine/font_cache.h"
#include "settings/settings_record.h"
#include "shell/main_form.h"

namespace {

double HeapKiB() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<double>(m.uordblks + m.hblkhd) / 1024.0;
}

double ResidentKiB() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6);
  return 0;
}

void BM_HeapOverTenGames(benchmark::State& state) {
  const auto dir = std::filesystem::temp_directory_path() / "salvora-memory-bench";
  PrepareWindowedGame(dir, 0);
  for (auto _ : state) {
    eng::ManualClock clock;
    clock.now = 1000;
    MainFormOptions options;
    options.clock = &clock;
    options.appDir = dir.string() + "/";
    options.seed = 21;
    options.sound = false;
    TMainForm form(options);
    form.OpenDisplay();
    ScriptedGame game(form, clock);
    game.LeaveLogo();
    malloc_trim(0);
    state.counters["screen_heap_KiB"] = HeapKiB();
    state.counters["screen_rss_KiB"] = ResidentKiB();
    double first = 0, last = 0, most = 0;
    const int games = static_cast<int>(state.range(0));
    for (int i = 1; i <= games; ++i) {
      if (!game.PlayAnother()) state.SkipWithError("a game did not reach its end");
      const double heap = HeapKiB();
      const eng::TextCacheUse texts = eng::TextCacheSize();
      std::fprintf(stderr, "after game %d: heap %.0f KiB, resident %.0f KiB, %zu texts cached (%zu KiB)\n", i,
                   heap, ResidentKiB(), texts.texts, texts.bytes / 1024);
      if (i == 1) first = heap;
      last = heap;
      most = std::max(most, heap);
    }
    state.counters["game1_heap_KiB"] = first;
    state.counters["last_heap_KiB"] = last;
    state.counters["most_heap_KiB"] = most;
    state.counters["growth_from_game1_KiB"] = last - first;
    state.counters["last_rss_KiB"] = ResidentKiB();
  }
  std::filesystem::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_HeapOverTenGames)->Arg(10)->Arg(80)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
