// A peer that does not follow the rules, through the receiving side's real
// handler: shots and bombs out of turn or in floods, a second fleet in the
// battle, fleets no game could produce, chat texts of megabytes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "effects/rocket.h"
#include "engine/text_codec.h"
#include "net/game_messages.h"
#include "ui_fixture.h"

namespace {

using Block = std::vector<uint8_t>;

// A host that keeps the connection it has when a game starts.
struct ConnectedHost : uitest::QuietHost {
  int SessionPlayerCount() override { return 2; }
  std::string RemotePlayerName() override { return W("Петя"); }
};

class HostilePeer : public uitest::UiTest {
 protected:
  HostilePeer() {
    for (TBattleField* g : {&first, &second}) {
      g->Id = 2;
      g->AutoPlace();
      g->PlaceBonuses();
      g->PlaceNavigators();
    }
    common.ResetTurnState();
    common.Settings.GameMode = 2;
    common.Settings.SetPlayerName(W("Маша"));
    common.OpponentName = W("Петя");
    common.LocalPlayerNumber = 2;
  }
  void Receive(const Block& b) { DXPlayMessage(common, W("Петя"), b.data(), b.size()); }
  // Rockets fly and land, bombs fall, and the next shot of the other side starts.
  void Settle() {
    for (int i = 0; i < 400 && (sprites.Count() > 0 || own.BombCount > 0 || !common.IncomingShots.empty()); ++i) {
      sprites.Move(50);
      sprites.Dead();
      for (TEffect& e : own.BombList) e.Progress = 100;  // landed
      if (own.EffectCount != 0) {
        own.EffectSurface.Create(256, 272);
        own.GridSurface.Create(256, 272);
      }
      common.StepIncomingShots();
    }
  }
  TBattleField first{images, random, common}, second{images, random, common};
};

// Item: shots and bombs count only in the other side's turn of a battle
// both fleets are in; a flood keeps one rocket in the air and the counters
// sound.
TEST_F(HostilePeer, ShotsAndBombsCountOnlyInTheOtherSidesTurn) {
  const std::string before = common.StatusLine[1];
  // Placement: neither fleet is in.
  for (int i = 0; i < 100; ++i) Receive(net::ShotMessage(1 + i % 16, 1 + i % 17, 1));
  Receive(net::ShotMessage(5, 5, 2));
  EXPECT_EQ(sprites.Count(), 0);
  EXPECT_TRUE(own.BombList.empty());
  EXPECT_EQ(common.LocalTurn, 0);
  EXPECT_EQ(common.StatusLine[1], before) << "a bomb in the placement asks nobody to attack";
  // The other fleet is in, the own one not yet sent.
  Receive(net::FleetMessage(first));
  ASSERT_EQ(common.RemoteFleetReceived, 1);
  Receive(net::ShotMessage(3, 3, 1));
  EXPECT_EQ(sprites.Count(), 0);
  // The battle, the local side's turn.
  common.LocalFleetReady = 1;
  common.BattlePhase = 1;
  common.LocalTurn = 1;
  Receive(net::ShotMessage(3, 3, 1));
  Receive(net::ShotMessage(3, 3, 4));
  EXPECT_EQ(sprites.Count(), 0);
  EXPECT_TRUE(own.BombList.empty());

  // The other side's turn: a flood of shots and bombs.
  common.LocalTurn = 0;
  for (int i = 0; i < 33000; ++i) Receive(net::ShotMessage(1 + i % 16, 1 + (i / 16) % 17, 1));
  for (int i = 0; i < 1000; ++i) Receive(net::ShotMessage(8, 8, 2 + i % 3));
  EXPECT_EQ(sprites.Count(), 1) << "one rocket at a time";
  EXPECT_TRUE(own.BombList.empty());
  EXPECT_LE(common.IncomingShots.size(), TCommon::kMaxIncomingShots);
  EXPECT_EQ(common.AnimationsInFlight, 1);
  // The own grid is all water: the first shot misses and gives the turn
  // here, so every shot after it was out of turn.
  Settle();
  EXPECT_EQ(common.LocalTurn, 1);
  EXPECT_EQ(own.UnshotCount, 271);
  EXPECT_TRUE(common.IncomingShots.empty());
  EXPECT_GE(common.AnimationsInFlight, 0);
  EXPECT_EQ(common.StatusLine[1], W("Атакуйте вашего противника!"));
}

// Items: a second fleet in the battle changes nothing of it and waits for
// the next game, which starts on it with a fresh enemy grid, whatever the
// last game (against the computer here) left there.
TEST_F(HostilePeer, ASecondFleetWaitsForTheNextGameWhichStartsFresh) {
  // What a won game against the computer leaves on the enemy grid.
  enemy.SunkCount = 10;
  enemy.ExtraShots = 3;
  enemy.BombArmed = 1;
  enemy.RaysShown = 1;
  enemy.RayList.resize(4);
  enemy.HitStreak = 2;
  enemy.AddEffect(enemy.ExplosionList, 1, "", 5, TCellPoint{4, 4});

  Receive(net::FleetMessage(first));
  ASSERT_EQ(common.RemoteFleetReceived, 1);
  EXPECT_EQ(enemy.SunkCount, 0);
  EXPECT_EQ(enemy.ExtraShots, 0);
  EXPECT_EQ(enemy.BombArmed, 0);
  EXPECT_EQ(enemy.RaysShown, 0);
  EXPECT_TRUE(enemy.RayList.empty());
  EXPECT_TRUE(enemy.ExplosionList.empty());
  EXPECT_EQ(enemy.HitStreak, 0);
  EXPECT_EQ(common.AnimationsInFlight, 0) << "the old explosion no longer holds up play";

  // The battle: a few shots on the enemy grid, then the fleet again.
  common.LocalFleetReady = 1;
  common.BattlePhase = 1;
  common.LocalTurn = 1;
  enemy.Shoot(TCellPoint{1, 1}, false);
  enemy.SunkCount = 3;
  const TCellPlane during = enemy.TrueCells;
  Receive(net::FleetMessage(first));
  Receive(net::FleetMessage(second));
  EXPECT_EQ(enemy.TrueCells, during);
  EXPECT_EQ(enemy.SunkCount, 3);
  ASSERT_TRUE(common.NextRemoteFleet.has_value());

  // The next game, the connection kept: it starts on the second fleet.
  ConnectedHost keep;
  TCommon next{UiServices{images, waves, sound, random, clock, keep, settingsPath, &sprites}, own, enemy};
  next.Settings.GameMode = 2;
  next.Settings.SetPlayerName(W("Маша"));
  next.NextRemoteFleet = common.NextRemoteFleet;
  next.SetStatus(2, W("Выиграл Петя!"), false);  // how the last game ended
  ASSERT_TRUE(next.StartNewGame());
  for (int i = 0; i < 40 && next.Blinking; ++i) {
    clock.Advance(300);
    next.UpdateBlink();
  }
  EXPECT_EQ(next.StatusLine[1], W("Разместите корабли, Маша")) << "the prompt comes back to this game's";
  EXPECT_FALSE(next.NextRemoteFleet.has_value());
  EXPECT_EQ(next.RemoteFleetReceived, 1);
  EXPECT_EQ(next.LocalFleetReady, 0);
  EXPECT_EQ(next.BattlePhase, 0);
  EXPECT_EQ(enemy.SunkCount, 0);
  EXPECT_EQ(enemy.UnshotCount, 272);
  for (int y = 1; y <= GridRows; ++y)
    for (int x = 1; x <= GridCols; ++x) ASSERT_EQ(enemy.TrueCells.At(x, y).Code, second.TrueCells.At(x, y).Code);
  EXPECT_EQ(next.OverlayText, W("Петя готов!"));
}

// Item: fleets no game could produce are refused and the player is told.
TEST_F(HostilePeer, FleetsThatBreakTheRulesAreRefused) {
  const Block valid = net::FleetMessage(first);
  auto at = [](int x, int y) { return 4 + 48 * (y - 1) + 3 * (x - 1) + 1; };  // the code byte
  auto slot = [](int k, int field) { return 820 + 16 * (k - 1) + field; };
  // A cell of each kind, found in the valid fleet.
  auto find = [&](const std::function<bool(uint8_t)>& want) {
    for (int y = 1; y <= GridRows; ++y)
      for (int x = 1; x <= GridCols; ++x)
        if (want(first.TrueCells.At(x, y).Code)) return at(x, y);
    return -1;
  };
  const int water = find([](uint8_t c) { return c == cell::Water; });
  const int ring = find([](uint8_t c) { return c == cell::SideRing; });
  const int shipCell = find([](uint8_t c) { return c == cell::Ship; });
  const int navigator = find([](uint8_t c) { return cell::IsNavigator(c); });
  ASSERT_GE(water, 0);
  ASSERT_GE(navigator, 0);

  Block bareValid;
  std::vector<std::pair<std::string, std::function<void(Block&)>>> broken = {
      {"a ship marked sunk", [&](Block& b) { b[slot(7, 8)] = 1; }},
      {"a hit already", [&](Block& b) { b[slot(1, 7)] = 1; }},
      {"not fixed", [&](Block& b) { b[slot(4, 4)] = 0; }},
      {"a shape of no such variant", [&](Block& b) { b[slot(1, 2)] = 22; }},
      {"another shape than the cells", [&](Block& b) { b[slot(2, 2)] = b[slot(2, 2)] % 8 + 1; }},
      {"off the grid", [&](Block& b) { b[slot(7, 5)] = 16; }},
      {"a four-cell ship that sinks after one hit", [&](Block& b) { b[slot(1, 0)] = 4, b[980 + 14] = 0; }},
      {"a one-cell ship painting eight cells",
       [&](Block& b) {
         for (int i = 0; i < 9; ++i) b[1150 - 9 + i] = 50;
       }},
      {"a ship cell nobody owns", [&](Block& b) { b[water] = cell::Ship; }},
      {"a ship cell gone", [&](Block& b) { b[shipCell] = cell::Water; }},
      {"the ring of a ship missing", [&](Block& b) { b[ring] = cell::Water; }},
      {"a ship being placed", [&](Block& b) { b[water] = cell::PlacingShip; }},
      {"a hit cell", [&](Block& b) { b[shipCell] = cell::HitShip; }},
      {"a code with no picture", [&](Block& b) { b[water] = 77; }},
      {"a navigator that lies", [&](Block& b) { b[navigator] = b[navigator] % 10 == 9 ? b[navigator] - 1 : b[navigator] + 1; }},
      {"a grid full of penalties",
       [&](Block& b) {
         for (int y = 1; y <= GridRows; ++y)
           for (int x = 1; x <= GridCols; ++x)
             if (b[at(x, y)] <= cell::CornerRing) b[at(x, y)] = cell::PenaltyRockets5;
       }},
  };
  // Two ships that touch, the rings drawn as they then lie: the last one-cell
  // ship of a fleet without hidden items moved to a corner of the one before.
  {
    TBattleField bare{images, random, common};
    bare.Id = 2;
    bare.AutoPlace();
    common.ResetTurnState();
    Block b = net::FleetMessage(bare);
    bareValid = b;
    const TShipRecord &moved = bare.Slot(10), &beside = bare.Slot(9);
    auto isShip = [&](int x, int y) { return TCellPlane::Contains(x, y) && b[at(x, y)] == cell::Ship; };
    b[at(moved.X + 1, moved.Y + 1)] = cell::Water;
    for (const auto& [dx, dy] : {std::pair{1, 1}, {-1, 1}, {1, -1}, {-1, -1}}) {
      const int x = beside.X + 1 + dx, y = beside.Y + 1 + dy;
      if (!TCellPlane::Contains(x, y) || isShip(x, y)) continue;
      b[at(x, y)] = cell::Ship;
      b[slot(10, 5)] = static_cast<uint8_t>(x - 1);
      b[slot(10, 6)] = static_cast<uint8_t>(y - 1);
      break;
    }
    for (int y = 1; y <= GridRows; ++y)
      for (int x = 1; x <= GridCols; ++x) {
        if (isShip(x, y)) continue;
        bool side = false, corner = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            if ((dx || dy) && isShip(x + dx, y + dy)) (dx == 0 || dy == 0 ? side : corner) = true;
        b[at(x, y)] = side ? cell::SideRing : corner ? cell::CornerRing : cell::Water;
      }
    broken.push_back({"ships that touch", [b](Block& out) { out = b; }});
  }
  ASSERT_EQ(broken.size(), 17u);
  for (const auto& [what, breakIt] : broken) {
    Block b = valid;
    breakIt(b);
    common.OverlayText.clear();
    Receive(b);
    EXPECT_EQ(common.RemoteFleetReceived, 0) << what;
    EXPECT_EQ(common.OverlayText, W("Флот противника не принят!")) << what;
    EXPECT_EQ(common.OverlayShown, 1) << what;
  }
  // The fleets the broken ones came from are good.
  Receive(bareValid);
  EXPECT_EQ(common.RemoteFleetReceived, 1);
  common.RemoteFleetReceived = 0;
  Receive(valid);
  EXPECT_EQ(common.RemoteFleetReceived, 1);
}

// Item: a chat text of megabytes is cut to what the chat line shows.
TEST_F(HostilePeer, AHugeChatTextIsCutToTheLine) {
  Receive(net::ChatMessage(std::string(4 << 20, 'x')));
  EXPECT_EQ(common.ChatLine, W("Петя>    ") + std::string(net::kChatShownLength, 'x'));
}

}  // namespace
