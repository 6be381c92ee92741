// Two whole games joined over loopback: both fleets cross, the creator shoots
// first, and a shot resolved on one side lands the same on the other.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "engine/text_codec.h"
#include "game_harness.h"

namespace {

// Frames on both sides, the sessions polled between them, until done holds.
bool RunUntil(GameHarness& a, GameHarness& b, const std::function<bool()>& done, int maxFrames = 2000) {
  for (int i = 0; i < maxFrames && !done(); ++i) {
    a.form->DXPlay.Poll();
    b.form->DXPlay.Poll();
    a.Frames(1);
    b.Frames(1);
  }
  return done();
}

// The start of a network game on one side, keeping the connection that is up.
void StartNetworkGame(GameHarness& g, uint8_t role) {
  g.common().Settings.GameMode = 2;
  g.common().SessionRole = role;
  g.QueueKey(SDLK_ESCAPE);  // "keep the connection?" -> Нет
  ASSERT_TRUE(g.common().StartNewGame());
}

// The closed quarters of the own grid have all landed.
bool Landed(GameHarness& g) {
  const auto& pieces = g.common().InPieces;
  return !g.common().Assembling && std::none_of(pieces.begin(), pieces.end(), [](const TPiece& p) { return p.active; });
}

}  // namespace

TEST(NetworkGame, FleetsCrossAndAShotLandsTheSameOnBothSides) {
  GameHarness creator(11), joiner(22);
  creator.SkipLogo();
  joiner.SkipLogo();
  creator.form->DXPlay.Create(W("Бой"), W("Маша"), net::SessionPorts{0, 1, 0, false});
  joiner.form->DXPlay.Join("127.0.0.1", creator.form->DXPlay.Port(), W("Петя"), "",
                           [&] { creator.form->DXPlay.Poll(); });
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return creator.common().OpponentName == W("Петя"); }));
  EXPECT_EQ(creator.common().StatusLine[2], W("Петя"));

  StartNetworkGame(creator, 1);
  StartNetworkGame(joiner, 2);
  EXPECT_EQ(creator.common().OverlayText, W("Петя присоединился..."));
  EXPECT_EQ(joiner.common().OverlayText, W("Маша присоединился..."));

  // Each side lays its fleet; the tenth ship sends it.
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return !creator.common().ChooserShown && !joiner.common().ChooserShown; }));
  creator.form->OwnGrid().AutoPlace();
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return joiner.common().RemoteFleetReceived == 1; }));
  EXPECT_EQ(joiner.common().BattlePhase, 0) << "the joiner is still placing";
  EXPECT_EQ(joiner.common().OverlayText, W("Маша готов!"));
  EXPECT_EQ(joiner.common().ChatLine, W("Маша>    Передается массив...[сообщение от проги]"));
  joiner.form->OwnGrid().AutoPlace();
  ASSERT_TRUE(RunUntil(creator, joiner, [&] {
    return creator.common().BattlePhase == 1 && joiner.common().BattlePhase == 1;
  }));
  EXPECT_EQ(creator.common().LocalTurn, 1) << "the creator shoots first";
  EXPECT_EQ(joiner.common().LocalTurn, 0);
  // Each side holds the other's fleet as it was laid.
  for (int y = 1; y <= 17; ++y)
    for (int x = 1; x <= 16; ++x)
      ASSERT_EQ(creator.form->EnemyGrid().TrueCells.At(x, y).Code, joiner.form->OwnGrid().TrueCells.At(x, y).Code);

  // The creator fires at (5, 5); the joiner's rocket lands on the same cell.
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return creator.common().AnimationsInFlight == 0; }));
  // Fired at once, before the joiner's closed cells have flown in: the
  // shot must still count there.
  ASSERT_EQ(joiner.form->OwnGrid().CellsClosed, 0);
  creator.Click(353 + 16 * 4 + 8, 108 + 16 * 4 + 8);
  const TSeaCell shot = creator.form->EnemyGrid().TrueCells.At(5, 5);
  EXPECT_GE(shot.State, 2);
  ASSERT_TRUE(RunUntil(creator, joiner, [&] {
    return joiner.form->OwnGrid().UnshotCount == 271 && joiner.common().AnimationsInFlight == 0 &&
           joiner.form->OwnGrid().CellsClosed == 1;
  }));
  EXPECT_EQ(joiner.form->OwnGrid().TrueCells.At(5, 5).Code, creator.form->EnemyGrid().TrueCells.At(5, 5).Code);
  const bool hit = shot.Code == 51 || shot.Code == 52;
  const bool keeps = hit || creator.form->EnemyGrid().ExtraShots > 0 || creator.form->EnemyGrid().BombArmed;
  EXPECT_EQ(creator.common().LocalTurn, keeps ? 1 : 0);
  EXPECT_EQ(joiner.common().LocalTurn, keeps ? 0 : 1) << "both sides agree whose turn it is";
  EXPECT_EQ(joiner.form->OwnGrid().TrueCells.At(4, 4).State, 0) << "the rest of the joiner's grid is closed";
}

