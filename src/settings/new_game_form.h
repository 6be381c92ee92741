// TNewGameForm: the modal dialog in which the player types a name and
// chooses the opponent, the computer or a remote player. Its Start stores
// both in the settings, begins the game (TCommon::StartNewGame) and saves
// the settings.
#pragma once
#include <functional>
#include <string>

#include "assets/dialog_skins.h"
#include "engine/image_widgets.h"
#include "engine/line_edit.h"
#include "engine/modal_loop.h"
#include "engine/widgets.h"

namespace eng {
class Display;
class FrameTimer;
}  // namespace eng
class TCommon;

// The address the player gives a remote player: the first non-loopback
// IPv4 address of a working interface, else the host name's resolved
// address, else the empty text.
std::string GetLocalIPAddress();

class TNewGameForm : public eng::Dialog {
 public:
  static constexpr int kWidth = 200, kHeight = 250;

  // Created hidden once at start-up; shown any number of times.
  TNewGameForm(eng::Display& display, TCommon& common, eng::FrameTimer& timer);

  // The controls; ImageForm, the skin, is the dialog's background, and
  // dragging it moves the dialog.
  eng::LineEdit PlNameEdit{eng::Rect{17, 56, 123, 24}};
  eng::ImageButton StartBtn{eng::Rect{27, 212, 65, 23}};
  eng::ImageButton CloseBtn{eng::Rect{108, 212, 65, 23}};
  eng::ImageRadioButton PlvsCompBtn{eng::Rect{19, 136, 15, 15}, 1};
  eng::ImageRadioButton PlvsPlBtn{eng::Rect{19, 159, 15, 15}, 1};
  eng::ImageButton GetIPBtn{eng::Rect{154, 164, 30, 23}};

  // Called on every pass of the dialog's loop and of the boxes it shows:
  // the network is pumped there.
  eng::ModalHook Pump;
  // A plain message box with an OK button (Windows-1251 text).
  std::function<void(const std::string&)> ShowMessage;
  // Where the address comes from.
  std::function<std::string()> LocalAddress = GetLocalIPAddress;

  // Shows the dialog modally over the last frame until it closes; the
  // frame timer is off meanwhile. Returns the dialog's result.
  int ShowModal();

  // --- Handlers ---
  void FormCreate();
  void FormShow();
  void FormActivate();
  void FormClose();
  void PlvsCompBtnClick();
  void PlvsPlBtnClick();
  void GetIPBtnClick();
  void PlNameEditKeyDown(int& key);
  void CloseBtnClick();
  void StartBtnClick();
  // The rest of Start once the dialog is gone: name, mode, game, save.
  void StartGame();

 protected:
  bool OnKey(int key) override;

 private:
  eng::Display& display_;
  TCommon& common_;
  eng::FrameTimer& timer_;
  assets::skins::NewGameSkin skin_;
  bool inModal_ = false;      // the dialog's own loop is running
  bool startPending_ = false;  // Start was pressed in it
};
