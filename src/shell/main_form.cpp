#include "shell/main_form.h"

#include <spawn.h>

#include <algorithm>
#include <chrono>
#include <optional>

#include "assets/image_table.h"
#include "engine/canvas.h"
#include "assets/pictures.h"
#include "assets/waves.h"
#include "engine/keys.h"
#include "engine/message_box.h"
#include "engine/text_codec.h"
#include "settings/install_layout.h"
#include "settings/new_game_form.h"
#include "settings/options_form.h"
#include "settings/settings_file.h"

extern char** environ;

using namespace assets;

namespace {

// The pictures and sounds: made on another thread, copied from pictures
// painted already, or made here.
GameAssets TakeAssets(const MainFormOptions& options) {
  if (options.assets && options.assets->valid()) return options.assets->get();
  if (!options.paintedImages) return MakeGameAssets();
  GameAssets a;
  const eng::ImageList& painted = *options.paintedImages;
  for (int i = 0; i < painted.Count(); ++i) {
    const eng::ImageItem& from = painted[i];
    eng::ImageItem& item = a.images.Add();
    item.name = from.name;
    item.picture = from.picture;
    item.patternWidth = from.patternWidth;
    item.patternHeight = from.patternHeight;
    item.transparent = from.transparent;
    item.transparentColor = from.transparentColor;
  }
  a.images.RestoreAll();
  assets::BuildWaves(a.waves);
  return a;
}

// The display mode config.opt asks for, read as the settings will be.
bool FullScreenSetting(const std::string& appDir) {
  SettingsRecord r;
  LoadSettingsFile(SettingsPath(appDir), r);
  return r.FullScreen == 1;
}

// The desktop's opener runs on its own; a failure to start it is not
// reported, as a missing help page is not.
void OpenWithDesktop(const std::string& path) {
  char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ);
}

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

GameAssets MakeGameAssets(std::promise<eng::Picture>* logo) {
  GameAssets a;
  if (logo)
    assets::PaintPictures(a.images, [logo](const eng::Picture& p) { logo->set_value(p); });
  else
    assets::PaintPictures(a.images);
  a.images.RestoreAll();
  assets::BuildWaves(a.waves);
  return a;
}

TMainForm::TMainForm(MainFormOptions options)
    : AppDir(WithSlash(options.appDir.empty() ? ProgramDirectory() : options.appDir)),
      options_(std::move(options)),
      systemClock_(options_.clock ? nullptr : std::make_unique<eng::SystemClock>()),
      clock_(options_.clock ? options_.clock : systemClock_.get()),
      display_(*this, *clock_),
      windowPrepared_(options_.openWindowEarly && display_.Prepare(FullScreenSetting(AppDir))),
      logoShownEarly_(windowPrepared_ && options_.logo && options_.logo->valid() &&
                      display_.ShowPicture(options_.logo->get())),
      assets_(TakeAssets(options_)),
      images_(assets_.images),
      waves_(assets_.waves),
      timer_(*clock_),
      own_(images_, random_, common_),
      enemy_(images_, random_, common_),
      common_(UiServices{images_, waves_, sound_, random_, *clock_, *this, SettingsPath(AppDir), &sprites_}, own_,
              enemy_) {
  OpenDocument = OpenWithDesktop;
  FormCreate();
}

TMainForm::~TMainForm() {
  display_.Finalize();
  sound_.Finalize();
}

void TMainForm::FormCreate() {
  // Seeded from the clock in the game, by the caller in tests.
  const uint32_t seed = options_.seed
                            ? options_.seed
                            : static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  random_.Seed(seed);
  // The dialogs' pointer: the aiming pattern of the software cursor.
  {
    const eng::ImageItem& cursor = images_[kScursor];
    eng::Picture arrow(cursor.PatternWidth(), cursor.PatternHeight());
    arrow.Draw(0, 0, cursor.picture, cursor.PatternRect(1));
    display_.SetApplicationPointer(arrow, 0, 0, 255, 255, 255);
  }
  ShowFps = false;
  images_[kExplosion].transparent = true;
  images_[kExplosion].Restore();

  common_.ResetTurnState();
  // The placement panel starts hidden and still.
  common_.ChooserShown = 0;
  common_.ChooserClosed = 1;
  common_.ChooserBehind = 1;
  common_.ChooserClosing = 0;
  common_.ChooserLocked = 0;
  common_.ChooserX = 195;
  common_.ChooserY = 308;
  common_.ChooserSlide = 0;
  common_.NextShipButton = eng::Rect{38, 11, 66, 23};
  common_.AutoButton = eng::Rect{148, 11, 66, 23};
  common_.ModifyButton = eng::Rect{110, 11, 32, 23};
  common_.SCblockCopy = images_[kSCblock].picture;
  common_.SCmodifCopy = images_[kSCmodif].picture;

  own_.Id = 1;
  own_.OriginX = 31;
  own_.OriginY = 108;
  enemy_.Id = 2;
  enemy_.OriginX = 353;
  enemy_.OriginY = 108;

  // The chat edit: hidden until a network game, white on the game's blue.
  NoteEdit.Visible = false;
  NoteEdit.BackColor = eng::RGB(82, 133, 227);
  NoteEdit.TextFont = eng::Font{"Arial", 7, false, eng::kWhite};
  NoteEdit.AttachDisplay(&display_);
  NoteEdit.OnKeyDown = [this](int& key) { NoteEditKeyDown(key); };
  // Typing ends a walk through the lines sent.
  NoteEdit.OnChange = [this] { common_.ChatLog.EndWalk(); };

  NewGameForm = std::make_unique<TNewGameForm>(display_, common_, timer_);
  NewGameForm->Pump = [this] { DXPlay.Poll(); };
  ConnectSession();
  OptionsForm = std::make_unique<TOptionsForm>(display_, common_, timer_);
  OptionsForm->Pump = [this] { DXPlay.Poll(); };
}