// The joiner's grid flies in with the prompt of whose turn it is; then the
// joiner leaves: on the creator's side the battle ends, the overlay says
// so, a press shoots nothing, and the next New Game opens a fresh session
// for the next player.
TEST(NetworkGame, APlayerWhoLeavesEndsTheBattle) {
  GameHarness creator(31), joiner(32);
  creator.SkipLogo();
  joiner.SkipLogo();
  creator.form->DXPlay.Create(W("Бой"), W("Маша"), net::SessionPorts{0, 1, 0, false});
  joiner.form->DXPlay.Join("127.0.0.1", creator.form->DXPlay.Port(), W("Петя"), "",
                           [&] { creator.form->DXPlay.Poll(); });
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return creator.common().OpponentName == W("Петя"); }));
  StartNetworkGame(creator, 1);
  StartNetworkGame(joiner, 2);
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return !creator.common().ChooserShown && !joiner.common().ChooserShown; }));
  // The creator's fleet is there and its prompt has blinked before the
  // joiner fixes its own: the joiner's grid then flies in with the battle on
  // and the creator to shoot, and asks the joiner to wait.
  creator.form->OwnGrid().AutoPlace();
  ASSERT_TRUE(RunUntil(creator, joiner, [&] {
    return joiner.common().RemoteFleetReceived == 1 && !joiner.common().Blinking && Landed(creator);
  }));
  joiner.form->OwnGrid().AutoPlace();
  ASSERT_TRUE(RunUntil(creator, joiner, [&] {
    return creator.common().BattlePhase == 1 && joiner.common().BattlePhase == 1 &&
           creator.common().AnimationsInFlight == 0 && Landed(joiner) && !joiner.common().Blinking;
  }));
  ASSERT_EQ(creator.common().LocalTurn, 1);
  EXPECT_EQ(joiner.common().StatusLine[1], W("Дождитесь противника..."));

  joiner.form->DXPlay.Close();
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return creator.common().OverlayText == W("Связь утеряна..."); }));
  TCommon& c = creator.common();
  EXPECT_EQ(c.OverlayShown, 1);
  EXPECT_EQ(c.BattlePhase, 0);
  EXPECT_EQ(c.LocalTurn, 0);
  EXPECT_EQ(c.StatusLine[1], W("Игра прервана. Начните новую игру."));
  creator.Click(353 + 8, 108 + 8);
  EXPECT_EQ(creator.form->EnemyGrid().UnshotCount, 272) << "a press after the end shoots nothing";
  EXPECT_TRUE(creator.form->DXPlay.Opened()) << "the creator's session waits for the next player";

  creator.form->ConnectWizard = [&] {
    creator.form->DXPlay.Create(W("Бой"), W("Маша"), net::SessionPorts{0, 1, 0, false});
    return WizardResult{true, 1, W("Бой"), W("Маша"), "", 0};
  };
  ASSERT_TRUE(c.StartNewGame());
  EXPECT_EQ(c.OverlayText, W("Ожидание Игрока N2..."));
  EXPECT_EQ(c.RemoteFleetReceived, 0);
  EXPECT_EQ(c.LocalFleetReady, 0);
  EXPECT_EQ(c.ChooserShown, 1) << "a fresh placement";
}
