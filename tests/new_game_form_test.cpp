// The New Game dialog run through real events in the whole game: opened
// from the menu, driven from the hook its loop calls on every pass.
#include "settings/new_game_form.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/message_box.h"
#include "engine/text_codec.h"
#include "game_harness.h"

namespace {

// Frame points of the controls: the dialog stands at (220, 115).
constexpr int kLeft = (640 - 200) / 2, kTop = (480 - 250) / 2;
constexpr int kStartX = kLeft + 27 + 32, kStartY = kTop + 212 + 11;
constexpr int kCloseX = kLeft + 108 + 32, kCloseY = kTop + 212 + 11;
constexpr int kCompX = kLeft + 19 + 7, kCompY = kTop + 136 + 7;
constexpr int kPlayerX = kLeft + 19 + 7, kPlayerY = kTop + 159 + 7;
constexpr int kIPX = kLeft + 154 + 15, kIPY = kTop + 164 + 11;

std::string SettingsBytes(const std::string& cp1251Name, uint8_t mode) {
  SettingsRecord r;
  r.FullScreen = 0;
  r.SetPlayerName(cp1251Name);
  r.GameMode = mode;
  return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

std::string FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

class NewGameDialog : public ::testing::Test {
 protected:
  void Open(const std::string& settings = "") {
    g = std::make_unique<GameHarness>(1234, settings);
    g->SkipLogo();
  }
  TNewGameForm& Form() { return *g->form->NewGameForm; }
  TCommon& Common() { return g->common(); }
  // Opens the dialog with the menu's New button and runs step(pass) on every
  // pass of its loop, and of the boxes it shows, until it closes.
  void Run(std::function<void(int pass)> step) {
    int pass = 0;
    Form().Pump = GameHarness::StepPump(step, pass);
    g->Click(211, 29);
    Form().Pump = nullptr;
  }
  // A box shown by the dialog stands over it.
  bool BoxUp() { return g->form->Display().PushedHandlers() == 2; }

  std::unique_ptr<GameHarness> g;
};

TEST_F(NewGameDialog, ShowsTheStoredNameAndRemotePlayerModeCentredWithTheTimerOff) {
  Open(SettingsBytes(W("Пётр"), 2));
  bool checked = false;
  Run([&](int) {
    if (checked) return;
    checked = true;
    EXPECT_EQ(Form().Left, 220);
    EXPECT_EQ(Form().Top, 115);
    EXPECT_EQ(Form().PlNameEdit.Text(), W("Пётр"));
    EXPECT_TRUE(Form().PlvsPlBtn.Down());
    EXPECT_FALSE(Form().PlvsCompBtn.Down());
    EXPECT_FALSE(Form().GetIPBtn.Down());
    EXPECT_EQ(Form().Focus(), &Form().PlNameEdit);
    EXPECT_TRUE(SDL_IsTextInputActive());
    EXPECT_FALSE(g->form->DXTimer().Enabled());
    g->Key(eng::kKeyEscape);
  });
  EXPECT_TRUE(checked);
  EXPECT_TRUE(g->form->DXTimer().Enabled());
  EXPECT_FALSE(SDL_IsTextInputActive());
}

TEST_F(NewGameDialog, BlankNameStartsAsPlayerN1AgainstTheComputer) {
  Open(SettingsBytes(W("Пётр"), 1));
  Run([&](int pass) {
    if (pass == 0) {
      for (int i = 0; i < 4; ++i) g->Key(eng::kKeyBackspace);
      g->Text("   ");
    } else if (pass == 1) {
      EXPECT_EQ(Form().PlNameEdit.Text(), "   ");
      g->Click(kStartX, kStartY);
    }
  });
  EXPECT_EQ(Common().Settings.PlayerName(), W("Игрок N1"));
  EXPECT_EQ(Common().StatusLine[0], W("Игрок N1"));
  EXPECT_EQ(Common().Settings.GameMode, 1);
  EXPECT_EQ(Common().OpponentName, W("Компьютер"));
  EXPECT_EQ(FileBytes(g->SettingsFile()), SettingsBytes(W("Игрок N1"), 1));
  // The fresh grid counts as changed: the game was reset for placement.
  EXPECT_EQ(Common().ChooserShown, 1);
  EXPECT_TRUE(g->form->DXTimer().Enabled());
}

TEST_F(NewGameDialog, TypedCyrillicIsKeptInTheCodePageAndEnterStarts) {
  Open(SettingsBytes("", 1));
  Run([&](int pass) {
    if (pass == 0) {
      g->Text("Саша★ Ωπ");  // what the code page cannot hold is dropped
    } else if (pass == 1) {
      EXPECT_EQ(Form().PlNameEdit.Text(), W("Саша "));
      g->Text("Александров");  // the edit stops at 12
    } else if (pass == 2) {
      EXPECT_EQ(Form().PlNameEdit.Text(), W("Саша Алексан"));
      g->Key(eng::kKeyEnter);
    }
  });
  EXPECT_EQ(Common().Settings.PlayerName(), W("Саша Алексан"));
  EXPECT_EQ(Common().StatusLine[0], W("Саша Алексан"));
}

TEST_F(NewGameDialog, CloseChangesNothingAndTheLastFrameComesBack) {
  Open(SettingsBytes(W("Пётр"), 1));
  const std::string fileBefore = FileBytes(g->SettingsFile());
  const std::string statusBefore = Common().StatusLine[0];
  std::vector<eng::Color> during;
  Run([&](int pass) {
    if (pass == 0) {
      g->Text("xyz");
      g->Click(kPlayerX, kPlayerY);
    } else if (pass == 1) {
      // Behind the dialog the frame is the game's; in it, the dialog.
      during = {g->Pixel(100, 300), g->Pixel(kLeft + 100, kTop + 120)};
      g->Click(kCloseX, kCloseY);
    }
  });
  EXPECT_EQ(Common().Settings.PlayerName(), W("Пётр"));
  EXPECT_EQ(Common().Settings.GameMode, 1);
  EXPECT_EQ(FileBytes(g->SettingsFile()), fileBefore);
  EXPECT_EQ(Common().StatusLine[0], statusBefore);
  EXPECT_EQ(Common().ChooserShown, 0);
  ASSERT_EQ(during.size(), 2u);
  EXPECT_EQ(g->Pixel(100, 300), during[0]);
  EXPECT_NE(g->Pixel(kLeft + 100, kTop + 120), during[1]);
  EXPECT_TRUE(g->form->DXTimer().Enabled());
}

TEST_F(NewGameDialog, AddressButtonWorksOnlyAgainstARemotePlayer) {
  Open(SettingsBytes(W("Пётр"), 1));
  Form().LocalAddress = [] { return std::string("192.168.7.21"); };
  std::vector<std::string> shown;
  const auto realBox = Form().ShowMessage;
  Form().ShowMessage = [&](const std::string& text) {
    shown.push_back(text);
    realBox(text);
  };
  bool boxSeen = false;
  Run([&](int pass) {
    if (BoxUp()) {
      boxSeen = true;
      g->Key(eng::kKeyEnter);
      return;
    }
    if (pass == 0) {
      g->Click(kIPX, kIPY);  // against the computer: nothing
    } else if (pass == 1) {
      EXPECT_TRUE(shown.empty());
      EXPECT_TRUE(Form().GetIPBtn.Down());
      g->Click(kPlayerX, kPlayerY);
      EXPECT_FALSE(Form().GetIPBtn.Down());
      g->Click(kCompX, kCompY);
      EXPECT_TRUE(Form().GetIPBtn.Down());
      EXPECT_FALSE(Form().PlvsPlBtn.Down());
      g->Click(kPlayerX, kPlayerY);
      g->Click(kIPX, kIPY);
    } else if (pass > 2 && boxSeen && !Form().Closed()) {
      EXPECT_FALSE(Form().GetIPBtn.Down());
      g->Click(kCloseX, kCloseY);
    }
  });
  EXPECT_TRUE(boxSeen);
  ASSERT_EQ(shown.size(), 1u);
  // The address stands on the box's last line, alone.
  const eng::MessageBoxDialog box(shown[0], eng::MessageButtons::Ok);
  const std::vector<std::string> lines = box.Text().Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], W("IP-адрес вашего компьютера:"));
  EXPECT_EQ(lines[1], "192.168.7.21");
  EXPECT_EQ(Common().Settings.GameMode, 1);  // closed: nothing changed
}

