// libFuzzer target of the receiving side, built by hand with clang
// (-DSALVORA_FUZZER=ON): every input is one block of the other player,
// handled in a game state its first byte picks (placing, the other fleet
// in, the battle in either side's turn), then the shots in flight land.
// A broken invariant stops the run.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "assets/pictures.h"
#include "effects/rocket.h"
#include "engine/clock.h"
#include "engine/image_list.h"
#include "engine/random.h"
#include "engine/sound.h"
#include "engine/sprite_engine.h"
#include "net/game_messages.h"
#include "sea/battle_field.h"
#include "sea/fleet_check.h"
#include "ui/common.h"
#include "ui/ui_host.h"

namespace {

struct Quiet : WindowlessHost {
  int SessionPlayerCount() override { return 2; }
  std::string RemotePlayerName() override { return "x"; }
};

// The pictures, painted before anything that copies one is built.
eng::ImageList& Painted() {
  static eng::ImageList* list = [] {
    auto* l = new eng::ImageList;
    assets::PaintPictures(*l);
    l->RestoreAll();
    return l;
  }();
  return *list;
}

struct World {
  eng::ImageList& images = Painted();
  eng::WaveList waves;
  eng::SoundDevice sound;
  eng::RandomSource random{1};
  eng::ManualClock clock;
  Quiet host;
  eng::SpriteEngine sprites;
  TBattleField own{images, random, common};
  TBattleField enemy{images, random, common};
  TCommon common{UiServices{images, waves, sound, random, clock, host,
                            (std::filesystem::temp_directory_path() / "salvora-fuzz-config.opt").string(), &sprites},
                 own, enemy};
  TBattleField sender{images, random, common};
  std::vector<uint8_t> fleet;

  World() {
    own.Id = 1, own.OriginX = 31, own.OriginY = 108;
    enemy.Id = 2, enemy.OriginX = 353, enemy.OriginY = 108;
    sender.Id = 2;
    sender.AutoPlace();
    sender.PlaceBonuses();
    sender.PlaceNavigators();
    fleet = net::FleetMessage(sender);
  }
};

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World* w = new World;
  TCommon& c = w->common;
  while (w->sprites.Count() > 0) {
    w->sprites[0]->Dead();
    w->sprites.Dead();
  }
  w->own.OpenForPlacement(false);
  w->enemy.Reset();
  c.IncomingShots.clear();
  c.NextRemoteFleet.reset();
  c.Settings.GameMode = 2;
  c.LocalPlayerNumber = 2;
  c.LocalFleetReady = c.RemoteFleetReceived = c.BattlePhase = c.LocalTurn = 0;
  c.ChatLine.clear();
  const uint8_t phase = size > 0 ? data[0] % 4 : 0;
  if (phase >= 1) DXPlayMessage(c, "x", w->fleet.data(), w->fleet.size());
  if (phase >= 2) {
    c.LocalFleetReady = 1;
    c.BattlePhase = 1;
    c.LocalTurn = phase == 3 ? 1 : 0;
  }
  if (size > 0) DXPlayMessage(c, "x", data + 1, size - 1);
  for (int i = 0; i < 50 && (w->sprites.Count() > 0 || !c.IncomingShots.empty()); ++i) {
    w->sprites.Move(100);
    w->sprites.Dead();
    c.StepIncomingShots();
  }
  Check(c.AnimationsInFlight >= 0 && w->own.EffectCount >= 0 && w->enemy.EffectCount >= 0);
  Check(c.IncomingShots.size() <= TCommon::kMaxIncomingShots);
  Check(c.ChatLine.size() <= 1 + 5 + net::kChatShownLength);
  Check(c.BattlePhase != 1 || (c.LocalFleetReady && c.RemoteFleetReceived));
  if (c.RemoteFleetReceived && w->enemy.UnshotCount == 272) {
    TFleetRecord f;
    f.Cells = w->enemy.TrueCells;
    for (int k = 1; k <= kFleetSize; ++k) {
      const TShipRecord& s = w->enemy.Slot(k);
      TShipRecord& r = f.Ships[k - 1];
      r.Type = s.Type, r.Group = s.Group, r.Variant = s.Variant, r.Ordinal = s.Ordinal, r.Placed = s.Placed;
      r.X = s.X, r.Y = s.Y, r.Hits = s.Hits, r.Sunk = s.Sunk;
      std::copy(&s.Shape[0][0], &s.Shape[0][0] + sizeof s.Shape, &r.Shape[0][0]);
    }
    Check(FleetFollowsRules(f));
  }
  return 0;
}
