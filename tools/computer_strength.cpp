// How strong the computer is at each level: it sinks auto-placed fleets, one
// seed per game, through the game's own shot, bomb, bonus and penalty code.
// Each frame runs what the game's frame runs for the battle (the rockets,
// the computer's turn, the effects of both grids, the ships sliding in, the
// closed grid flying together); the player never shoots and hands the turn
// straight back, so every shot on the own grid is the computer's. Penalties
// the computer finds send their rockets at its own fleet, as in the game.
//
//   computer_strength [--games N] [--first-seed S] [--levels 0123] [--lag MS] [--html]
//
// Prints, per level, the mean, median, 90th percentile and maximum of the
// shots (rockets and bombs) and of the turns (runs of shots between two of
// the player's turns) the computer needed, the means of its bombs, of the
// own cells opened by the end (a bomb opens up to nine) and of those left
// closed beside sunk ships, and the wall and processor time the level took.
// --html prints the table in Russian as an HTML fragment for the help page.
// The frames are 50 ms long unless --lag says otherwise; the figures do not
// depend on it, since every random draw follows a shot, a landing or a
// sinking, not a frame. Exit status 1 when a game did not end with the own
// fleet sunk.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ai/computer.h"
#include "assets/image_table.h"
#include "assets/pictures.h"
#include "assets/waves.h"
#include "effects/grid_effects.h"
#include "engine/canvas.h"
#include "engine/clock.h"
#include "engine/image_list.h"
#include "engine/random.h"
#include "engine/sound.h"
#include "engine/sprite_engine.h"
#include "engine/surface.h"
#include "sea/battle_field.h"
#include "ui/common.h"
#include "ui/ui_host.h"

namespace {

constexpr const char* kLevelNames[] = {"very easy", "easy", "normal", "hard"};
constexpr const char* kRussianLevelNames[] = {"Очень легко", "Легко", "Нормально", "Сложно"};


// What the pictures and sounds cost to make is paid once for all games.
struct Assets {
  eng::ImageList images;
  eng::WaveList waves;
  eng::SoundDevice sound;  // never opened: silent
  std::string settingsPath;
};

// One game's world, built afresh so no game inherits from another.
struct World {
  World(Assets& a, uint32_t seed)
      : random(seed),
        own(a.images, random, common),
        enemy(a.images, random, common),
        common(UiServices{a.images, a.waves, a.sound, random, clock, host, a.settingsPath, &sprites}, own, enemy) {
    own.Id = 1;
    own.OriginX = 31;
    own.OriginY = 108;
    enemy.Id = 2;
    enemy.OriginX = 353;
    enemy.OriginY = 108;
    // As the display's start makes them.
    common.SCblockCopy = a.images[assets::kSCblock].picture;
    common.SCmodifCopy = a.images[assets::kSCmodif].picture;
    common.CreateSurfaces();
    common.RestoreSurfaces();
    common.DragSurface.Create(16, 16);
    for (TBattleField* grid : {&own, &enemy}) {
      grid->EffectSurface.Create(GridWidth, GridHeight);
      eng::Canvas& pen = grid->EffectSurface.GetCanvas();
      pen.penColor = eng::RGB(0, 255, 255);
      pen.penWidth = 2;
      grid->GridSurface.Create(GridWidth, GridHeight);
    }
    back.Create(640, 480);
    common.LogoShown = 0;
  }