TEST_F(NewGameDialog, NetworkStartWhoseWizardIsCancelledStopsQuietlyAndKeepsTheGrids) {
  Open(SettingsBytes(W("Пётр"), 1));
  int wizards = 0;
  g->form->ConnectWizard = [&] {
    ++wizards;
    return WizardResult{};  // the player cancelled
  };
  Run([&](int pass) {
    if (pass != 0) return;
    g->Click(kPlayerX, kPlayerY);
    g->Click(kStartX, kStartY);
  });
  EXPECT_EQ(wizards, 1);
  EXPECT_EQ(Common().Settings.GameMode, 2);
  EXPECT_EQ(Common().StatusLine[0], W("Пётр"));
  EXPECT_EQ(Common().ChatShown, 0);
  EXPECT_EQ(Common().ChooserShown, 0);
  EXPECT_EQ(Common().Shattering, 0);
  EXPECT_TRUE(g->form->DXTimer().Enabled());
}

TEST_F(NewGameDialog, DraggingTheBackgroundMovesTheDialog) {
  Open();
  Run([&](int pass) {
    if (pass != 0) return;
    g->Move(kLeft + 100, kTop + 12);  // the title
    g->form->Display().InjectMouseDown(eng::kMouseLeft, kLeft + 100, kTop + 12);
    g->Move(kLeft + 60, kTop + 2);
    g->form->Display().InjectMouseUp(eng::kMouseLeft, kLeft + 60, kTop + 2);
    EXPECT_EQ(Form().Left, kLeft - 40);
    EXPECT_EQ(Form().Top, kTop - 10);
    // The controls went with it.
    g->Click(kCloseX - 40, kCloseY - 10);
  });
  EXPECT_TRUE(Form().Closed());
}