bool TMainForm::OpenDisplay() {
  if (!display_.Initialize(common_.Settings.FullScreen == 1)) return false;
  display_.SetCaption("Salvora");
  display_.ShowSystemPointer(false);
  return true;
}

int TMainForm::Run() {
  if (!OpenDisplay()) return 1;
  while (!closing_) {
    if (RunPass) RunPass();
    // While minimised or hidden the display is not ready: wait for events.
    // While minimised or hidden the display is not ready: wait for events.
    // On a still screen, wait for them too, or for the next timed change.
    const bool ready = display_.Ready();
    display_.PumpEvents(!ready ? 100 : still_ ? StillWait() : 0);
    DXPlay.Poll();  // the other player's messages, on this thread
    if (closing_ || !display_.Ready()) continue;
    if (still_) {
      timer_.Rested(static_cast<uint32_t>(std::max(1, 1000 / std::max(1, display_.RefreshRate()))));
      still_ = false;
    }
    uint32_t lag = 0;
    if (timer_.Tick(&lag)) {
      if (DXTimerTimer(static_cast<int>(lag)))
        still_ = !display_.FrameChanged() && !SomethingMoves();
      else
        display_.Pace();
    } else {
      display_.Pace();
    }
    // The sound output opens once the first frame is on the screen: the
    // logo makes no sound and need not wait for it.
    if (options_.sound && !soundStarted_ && FramesPresented > 0) {
      soundStarted_ = true;
      sound_.Initialize();  // no sound is no error
    }
  }
  display_.Finalize();
  return 0;
}

// --- Display life cycle ---

void TMainForm::DXDrawInitialize() {
  if (common_.LogoShown) LogoSurface.Create(eng::Display::kWidth, eng::Display::kHeight);
  common_.DragSurface.Create(16, 16);
  BackgroundSurface.Create(eng::Display::kWidth, eng::Display::kHeight);
  common_.CreateSurfaces();
  for (TBattleField* grid : {&own_, &enemy_}) {
    grid->EffectSurface.Create(256, 272);
    eng::Canvas& pen = grid->EffectSurface.GetCanvas();
    pen.penColor = eng::RGB(0, 255, 255);
    pen.penWidth = 2;
    grid->GridSurface.Create(256, 272);
  }
  // The frame-rate text takes whatever the back surface's canvas holds.
  display_.BackSurface().GetCanvas().font = eng::Font{"Arial", 9, true, eng::kWhite};
  timer_.SetEnabled(true);
}

void TMainForm::DXDrawRestoreSurface() {
  common_.DragSurface.LoadFromPicture(own_.Current.Image);
  BackgroundSurface.StretchFromPicture(images_[kBackground].picture);
  const eng::ImageItem& buttons = images_[kCloseBtn];
  buttons.Draw(BackgroundSurface, 588, 2, 0);
  buttons.Draw(BackgroundSurface, 605, 2, 1);
  buttons.Draw(BackgroundSurface, 622, 2, 2);
  if (common_.LogoShown && LogoSurface.Exists()) LogoSurface.StretchFromPicture(images_[kLogo].picture);
  common_.RestoreSurfaces();
  own_.DrawAllCells();
  enemy_.DrawAllCells();
}

void TMainForm::ReadyChanged(bool ready) { timer_.SetHeld(!ready); }

void TMainForm::DXDrawFinalize() {
  timer_.SetEnabled(false);
  common_.SaveSurfaces();
  BackgroundSurface.Release();
  LogoSurface.Release();
  common_.ReleaseSurfaces();
  for (TBattleField* grid : {&own_, &enemy_}) {
    grid->EffectSurface.Release();
    grid->GridSurface.Release();
  }
}