  eng::ManualClock clock;
  WindowlessHost host;
  eng::RandomSource random;
  // The grids hold a reference to the interface built right after them.
  TBattleField own, enemy;
  eng::SpriteEngine sprites;
  TCommon common;
  eng::Surface back;
};

struct GameResult {
  int shots = 0;
  int turns = 0;
  int bombs = 0;
  int opened = 0;  // own cells opened by the end
  int marked = 0;  // own cells known empty beside a sunk ship and never shot
  bool sunk = false;  // the own fleet went down
  std::string note;   // why a game did not end as it should
};

// Frames of game time one game may take at most: a game of 272 shots lasts
// well under ten minutes.
constexpr int64_t kMaxGameMs = 60LL * 60 * 1000;

GameResult PlayGame(Assets& assets, int level, uint32_t seed, int lag) {
  World w(assets, seed);
  TCommon& c = w.common;
  c.Settings.GameMode = 1;
  c.Settings.Difficulty = static_cast<uint8_t>(level);
  // A new game's placement, then the automatic fleet: the tenth ship starts
  // the battle with the computer's fleet laid out and the player to shoot.
  w.own.OpenForPlacement(false);
  w.own.CellsClosed = 0;
  w.enemy.CloseAllCells(false);
  w.own.AutoPlace();

  GameResult result;
  if (!c.BattlePhase) {
    result.note = "the automatic placement did not start the battle";
    return result;
  }
  for (int64_t ms = 0; ms < kMaxGameMs; ms += lag) {
    w.clock.Advance(lag);
    w.sprites.Move(lag);
    w.sprites.Dead();
    const int rockets = w.sprites.Count();
    const size_t bombs = w.own.BombList.size();
    ComputerTurnStep(w.own, c);
    if (w.sprites.Count() > rockets) ++result.shots;
    if (w.own.BombList.size() > bombs) ++result.shots, ++result.bombs;
    if (w.own.EffectCount != 0) AnimateGridEffects(w.own, c, lag);
    if (w.enemy.EffectCount != 0) AnimateGridEffects(w.enemy, c, lag);
    w.own.SlideInStep(w.back, lag);
    // The closed own grid flies together and closes the cells for battle.
    c.DrawAssemble(w.back, lag);
    c.UpdateCursorShape();

    if (w.own.SunkCount >= kFleetSize) {
      result.sunk = true;
      for (int y = 1; y <= GridRows; ++y)
        for (int x = 1; x <= GridCols; ++x) {
          const uint8_t s = w.own.TrueCells.At(x, y).State;
          result.opened += s == cell::Opened || s == cell::OpenedMarked;
          result.marked += s == cell::Marked;
        }
      return result;
    }
    if (!c.BattlePhase) {
      result.note = "the battle stopped with " + std::to_string(w.own.SunkCount) + " own ships sunk";
      return result;
    }
    if (c.LocalTurn) {
      // The player's turn: passed without a shot.
      c.LocalTurn = 0;
      c.ComputerMovePending = 1;
      ++result.turns;
    }
  }
  result.note = "no end after an hour of game time: pending " + std::to_string(c.ComputerMovePending) +
                ", in flight " + std::to_string(c.AnimationsInFlight) + ", sunk " + std::to_string(w.own.SunkCount) +
                ", candidates " + std::to_string(w.own.Candidates.size());
  return result;
}

struct Figures {
  double mean = 0, median = 0;
  int p90 = 0, max = 0;
};

// The median of an even count is the mean of the middle two; the 90th
// percentile is the nearest rank.
Figures Summarise(std::vector<int> v) {
  Figures f;
  if (v.empty()) return f;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  double sum = 0;
  for (int x : v) sum += x;
  f.mean = sum / n;
  f.median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
  const size_t rank = (9 * n + 9) / 10;  // ceil(0.9 n)
  f.p90 = v[std::max<size_t>(rank, 1) - 1];
  f.max = v.back();
  return f;
}

struct LevelRow {
  int level = 0;
  int games = 0;
  Figures shots, turns;
  double seconds = 0, cpuSeconds = 0;  // wall clock and processor time
  int failed = 0;
  // Means per game: the bombs among the shots, the own cells opened by the
  // end and those never shot because they lay beside a sunk ship.
  double bombs = 0, opened = 0, marked = 0;
};

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

void PrintHtml(const std::vector<LevelRow>& rows, int games) {
  std::printf("<table class=\"strength\">\n");
  std::printf("<caption>Сила компьютера: сколько выстрелов и ходов ему нужно, чтобы потопить весь ваш флот "
              "(по %d партий на уровень)</caption>\n",
              games);
  std::printf("<tr><th rowspan=\"2\">Уровень</th><th colspan=\"4\">Выстрелов</th><th colspan=\"4\">Ходов</th></tr>\n");
  std::printf("<tr><th>в среднем</th><th>медиана</th><th>в 9 партиях из 10 не больше</th><th>наибольшее</th>"
              "<th>в среднем</th><th>медиана</th><th>в 9 партиях из 10 не больше</th><th>наибольшее</th></tr>\n");
  for (const LevelRow& r : rows) {
    auto cells = [](const Figures& f) {
      std::string s = "<td>" + Number(f.mean) + "</td><td>" + Number(f.median) + "</td><td>" + std::to_string(f.p90) +
                      "</td><td>" + std::to_string(f.max) + "</td>";
      // Russian writes a decimal comma.
      std::replace(s.begin(), s.end(), '.', ',');
      return s;
    };
    std::printf("<tr><td>%s</td>%s%s</tr>\n", kRussianLevelNames[r.level], cells(r.shots).c_str(),
                cells(r.turns).c_str());
  }
  std::printf("</table>\n");
  std::printf("<p>Выстрел — ракета или бомба компьютера; ход — серия его выстрелов до промаха.</p>\n");
}

int Usage() {
  std::fprintf(stderr, "usage: computer_strength [--games N] [--first-seed S] [--levels 0123] [--lag MS] [--html]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int games = 1000, lag = 50;
  uint32_t firstSeed = 1;
  std::string levels = "0123";
  bool html = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (a == "--games") {
      const char* v = value();
      if (!v || (games = std::atoi(v)) <= 0) return Usage();
    } else if (a == "--first-seed") {
      const char* v = value();
      if (!v) return Usage();
      firstSeed = static_cast<uint32_t>(std::strtoul(v, nullptr, 10));
    } else if (a == "--levels") {
      const char* v = value();
      if (!v) return Usage();
      levels = v;
      if (levels.empty() || levels.find_first_not_of("0123") != std::string::npos) return Usage();
    } else if (a == "--lag") {
      const char* v = value();
      if (!v || (lag = std::atoi(v)) <= 0 || lag > 1000) return Usage();
    } else if (a == "--html") {
      html = true;
    } else {
      return Usage();
    }
  }

  Assets assets;
  assets::PaintPictures(assets.images);
  assets.images.RestoreAll();
  assets::BuildWaves(assets.waves);
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("salvora-strength-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  assets.settingsPath = (dir / "config.opt").string();

  std::vector<LevelRow> rows;
  int failures = 0;
  for (char ch : levels) {
    LevelRow row;
    row.level = ch - '0';
    std::vector<int> shots, turns;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    for (int g = 0; g < games; ++g) {
      const uint32_t seed = firstSeed + static_cast<uint32_t>(g);
      const GameResult r = PlayGame(assets, row.level, seed, lag);
      if (!r.sunk) {
        ++row.failed;
        std::fprintf(stderr, "level %d seed %u: %s\n", row.level, seed, r.note.c_str());
        continue;
      }
      shots.push_back(r.shots);
      turns.push_back(r.turns);
      row.bombs += r.bombs;
      row.opened += r.opened;
      row.marked += r.marked;
    }
    row.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    row.cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    row.games = static_cast<int>(shots.size());
    if (row.games) {
      row.bombs /= row.games;
      row.opened /= row.games;
      row.marked /= row.games;
    }
    row.shots = Summarise(shots);
    row.turns = Summarise(turns);
    failures += row.failed;
    rows.push_back(row);
  }
  std::filesystem::remove_all(dir);

  if (html) {
    PrintHtml(rows, games);
  } else {
    std::printf("%d games per level, seeds %u..%u, frames of %d ms\n", games, firstSeed,
                firstSeed + static_cast<uint32_t>(games) - 1, lag);
    std::printf("%-10s %6s | %7s %7s %5s %5s | %7s %7s %5s %5s | %6s %6s %6s | %7s %7s %s\n", "level", "games", "shots",
                "median", "p90", "max", "turns", "median", "p90", "max", "bombs", "opened", "marked", "seconds",
                "cpu s", "failed");
    for (const LevelRow& r : rows)
      std::printf("%-10s %6d | %7.1f %7.1f %5d %5d | %7.1f %7.1f %5d %5d | %6.1f %6.1f %6.1f | %7.1f %7.1f %d\n",
                  kLevelNames[r.level], r.games, r.shots.mean, r.shots.median, r.shots.p90, r.shots.max, r.turns.mean,
                  r.turns.median, r.turns.p90, r.turns.max, r.bombs, r.opened, r.marked, r.seconds, r.cpuSeconds,
                  r.failed);
  }
  return failures ? 1 : 0;
}
