// Frames of a real game, played on the dummy display driver the way a
// player plays it (seeded, with a manual clock, so the same build always
// gives the same pictures): the placement with the first ship in hand, and a
// battle against the computer a few turns in, with hits, a sunk ship, miss
// hints and a navigator open and an explosion still burning. The README's
// screenshot and the help page's pictures are these frames.
//
//   game_frame OUTDIR     writes OUTDIR/placement.png and OUTDIR/game.png
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/keys.h"
#include "engine/text_codec.h"
#include "sea/sea_cell.h"
#include "settings/new_game_form.h"
#include "settings/settings_file.h"
#include "shell/main_form.h"
#include "tool_png.h"

namespace {

namespace fs = std::filesystem;

class Game {
 public:
  explicit Game(const fs::path& dir) {
    SettingsRecord settings;
    settings.FullScreen = 0;
    settings.Difficulty = 2;
    settings.SetPlayerName(W("Адмирал"));
    SaveSettingsFile((dir / "config.opt").string(), settings);
    clock_.now = 100000;
    MainFormOptions options;
    options.clock = &clock_;
    options.appDir = dir.string() + "/";
    options.seed = 2024;
    options.sound = false;
    form_ = std::make_unique<TMainForm>(options);
    form_->OpenDisplay();
  }

  TMainForm& Form() { return *form_; }
  TCommon& Common() { return form_->Common(); }

  void Frames(int count, int lag = 20) {
    for (int i = 0; i < count; ++i) {
      clock_.Advance(lag);
      form_->DXTimerTimer(lag);
    }
  }
  // Frames until the condition holds; false when it never did.
  bool Until(const std::function<bool()>& done, int limit = 2000) {
    for (int i = 0; i < limit && !done(); ++i) Frames(1);
    return done();
  }
  void Move(int x, int y) { form_->Display().InjectMouseMove(x, y); }
  void Click(int x, int y) {
    Move(x, y);
    form_->Display().InjectMouseDown(eng::kMouseLeft, x, y);
    form_->Display().InjectMouseUp(eng::kMouseLeft, x, y);
  }
  // New Game from the menu, started with Enter in the name edit.
  bool NewGame() {
    TNewGameForm& dialog = *form_->NewGameForm;
    int pass = 0;
    dialog.Pump = [&] {
      if (pass == 0) form_->Display().InjectKey(eng::kKeyEnter);
      if (++pass > 100) dialog.Close(eng::kResultCancel);
    };
    Click(211, 29);
    dialog.Pump = nullptr;
    return dialog.Closed() && pass <= 100;
  }
  void PressPanel(const eng::Rect& button) {
    Click(Common().ChooserX + button.x + button.w / 2, Common().ChooserY + button.y + button.h / 2);
  }
  // A shot at a cell of the enemy grid, then the frames until the player may
  // shoot again (the computer's turns included).
  bool Shoot(int x, int y) {
    Click(353 + 16 * (x - 1) + 8, 108 + 16 * (y - 1) + 8);
    return Until([&] { return Common().LocalTurn == 1 && Common().AnimationsInFlight == 0; });
  }

  bool Save(const fs::path& path) {
    const eng::Surface& back = form_->Display().BackSurface();
    tool::Canvas c(back.Width(), back.Height());
    for (int y = 0; y < back.Height(); ++y)
      for (int x = 0; x < back.Width(); ++x) c.Set(x, y, tool::Canvas::Opaque(back.GetColor(x, y)));
    return c.WritePng(path.string());
  }

 private:
  eng::ManualClock clock_;
  std::unique_ptr<TMainForm> form_;
};

bool Fail(const char* what) {
  std::fprintf(stderr, "game_frame: %s\n", what);
  return false;
}

bool Play(const fs::path& work, const fs::path& out) {
  Game g(work);
  TCommon& c = g.Common();
  TBattleField& enemy = g.Form().EnemyGrid();
  g.Form().Display().InjectKey(eng::kKeySpace);
  g.Frames(1, 20000);
  g.Frames(1);
  if (c.LogoShown) return Fail("the logo did not end");

  if (!g.NewGame()) return Fail("the New Game dialog did not start a game");
  if (!g.Until([&] { return !c.Shattering && c.ChooserClosed == 0 && c.ChooserShown == 0 && !c.Blinking; }))
    return Fail("the placement panel did not open");
  g.PressPanel(c.NextShipButton);
  TBattleField& own = g.Form().OwnGrid();
  if (!g.Until([&] { return own.ShipActive == 1 && own.FlyingCount == 0; })) return Fail("no ship in hand");
  g.Move(200, 250);
  g.Frames(2);
  if (!g.Save(out / "placement.png")) return false;

  g.PressPanel(c.AutoButton);
  if (!g.Until([&] { return c.BattlePhase == 1 && own.CellsClosed == 1 && c.Assembling == 0; }))
    return Fail("the battle did not begin");

  // The player's shots: the smallest ships are sunk, every cell of the
  // four-cell ship but one is hit, and a few misses beside ships show their
  // hints; a navigator in the top rows is opened.
  std::vector<std::pair<int, int>> shots;
  const TShipRecord& big = enemy.Fleet[0];
  for (int slot : {7, 8, 0}) {
    const TShipRecord& s = enemy.Fleet[slot];
    const int n = s.ShapeSize();
    int taken = 0;
    for (int r = 0; r < n; ++r)
      for (int col = 0; col < n; ++col)
        if (s.Shape[r][col] == cell::Ship && !(&s == &big && ++taken == s.Type))
          shots.push_back({s.X + col, s.Y + r});
  }
  int rings = 0, navigators = 0;
  for (int y = 1; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x) {
      const uint8_t code = enemy.TrueCells.At(x, y).Code;
      if ((code == cell::SideRing || code == cell::CornerRing) && rings < 5 && (x + y) % 3 == 0) {
        shots.push_back({x, y});
        ++rings;
      }
      if (code >= 100 && code < 140 && code % 10 > 0 && navigators < 1 && y > 2) {
        shots.push_back({x, y});
        ++navigators;
      }
    }
  for (const auto& [x, y] : shots) {
    if (c.BattlePhase != 1) break;
    if (enemy.TrueCells.At(x, y).State >= 2) continue;
    if (!g.Shoot(x, y)) return Fail("the turn did not come back");
  }
  if (enemy.SunkCount < 2 || own.Unshot.size() >= 272u) return Fail("the game did not get under way");

  // The big ship's last cell: it sinks in a chain of explosions, caught while
  // they burn, with the pointer aiming over the sea.
  for (int r = 0, n = big.ShapeSize(); r < n; ++r)
    for (int col = 0; col < n; ++col)
      if (big.Shape[r][col] == cell::Ship && enemy.TrueCells.At(big.X + col, big.Y + r).State == 0) {
        g.Click(353 + 16 * (big.X + col - 1) + 8, 108 + 16 * (big.Y + r - 1) + 8);
        r = n;
        break;
      }
  g.Frames(6, 40);
  g.Move(353 + 16 * 11 + 6, 108 + 16 * 12 + 4);
  g.Frames(1);
  return g.Save(out / "game.png");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: game_frame OUTDIR\n");
    return 2;
  }
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const fs::path out = argv[1];
  const fs::path work = fs::temp_directory_path() / ("salvora-frame-" + std::to_string(getpid()));
  std::error_code ec;
  fs::create_directories(out, ec);
  fs::create_directories(work, ec);
  const bool ok = Play(work, out);
  fs::remove_all(work, ec);
  return ok ? 0 : 1;
}
