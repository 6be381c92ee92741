// The other player of a network game as the interface meets it: the fleet
// that arrives once a game, the shots and bombs that come in turn, and the
// end of the battle when the other player is gone.
#include <algorithm>

#include "effects/rocket.h"
#include "engine/text_codec.h"
#include "sea/battle_field.h"
#include "ui/common.h"

void TCommon::OfferRemoteFleet(const TFleetRecord& fleet) {
  // One fleet per game: another one belongs to the game the other side has
  // already begun, and waits for this side to begin it too.
  if (Settings.GameMode == 2 && !RemoteFleetReceived)
    AdoptRemoteFleet(fleet);
  else
    NextRemoteFleet = fleet;
}

void TCommon::AdoptRemoteFleet(const TFleetRecord& fleet) {
  TBattleField& enemy = enemy_;
  // What still runs on the grid from the last game goes with it, and no
  // longer holds up play; rockets on their way here still land and count
  // themselves off.
  int running = 0, holding = 0;
  for (const std::vector<TEffect>* list : {&enemy.SplashList, &enemy.ExplosionList, &enemy.BombList, &enemy.LabelList})
    for (const TEffect& e : *list)
      if (!e.Done) {
        ++running;
        if (!e.Released) ++holding;
      }
  const int flying = std::max(0, enemy.EffectCount - running);
  enemy.Reset();
  enemy.EffectCount = static_cast<int16_t>(flying);
  AnimationsInFlight = static_cast<int16_t>(std::max(0, AnimationsInFlight - holding));
  // Both sides count the streak of this game's hits from nothing.
  enemy.HitStreak = 0;

  enemy.TrueCells = fleet.Cells;
  enemy.ShownCells = fleet.Cells;
  for (int k = 1; k <= kFleetSize; ++k) {
    const TShipRecord& from = fleet.Ships[k - 1];
    TShipRecord& ship = enemy.Slot(k);
    ship.Type = from.Type;
    ship.Group = from.Group;
    ship.Variant = from.Variant;
    ship.Ordinal = from.Ordinal;
    ship.Placed = from.Placed;
    ship.X = from.X;
    ship.Y = from.Y;
    ship.Hits = from.Hits;
    ship.Sunk = from.Sunk;
    std::copy(&from.Shape[0][0], &from.Shape[0][0] + sizeof from.Shape, &ship.Shape[0][0]);
  }
  enemy.DrawAllCells();
  // The ships a lost game would have shown were the last fleet's.
  RevealPending = 0;

  RemoteFleetReceived = 1;
  // A side that did not create the session through the wizard (number 0)
  // goes first, as the creator does.
  const bool firstToShoot = LocalPlayerNumber != 2;
  if (LocalFleetReady == 1) {
    BattlePhase = 1;
    LocalTurn = firstToShoot ? 1 : 0;
  }

  std::string overlay = OpponentName + W(" готов!");
  if (overlay.size() > 19) overlay.resize(19);
  OverlayText = overlay;

  std::string prompt = Settings.PlayerName() + W(firstToShoot ? ", начинайте атаку!" : ", дождитесь атаки противника!");
  if (prompt.size() > (firstToShoot ? 30u : 41u)) prompt.resize(firstToShoot ? 30 : 41);
  SetStatus(2, prompt, true);
  // Once the battle is on, the line the blink comes back to says whose turn it is.
  if (BattlePhase == 1) StatusSaved = W(firstToShoot ? "Атакуйте вашего противника!" : "Дождитесь противника...");
  BlinkStatus(firstToShoot ? 3 : 2, true);
}

void TCommon::RefuseRemoteFleet() {
  OverlayShown = 1;
  OverlayText = W("Флот противника не принят!");
}

void TCommon::QueueIncomingShot(const TIncomingShot& shot) {
  if (IncomingShots.size() < kMaxIncomingShots) IncomingShots.push_back(shot);
  StepIncomingShots();
}

bool TCommon::PeerMayShoot() const {
  return Settings.GameMode == 2 && BattlePhase == 1 && RemoteFleetReceived == 1 && LocalFleetReady == 1 &&
         LocalTurn == 0;
}

bool TCommon::IncomingUnderWay() {
  if (own_.BombCount > 0 && Settings.GameMode == 2) return true;
  if (eng::SpriteEngine* sprites = services_.sprites)
    for (int i = 0; i < sprites->Count(); ++i) {
      const auto* rocket = dynamic_cast<const TRocket*>((*sprites)[i]);
      if (rocket && rocket->Incoming && !rocket->IsDead()) return true;
    }
  return false;
}

void TCommon::StepIncomingShots() {
  while (!IncomingShots.empty() && !IncomingUnderWay()) {
    const TIncomingShot shot = IncomingShots.front();
    IncomingShots.pop_front();
    if (!PeerMayShoot()) continue;  // out of turn: as if it had never been sent
    if (shot.code == 1) {
      // The rocket is resolved by Shoot when it strikes, which also settles the turn.
      const double delay = services_.random.Random(7) + 1;
      if (TRocket* rocket = LaunchRocket(*this, 1, shot.cell, delay, false))
        rocket->Incoming = 1;
      else
        own_.Shoot(shot.cell, false);  // nothing can fly: it strikes at once
    } else {
      own_.BombArmed = 0;  // before the effect, so it falls rather than shows as a label
      own_.BombKind = static_cast<uint8_t>(shot.code + 2);  // 4 X, 5 plus, 6 square
      own_.AddEffect(own_.BombList, own_.BombKind, "", 0, shot.cell);
      LocalTurn = 1;
    }
  }
}

bool TCommon::NetworkBattleBegun() const {
  return BattlePhase == 1 || own_.UnshotCount < GridCols * GridRows || enemy_.UnshotCount < GridCols * GridRows;
}

void TCommon::ConnectionEnded() {
  OverlayShown = 1;
  OverlayText = W("Связь утеряна...");
  IncomingShots.clear();
  NextRemoteFleet.reset();
  if (Settings.GameMode != 2) return;  // a game against the computer goes on
  if (!NetworkBattleBegun()) {
    // Nothing was fired yet: the fleet of whoever joins next is this game's.
    RemoteFleetReceived = 0;
    return;
  }
  if (BattlePhase == 1) {
    BattlePhase = 0;
    LocalTurn = 0;
    CursorPattern = 0;
    own_.RaysShown = 0;
    enemy_.RaysShown = 0;
    SetStatus(2, W("Игра прервана. Начните новую игру."), false);
  }
}
