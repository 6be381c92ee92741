// TMainForm: the main window. It owns the engine services, the two grids
// and TCommon, runs the display's life cycle, the frame loop and the keys.
#pragma once
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/display.h"
#include "engine/frame_timer.h"
#include "engine/image_list.h"
#include "engine/line_edit.h"
#include "engine/message_box.h"
#include "net/connect_wizard.h"
#include "net/session.h"
#include "engine/random.h"
#include "engine/sound.h"
#include "engine/sprite_engine.h"
#include "engine/surface.h"
#include "sea/battle_field.h"
#include "ui/common.h"
#include "ui/ui_host.h"

class TNewGameForm;
class TOptionsForm;

// The built-in pictures, painted and their surfaces made, and the sounds.
struct GameAssets {
  eng::ImageList images;
  eng::WaveList waves;
};
// The logo, when asked for, is handed over first, as soon as it is painted.
GameAssets MakeGameAssets(std::promise<eng::Picture>* logo = nullptr);

struct MainFormOptions {
  eng::Clock* clock = nullptr;  // the system clock when null
  std::string appDir;           // the program's directory, with its trailing slash
  uint32_t seed = 0;            // 0: seeded from the clock
  bool sound = true;            // open the audio output (after the first frame, in Run)
  // The pictures and sounds made elsewhere, e.g. on another thread while
  // SDL starts; made by the window itself when null.
  std::future<GameAssets>* assets = nullptr;
  // The window and its renderer open before the pictures are taken, so
  // both come about at once.
  bool openWindowEarly = false;
  // The logo, painted first: shown in the early window at once, while the
  // other pictures are still being painted.
  std::future<eng::Picture>* logo = nullptr;
  // Pictures painted already, copied instead of painted again: programs
  // that open many windows in turn pay for the painting once.
  const eng::ImageList* paintedImages = nullptr;
};

class TMainForm : public eng::DisplayHandler, public UiHost {
 public:
  explicit TMainForm(MainFormOptions options);
  ~TMainForm() override;

  // Opens the display as the settings say and runs until the window closes.
  int Run();
  // Called at the start of every pass of Run's loop when set: tests drive
  // the real loop from here (events, the clock, the close).
  std::function<void()> RunPass;

  // --- Start-up ---
  void FormCreate();
  // Opens the display (full screen or windowed from the settings).
  bool OpenDisplay();
  bool Closing() const { return closing_; }

  // --- Display life cycle ---
  void DXDrawInitialize() override;
  void DXDrawRestoreSurface() override;
  void DXDrawFinalize() override;
  // Minimised or hidden, no time passes for the game.
  void ReadyChanged(bool ready) override;

  // --- Input ---
  void DXDrawMouseDown(int button, unsigned shift, int x, int y) override;
  void DXDrawMouseMove(unsigned shift, int x, int y) override;
  void DXDrawMouseUp(int button, unsigned shift, int x, int y) override;
  void DXDrawMouseWheel(int steps) override;
  void KeyDown(int key) override;
  void TextInput(const std::string& utf8) override;
  void Activated(bool active) override;
  void CloseRequested() override;
  void FormKeyDown(int key);
  // A key of play, while the chat edit does not have the keyboard.
  void GameKey(int key);

  // --- Placement commands (R and the wheel turn, M changes the shape) ---
  void TypeShipBtnClick(int type);
  void FixBtnClick();
  void AutoBtnClick();
  void ModifyBtnClick();
  void RotateBtnClick();
  void Exit1Click();

  // --- Frame loop ---
  // One frame with LagCount milliseconds; true when it presented.
  bool DXTimerTimer(int lagCount);
  // Something on the screen moves with time (a slide, a fade, a rocket, an
  // effect, a piece, the score, the logo's clock, the computer's move, the
  // frame rate shown): the loop keeps composing frames.
  bool SomethingMoves() const;
  // How long a pass on a still screen may wait for events: until the next
  // timed change, and not long while a session must be serviced.
  int StillWait();
  static constexpr int kStillWaitMs = 500, kSessionWaitMs = 50;
  void DXTimerActivate();
  void DXTimerDeactivate();

