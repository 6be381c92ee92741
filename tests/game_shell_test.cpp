// The game's shell as a player meets it: start-up, the logo, the screen,
// the keys and the menu, run as a whole on the dummy driver.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <vector>

#include "assets/image_table.h"
#include "engine/text_codec.h"
#include "game_harness.h"
#include "scripted_game.h"
#include "settings/install_layout.h"
#include "settings/settings_file.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A copy of the back surface, for comparing whole frames.
std::vector<uint16_t> Snapshot(GameHarness& g) {
  std::vector<uint16_t> pixels;
  eng::Surface& back = g.form->Display().BackSurface();
  for (int y = 0; y < back.Height(); ++y)
    for (int x = 0; x < back.Width(); ++x) pixels.push_back(back.GetPixel(x, y));
  return pixels;
}

int DiffCount(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
  return n;
}

void PushKey(SDL_Keycode key) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = key;
  SDL_PushEvent(&e);
}

}  // namespace

TEST(GameShell, FreshStartWritesDefaultsAndShowsTheLogoUntilTwentySecondsAfterAKey) {
  GameHarness g;
  const std::string expected("\x01\x01\x08\xC8\xE3\xF0\xEE\xEA\x20\x4E\x31\x00\x00\x00\x00\x00\x0C\xFE\xFF\xFF\x01\x00\x00\x00",
                             24);
  EXPECT_EQ(ReadFile(g.SettingsFile()), expected);

  g.Frames(3);
  ASSERT_TRUE(g.common().LogoShown);
  const auto logo = Snapshot(g);
  g.Key(eng::kKeyF5);  // the first key only starts the run-out
  EXPECT_FALSE(g.form->ShowFps);
  g.Frames(1, 5000);
  g.Key(eng::kKeySpace);  // a second key does not shorten it
  g.Frames(1, 14990);
  EXPECT_TRUE(g.common().LogoShown) << "19.99 s after the key the logo still stands";
  EXPECT_EQ(Snapshot(g), logo) << "nothing is drawn while the logo runs out";
  g.Frames(1, 10);
  EXPECT_FALSE(g.common().LogoShown);
  g.Frames(1);
  EXPECT_GT(DiffCount(Snapshot(g), logo), 100000) << "the game screen replaces the logo";
}

TEST(GameShell, GameScreenShowsPanelsNamesAndScore) {
  GameHarness g;
  g.SkipLogo();
  TCommon& c = g.common();
  EXPECT_EQ(c.StatusLine[0], W("Игрок N1"));
  EXPECT_EQ(c.StatusLine[1], " ");
  EXPECT_EQ(c.StatusLine[2], W("Игрок N2"));
  EXPECT_EQ(c.ScoreText, "0:0");
  // Both grids show closed cells: the same picture in both.
  eng::Surface& back = g.form->Display().BackSurface();
  int same = 0;
  for (int y = 0; y < 272; y += 7)
    for (int x = 0; x < 256; x += 5) same += back.GetPixel(31 + x, 108 + y) == back.GetPixel(353 + x, 108 + y);
  EXPECT_GT(same, 0.95 * (272 / 7 + 1) * (256 / 5 + 1));
  // Yellow name text inside status line 1's box.
  int yellow = 0;
  for (int y = 65 + 8; y < 65 + 23; ++y)
    for (int x = 54 + 17; x < 54 + 130; ++x) {
      const eng::Color p = g.Pixel(x, y);
      yellow += p.r > 200 && p.g > 200 && p.b < 80;
    }
  EXPECT_GT(yellow, 20);
}

TEST(GameShell, MenuHoverLightsOneButtonByTheOpenTest) {
  GameHarness g;
  g.SkipLogo();
  TCommon& c = g.common();
  const auto plain = Snapshot(g);
  g.Move(178, 18);  // the New button's corner itself is outside (open test)
  EXPECT_FALSE(c.NewButton.Hover);
  g.Move(179, 19);
  EXPECT_TRUE(c.NewButton.Hover);
  g.Frames(1);
  const auto lit = Snapshot(g);
  EXPECT_GT(DiffCount(lit, plain), 200);
  g.Move(260, 20);  // straight onto the Options button
  EXPECT_FALSE(c.NewButton.Hover);
  EXPECT_TRUE(c.OptionsButton.Hover);
  g.Move(100, 300);
  EXPECT_FALSE(c.OptionsButton.Hover);
  g.Frames(1);
  // The pointer moved: compare the menu block only.
  const auto after = Snapshot(g);
  int menuDiff = 0;
  for (int y = 10; y < 47; ++y)
    for (int x = 170; x < 463; ++x) menuDiff += after[y * 640 + x] != plain[y * 640 + x];
  EXPECT_EQ(menuDiff, 0) << "leaving the buttons removes every highlight";
}

