// The chat's memory in a game over loopback: three lines sent from the
// keyboard and walked back and forth with Up and Down, an answer kept with
// its sender's name, the game's lines listed over the chat line and, in the
// next game, only the answer from before it; the game's keys stay out of
// the edit's way meanwhile.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/text_codec.h"
#include "game_harness.h"
#include "ui/chat_log.h"

namespace {

std::vector<std::string> Lines(const std::deque<TChatEntry>& entries) {
  std::vector<std::string> out;
  for (const TChatEntry& e : entries) out.push_back((e.Received ? "<" : ">") + e.Line);
  return out;
}

bool RunUntil(GameHarness& a, GameHarness& b, const std::function<bool()>& done, int maxFrames = 2000) {
  for (int i = 0; i < maxFrames && !done(); ++i) {
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

// What the player types into the chat edit, the old text cleared first.
void Type(GameHarness& g, const std::string& utf8) {
  TMainForm& f = *g.form;
  while (!f.NoteEdit.Text().empty()) f.KeyDown(eng::kKeyBackspace);
  f.TextInput(utf8);
}

TEST(ChatHistory, ThreeLinesSentWalkedAnsweredAndListed) {
  GameHarness creator(31), joiner(32);
  creator.SkipLogo();
  joiner.SkipLogo();
  creator.form->DXPlay.Create(W("Бой"), W("Маша"), net::SessionPorts{0, 1, 0, false});
  joiner.form->DXPlay.Join("127.0.0.1", creator.form->DXPlay.Port(), W("Петя"), "",
                           [&] { creator.form->DXPlay.Poll(); });
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return creator.common().OpponentName == W("Петя"); }));
  StartNetworkGame(creator, 1);
  StartNetworkGame(joiner, 2);
  TMainForm& f = *creator.form;
  TCommon& c = creator.common();
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return c.PanelTakesPresses(); }));

  // A ship in hand, then the keyboard goes to the chat edit: the game's
  // keys no longer move, turn or take ships.
  creator.Key(eng::kKeyEnter);
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return f.OwnGrid().ShipActive == 1; }));
  const TShipRecord before = f.OwnGrid().Current;
  creator.Key(eng::kKeyTab);
  ASSERT_TRUE(f.NoteEdit.HasFocus());
  for (int key : {int(eng::kKeyLeft), int(eng::kKeyUp), int('R'), int('M'), int('A')}) creator.Key(key);
  EXPECT_EQ(f.OwnGrid().Current.X, before.X);
  EXPECT_EQ(f.OwnGrid().Current.Y, before.Y);
  EXPECT_EQ(f.OwnGrid().Current.Variant, before.Variant);
  EXPECT_EQ(c.ShipsChosen, 1);

  // Three lines, each sent with Enter.
  for (const char* line : {"раз", "два", "три"}) {
    Type(creator, line);
    creator.Key(eng::kKeyEnter);
  }
  EXPECT_EQ(c.ShipsChosen, 1) << "Enter sent the line and took no ship";
  EXPECT_EQ(c.ChatLine, W("Маша>    три"));
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return joiner.common().ChatLine == W("Маша>    три"); }));
  EXPECT_EQ(Lines(joiner.common().ChatLog.GameLines()),
            (std::vector<std::string>{W("<Маша>    раз"), W("<Маша>    два"), W("<Маша>    три")}));

  // Up and Down walk them, from the one before the line the edit holds.
  std::vector<std::string> walked;
  for (int key : {eng::kKeyUp, eng::kKeyUp, eng::kKeyUp, eng::kKeyDown, eng::kKeyDown, eng::kKeyDown}) {
    creator.Key(key);
    walked.push_back(f.NoteEdit.Text());
  }
  EXPECT_EQ(walked, (std::vector<std::string>{W("два"), W("раз"), W("раз"), W("два"), W("три"), W("три")}));
  EXPECT_EQ(before.X, f.OwnGrid().Current.X) << "the arrows stayed in the edit";
  // A line being typed is kept while the walk goes back and comes again.
  Type(creator, "черновик");
  creator.Key(eng::kKeyUp);
  EXPECT_EQ(f.NoteEdit.Text(), W("три"));
  creator.Key(eng::kKeyDown);
  EXPECT_EQ(f.NoteEdit.Text(), W("черновик"));

  // An answer, then another line: the answer is kept with its sender's name.
  joiner.Key(eng::kKeyTab);
  Type(joiner, "ответ");
  joiner.Key(eng::kKeyEnter);
  ASSERT_TRUE(RunUntil(creator, joiner, [&] { return c.ChatLine == W("Петя>    ответ"); }));
  Type(creator, "ещё");
  creator.Key(eng::kKeyEnter);
  EXPECT_EQ(c.ChatLine, W("Маша>    ещё"));
  EXPECT_EQ(c.ChatLog.LastReceived(), W("Петя>    ответ"));
  EXPECT_EQ(Lines(c.ChatLog.ListLines(8)),
            (std::vector<std::string>{W(">Маша>    раз"), W(">Маша>    два"), W(">Маша>    три"),
                                      W("<Петя>    ответ"), W(">Маша>    ещё")}));

  // The list shows while the pointer rests on the chat line, above the edit.
  const eng::Color edge{82, 133, 227};
  creator.Move(120, 470);
  EXPECT_EQ(c.ChatListShown, 1);
  creator.Frames(1);
  EXPECT_EQ(creator.Pixel(24, 438), eng::FromRGB565(eng::ToRGB565(edge)));
  EXPECT_EQ(creator.Pixel(300, 438), eng::FromRGB565(eng::ToRGB565(edge)));
  creator.Move(120, 300);
  EXPECT_EQ(c.ChatListShown, 0);
  creator.Frames(1);
  EXPECT_NE(creator.Pixel(300, 438), eng::FromRGB565(eng::ToRGB565(edge)));

  // The next game lists only the answer from before it; Up still finds the
  // lines of this run.
  StartNetworkGame(creator, 1);
  EXPECT_TRUE(c.ChatLog.GameLines().empty());
  EXPECT_EQ(Lines(c.ChatLog.ListLines(8)), (std::vector<std::string>{W("<Петя>    ответ")}));
  f.NoteEdit.SetFocused(true);
  creator.Key(eng::kKeyUp);
  EXPECT_EQ(f.NoteEdit.Text(), W("ещё"));
}

}  // namespace
