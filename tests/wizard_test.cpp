// The connection wizard run modally in a window on SDL's dummy driver,
// driven by input injected from its loop's pump, with a fake discovery in
// place of the network.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/display.h"
#include "engine/keys.h"
#include "engine/list_box.h"
#include "engine/text_codec.h"
#include "net/connect_wizard.h"

namespace {

using eng::Rect;

struct QuietGame : eng::DisplayHandler {};

net::SessionInfo Session(const std::string& name, const std::string& host, uint16_t port,
                         std::vector<std::string> players = {}) {
  net::SessionInfo s;
  s.Name = name;
  s.Host = host;
  s.Port = port;
  s.Instance[0] = static_cast<uint8_t>(port);
  s.Players = std::move(players);
  return s;
}

class WizardTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  void SetUp() override {
    ASSERT_TRUE(display.Initialize(false));
    display.PumpEvents();
  }
  // The pump: runs the script with the number of its call (0 first),
  // also when a box of the wizard calls it; gives up after many.
  std::function<void()> Script(std::function<void(int step)> step) {
    return [this, step] {
      const int n = steps_++;
      step(n);
      if (steps_ > 400) {
        ADD_FAILURE() << "the wizard never closed";
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
      }
    };
  }
  void Click(const eng::Dialog& d, Rect r, int dy = -1) {
    const int x = d.Left + r.x + r.w / 2, y = d.Top + r.y + (dy < 0 ? r.h / 2 : dy);
    display.InjectMouseDown(eng::kMouseLeft, x, y);
    display.InjectMouseUp(eng::kMouseLeft, x, y);
  }
  // Line i of a list box.
  void ClickLine(const eng::Dialog& d, const eng::ListBox& list, int i) {
    Click(d, list.Bounds, 2 + i * eng::ListBox::LineHeight() + eng::ListBox::LineHeight() / 2);
  }
  void Text(const std::string& utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    utf8.copy(e.text.text, sizeof e.text.text - 1);
    SDL_PushEvent(&e);
  }

  eng::ManualClock clock;
  QuietGame game;
  eng::Display display{game, clock};
  std::string sessionPlayerName = W("Боцман");
  uint8_t sessionRole = 0;
  std::vector<std::string> queries;
  DiscoverFunction discover = [this](const std::string& address, int, const std::function<void()>&) {
    queries.push_back(address);
    if (queries.size() == 1)
      return std::vector<net::SessionInfo>{Session(W("Флот"), "10.0.0.5", 47700),
                                           Session(W("Эскадра"), "10.0.0.7", 47701)};
    // The host answers for all its sessions.
    return std::vector<net::SessionInfo>{Session(W("Другая"), "10.0.0.7", 47702, {"Bob"}),
                                         Session(W("Эскадра"), "10.0.0.7", 47701, {W("Алиса")})};
  };
  int steps_ = 0;
};

TEST_F(WizardTest, PagesGoOnAndBackWithTheirRulesAndCaptions) {
  TDXPlayConnectForm form(display, clock, sessionPlayerName, sessionRole, discover);
  const WizardResult result = form.ShowModal(Script([&](int step) {
    if (step != 0) return;
    EXPECT_EQ(form.ActivePage(), TDXPlayConnectForm::SelectProvider);
    EXPECT_EQ(form.ProviderList.Count(), 1);
    EXPECT_FALSE(form.BackButton.Enabled);
    EXPECT_FALSE(form.NextButton.Enabled);  // no method chosen yet
    EXPECT_EQ(form.NextButton.Caption, "Next >");
    ClickLine(form, form.ProviderList, 0);
    EXPECT_TRUE(form.NextButton.Enabled);
    Click(form, form.NextButton.Bounds);
    EXPECT_EQ(form.ActivePage(), TDXPlayConnectForm::SessionType);
    EXPECT_TRUE(form.BackButton.Enabled);
    EXPECT_TRUE(form.NewGame.Checked());
    EXPECT_EQ(form.NextButton.Caption, "Next >");
    Click(form, form.NextButton.Bounds);
    EXPECT_EQ(form.ActivePage(), TDXPlayConnectForm::SessionNew);
    EXPECT_EQ(form.NextButton.Caption, "Complete");
    EXPECT_EQ(form.NewGameSessionName.Text(), "MySession");
    EXPECT_EQ(form.NewGamePlayerName.Text(), sessionPlayerName);
    EXPECT_TRUE(form.NextButton.Enabled);
    EXPECT_EQ(sessionRole, 1);
    // Emptying the session name stops Next; Enter in it does nothing then.
    for (int i = 0; i < 9; ++i) display.InjectKey(eng::kKeyBackspace);
    EXPECT_FALSE(form.NextButton.Enabled);
    display.InjectKey(eng::kKeyEnter);
    EXPECT_EQ(form.ActivePage(), TDXPlayConnectForm::SessionNew);
    Click(form, form.BackButton.Bounds);
    EXPECT_EQ(form.ActivePage(), TDXPlayConnectForm::SessionType);
    Click(form, form.BackButton.Bounds);
    EXPECT_EQ(form.ActivePage(), TDXPlayConnectForm::SelectProvider);
    EXPECT_FALSE(form.BackButton.Enabled);
    display.InjectKey(eng::kKeyEscape);
  }));
  EXPECT_FALSE(result.completed);
  EXPECT_TRUE(queries.empty());
  EXPECT_EQ(sessionPlayerName, W("Боцман"));
}

