// One side of a scripted network game, for the two-host check: the real
// main window on SDL's dummy drivers, a manual clock, the real session.
//
//   net_peer create [seed]           creates a session and plays
//   net_peer join <address> [seed]   finds it by the LAN search and by the
//                                    typed address, joins it and plays
//
// Both sides lay their fleets with the panel's Auto button and shoot by
// clicks on the enemy grid: half the shots at a ship cell, half at a cell
// without one, so turns pass, bonuses, bombs and penalties come up. Two
// whole games are played; each side prints, for each game,
//   GAME <n> winner=<status line> score=<own>:<other>
// In the third game, once the battle is on, both print READY and idle: the
// joiner to be killed, the creator until the connection is lost; it then
// prints LOST with what the game shows and fires a shot that must not
// count, starts a new game and prints NEWGAME. Lines are UTF-8; a game that never ends prints STUCK and exits 1.
#include <SDL.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include "engine/clock.h"
#include "engine/keys.h"
#include "engine/text_codec.h"
#include "net/connect_wizard.h"
#include "shell/main_form.h"

namespace {

constexpr int kLag = 100;  // milliseconds of game time per frame: a slow machine's

// The main window; a "keep the connection?" question is answered No.
class ScriptedForm : public TMainForm {
 public:
  using TMainForm::TMainForm;
  bool Confirm(const std::string&) override { return false; }
};

std::string Utf8(const std::string& cp1251) { return eng::Cp1251ToUtf8(cp1251); }

struct Peer {
  bool creator = true;
  std::string address;  // typed by the joiner
  std::mt19937 rng;
  eng::ManualClock clock;
  std::filesystem::path dir;
  std::unique_ptr<ScriptedForm> form;

  TCommon& c() { return form->Common(); }

  void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  }

  // One frame: the network, then the game.
  void Frame() {
    clock.Advance(kLag);
    form->DXPlay.Poll();
    form->DXTimerTimer(kLag);
    std::this_thread::sleep_for(std::chrono::microseconds(500));  // room for the other side
  }
  bool RunUntil(const std::function<bool()>& done, int maxFrames) {
    for (int i = 0; i < maxFrames && !done(); ++i) Frame();
    return done();
  }
  [[noreturn]] void Stuck(const std::string& where) {
    Say("STUCK " + where + " battle=" + std::to_string(c().BattlePhase) + " turn=" + std::to_string(c().LocalTurn) +
        " overlay=" + Utf8(c().OverlayText) + " line2=" + Utf8(c().StatusLine[1]) +
        " fleets=" + std::to_string(c().LocalFleetReady) + std::to_string(c().RemoteFleetReceived));
    std::exit(1);
  }
  void Click(int x, int y) {
    eng::Display& d = form->Display();
    d.InjectMouseMove(x, y);
    d.InjectMouseDown(eng::kMouseLeft, x, y);
    d.InjectMouseUp(eng::kMouseLeft, x, y);
  }

  // What the wizard does on its last page, with the wizard's own search.
  WizardResult Connect() {
    c().SessionRole = creator ? 1 : 2;
    if (creator) {
      form->DXPlay.Create(W("Морской бой"), W("Маша"));
      Say("CREATED port=" + std::to_string(form->DXPlay.Port()));
      return WizardResult{true, 1, W("Морской бой"), W("Маша"), "", 0};
    }
    auto poll = [this] { form->DXPlay.Poll(); };
    std::vector<net::SessionInfo> lan;
    for (int attempt = 0; attempt < 20 && lan.empty(); ++attempt) lan = DiscoverSessions("", 1500, poll);
    if (lan.empty()) Stuck("search");
    Say("FOUND lan sessions=" + std::to_string(lan.size()) + " name=" + Utf8(lan[0].Name) + " host=" + lan[0].Host +
        " port=" + std::to_string(lan[0].Port));
    const std::vector<net::SessionInfo> typed = DiscoverSessions(address, 1500, poll);
    Say("FOUND typed sessions=" + std::to_string(typed.size()) +
        (typed.empty() ? std::string() : " name=" + Utf8(typed[0].Name) + " port=" + std::to_string(typed[0].Port)));
    if (!form->DXPlay.Join(lan[0].Host, lan[0].Port, W("Петя"), lan[0].Name, poll)) Stuck("join");
    return WizardResult{true, 2, lan[0].Name, W("Петя"), lan[0].Host, lan[0].Port};
  }

  void StartGame(int n) {
    c().Settings.GameMode = 2;
    if (!c().StartNewGame()) Stuck("start " + std::to_string(n));
    if (!RunUntil([&] { return !c().ChooserShown && !c().ChooserClosed; }, 500)) Stuck("panel");
    Click(c().ChooserX + c().AutoButton.x + c().AutoButton.w / 2, c().ChooserY + c().AutoButton.y + c().AutoButton.h / 2);
    if (form->OwnGrid().FixedCount == 0 && !c().LocalFleetReady) Stuck("auto");
  }

