// The game's blocks: their layout byte by byte, the round trip of a fleet,
// the receiving side's turn order, and short, long and hostile blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "effects/rocket.h"
#include "engine/text_codec.h"
#include "net/game_messages.h"
#include "ui_fixture.h"

namespace {

uint32_t U32At(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The nine bytes of a fleet slot that travel.
std::vector<uint8_t> Nine(const TShipRecord& s) {
  return {s.Type, s.Group, s.Variant, s.Ordinal, s.Placed, static_cast<uint8_t>(s.X), static_cast<uint8_t>(s.Y),
          s.Hits, s.Sunk};
}

class NetMessage : public uitest::UiTest {
 protected:
  NetMessage() {
    // The other side's fleet: laid out, with hidden items, cells opened as
    // they stand while a fleet is built.
    sender.Id = 2;
    sender.AutoPlace();
    sender.PlaceBonuses();
    sender.PlaceNavigators();
    sender.TrueCells.At(5, 5).KnownFree = 1;
    common.Settings.GameMode = 2;
    common.Settings.SetPlayerName(W("Маша"));
    common.OpponentName = W("Петя");
  }

  // Both fleets are in and the other side is to shoot.
  void OtherSidesTurn() {
    common.BattlePhase = 1;
    common.LocalFleetReady = 1;
    common.RemoteFleetReceived = 1;
    common.LocalTurn = 0;
  }

  void Receive(const std::vector<uint8_t>& block, const std::string& from = W("Петя")) {
    DXPlayMessage(common, from, block.data(), block.size());
  }

  TBattleField sender{images, random, common};
};

TEST_F(NetMessage, StandardFleetIs1150BytesWithOnlyTheCodes) {
  const std::vector<uint8_t> block = net::FleetMessage(sender);
  ASSERT_EQ(block.size(), 1150u);
  EXPECT_EQ(U32At(block, 0), 1u);
  for (int y = 1; y <= GridRows; ++y)
    for (int x = 1; x <= GridCols; ++x) {
      const size_t at = 4 + 48 * (y - 1) + 3 * (x - 1);
      ASSERT_EQ(block[at], 0) << x << "," << y;      // State
      ASSERT_EQ(block[at + 1], sender.TrueCells.At(x, y).Code);
      ASSERT_EQ(block[at + 2], 0) << x << "," << y;  // KnownFree
    }
  size_t shapeAt = 980;
  for (int k = 1; k <= kFleetSize; ++k) {
    const TShipRecord& ship = sender.Slot(k);
    const size_t at = 820 + 16 * (k - 1);
    EXPECT_EQ(std::vector<uint8_t>(block.begin() + at, block.begin() + at + 9), Nine(ship)) << "slot " << k;
    for (size_t i = 9; i < 16; ++i) EXPECT_EQ(block[at + i], 0) << "slot " << k;
    const int n = ship.Type + 2;
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n; ++c) ASSERT_EQ(block[shapeAt++], ship.Shape[r][c]) << "slot " << k;
  }
  EXPECT_EQ(shapeAt, block.size());
}

TEST_F(NetMessage, FleetRoundTripFillsTheEnemyGridClosed) {
  Receive(net::FleetMessage(sender));
  EXPECT_EQ(common.RemoteFleetReceived, 1);
  EXPECT_EQ(enemy.TrueCells, enemy.ShownCells);
  for (int y = 1; y <= GridRows; ++y)
    for (int x = 1; x <= GridCols; ++x) {
      const TSeaCell c = enemy.TrueCells.At(x, y);
      ASSERT_EQ(c, (TSeaCell{cell::Closed, sender.TrueCells.At(x, y).Code, 0})) << x << "," << y;
    }
  for (int k = 1; k <= kFleetSize; ++k) {
    const TShipRecord &a = sender.Slot(k), &b = enemy.Slot(k);
    EXPECT_EQ(Nine(a), Nine(b)) << "slot " << k;
    EXPECT_EQ(std::memcmp(a.Shape, b.Shape, sizeof a.Shape), 0) << "slot " << k;
  }
}

TEST_F(NetMessage, ShotAndChatBytes) {
  EXPECT_EQ(net::ShotMessage(3, 17, 4),
            (std::vector<uint8_t>{2, 0, 0, 0, 3, 0, 0, 0, 17, 0, 0, 0, 4, 0, 0, 0}));
  EXPECT_EQ(net::ChatMessage("ab"), (std::vector<uint8_t>{3, 0, 0, 0, 2, 0, 0, 0, 'a', 'b', 0, 0, 0, 0}));
  EXPECT_EQ(net::ChatMessage("").size(), 12u);
}

TEST_F(NetMessage, BothFleetsStartTheBattleCreatorFirst) {
  for (const int number : {1, 2, 0}) {
    common.LocalFleetReady = 1;
    common.RemoteFleetReceived = 0;
    common.BattlePhase = 0;
    common.LocalTurn = 7;
    common.Blinking = 0;
    common.LocalPlayerNumber = static_cast<uint8_t>(number);
    Receive(net::FleetMessage(sender));
    EXPECT_EQ(common.BattlePhase, 1) << number;
    EXPECT_EQ(common.LocalTurn, number == 2 ? 0 : 1) << number;
    // The prompt agrees with the turn: the side that shoots first is asked to.
    EXPECT_EQ(common.BlinkText, W(number == 2 ? "Маша, дождитесь атаки противника!" : "Маша, начинайте атаку!"));
    EXPECT_EQ(common.BlinkLimit, number == 2 ? 5 : 7);
  }
}

TEST_F(NetMessage, FleetWhilePlacingShowsTheOverlayButNoBattle) {
  common.LocalPlayerNumber = 1;
  common.OpponentName = W("Длинноеимяиг");  // 12 letters: the overlay is cut to 19
  common.OverlayShown = 0;
  Receive(net::FleetMessage(sender));
  EXPECT_EQ(common.RemoteFleetReceived, 1);
  EXPECT_EQ(common.BattlePhase, 0);
  EXPECT_EQ(common.LocalTurn, 0);
  EXPECT_EQ(common.OverlayText, W("Длинноеимяиг готов!"));
  EXPECT_EQ(common.OverlayShown, 0);
  EXPECT_EQ(common.Blinking, 1);
}

TEST_F(NetMessage, MalformedFleetsChangeNothing) {
  std::vector<uint8_t> whole = net::FleetMessage(sender);
  const TCellPlane before = enemy.TrueCells;

  std::vector<uint8_t> cut(whole.begin(), whole.end() - 1);  // one matrix byte short
  Receive(cut);
  std::vector<uint8_t> header(whole.begin(), whole.begin() + 980);
  Receive(header);
  std::vector<uint8_t> badType = whole;
  badType[820 + 16 * 9] = 5;  // slot 10 of no known type
  Receive(badType);
  badType[820 + 16 * 9] = 0;
  Receive(badType);
  std::vector<uint8_t> tiny(whole.begin(), whole.begin() + 500);
  Receive(tiny);

  EXPECT_EQ(common.RemoteFleetReceived, 0);
  EXPECT_EQ(enemy.TrueCells, before);
  EXPECT_EQ(common.OverlayText, W("Флот противника не принят!"));

  // A longer block is read up to its own length.
  whole.resize(whole.size() + 40, 0xEE);
  Receive(whole);
  EXPECT_EQ(common.RemoteFleetReceived, 1);
  EXPECT_EQ(enemy.Slot(10).Shape[2][2], sender.Slot(10).Shape[2][2]);
}

TEST_F(NetMessage, BombFallsOnTheOwnGridAndGivesTheTurn) {
  own.BombArmed = 1;
  OtherSidesTurn();
  Receive(net::ShotMessage(16, 17, 0x7703));  // only the lowest byte counts: plus bomb
  ASSERT_EQ(own.BombList.size(), 1u);
  EXPECT_EQ(own.BombList[0].BombKindOfEffect, cell::BonusPlusBomb);
  EXPECT_EQ(own.BombList[0].CellX, 16);
  EXPECT_EQ(own.BombList[0].CellY, 17);
  EXPECT_EQ(own.BombKind, cell::BonusPlusBomb);
  EXPECT_EQ(own.BombArmed, 0);
  EXPECT_EQ(common.LocalTurn, 1);
}

TEST_F(NetMessage, ShotLaunchesAnIncomingRocket) {
  OtherSidesTurn();
  Receive(net::ShotMessage(4, 9, 1));
  ASSERT_EQ(sprites.Count(), 1);
  auto* rocket = static_cast<TRocket*>(sprites[0]);
  EXPECT_EQ(&rocket->TargetGrid, &own);
  EXPECT_EQ(rocket->TargetCell, (TCellPoint{4, 9}));
  EXPECT_GE(rocket->Delay, 1.0f);
  EXPECT_LE(rocket->Delay, 7.0f);
  EXPECT_EQ(rocket->Collateral, 0);
}

TEST_F(NetMessage, ShotsOffTheGridOrOfNoKnownCodeAreIgnored) {
  OtherSidesTurn();
  const int bad[][3] = {{0, 5, 2}, {17, 5, 2}, {5, 0, 1}, {5, 18, 1}, {-1, -1, 4}, {5, 5, 0}, {5, 5, 5}};
  for (const auto& s : bad) Receive(net::ShotMessage(s[0], s[1], s[2]));
  std::vector<uint8_t> shortShot = net::ShotMessage(5, 5, 2);
  shortShot.pop_back();
  Receive(shortShot);
  EXPECT_TRUE(own.BombList.empty());
  EXPECT_EQ(sprites.Count(), 0);
  EXPECT_EQ(common.LocalTurn, 0);
}

TEST_F(NetMessage, ChatLineFromTheSenderBoundedByTheBlock) {
  Receive(net::ChatMessage(W("  привет")), W("Петя"));
  EXPECT_EQ(common.ChatLine, W("Петя>      привет"));

  std::vector<uint8_t> block = net::ChatMessage("abc");
  block.resize(11);  // "abc" and its zero, no padding
  PutU32(block, 4, 100000);
  Receive(block, "x");
  EXPECT_EQ(common.ChatLine, "x>    abc");

  block.resize(9);  // one text byte, and the length still claims more
  Receive(block, "x");
  EXPECT_EQ(common.ChatLine, "x>    a");

  Receive(net::ChatMessage(""));  // length 0 empties the line
  EXPECT_EQ(common.ChatLine, "");
  common.ChatLine = "kept";
  PutU32(block, 4, 0xFFFFFFFF);  // negative: empties it too
  Receive(block, "x");
  EXPECT_EQ(common.ChatLine, "");

  common.ChatLine = "kept";
  block.resize(6);  // no room for the length
  Receive(block, "x");
  EXPECT_EQ(common.ChatLine, "kept");
}

TEST_F(NetMessage, UnknownAndTinyBlocksAreIgnored) {
  common.ChatLine = "kept";
  std::vector<uint8_t> unknown = net::ChatMessage("hi");
  PutU32(unknown, 0, 4);
  Receive(unknown);
  Receive(std::vector<uint8_t>{3, 0, 0});
  DXPlayMessage(common, "x", nullptr, 0);
  EXPECT_EQ(common.ChatLine, "kept");
}

}  // namespace