TEST(GameShell, FunctionKeysAndWindowButtons) {
  GameHarness g;
  g.SkipLogo();
  g.Move(500, 450);
  g.Frames(1);
  const auto before = Snapshot(g);
  g.Key(eng::kKeyF5);
  EXPECT_TRUE(g.form->ShowFps);
  g.Frames(1);
  int fps = 0;
  const auto with = Snapshot(g);
  for (int y = 398; y < 416; ++y)
    for (int x = 0; x < 60; ++x) fps += with[y * 640 + x] != before[y * 640 + x];
  EXPECT_GT(fps, 20) << "the frame rate is written at (0, 400)";
  g.Key(eng::kKeyF5);
  g.Frames(1);
  EXPECT_EQ(Snapshot(g), before);

  // Home shows the credit box; Enter closes it and the game goes on as it
  // was: no frame ran meanwhile and the software cursor keeps its place.
  g.common().AddPoint(1);
  g.Frames(3);
  const float rolling = g.common().RollNewY;
  const uint64_t frames = g.form->FramesPresented;
  PushKey(SDLK_RETURN);
  g.Key(eng::kKeyHome);
  EXPECT_FALSE(g.form->Closing());
  EXPECT_EQ(g.common().MouseX, 500);
  EXPECT_EQ(g.common().RollNewY, rolling) << "the score's roll waited";
  EXPECT_EQ(g.form->FramesPresented, frames);

  g.form->Activated(false);
  EXPECT_EQ(g.form->Caption(), "Salvora [Pause]");
  g.form->Activated(true);
  EXPECT_EQ(g.form->Caption(), "Salvora");

  // The close button's rectangle is closed: its far corner still counts.
  g.Click(622 + 16 + 1, 2 + 16);
  EXPECT_FALSE(g.form->Closing());
  g.Click(622 + 16, 2 + 16);
  EXPECT_TRUE(g.form->Closing());
}

TEST(GameShell, ReinitialisingTheDisplayGivesTheSamePicture) {
  GameHarness g;
  g.SkipLogo();
  g.common().SetStatus(2, W("Проверка"), false);
  g.common().AddPoint(1);
  g.Frames(200, 20);  // the score has rolled into place
  g.Move(600, 460);
  g.Frames(1);
  const auto before = Snapshot(g);
  for (int i = 0; i < 2; ++i) {
    g.form->Display().Finalize();
    g.form->Display().Initialize(false);
  }
  g.Frames(1);
  EXPECT_EQ(DiffCount(Snapshot(g), before), 0);
}

TEST(GameShell, ChatEditIsAChildControlOverTheFrame) {
  GameHarness g;
  g.SkipLogo();
  TCommon& c = g.common();
  TMainForm& f = *g.form;
  EXPECT_FALSE(f.NoteEdit.Visible) << "hidden until a network game";
  f.ShowChatEdit(true);
  c.ChatShown = 1;

  g.Move(470 + 10, 441 + 10);
  EXPECT_EQ(c.SendButtonHover, 1);
  g.Move(100, 450);  // over the edit: no software cursor, no lit button
  EXPECT_EQ(c.MouseX, -50);
  EXPECT_EQ(c.SendButtonHover, 0);

  g.Click(100, 450);
  ASSERT_TRUE(f.NoteEdit.HasFocus());
  f.TextInput("  ");
  f.KeyDown(eng::kKeyEnter);
  EXPECT_TRUE(c.ChatLine.empty()) << "only blanks: nothing is sent";
  f.TextInput("Привет");
  EXPECT_EQ(f.NoteEdit.Text(), W("  Привет"));
  f.KeyDown(eng::kKeyEnter);
  EXPECT_EQ(c.ChatLine, W("Некому отправлять. Удаленный игрок еще не подсоединился."));
  EXPECT_EQ(f.NoteEdit.Text(), W("  Привет")) << "the edit keeps its text";

  // The edit lies over the frame.
  g.Frames(1);
  const eng::Color inside = g.Pixel(24 + 300, 441 + 12);
  EXPECT_EQ(inside, eng::FromRGB565(eng::ToRGB565(eng::RGB(82, 133, 227))));

  // Keys still reach the window first: F5 works while the edit types.
  g.Key(eng::kKeyF5);
  EXPECT_TRUE(f.ShowFps);
  g.Click(400, 300);
  EXPECT_FALSE(f.NoteEdit.HasFocus()) << "a press on the game takes the keyboard back";
}