TEST_F(WizardTest, NewGameCompletesWithRoleOneAndTheNameCutForTheGame) {
  TDXPlayConnectForm form(display, clock, sessionPlayerName, sessionRole, discover);
  const WizardResult result = form.ShowModal(Script([&](int step) {
    if (step == 0) {
      display.InjectKey(eng::kKeyDown);   // the method, by the keys
      display.InjectKey(eng::kKeyEnter);  // to the session type
      display.InjectKey(eng::kKeyEnter);  // a new game
      ASSERT_EQ(form.ActivePage(), TDXPlayConnectForm::SessionNew);
      form.SetFocus(&form.NewGamePlayerName);
      for (int i = 0; i < 6; ++i) display.InjectKey(eng::kKeyBackspace);
      EXPECT_FALSE(form.NextButton.Enabled);
      Text("Капитан Немо 2");
    } else if (step == 1) {
      EXPECT_EQ(form.NewGamePlayerName.Text(), W("Капитан Немо 2"));
      display.InjectKey(eng::kKeyEnter);
    }
  }));
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(result.role, 1);
  EXPECT_EQ(result.sessionName, "MySession");
  EXPECT_EQ(result.playerName, W("Капитан Немо 2"));
  EXPECT_EQ(sessionPlayerName, W("Капитан Немо"));
  EXPECT_EQ(sessionRole, 1);
  EXPECT_TRUE(queries.empty());
}

TEST_F(WizardTest, JoinFindsSessionsAsksForPlayersAfterTheLastClickAndCompletesWithTheHost) {
  TDXPlayConnectForm form(display, clock, sessionPlayerName, sessionRole, discover);
  const WizardResult result = form.ShowModal(Script([&](int step) {
    switch (step) {
      case 0:
        ClickLine(form, form.ProviderList, 0);
        Click(form, form.NextButton.Bounds);
        Click(form, form.JoinGame.Bounds);
        Click(form, form.NextButton.Bounds);  // the address prompt: step 1 cancels it
        EXPECT_EQ(form.ActivePage(), TDXPlayConnectForm::SessionType);
        EXPECT_TRUE(queries.empty());
        EXPECT_EQ(sessionRole, 2);
        Click(form, form.NextButton.Bounds);  // again: step 2 searches the local network
        ASSERT_EQ(form.ActivePage(), TDXPlayConnectForm::SessionJoin);
        EXPECT_EQ(queries, std::vector<std::string>{""});
        EXPECT_EQ(form.JoinGameSessionList.Items(), (std::vector<std::string>{W("Флот"), W("Эскадра")}));
        EXPECT_EQ(form.JoinGamePlayerName.Text(), sessionPlayerName);
        EXPECT_FALSE(form.NextButton.Enabled);  // no session picked
        ClickLine(form, form.JoinGameSessionList, 1);
        EXPECT_TRUE(form.NextButton.Enabled);
        break;
      case 1:
        EXPECT_EQ(display.PushedHandlers(), 2);
        display.InjectKey(eng::kKeyEscape);
        break;
      case 2:
        display.InjectKey(eng::kKeyEnter);
        break;
      case 3:
        clock.Advance(150);
        ClickLine(form, form.JoinGameSessionList, 1);  // the wait starts again
        break;
      case 4:
        clock.Advance(199);
        break;
      case 5:
        EXPECT_EQ(queries.size(), 1u);
        EXPECT_EQ(form.JoinGamePlayerList.Count(), 0);
        clock.Advance(1);
        break;
      case 6:
        EXPECT_EQ(queries, (std::vector<std::string>{"", "10.0.0.7:47701"}));  // the session answers at its port
        EXPECT_EQ(form.JoinGamePlayerList.Items(), std::vector<std::string>{W("Алиса")});
        form.SetFocus(&form.JoinGamePlayerName);
        display.InjectKey(eng::kKeyBackspace);
        display.InjectKey(eng::kKeyEnter);
        break;
      default:
        break;
    }
  }));
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(result.role, 2);
  EXPECT_EQ(result.sessionName, W("Эскадра"));
  EXPECT_EQ(result.playerName, W("Боцма"));
  EXPECT_EQ(result.host, "10.0.0.7");
  EXPECT_EQ(result.port, 47701);
  EXPECT_EQ(sessionPlayerName, W("Боцман"));  // a joining name is not the game's
  EXPECT_EQ(sessionRole, 2);
}

