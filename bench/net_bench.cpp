// From one side's shot to the other side's handler over loopback: the
// shot block leaves through the session and the time runs until the
// receiving side's message handler is called. Once with the receiver
// polling as fast as it can (the transport alone), once with the receiver
// running the game's frames between its polls, as the main loop does.
// Each reports the median and the worst of 1000 shots.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#include "engine/clock.h"
#include "engine/keys.h"
#include "net/game_messages.h"
#include "net/session.h"
#include "shell/main_form.h"

namespace {

using Clock = std::chrono::steady_clock;

void Report(benchmark::State& state, std::vector<double>& us) {
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["median_us"] = us[us.size() / 2];
  state.counters["worst_us"] = us.back();
  state.counters["shots"] = static_cast<double>(us.size());
}

// Two sessions joined over loopback, the joiner's handler stamping the time.
struct Pair {
  net::TDXPlay creator, joiner;
  bool arrived = false;
  Clock::time_point at;
  Pair() {
    creator.Create("bench", "a", net::SessionPorts{0, 1, 0, false});
    joiner.OnMessage = [this](const std::string&, const uint8_t*, size_t) {
      at = Clock::now();
      arrived = true;
    };
    joiner.Join("127.0.0.1", creator.Port(), "b", "", [this] { creator.Poll(); });
    for (int i = 0; i < 100; ++i) creator.Poll();
  }
};

void BM_ShotToHandlerTransport(benchmark::State& state) {
  Pair pair;
  std::vector<double> us;
  const std::vector<uint8_t> shot = net::ShotMessage(5, 5, 1);
  for (auto _ : state) {
    pair.arrived = false;
    const Clock::time_point sent = Clock::now();
    pair.creator.SendMessage(shot);
    while (!pair.arrived) {
      pair.joiner.Poll();
      pair.creator.Poll();
    }
    us.push_back(std::chrono::duration<double, std::micro>(pair.at - sent).count());
  }
  Report(state, us);
}
BENCHMARK(BM_ShotToHandlerTransport)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// The receiver is a main window on the dummy driver: between two polls it
// runs a frame, as its loop does. The shot leaves at a random moment of the
// receiver's loop, from a thread of its own.
void BM_ShotToHandlerInTheGameLoop(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SDL_InitSubSystem(SDL_INIT_VIDEO);
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "salvora-net-bench";
  std::filesystem::create_directories(dir);
  eng::ManualClock clock;
  clock.now = 1000;
  MainFormOptions options;
  options.clock = &clock;
  options.appDir = dir.string() + "/";
  options.seed = 3;
  options.sound = false;
  {
    TMainForm form(options);
    form.OpenDisplay();
    form.Display().InjectKey(eng::kKeySpace);
    clock.Advance(20000);
    form.DXTimerTimer(20000);
    form.Common().Settings.GameMode = 2;

    net::TDXPlay shooter;
    shooter.Create("bench", "a", net::SessionPorts{0, 1, 0, false});
    bool arrived = false;
    Clock::time_point at;
    form.DXPlay.OnMessage = [&](const std::string& from, const uint8_t* data, size_t size) {
      at = Clock::now();
      arrived = true;
      DXPlayMessage(form.Common(), from, data, size);
    };
    form.DXPlay.Join("127.0.0.1", shooter.Port(), "b", "", [&] { shooter.Poll(); });
    for (int i = 0; i < 100; ++i) shooter.Poll();

    std::vector<double> us;
    const std::vector<uint8_t> shot = net::ShotMessage(5, 5, 1);
    std::mt19937 rng(5);
    for (auto _ : state) {
      arrived = false;
      Clock::time_point sent;
      // The shooter's side in its own thread, at a random moment.
      std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 8000));
        sent = Clock::now();
        shooter.SendMessage(shot);
      });
      while (!arrived) {
        form.Display().PumpEvents(0);
        form.DXPlay.Poll();
        clock.Advance(16);
        form.DXTimerTimer(16);
      }
      other.join();
      for (int i = 0; i < 3; ++i) shooter.Poll();  // the acknowledgements
      us.push_back(std::chrono::duration<double, std::micro>(at - sent).count());
    }
    Report(state, us);
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ShotToHandlerInTheGameLoop)->Iterations(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