namespace {

std::vector<uint16_t> SurfacePixels(const eng::Surface& s) {
  std::vector<uint16_t> pixels;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) pixels.push_back(s.GetPixel(x, y));
  return pixels;
}

}  // namespace

// The real loop: Esc while the placement panel slides down, a minute away
// from the screen, then back: the panel goes on from where it was and comes
// to rest at its open place.
TEST(GameShell, RunLoopAfterAMinuteMinimisedGoesOnFromWhereTheSlideWas) {
  SettingsRecord windowed;
  windowed.FullScreen = 0;
  GameHarness g(1234, std::string(reinterpret_cast<const char*>(&windowed), sizeof windowed));
  g.SkipLogo();
  TCommon& c = g.common();
  c.StartNewGame();
  for (int i = 0; i < 400 && !(c.ChooserShown && c.ChooserBehind && !c.Shattering && c.ChooserSlide > 20); ++i)
    g.Frames(1);
  ASSERT_TRUE(c.ChooserShown && c.ChooserBehind && c.ChooserSlide > 20) << "the panel slides down";
  const float slid = c.ChooserSlide;

  SDL_Window* window = SDL_GetWindowFromID(g.form->Display().WindowId());
  ASSERT_NE(window, nullptr);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  int pass = 0;
  float firstAfter = -1;
  g.form->RunPass = [&] {
    ++pass;
    if (pass == 1) {
      // Esc minimises; the dummy driver has no minimise, so the window is
      // hidden as the window manager does.
      g.QueueKey(SDLK_ESCAPE);
      SDL_HideWindow(window);
    } else if (pass == 2) {
      g.clock.Advance(60000);
      SDL_ShowWindow(window);
    } else if (pass == 3) {
      firstAfter = c.ChooserSlide;
    } else if ((c.ChooserClosed == 0 && c.ChooserShown == 0) || pass > 400) {
      g.form->CloseWindow();
    }
  };
  EXPECT_EQ(g.form->Run(), 0);
  g.form->RunPass = nullptr;
  EXPECT_NEAR(firstAfter, slid, 1.0) << "the first frame after the restore moves the panel an ordinary step";
  EXPECT_EQ(c.ChooserClosed, 0);
  EXPECT_GE(c.ChooserY, 384);
  EXPECT_LE(c.ChooserY, 388) << "the panel rests open between the grids";
}

// A lost render target or device takes only the presenter's texture: the
// faces fading in on the panel, a lit menu button and the sunk-ship meter
// live on their surfaces and stay.
TEST(GameShell, RenderResetsKeepWhatIsOnTheSurfaces) {
  GameHarness g;
  g.SkipLogo();
  TCommon& c = g.common();
  c.StartNewGame();
  for (int i = 0; i < 400 && !(c.ChooserClosed == 0 && c.NextShipFading && c.NextShipFade > 0.8f); ++i) g.Frames(1);
  ASSERT_TRUE(c.NextShipFading) << "the panel's faces fade in";
  g.Move(200, 30);
  ASSERT_TRUE(c.NewButton.Hover);
  eng::Canvas& pen = c.CounterSurface.GetCanvas();
  pen.penColor = eng::RGB(255, 0, 0);
  pen.penWidth = 1;
  pen.Line(10, 200, 14, 200);  // a meter line, as a sunk ship paints it
  pen.Release();
  const auto chooser = SurfacePixels(c.ChooserSurface), menu = SurfacePixels(c.MenuSurface),
             counter = SurfacePixels(c.CounterSurface);

  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  for (Uint32 type : {SDL_RENDER_TARGETS_RESET, SDL_RENDER_DEVICE_RESET}) {
    SDL_Event e{};
    e.type = type;
    SDL_PushEvent(&e);
  }
  g.form->Display().PumpEvents(0);
  EXPECT_TRUE(SurfacePixels(c.ChooserSurface) == chooser);
  EXPECT_TRUE(SurfacePixels(c.MenuSurface) == menu);
  EXPECT_TRUE(SurfacePixels(c.CounterSurface) == counter);
  const uint64_t frames = g.form->FramesPresented;
  g.Frames(1);
  EXPECT_EQ(g.form->FramesPresented, frames + 1) << "the game goes on presenting";
}