TEST_F(WizardTest, CancelEndsWithoutCompletion) {
  const int left = (640 - (TDXPlayConnectForm::kClientWidth + 2 * TDXPlayConnectForm::kBorder)) / 2;
  const int top = (480 - (TDXPlayConnectForm::kClientHeight + TDXPlayConnectForm::kTitleHeight +
                          2 * TDXPlayConnectForm::kBorder)) / 2;
  const int cancelX = left + TDXPlayConnectForm::kClientX + 408 + 40;
  const int cancelY = top + TDXPlayConnectForm::kClientY + 253 + 12;
  const WizardResult result =
      RunConnectWizard(display, clock, sessionPlayerName, sessionRole, Script([&](int step) {
                         if (step != 0) return;
                         display.InjectMouseDown(eng::kMouseLeft, cancelX, cancelY);
                         display.InjectMouseUp(eng::kMouseLeft, cancelX, cancelY);
                       }),
                       discover);
  EXPECT_FALSE(result.completed);
  EXPECT_EQ(result.role, 0);
  EXPECT_EQ(sessionRole, 0);
  EXPECT_EQ(sessionPlayerName, W("Боцман"));
}

TEST(ListBoxTest, KeysMoveTheSelectionWithinTheLinesAndReportIt) {
  eng::ListBox list(Rect{0, 0, 100, 60});
  int changes = 0;
  list.OnChange = [&] { ++changes; };
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_TRUE(list.KeyDown(eng::kKeyDown));  // nothing to select yet
  EXPECT_EQ(list.ItemIndex(), -1);
  for (const char* s : {"a", "b", "c"}) list.AddItem(s);
  list.KeyDown(eng::kKeyDown);
  EXPECT_EQ(list.ItemIndex(), 0);
  list.KeyDown(eng::kKeyUp);  // stays on the first line
  list.KeyDown(eng::kKeyDown);
  list.KeyDown(eng::kKeyDown);
  list.KeyDown(eng::kKeyDown);
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_EQ(changes, 3);
  list.Clear();
  EXPECT_EQ(list.ItemIndex(), -1);
}

}  // namespace