// --- Input ---

void TMainForm::DXDrawMouseDown(int button, unsigned, int x, int y) {
  // A press on the chat edit is the edit's; anywhere else the game's, and
  // the edit gives up the keyboard.
  if (NoteEdit.Visible && NoteEdit.Contains(x, y)) {
    NoteEdit.SetFocused(true);
    NoteEdit.MouseDown(button, x, y);
    return;
  }
  NoteEdit.SetFocused(false);
  common_.AnyInput = 1;
  common_.MouseDown(static_cast<int16_t>(x), static_cast<int16_t>(y), button);
}

void TMainForm::DXDrawMouseMove(unsigned, int x, int y) {
  if (NoteEdit.Visible && NoteEdit.Contains(x, y)) {
    NoteEditMouseMove();
    return;
  }
  common_.MouseX = x;
  common_.MouseY = y;
  common_.MouseMove(x, y);
}

// The pointer over the chat edit: no software cursor, no lit send button.
void TMainForm::NoteEditMouseMove() {
  common_.MouseX = -50;
  common_.SendButtonHover = 0;
  common_.ChatListShown = 0;
}

void TMainForm::DXDrawMouseUp(int, unsigned, int x, int y) { common_.MouseUp(x, y); }

// The wheel turns the ship in hand, as R does.
void TMainForm::DXDrawMouseWheel(int) {
  if (!common_.LogoShown) RotateBtnClick();
}

// --- Placement commands of the own grid ---
// Keys reach them at any time, so each acts only on a ship in hand during
// placement: a turn in battle must not touch the closed grid.

bool TMainForm::ShipInHand() { return !common_.BattlePhase && own_.ShipActive && !own_.Dragging; }

void TMainForm::TypeShipBtnClick(int type) {
  if (!common_.BattlePhase) own_.TakeNextShip(static_cast<uint8_t>(type));
}

void TMainForm::FixBtnClick() {
  if (own_.ShipActive && own_.CheckSpacing(own_.Current.X, own_.Current.Y)) {
    own_.FixCurrentShip();
    own_.DrawCurrentShip(true);
  }
}

void TMainForm::AutoBtnClick() {
  if (!common_.BattlePhase && own_.FlyingCount == 0) own_.AutoPlace();
}

void TMainForm::ModifyBtnClick() {
  if (ShipInHand()) own_.ModifyShip();
}

void TMainForm::RotateBtnClick() {
  if (ShipInHand()) own_.RotateShip();
}

void TMainForm::Exit1Click() { CloseWindow(); }

// Every key reaches the window first, then the chat edit when it has the
// keyboard.
void TMainForm::KeyDown(int key) {
  FormKeyDown(key);
  if (NoteEdit.Visible && NoteEdit.HasFocus()) NoteEdit.KeyDown(key);
}

void TMainForm::TextInput(const std::string& utf8) {
  if (NoteEdit.Visible && NoteEdit.HasFocus()) NoteEdit.TextInput(eng::Utf8ToCp1251(utf8));
}

// Enter sends the line; Up and Down walk the lines sent in this run.
void TMainForm::NoteEditKeyDown(int& key) {
  if (key == eng::kKeyEnter) {
    SendChatLine();
    key = 0;
  } else if (key == eng::kKeyUp || key == eng::kKeyDown) {
    const std::optional<std::string> line =
        key == eng::kKeyUp ? common_.ChatLog.Older(NoteEdit.Text()) : common_.ChatLog.Newer();
    if (line) NoteEdit.SetText(*line);
    key = 0;
  }
}

void TMainForm::FormKeyDown(int key) {
  common_.AnyInput = 1;
  if (common_.LogoShown) return;
  switch (key) {
    case eng::kKeyEscape:
      MinimizeWindow();
      break;
    case eng::kKeyF5:
      ShowFps = !ShowFps;
      break;
    case eng::kKeyF1:
      common_.MouseX = -50;
      OpenHelp();
      break;
    case eng::kKeyHome:
      ShowMessage(W("Salvora — морской бой для двоих. Версия 1.0"));
      break;
    case eng::kKeyF2:
      // New Game, as the menu's button opens it.
      common_.MouseX = -50;
      RunFrameNow(50);
      ShowNewGameDialog();
      break;
    case eng::kKeyTab:
      // The keyboard goes to the chat edit and back.
      if (NoteEdit.Visible) NoteEdit.SetFocused(!NoteEdit.HasFocus());
      break;
    default:
      // The game's own keys type into the chat edit while it has the
      // keyboard.
      if (!NoteEdit.HasFocus()) GameKey(key);
      break;
  }
}

