// The chat's memory in a game over loopback: three lines sent from the
// keyboard and walked with Up and Down, an answer kept with its sender's
// name, the game's lines listed over the chat line and, in the next game,
// only the answer from before it; the game's keys stay out of the edit's way.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/text_codec.h"
#include "game_harness.h"

namespace {

bool RunUntil(GameHarness& a, GameHarness& b, const std::function<bool()>& done) {
  for (int i = 0; i < 2000 && !done(); ++i) {
    a.form->DXPlay.Poll();
    b.form->DXPlay.Poll();
    a.Frames(1);
    b.Frames(1);
  }
  return done();
}

void StartNetworkGame(GameHarness& g, uint8_t role) {
  g.common().Settings.GameMode = 2;
  g.common().SessionRole = role;
  if (g.form->SessionPlayerCount() == 2) g.QueueKey(SDLK_ESCAPE);  // "keep the connection?" -> Нет
  ASSERT_TRUE(g.common().StartNewGame());
}

// A line typed over what the edit holds, and Enter.
void Send(GameHarness& g, const std::string& utf8) {
  while (!g.form->NoteEdit.Text().empty()) g.Key(eng::kKeyBackspace);
  g.form->TextInput(utf8);
  g.Key(eng::kKeyEnter);
}

std::vector<std::string> Listed(TCommon& c) {
  std::vector<std::string> out;
  for (const TChatEntry& e : c.ChatLog.ListLines(8)) out.push_back((e.Received ? "<" : ">") + e.Line);
  return out;
}

TEST(ChatHistory, ThreeLinesSentWalkedAnsweredAndListed) {
  GameHarness creator(31), joiner(32);
  creator.SkipLogo();
  joiner.SkipLogo();
  creator.form->DXPlay.Create(W("Бой"), W("Маша"), net::SessionPorts{0, 1, 0, false});
  joiner.form->DXPlay.Join("127.0.0.1", creator.form->DXPlay.Port(), W("Петя"), "", [&] { creator.form->DXPlay.Poll(); });
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return creator.common().OpponentName == W("Петя"); }));
  StartNetworkGame(creator, 1);
  StartNetworkGame(joiner, 2);
  TMainForm& f = *creator.form;
  TCommon& c = creator.common();
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return c.PanelTakesPresses(); }));

  // A ship in hand; Tab gives the keyboard to the edit, and the game's keys
  // no longer move it, turn it or take ships.
  creator.Key(eng::kKeyEnter);
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return f.OwnGrid().ShipActive == 1; }));
  const TShipRecord before = f.OwnGrid().Current;
  creator.Key(eng::kKeyTab);
  ASSERT_TRUE(f.NoteEdit.HasFocus());
  for (int key : {int(eng::kKeyLeft), int('R'), int('A')}) creator.Key(key);
  for (const char* line : {"раз", "два", "три"}) Send(creator, line);
  EXPECT_EQ(std::pair(f.OwnGrid().Current.X, f.OwnGrid().Current.Variant), std::pair(before.X, before.Variant));
  EXPECT_EQ(c.ShipsChosen, 1);
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return joiner.common().ChatLine == W("Маша>    три"); }));

  // Up and Down walk them from the one before the line the edit holds, and
  // back to a line being typed.
  std::vector<std::string> walked;
  for (int key : {eng::kKeyUp, eng::kKeyUp, eng::kKeyUp, eng::kKeyDown, eng::kKeyDown, eng::kKeyDown}) {
    creator.Key(key);
    walked.push_back(f.NoteEdit.Text());
  }
  EXPECT_EQ(walked, (std::vector<std::string>{W("два"), W("раз"), W("раз"), W("два"), W("три"), W("три")}));
  f.TextInput("!");
  creator.Key(eng::kKeyUp);
  creator.Key(eng::kKeyDown);
  EXPECT_EQ(f.NoteEdit.Text(), W("три!"));

  // The answer is kept with its sender's name after the next line goes.
  joiner.Key(eng::kKeyTab);
  Send(joiner, "ответ");
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return c.ChatLine == W("Петя>    ответ"); }));
  Send(creator, "ещё");
  EXPECT_EQ(Listed(c), (std::vector<std::string>{W(">Маша>    раз"), W(">Маша>    два"), W(">Маша>    три"),
                                                 W("<Петя>    ответ"), W(">Маша>    ещё")}));

  // Listed above the edit while the pointer rests on the chat line.
  const eng::Color edge = eng::FromRGB565(eng::ToRGB565(eng::RGB(82, 133, 227)));
  creator.Move(120, 470);
  creator.Frames(1);
  EXPECT_EQ(creator.Pixel(300, 438), edge);
  creator.Move(120, 300);
  creator.Frames(1);
  EXPECT_NE(creator.Pixel(300, 438), edge);

  // The next game lists only the answer from before it; Up still finds
  // this run's lines.
  StartNetworkGame(creator, 1);
  EXPECT_EQ(Listed(c), (std::vector<std::string>{W("<Петя>    ответ")}));
  f.NoteEdit.SetFocused(true);
  creator.Key(eng::kKeyUp);
  EXPECT_EQ(f.NoteEdit.Text(), W("ещё"));
}

}  // namespace