// Without the dialog's loop: the name cut and the mode taken from the radios.
TEST(NewGameForm, StartCutsTheTrimmedNameToTwelveAndTakesTheMode) {
  GameHarness g;
  TNewGameForm& form = *g.form->NewGameForm;
  form.PlNameEdit.MaxLength = 0;  // what the edit might hold, it never stores
  form.PlNameEdit.SetText(W("  Константинопольский  "));
  form.PlvsCompBtn.SetDown(true);
  form.StartBtnClick();
  EXPECT_EQ(g.common().Settings.PlayerName(), W("Константиноп"));
  EXPECT_EQ(g.common().Settings.GameMode, 1);
  EXPECT_TRUE(form.Closed());
}

TEST(NewGameForm, LocalAddressIsEmptyOrDottedIPv4) {
  const std::string address = GetLocalIPAddress();
  if (address.empty()) GTEST_SKIP() << "no address on this machine";
  in_addr parsed{};
  EXPECT_EQ(inet_pton(AF_INET, address.c_str(), &parsed), 1) << address;
}

}  // namespace

namespace {

TEST(NewGameSkin, PicturesHaveTheirSizesAndKeyedCorners) {
  const assets::skins::NewGameSkin skin = assets::skins::PaintNewGameSkin();
  EXPECT_EQ(skin.Background.Width(), 200);
  EXPECT_EQ(skin.Background.Height(), 250);
  const auto key = eng::ToRGB565(assets::skins::kSkinKey);
  struct Face {
    const eng::Picture& picture;
    int w, h;
  };
  for (const Face& f : {Face{skin.StartUp, 65, 23}, Face{skin.StartDown, 65, 23}, Face{skin.CloseUp, 65, 23},
                        Face{skin.CloseDown, 65, 23}, Face{skin.GetIPUp, 30, 23}, Face{skin.GetIPDown, 30, 23},
                        Face{skin.RadioUp, 15, 15}, Face{skin.RadioDown, 15, 15}}) {
    ASSERT_EQ(f.picture.Width(), f.w);
    ASSERT_EQ(f.picture.Height(), f.h);
    // Rounded: the corners are not the face's, the middle and the edges' middles are.
    for (auto [x, y] : {std::pair{0, 0}, std::pair{f.w - 1, 0}, std::pair{0, f.h - 1}, std::pair{f.w - 1, f.h - 1}})
      EXPECT_EQ(eng::ToRGB565(f.picture.GetPixel(x, y)), key) << f.w << "x" << f.h << " at " << x << "," << y;
    for (auto [x, y] : {std::pair{f.w / 2, f.h / 2}, std::pair{f.w / 2, 0}, std::pair{0, f.h / 2}})
      EXPECT_NE(eng::ToRGB565(f.picture.GetPixel(x, y)), key) << f.w << "x" << f.h << " at " << x << "," << y;
  }
  EXPECT_FALSE(skin.StartUp == skin.StartDown);
  EXPECT_FALSE(skin.RadioUp == skin.RadioDown);
  EXPECT_FALSE(skin.GetIPUp == skin.GetIPDown);
}

}  // namespace