// The keys of play: in battle the arrows move the aiming frame and Space or
// Enter fire at it; in placement the arrows move the ship in hand, R and M
// turn it and change its shape, Enter fixes it and takes the next (the
// panel's next-ship button), A places the rest (its automatic button).
void TMainForm::GameKey(int key) {
  TCommon& c = common_;
  int dx = 0, dy = 0;
  switch (key) {
    case eng::kKeyLeft: dx = -1; break;
    case eng::kKeyRight: dx = 1; break;
    case eng::kKeyUp: dy = -1; break;
    case eng::kKeyDown: dy = 1; break;
    default: break;
  }
  if (c.BattlePhase) {
    if (dx || dy) c.MoveAim(dx, dy);
    if (key == eng::kKeySpace || key == eng::kKeyEnter) c.FireAtAim();
    return;
  }
  if (dx || dy) c.MoveShipByCell(dx, dy);
  switch (key) {
    case 'R': RotateBtnClick(); break;
    case 'M': ModifyBtnClick(); break;
    case eng::kKeyEnter:
      if (c.PanelTakesPresses()) c.PressNextShipButton();
      break;
    case 'A':
      if (c.PanelTakesPresses()) c.PressAutoButton();
      break;
    default: break;
  }
}

void TMainForm::Activated(bool active) {
  active_ = active;
  if (active)
    DXTimerActivate();
  else
    DXTimerDeactivate();
}

void TMainForm::DXTimerActivate() { display_.SetCaption("Salvora"); }

void TMainForm::DXTimerDeactivate() { display_.SetCaption("Salvora [Pause]"); }

std::string TMainForm::Caption() const { return const_cast<eng::Display&>(display_).Caption(); }

void TMainForm::CloseRequested() { CloseWindow(); }

// --- UiHost ---

int TMainForm::ShowBox(const std::string& text, eng::MessageButtons buttons) {
  // A box leaves the game as it was: no frame is run and the pointer keeps
  // its place; only the picture behind the box loses the software cursor,
  // as the box shows the application's pointer.
  LiftCursorFromFrame();
  const bool wasEnabled = timer_.Enabled();
  timer_.SetEnabled(false);
  const int result = eng::MessageBox(display_, text, buttons, [this] { DXPlay.Poll(); });
  if (wasEnabled) timer_.SetEnabled(true);
  return result;
}

void TMainForm::ShowMessage(const std::string& text) { ShowBox(text, eng::MessageButtons::Ok); }

void TMainForm::RunFrameNow(int lagCount) { DXTimerTimer(lagCount); }

void TMainForm::ShowNewGameDialog() {
  // Modal over the last frame, the frame timer off meanwhile.
  NewGameForm->ShowModal();
  // The dialog took the keyboard; the chat edit gets its typing back.
  if (NoteEdit.Visible && NoteEdit.HasFocus()) display_.StartTextInput(true);
}

void TMainForm::ShowOptionsDialog() {
  // Modal over the last frame, the frame timer off meanwhile.
  OptionsForm->ShowModal();
}

void TMainForm::ToggleFullScreen() {
  // The dialog's own OK with the other choice, the dialog not shown. The
  // other choice is the other mode than the display's: a check box left
  // changed in a dialog that was closed without OK would otherwise turn the
  // press into no switch at all.
  OptionsForm->FullscreenBtn.SetDown(!display_.FullScreen());
  OptionsForm->OKBtnClick();
}

void TMainForm::OpenHelp() {
  // The help page next to the program, else in the installed data
  // directory, with the desktop's default opener.
  OpenDocument(HelpPagePath(AppDir));
}

void TMainForm::MinimizeWindow() { display_.Minimize(); }

void TMainForm::CloseWindow() {
  // Closing the main window releases the pictures and ends the program.
  closing_ = true;
}

void TMainForm::SendChatLine() {
  std::string text = NoteEdit.Text();
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return;  // nothing but blanks: nothing to send
  if (SessionPlayerCount() < 2) {
    common_.ChatLine = W("Некому отправлять. Удаленный игрок еще не подсоединился.");
    return;
  }
  // The line as typed, blanks kept, after the local player's session name.
  common_.ShowChatLine(DXPlay.Players().front().Name + ">    " + text, false);
  SendChatText(text);
  common_.ChatLog.Sent(text);
}

void TMainForm::ShowChatEdit(bool show) {
  NoteEdit.SetText("");
  NoteEdit.Visible = show;
  if (!show) NoteEdit.SetFocused(false);
}

bool TMainForm::Confirm(const std::string& text) {
  return ShowBox(text, eng::MessageButtons::YesNo) == eng::kResultYes;
}