  // The next shot of this side: a ship cell or a cell without one, each
  // never shot.
  void Shoot() {
    TBattleField& enemy = form->EnemyGrid();
    const bool atShip = rng() % 2 == 0;
    std::vector<TCellPoint> cells;
    for (int y = 1; y <= GridRows; ++y)
      for (int x = 1; x <= GridCols; ++x) {
        const TSeaCell& cell = enemy.TrueCells.At(x, y);
        if (cell.State >= cell::Opened) continue;
        if ((cell.Code == cell::Ship) == atShip) cells.push_back(TCellPoint{x, y});
      }
    if (cells.empty()) return;
    const TCellPoint p = cells[rng() % cells.size()];
    Click(enemy.OriginX + 16 * (p.x - 1) + 8, enemy.OriginY + 16 * (p.y - 1) + 8);
  }

  // Plays the battle to its end: the side whose turn it is shoots once
  // everything has settled.
  void PlayBattle(int n) {
    if (!RunUntil([&] { return c().BattlePhase == 1; }, 20000)) Stuck("battle " + std::to_string(n));
    auto over = [&] { return form->OwnGrid().SunkCount >= kFleetSize || form->EnemyGrid().SunkCount >= kFleetSize; };
    for (int frames = 0; !over(); ++frames) {
      if (frames > 60000) Stuck("game " + std::to_string(n));
      if (c().BattlePhase == 1 && c().LocalTurn == 1 && c().AnimationsInFlight == 0 && c().IncomingShots.empty())
        Shoot();
      Frame();
    }
    if (!RunUntil([&] { return c().AnimationsInFlight == 0 && !c().ScoreRolling; }, 5000)) Stuck("fireworks");
    Say("GAME " + std::to_string(n) + " winner=" + Utf8(c().StatusLine[1]) + " score=" +
        std::to_string(c().ScoreLeft) + ":" + std::to_string(c().ScoreRight));
  }

  int Run() {
    MainFormOptions options;
    options.clock = &clock;
    options.appDir = dir.string() + "/";
    options.seed = static_cast<uint32_t>(rng());
    options.sound = false;
    clock.now = 100000;
    form = std::make_unique<ScriptedForm>(options);
    form->ConnectWizard = [this] { return Connect(); };
    c().Settings.SetPlayerName(creator ? W("Маша") : W("Петя"));
    if (!form->OpenDisplay()) return 2;
    form->Display().InjectKey(eng::kKeySpace);  // past the logo
    Frame();
    RunUntil([&] { return !c().LogoShown; }, 1000);

    for (int n = 1; n <= 2; ++n) {
      StartGame(n);
      PlayBattle(n);
    }
    StartGame(3);
    if (!RunUntil([&] { return c().BattlePhase == 1; }, 20000)) Stuck("battle 3");
    if (!creator) {
      Say("READY");
      for (;;) Frame();  // until killed
    }
    Say("READY");
    // The battle stands until the other side is gone.
    const std::string lost = W("Связь утеряна...");
    if (!RunUntil([&] { return c().OverlayText == lost; }, 100000)) Stuck("loss");
    const int unshot = form->EnemyGrid().UnshotCount;
    Click(form->EnemyGrid().OriginX + 8, form->EnemyGrid().OriginY + 8);  // shoots nothing now
    Say("LOST overlay=" + Utf8(c().OverlayText) + " shown=" + std::to_string(c().OverlayShown) + " battle=" +
        std::to_string(c().BattlePhase) + " turn=" + std::to_string(c().LocalTurn) + " line2=" +
        Utf8(c().StatusLine[1]) + " shot=" + std::to_string(unshot - form->EnemyGrid().UnshotCount));
    StartGame(4);
    Say("NEWGAME overlay=" + Utf8(c().OverlayText) + " battle=" + std::to_string(c().BattlePhase) +
        " placed=" + std::to_string(c().LocalFleetReady));
    return 0;
  }
};

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const std::string role = argc > 1 ? argv[1] : "";
  if (role != "create" && !(role == "join" && argc > 2)) {
    std::fprintf(stderr, "usage: net_peer create [seed] | net_peer join <address> [seed]\n");
    return 2;
  }
  Peer peer;
  peer.creator = role == "create";
  if (!peer.creator) peer.address = argv[2];
  const int seedArg = peer.creator ? 2 : 3;
  peer.rng.seed(argc > seedArg ? static_cast<uint32_t>(std::strtoul(argv[seedArg], nullptr, 10)) : 1u);
  peer.dir = std::filesystem::temp_directory_path() / ("salvora-peer-" + std::to_string(getpid()));
  std::filesystem::create_directories(peer.dir);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 2;
  int code = peer.Run();
  peer.form.reset();
  std::filesystem::remove_all(peer.dir);
  SDL_Quit();
  return code;
}
