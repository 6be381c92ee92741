// The chat's memory: the order in which Up and Down walk the lines sent, the
// list of a game's lines with the last received one kept, and a game over
// loopback in which three lines are sent from the keyboard, walked back,
// answered and listed while the game's keys stay out of the edit's way.
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

TEST(ChatLog, UpAndDownWalkTheSentLinesBackAndForthToTheDraft) {
  TChatLog log;
  EXPECT_FALSE(log.Older("x")) << "nothing sent yet";
  for (const char* line : {"one", "two", "two", "three"}) log.Sent(line);
  EXPECT_EQ(log.SentLines(), (std::deque<std::string>{"one", "two", "three"})) << "a repeat is kept once";

  EXPECT_EQ(log.Older("draft"), "three");
  EXPECT_EQ(log.Older("ignored while walking"), "two");
  EXPECT_EQ(log.Older(""), "one");
  EXPECT_FALSE(log.Older("")) << "the oldest stays";
  EXPECT_EQ(log.Newer(), "two");
  EXPECT_EQ(log.Newer(), "three");
  EXPECT_EQ(log.Newer(), "draft");
  EXPECT_FALSE(log.Newer());

  // The edit still holds the line just sent: Up goes to the one before it,
  // and Down ends on it.
  log.EndWalk();
  EXPECT_EQ(log.Older("three"), "two");
  EXPECT_EQ(log.Newer(), "three");
  EXPECT_FALSE(log.Newer());

  // Sending ends the walk; only the latest lines are kept.
  for (size_t i = 0; i < TChatLog::kSentKept + 5; ++i) log.Sent("line " + std::to_string(i));
  EXPECT_EQ(log.SentLines().size(), TChatLog::kSentKept);
  EXPECT_EQ(log.SentLines().front(), "line 5");
  EXPECT_EQ(log.Older(""), "line " + std::to_string(TChatLog::kSentKept + 4));
}

TEST(ChatLog, TheListShowsTheGamesLatestLinesLedByAnEarlierReceivedOne) {
  TChatLog log;
  EXPECT_TRUE(log.ListLines(8).empty());
  log.AddGameLine("Vera>    hello", true);
  log.AddGameLine("Ada>    hi", false);
  EXPECT_EQ(Lines(log.ListLines(8)), (std::vector<std::string>{"<Vera>    hello", ">Ada>    hi"}));

  // A new game: its list is empty but for the last line received before it.
  log.NewGame();
  EXPECT_TRUE(log.GameLines().empty());
  EXPECT_EQ(log.LastReceived(), "Vera>    hello");
  for (int i = 1; i <= 9; ++i) log.AddGameLine("Ada>    " + std::to_string(i), false);
  const std::vector<std::string> shown = Lines(log.ListLines(4));
  EXPECT_EQ(shown, (std::vector<std::string>{"<Vera>    hello", ">Ada>    7", ">Ada>    8", ">Ada>    9"}));
  // Once a line arrives in this game, it is in the list in its place.
  log.AddGameLine("Vera>    again", true);
  EXPECT_EQ(Lines(log.ListLines(3)), (std::vector<std::string>{">Ada>    8", ">Ada>    9", "<Vera>    again"}));
  for (size_t i = 0; i < TChatLog::kGameKept; ++i) log.AddGameLine("x", false);
  EXPECT_EQ(log.GameLines().size(), TChatLog::kGameKept);
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
