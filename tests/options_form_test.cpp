// The Options dialog run through real events in the whole game (opened
// from the menu, driven from the hook its loop calls on every pass), the
// screen's full-screen button, and the slider the volume is set with.
#include "settings/options_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/slider.h"
#include "game_harness.h"

namespace {

// Frame points of the controls: the dialog stands at (220, 115).
constexpr int kLeft = (640 - 200) / 2, kTop = (480 - 250) / 2;
constexpr int kOKX = kLeft + 28 + 32, kOKY = kTop + 212 + 11;
constexpr int kCloseX = kLeft + 108 + 32, kCloseY = kTop + 212 + 11;
constexpr int kRadioX = kLeft + 19 + 7;
constexpr int kRadioY[4] = {kTop + 56 + 7, kTop + 75 + 7, kTop + 94 + 7, kTop + 113 + 7};
constexpr int kToggleX = kLeft + 140 + 8, kToggleY = kTop + 168 + 10;
constexpr int kTrackLeftX = kLeft + 75 + 9, kTrackRightX = kLeft + 75 + 88, kTrackY = kTop + 142 + 10;
// The menu's Options button and the screen's full-screen button.
constexpr int kOptionsX = 300, kOptionsY = 29;
constexpr int kScreenButtonX = 612, kScreenButtonY = 9;

std::string SettingsBytes(uint8_t fullScreen, uint8_t difficulty, int32_t volume) {
  SettingsRecord r;
  r.FullScreen = fullScreen;
  r.Difficulty = difficulty;
  r.Volume = volume;
  return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

std::string FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// The main window, counting how often the display was initialised.
class CountingMainForm : public TMainForm {
 public:
  using TMainForm::TMainForm;
  void DXDrawInitialize() override {
    ++Initializes;
    TMainForm::DXDrawInitialize();
  }
  int Initializes = 0;
};

class OptionsDialog : public ::testing::Test {
 protected:
  void Open(const std::string& settings) {
    g = std::make_unique<GameHarness>(1234, settings);
    // The same game in the same directory, its display counted.
    g->form.reset();
    MainFormOptions options;
    options.clock = &g->clock;
    options.appDir = std::filesystem::path(g->SettingsFile()).parent_path().string() + "/";
    options.seed = 1234;
    options.sound = false;
    auto form = std::make_unique<CountingMainForm>(options);
    counting = form.get();
    g->form = std::move(form);
    g->form->OpenDisplay();
    g->SkipLogo();
    counting->Initializes = 0;
  }
  TOptionsForm& Form() { return *g->form->OptionsForm; }
  TCommon& Common() { return g->common(); }
  // Opens the dialog with the menu's Options button and runs step(pass) on
  // every pass of its loop until it closes.
  void Run(std::function<void(int pass)> step) {
    int pass = 0;
    Form().Pump = GameHarness::StepPump(step, pass);
    g->Click(kOptionsX, kOptionsY);
    Form().Pump = nullptr;
  }
  void Drag(int fromX, int toX) {
    g->Move(fromX, kTrackY);
    g->form->Display().InjectMouseDown(eng::kMouseLeft, fromX, kTrackY);
    g->Move(toX, kTrackY);
    g->form->Display().InjectMouseUp(eng::kMouseLeft, toX, kTrackY);
  }
  std::vector<uint16_t> Picture() {
    std::vector<uint16_t> pixels;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) pixels.push_back(g->form->Display().BackSurface().GetPixel(x, y));
    return pixels;
  }

  std::unique_ptr<GameHarness> g;
  CountingMainForm* counting = nullptr;
};

TEST_F(OptionsDialog, OkWithTheSameScreenChoiceLeavesTheDisplayAloneAndWritesTheFile) {
  Open(SettingsBytes(0, 1, -500));
  bool shown = false;
  Run([&](int pass) {
    if (pass != 0) return;
    shown = true;
    EXPECT_EQ(Form().Left, 220);
    EXPECT_EQ(Form().Top, 115);
    EXPECT_TRUE(Form().EasyBtn.Down());
    EXPECT_FALSE(Form().VeryEasyBtn.Down());
    EXPECT_EQ(Form().SoundTracker.Value(), -500);
    EXPECT_FALSE(Form().FullscreenBtn.Down());
    EXPECT_FALSE(g->form->DXTimer().Enabled());
    g->Click(kRadioX, kRadioY[3]);
    Drag(kTrackRightX, kTrackRightX);
    g->Click(kOKX, kOKY);
  });
  EXPECT_TRUE(shown);
  EXPECT_EQ(counting->Initializes, 0);
  EXPECT_FALSE(g->form->Display().FullScreen());
  EXPECT_TRUE(g->form->DXTimer().Enabled());
  EXPECT_EQ(Common().Settings.Difficulty, 3);
  EXPECT_EQ(int32_t{Common().Settings.Volume}, 0);
  EXPECT_EQ(FileBytes(g->SettingsFile()), SettingsBytes(0, 3, 0));

  // Now the other choice: one switch, and the file says full screen.
  Run([&](int pass) {
    if (pass != 0) return;
    EXPECT_TRUE(Form().HardBtn.Down());
    g->Click(kToggleX, kToggleY);
    g->Click(kOKX, kOKY);
  });
  EXPECT_EQ(counting->Initializes, 1);
  EXPECT_TRUE(g->form->Display().FullScreen());
  EXPECT_TRUE(g->form->DXTimer().Enabled());
  EXPECT_EQ(FileBytes(g->SettingsFile()), SettingsBytes(1, 3, 0));
}

TEST_F(OptionsDialog, SwitchingTwiceFromTheScreenButtonGivesBackTheSamePicture) {
  Open(SettingsBytes(1, 1, -500));
  // A game in placement, a ship taken from the panel: the panel's face
  // has moved on to the next ship, which only its surface remembers.
  Common().StartNewGame();
  for (int i = 0; i < 400 && !(Common().ChooserClosed == 0 && Common().ChooserShown == 0 && !Common().Shattering &&
                               Common().Blinking == 0);
       ++i)
    g->Frames(1);
  const eng::Rect next = Common().NextShipButton;
  g->Click(Common().ChooserX + next.x + next.w / 2, Common().ChooserY + next.y + next.h / 2);
  // The pointer where the clicks will leave it: the game draws it too.
  g->Move(kScreenButtonX, kScreenButtonY);
  g->Frames(100);
  ASSERT_EQ(Common().ShipsChosen, 1);
  const std::vector<uint16_t> before = Picture();

  g->Click(kScreenButtonX, kScreenButtonY);
  EXPECT_FALSE(g->form->Display().FullScreen());
  EXPECT_EQ(Common().Settings.FullScreen, 0);
  g->Frames(1);
  g->Click(kScreenButtonX, kScreenButtonY);
  EXPECT_TRUE(g->form->Display().FullScreen());
  EXPECT_EQ(counting->Initializes, 2);
  g->Frames(1);
  EXPECT_TRUE(Picture() == before);
}

TEST_F(OptionsDialog, CloseKeepsTheVolumeAndTheScreenButtonLaterAppliesTheMovedSlider) {
  Open(SettingsBytes(1, 2, -500));
  Run([&](int pass) {
    if (pass != 0) return;
    Drag(kTrackRightX, kTrackLeftX - 30);  // past the end: the quietest
    EXPECT_EQ(Form().SoundTracker.Value(), -5000);
    g->Click(kCloseX, kCloseY);
  });
  EXPECT_EQ(int32_t{Common().Settings.Volume}, -500);
  EXPECT_EQ(FileBytes(g->SettingsFile()), SettingsBytes(1, 2, -500));
  EXPECT_TRUE(g->form->DXTimer().Enabled());

  g->Click(kScreenButtonX, kScreenButtonY);
  EXPECT_EQ(int32_t{Common().Settings.Volume}, -5000);
  EXPECT_EQ(Common().Settings.Difficulty, 2);
  EXPECT_FALSE(g->form->Display().FullScreen());
  EXPECT_EQ(FileBytes(g->SettingsFile()), SettingsBytes(0, 2, -5000));
}

TEST_F(OptionsDialog, TheScreenButtonSwitchesAlsoAfterTheCheckBoxWasLeftChangedInAClosedDialog) {
  Open(SettingsBytes(0, 2, -500));
  Run([&](int pass) {
    if (pass != 0) return;
    g->Click(kToggleX, kToggleY);
    EXPECT_TRUE(Form().FullscreenBtn.Down());
    g->Click(kCloseX, kCloseY);
  });
  EXPECT_FALSE(g->form->Display().FullScreen());
  g->Click(kScreenButtonX, kScreenButtonY);
  EXPECT_TRUE(g->form->Display().FullScreen());
  EXPECT_EQ(FileBytes(g->SettingsFile()), SettingsBytes(1, 2, -500));
}

TEST_F(OptionsDialog, ALevelOutsideTheFourLeavesTheRadiosAsTheyWere) {
  Open(SettingsBytes(1, 7, -500));
  const auto levels = [&] {
    return std::vector<bool>{Form().VeryEasyBtn.Down(), Form().EasyBtn.Down(), Form().NormalBtn.Down(),
                             Form().HardBtn.Down()};
  };
  // Nothing pressed yet: no level, as the dialog was made from the settings.
  Run([&](int pass) {
    if (pass != 0) return;
    EXPECT_EQ(levels(), (std::vector<bool>{false, false, false, false}));
    g->Click(kRadioX, kRadioY[2]);
    g->Key(eng::kKeyEscape);  // Escape closes as Close does
  });
  EXPECT_EQ(Common().Settings.Difficulty, 7);
  Run([&](int pass) {
    if (pass != 0) return;
    EXPECT_EQ(levels(), (std::vector<bool>{false, false, true, false}));
    g->Click(kOKX, kOKY);
  });
  EXPECT_EQ(Common().Settings.Difficulty, 2);
}

TEST_F(OptionsDialog, TheScreenButtonBeforeTheDialogWasEverShownKeepsTheStoredSettings) {
  // Started windowed, at the hard level and a low volume: the button goes
  // full screen and stores nothing else.
  Open(SettingsBytes(0, 3, -2000));
  g->Click(kScreenButtonX, kScreenButtonY);
  EXPECT_TRUE(g->form->Display().FullScreen());
  EXPECT_EQ(FileBytes(g->SettingsFile()), SettingsBytes(1, 3, -2000));
  // A level the game does not know keeps its byte.
  Open(SettingsBytes(1, 9, -700));
  g->Click(kScreenButtonX, kScreenButtonY);
  EXPECT_FALSE(g->form->Display().FullScreen());
  EXPECT_EQ(FileBytes(g->SettingsFile()), SettingsBytes(0, 9, -700));
}

// The volume slider's size and range, laid in a dialog at its corner.
TEST(SliderTest, TrackEndsGiveTheRangeEndsAndADragIsClampedUntilTheRelease) {
  eng::Dialog dialog{200, 40};
  eng::Slider slider{eng::Rect{0, 0, 97, 20}, -5000, 0};
  dialog.Add(slider);
  const auto press = [&](int x) {
    dialog.HandleMouseDown(eng::kMouseLeft, x, 10);
    const int value = slider.Value();
    dialog.HandleMouseUp(eng::kMouseLeft, x, 10);
    return value;
  };
  EXPECT_EQ(press(9), -5000);
  EXPECT_EQ(press(88), 0);
  // 79 pixels of track: the pixel nearest the middle rounds to one side.
  EXPECT_EQ(press(48), -2532);

  dialog.HandleMouseDown(eng::kMouseLeft, 48, 10);
  dialog.HandleMouseMove(-40, 60);
  EXPECT_EQ(slider.Value(), -5000);
  dialog.HandleMouseMove(300, 10);
  EXPECT_EQ(slider.Value(), 0);
  dialog.HandleMouseUp(eng::kMouseLeft, 300, 10);
  dialog.HandleMouseMove(20, 10);  // no button held: nothing moves
  EXPECT_EQ(slider.Value(), 0);

  // With an even track the middle pixel is the middle of the range.
  slider.Bounds.w = 98;
  EXPECT_EQ(press(49), -2500);
}

}  // namespace
