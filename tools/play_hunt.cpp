// Hunts for the paths a player can reach that end badly: plays thousands of
// short sessions of the whole game headless (the dummy drivers, a manual
// clock), each from its own seed, with random presses, drags, wheel turns
// and keys, New Game and Options at random moments, against the computer at
// every level, and ends each session by shooting the enemy fleet down. After
// every frame it checks what must always hold (play_hunt_checks.h), and stops
// at the first breach with the seed and the last actions.
//
//   play_hunt [--count N] [--first-seed S] [--seed S] [--keep-going]
//             [--ignore RULE,...] [--trace N] [--frame-ms MS] [--hang-s S] [--quiet]
//
// --seed replays one session and prints its trace; --keep-going reports every breached session
// and goes on; --ignore counts the breaches of the named rules (counter,
// cell, fleet, panel, blink, sleep, timer, box, full-screen, render-reset,
// frame-time) instead of stopping at them; --frame-ms bounds the wall time of one frame or action (0:
// unbounded); --hang-s is how long nothing may move before the run is
// declared hung. Exit status 1 on a breach, 2 on bad options.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include "headless_game.h"
#include "play_hunt_session.h"

namespace {

struct Totals {
  uint64_t sessions = 0, frames = 0, breaches = 0, won = 0, lost = 0;
  double maxFrameMs = 0;
  uint32_t maxFrameSeed = 0;
  std::map<std::string, int> kinds;  // breaches by their first words
  std::map<int, int> levels;         // games ended, by the level played
};

int Usage() {
  std::fprintf(stderr,
               "usage: play_hunt [--count N] [--first-seed S] [--seed S] [--keep-going] [--ignore RULE,...] [--trace N] "
               "[--frame-ms MS] [--hang-s S] [--quiet]\n");
  return 2;
}

// Nothing moved for a long time: the run is stuck in a loop of its own or in
// a box nobody answers. A box without a hook gets an Enter first.
void Watch(hunt::Watchdog& dog, std::atomic<bool>& done, int hangSeconds) {
  using namespace std::chrono;
  uint64_t last = dog.heartbeat.load();
  auto since = steady_clock::now();
  bool nudged = false;
  while (!done.load()) {
    std::this_thread::sleep_for(milliseconds(100));
    const uint64_t now = dog.heartbeat.load();
    if (now != last) {
      last = now;
      since = steady_clock::now();
      nudged = false;
      continue;
    }
    const double idle = duration<double>(steady_clock::now() - since).count();
    if (idle > 10 && !nudged) {
      nudged = true;
      dog.nudges.fetch_add(1);
      SDL_Event e{};
      e.type = SDL_KEYDOWN;
      e.key.keysym.sym = SDLK_RETURN;
      SDL_PushEvent(&e);
    }
    if (idle > hangSeconds) {
      std::lock_guard<std::mutex> lock(dog.mutex);
      std::fprintf(stderr, "BREACH seed %u: nothing moved for %d s (hung)\n%s", dog.seed, hangSeconds,
                   dog.trace.c_str());
      std::fflush(stderr);
      std::_Exit(1);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  hunt::Options opt;
  hunt::Rules rules;
  uint64_t count = 200;
  uint32_t first = 1;
  bool one = false, keepGoing = false, quiet = false;
  int hangSeconds = 60;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto number = [&](long long lo, long long hi, long long& out) {
      if (i + 1 >= argc) return false;
      char* end = nullptr;
      out = std::strtoll(argv[++i], &end, 10);
      return end && *end == 0 && out >= lo && out <= hi;
    };
    long long v = 0;
    if (a == "--count" && number(1, 100000000, v)) {
      count = static_cast<uint64_t>(v);
    } else if (a == "--first-seed" && number(0, 0xFFFFFFFFLL, v)) {
      first = static_cast<uint32_t>(v);
    } else if (a == "--seed" && number(0, 0xFFFFFFFFLL, v)) {
      first = static_cast<uint32_t>(v);
      one = true;
    } else if (a == "--trace" && number(1, 100000, v)) {
      opt.traceLength = static_cast<int>(v);
    } else if (a == "--frame-ms" && number(0, 3600000, v)) {
      opt.frameMs = static_cast<double>(v);
    } else if (a == "--hang-s" && number(5, 36000, v)) {
      hangSeconds = static_cast<int>(v);
    } else if (a == "--ignore" && i + 1 < argc) {
      // Rules given as a comma-separated list.
      std::string list = argv[++i];
      for (size_t p = 0; p <= list.size();) {
        const size_t q = std::min(list.find(',', p), list.size());
        if (q > p) rules.ignored.insert(list.substr(p, q - p));
        p = q + 1;
      }
    } else if (a == "--keep-going") {
      keepGoing = true;
    } else if (a == "--quiet") {
      quiet = true;
    } else {
      return Usage();
    }
  }
  if (one) count = 1;

  hunt::Watchdog dog;
  std::atomic<bool> done{false};
  std::thread watcher(Watch, std::ref(dog), std::ref(done), hangSeconds);

  Totals t;
  const auto start = std::chrono::steady_clock::now();
  for (uint64_t k = 0; k < count; ++k) {
    const uint32_t seed = first + static_cast<uint32_t>(k);
    hunt::Session session(seed, opt, rules, dog);
    const hunt::Outcome out = session.Play();
    ++t.sessions;
    t.frames += out.frames;
    if (out.maxFrameMs > t.maxFrameMs) {
      t.maxFrameMs = out.maxFrameMs;
      t.maxFrameSeed = seed;
    }
    if (out.winner == 1) ++t.won;
    if (out.winner == 2) ++t.lost;
    if (out.winner) ++t.levels[out.level];
    if (one && out.breach.empty()) std::printf("%s", out.trace.c_str());
    if (out.breach.empty()) continue;
    ++t.breaches;
    ++t.kinds[out.breach.substr(0, out.breach.find(':'))];
    std::fprintf(stderr, "BREACH seed %u frame %llu: %s\n%s", seed, static_cast<unsigned long long>(out.frames),
                 out.breach.c_str(), out.trace.c_str());
    if (!keepGoing) break;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  done = true;
  watcher.join();

  if (!quiet || t.breaches) {
    std::printf("%llu sessions (seeds from %u), %llu frames, %.1f s, %llu breaches; games won %llu, lost %llu\n",
                static_cast<unsigned long long>(t.sessions), first, static_cast<unsigned long long>(t.frames), seconds,
                static_cast<unsigned long long>(t.breaches), static_cast<unsigned long long>(t.won),
                static_cast<unsigned long long>(t.lost));
    std::printf("slowest frame or action %.1f ms (seed %u); boxes answered by the watchdog %llu\n", t.maxFrameMs,
                t.maxFrameSeed, static_cast<unsigned long long>(dog.nudges.load()));
    std::printf("games ended by level:");
    for (auto [level, n] : t.levels) std::printf(" %d:%d", level, n);
    std::printf("\n");
    for (auto& [kind, n] : t.kinds) std::printf("  breached %-14s %d sessions\n", kind.c_str(), n);
    for (auto& [rule, n] : rules.ignoredSeen)
      std::printf("  ignored  %-14s %llu times\n", rule.c_str(), static_cast<unsigned long long>(n));
  }
  return t.breaches ? 1 : 0;
}