  // --- UiHost ---
  void ShowMessage(const std::string& text) override;
  void RunFrameNow(int lagCount) override;
  void ShowNewGameDialog() override;
  void ShowOptionsDialog() override;
  void ToggleFullScreen() override;
  void OpenHelp() override;
  void MinimizeWindow() override;
  void CloseWindow() override;
  void SendChatLine() override;
  bool OpenSession() override;
  int SessionPlayerCount() override;
  std::string RemotePlayerName() override;
  void ShowChatEdit(bool show) override;
  void SendChatText(const std::string& text) override;
  void SendFleet() override;
  bool Confirm(const std::string& text) override;
  void SendShot(int x, int y, int code) override;

  // --- The two-player session ---
  net::TDXPlay DXPlay;
  // Runs the connection wizard; tests put their own answer here.
  std::function<WizardResult()> ConnectWizard;
  void DXPlayAddPlayer(const std::string& name);
  // Opens a file with the desktop's default opener, not waiting for it;
  // tests put their own here.
  std::function<void(const std::string& path)> OpenDocument;
  void DXPlaySessionLost();
  void DXPlayDeletePlayer(const std::string& name);

  // --- What the window owns ---
  eng::Clock& Clock() { return *clock_; }
  eng::Display& Display() { return display_; }
  eng::FrameTimer& DXTimer() { return timer_; }
  eng::ImageList& ImageList() { return images_; }
  const eng::WaveList& Waves() const { return waves_; }
  eng::SpriteEngine& Sprites() { return sprites_; }
  TBattleField& OwnGrid() { return own_; }
  TBattleField& EnemyGrid() { return enemy_; }
  TCommon& Common() { return common_; }
  bool ShowFps = false;
  std::string AppDir;
  eng::Surface BackgroundSurface, LogoSurface;
  // Frames presented so far (the harness and the benchmarks read it).
  uint64_t FramesPresented = 0;
  // The New Game dialog, created hidden at start-up.
  std::unique_ptr<TNewGameForm> NewGameForm;
  // The Options dialog, created hidden at start-up; the screen's
  // full-screen button uses its controls too.
  std::unique_ptr<TOptionsForm> OptionsForm;
  // The chat edit: a child control over the frame, shown in network games.
  eng::LineEdit NoteEdit{eng::Rect{24, 441, 441, 23}};
  void NoteEditKeyDown(int& key);
  void NoteEditMouseMove();
  std::string Caption() const;

 private:
  bool ShipInHand();
  // Hands the session's events to the game.
  void ConnectSession();
  // A message box over the frame, the frame timer off meanwhile.
  int ShowBox(const std::string& text, eng::MessageButtons buttons);
  void DrawGrid(TBattleField& grid, int lagCount);
  void DrawFrameBars();
  void DrawSoftwareCursor();
  // Puts back what the software cursor and its icons covered in the last
  // frame, so a box over it shows the game without a stale cursor.
  void LiftCursorFromFrame();

  MainFormOptions options_;
  std::unique_ptr<eng::SystemClock> systemClock_;
  eng::Clock* clock_;
  eng::RandomSource random_;
  eng::Display display_;
  bool windowPrepared_;
  bool logoShownEarly_;
  GameAssets assets_;  // painted before anything that copies a picture
  eng::ImageList& images_;
  eng::WaveList& waves_;
  eng::SoundDevice sound_;
  bool soundStarted_ = false;
  eng::FrameTimer timer_;
  eng::SpriteEngine sprites_;
  // The grids reach TCommon through the reference they are given; it is
  // built right after them, before anything can call it.
  TBattleField own_, enemy_;
  TCommon common_;
  bool closing_ = false;
  bool still_ = false;  // the last frame equalled the one before and nothing moves
  bool active_ = true;
  std::vector<uint8_t> sentFleet_;  // the own fleet as it was last sent
  // The layer of the software cursor and its icons in the frame's calls.
  static constexpr uint8_t kCursorLayer = 1;
};