// On a still screen the loop waits for input. The frame after the wait
// counts no more than an ordinary frame's time, so a shot fired after a
// minute of quiet starts its splash from the beginning; while something
// moves, every millisecond counts as before.
TEST(GameShell, AfterAWaitOnAStillScreenTheShotStartsItsSplashFromTheBeginning) {
  SettingsRecord r;
  r.FullScreen = 0;
  GameHarness g(5, std::string(reinterpret_cast<const char*>(&r), sizeof r));
  ScriptedGame game(*g.form, g.clock);
  ASSERT_TRUE(game.StartBattle());
  TBattleField& enemy = g.form->EnemyGrid();
  int cx = 0, cy = 0;
  for (int y = 1; y <= GridRows && !cx; ++y)
    for (int x = 1; x <= GridCols && !cx; ++x)
      if (enemy.TrueCells.At(x, y).Code == cell::Water) cx = x, cy = y;
  ASSERT_NE(cx, 0);
  g.Move(600, 450);  // the pointer off the grids, where it changes nothing

  int pass = 0;
  double afterWait = -1, afterRun = -1;
  g.form->RunPass = [&] {
    // Each pass is woken at once, as by input.
    SDL_Event e{};
    e.type = SDL_USEREVENT;
    SDL_PushEvent(&e);
    ++pass;
    if (pass == 30) {
      g.clock.Advance(60000);  // a minute on the still screen
      g.Click(ScriptedGame::CellX(cx), ScriptedGame::CellY(cy));
    } else if (pass == 31) {
      ASSERT_FALSE(enemy.SplashList.empty());
      afterWait = enemy.SplashList.back().Progress;
      g.clock.Advance(3000);  // a slow frame while the splash runs
    } else if (pass == 32) {
      afterRun = enemy.SplashList.empty() ? 1e9 : enemy.SplashList.back().Progress;
      g.form->CloseWindow();
    } else {
      g.clock.Advance(16);
    }
  };
  EXPECT_EQ(g.form->Run(), 0);
  g.form->RunPass = nullptr;
  EXPECT_GT(afterWait, 0);
  EXPECT_LT(afterWait, 10) << "the splash begins as on any frame, not a minute on";
  EXPECT_GE(afterRun, afterWait + 0.25 * 3000) << "a frame while it runs counts all its time";
}