namespace {

// The last page opens the session: a failure shows its error and leaves
// the wizard on that page for another try, for a new game and for a join
// alike; a window closed while a join waits ends the wizard and is passed
// on to close the program.
TEST_F(WizardTest, AFailedOpenStaysOnItsPageAndAClosedWindowEndsAJoin) {
  std::vector<std::string> shown, opened;
  int failures = 1;
  OpenFunction open = [&](const WizardResult& choice, const std::function<void()>& idle,
                          const std::function<bool()>& cancelled) {
    opened.push_back(choice.sessionName);
    if (failures-- > 0) throw net::EDXPlayError("Session " + choice.sessionName + " cannot be opened");
    if (choice.role == 2) {
      // A join that waits: the window is closed meanwhile.
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      SDL_PushEvent(&quit);
      for (int i = 0; i < 50 && !cancelled(); ++i) idle();
      return !cancelled();
    }
    return true;
  };
  {
    TDXPlayConnectForm form(display, clock, sessionPlayerName, sessionRole, discover, open);
    form.ShowMessage = [&](const std::string& text) { shown.push_back(text); };
    const WizardResult result = form.ShowModal(Script([&](int step) {
      if (step != 0) return;
      ClickLine(form, form.ProviderList, 0);
      Click(form, form.NextButton.Bounds);
      Click(form, form.NextButton.Bounds);
      ASSERT_EQ(form.ActivePage(), TDXPlayConnectForm::SessionNew);
      Click(form, form.NextButton.Bounds);  // fails
      EXPECT_EQ(form.ActivePage(), TDXPlayConnectForm::SessionNew);
      EXPECT_FALSE(form.Closed());
      EXPECT_TRUE(form.NextButton.Enabled);
      Click(form, form.NextButton.Bounds);  // succeeds
    }));
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(shown, std::vector<std::string>{"Session MySession cannot be opened"});
    EXPECT_EQ(opened, (std::vector<std::string>{"MySession", "MySession"}));
  }

  failures = 1;
  shown.clear();
  steps_ = 0;
  TDXPlayConnectForm form(display, clock, sessionPlayerName, sessionRole, discover, open);
  form.ShowMessage = [&](const std::string& text) { shown.push_back(text); };
  form.AskAddress = [](std::string&) { return true; };
  const WizardResult result = form.ShowModal(Script([&](int step) {
    if (step != 0) return;
    ClickLine(form, form.ProviderList, 0);
    Click(form, form.NextButton.Bounds);
    Click(form, form.JoinGame.Bounds);
    Click(form, form.NextButton.Bounds);
    ASSERT_EQ(form.ActivePage(), TDXPlayConnectForm::SessionJoin);
    ClickLine(form, form.JoinGameSessionList, 0);
    Click(form, form.NextButton.Bounds);  // fails
    EXPECT_EQ(form.ActivePage(), TDXPlayConnectForm::SessionJoin);
    EXPECT_EQ(form.JoinGameSessionList.ItemIndex(), 0);
    Click(form, form.NextButton.Bounds);  // waits, and the window closes
  }));
  EXPECT_FALSE(result.completed);
  EXPECT_EQ(shown, std::vector<std::string>{W("Session Флот cannot be opened")});
  SDL_PumpEvents();
  EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT), 1) << "the close goes on to the program";
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

// A list longer than its box: the bar's arrows, track and thumb and the
// wheel reach every line; a short list has no bar.
TEST(ListBoxTest, ScrollBarAndWheelReachEveryLine) {
  eng::ListBox list(Rect{10, 10, 161, 110});
  for (int i = 0; i < 30; ++i) list.AddItem("line " + std::to_string(i));
  const int shown = list.VisibleLines();
  ASSERT_TRUE(list.HasScrollBar());
  ASSERT_LT(shown, 30);
  const Rect bar = list.ScrollBar();
  EXPECT_EQ(bar.Right(), list.Bounds.Right() - 1);

  list.MouseDown(eng::kMouseLeft, bar.x + 3, bar.Bottom() - 3);  // the down arrow
  EXPECT_EQ(list.TopIndex(), 1);
  EXPECT_TRUE(list.MouseWheel(-1));  // towards the player: further down
  EXPECT_EQ(list.TopIndex(), 4);
  EXPECT_TRUE(list.MouseWheel(2));
  EXPECT_EQ(list.TopIndex(), 0);
  const Rect thumb = list.ThumbRect();
  list.MouseDown(eng::kMouseLeft, bar.x + 3, thumb.Bottom() + 2);  // the track below the thumb: a page
  EXPECT_EQ(list.TopIndex(), shown);
  // The thumb dragged to the bottom shows the last lines.
  const Rect now = list.ThumbRect();
  list.MouseDown(eng::kMouseLeft, bar.x + 3, now.y + 1);
  list.MouseMove(bar.x + 3, bar.Bottom() + 40);
  list.MouseUp(eng::kMouseLeft, bar.x + 3, bar.Bottom() + 40);
  EXPECT_EQ(list.TopIndex(), 30 - shown);
  list.MouseDown(eng::kMouseLeft, bar.x + 3, bar.y + 3);  // the up arrow
  EXPECT_EQ(list.TopIndex(), 29 - shown);
  // Keys keep the selection in sight.
  list.SetItemIndex(0);
  EXPECT_EQ(list.TopIndex(), 0);

  eng::ListBox few(Rect{0, 0, 161, 110});
  few.AddItem(std::string(1900, 'W'));
  EXPECT_FALSE(few.HasScrollBar());
  EXPECT_FALSE(few.MouseWheel(1));
}

}  // namespace