// The program paints its pictures and makes its sounds on another thread
// while the window opens, the logo first, shown at once: the same pictures,
// patterns, keys and surfaces, the same sounds, and the logo shown early
// and the first frame are the first frame made in line.
TEST(GameShell, PicturesMadeWhileTheWindowOpensAreThoseMadeInLine) {
  GameHarness inLine;
  const auto dir = std::filesystem::temp_directory_path() / ("salvora-early-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  eng::ManualClock clock;
  clock.now = inLine.clock.now;
  std::promise<eng::Picture> logoPainted;
  std::future<eng::Picture> logo = logoPainted.get_future();
  std::future<GameAssets> made =
      std::async(std::launch::async, [&logoPainted] { return MakeGameAssets(&logoPainted); });
  MainFormOptions options;
  options.clock = &clock;
  options.appDir = dir.string() + "/";
  options.seed = 1234;
  options.sound = false;
  options.assets = &made;
  options.logo = &logo;
  options.openWindowEarly = true;
  inLine.Frames(1, 16);
  const std::vector<uint16_t> firstFrame = SurfacePixels(inLine.form->Display().BackSurface());
  {
    TMainForm early(std::move(options));
    EXPECT_TRUE(SurfacePixels(early.Display().BackSurface()) == firstFrame) << "the logo shown early";
    ASSERT_TRUE(early.OpenDisplay());
    const eng::ImageList& a = early.ImageList();
    const eng::ImageList& b = inLine.form->ImageList();
    ASSERT_EQ(a.Count(), assets::kImageCount);
    ASSERT_EQ(a.Count(), b.Count());
    for (int i = 0; i < a.Count(); ++i) {
      SCOPED_TRACE(b[i].name);
      EXPECT_EQ(a[i].name, b[i].name);
      EXPECT_TRUE(a[i].picture == b[i].picture);
      EXPECT_EQ(a[i].PatternWidth(), b[i].PatternWidth());
      EXPECT_EQ(a[i].PatternHeight(), b[i].PatternHeight());
      EXPECT_EQ(a[i].transparent, b[i].transparent);
      EXPECT_EQ(a[i].GetSurface().ColorKey(), b[i].GetSurface().ColorKey());
      EXPECT_TRUE(SurfacePixels(a[i].GetSurface()) == SurfacePixels(b[i].GetSurface()));
    }
    ASSERT_EQ(early.Waves().Count(), 4);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(early.Waves()[i].name, inLine.form->Waves()[i].name);
      EXPECT_TRUE(early.Waves()[i].data == inLine.form->Waves()[i].data);
    }
    early.DXTimerTimer(16);
    EXPECT_TRUE(SurfacePixels(early.Display().BackSurface()) == firstFrame) << "the first frame";
  }
  std::filesystem::remove_all(dir);
}

// Installed, the program's directory holds no data: config.opt goes to the
// user's configuration directory even where the directory could be written
// (as root, or a prefix in the home directory), and F1 and the Help button
// open the page in the data directory beside bin/. In the build tree the page
// and the settings stay next to the program.
TEST(GameShell, InstalledProgramUsesTheUserConfigAndTheInstalledHelpPage) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("salvora-installed-" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "usr/bin");
  fs::create_directories(root / "usr/share/salvora");
  std::ofstream(root / "usr/share/salvora/Salvora.html") << "<html></html>";
  const std::string bin = (root / "usr/bin").string() + "/";
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string savedXdg = oldXdg ? oldXdg : "";
  setenv("XDG_CONFIG_HOME", (root / "xdg").c_str(), 1);
  {
    eng::ManualClock clock;
    clock.now = 100000;
    MainFormOptions options;
    options.clock = &clock;
    options.appDir = bin;
    options.seed = 7;
    options.sound = false;
    TMainForm form(options);
    form.OpenDisplay();
    EXPECT_EQ(ReadFile((root / "xdg/salvora/config.opt").string()).size(), 24u);
    EXPECT_FALSE(fs::exists(root / "usr/bin/config.opt"));

    std::vector<std::string> opened;
    form.OpenDocument = [&](const std::string& path) { opened.push_back(path); };
    form.Display().InjectKey(eng::kKeyF1);
    EXPECT_TRUE(opened.empty()) << "no help while the logo is shown";
    form.Display().InjectKey(eng::kKeySpace);
    for (int lag : {20000, 20}) {
      clock.Advance(lag);
      form.DXTimerTimer(lag);
    }
    form.Display().InjectKey(eng::kKeyF1);
    form.Display().InjectMouseMove(418, 29);
    form.Display().InjectMouseDown(eng::kMouseLeft, 418, 29);
    const std::string page = bin + "../share/salvora/Salvora.html";
    EXPECT_EQ(opened, (std::vector<std::string>{page, page}));
    EXPECT_EQ(form.Common().MouseX, -50);
  }
  if (oldXdg) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");

  std::ofstream(root / "usr/bin/Salvora.html") << "<html></html>";
  EXPECT_EQ(HelpPagePath(bin), bin + "Salvora.html") << "the build tree's page comes first";
  EXPECT_EQ(SettingsPath(bin), bin + "config.opt");
  fs::remove_all(root);
}
