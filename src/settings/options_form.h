// TOptionsForm: the modal dialog in which the player sets the computer's
// level, the sound volume and full screen or window. Its OK stores the
// three in the settings, switches the display when the full-screen choice
// changed, and saves the settings. The game screen's full-screen button
// runs the same OK with the toggle inverted, without showing the dialog.
#pragma once
#include "assets/dialog_skins.h"
#include "engine/image_widgets.h"
#include "engine/modal_loop.h"
#include "engine/slider.h"
#include "engine/widgets.h"

namespace eng {
class Display;
class FrameTimer;
}  // namespace eng
class TCommon;

class TOptionsForm : public eng::Dialog {
 public:
  static constexpr int kWidth = 200, kHeight = 250;
  static constexpr int kMinVolume = -5000, kMaxVolume = 0;

  // Created hidden once at start-up; shown any number of times.
  TOptionsForm(eng::Display& display, TCommon& common, eng::FrameTimer& timer);

  // The controls; ImageForm, the skin, is the dialog's background.
  eng::ImageRadioButton VeryEasyBtn{eng::Rect{19, 56, 15, 15}, 1};
  eng::ImageRadioButton EasyBtn{eng::Rect{19, 75, 15, 15}, 1};
  eng::ImageRadioButton NormalBtn{eng::Rect{19, 94, 15, 15}, 1};
  eng::ImageRadioButton HardBtn{eng::Rect{19, 113, 15, 15}, 1};
  eng::Slider SoundTracker{eng::Rect{75, 142, 97, 20}, kMinVolume, kMaxVolume};
  // Down: full screen.
  eng::ImageToggleButton FullscreenBtn{eng::Rect{140, 168, 17, 20}, 5};
  eng::ImageButton OKBtn{eng::Rect{28, 212, 65, 23}};
  eng::ImageButton CloseBtn{eng::Rect{108, 212, 65, 23}};

  // Called on every pass of the dialog's loop: the network is pumped there.
  eng::ModalHook Pump;

  // Shows the dialog modally over the last frame until it closes; the
  // frame timer is off meanwhile. Returns the dialog's result.
  int ShowModal();

  // --- Handlers ---
  void FormCreate();
  void FormShow();
  void FormActivate();
  void FormClose();
  void CloseBtnClick();
  // Also run without the dialog by the screen's full-screen button: the
  // level and the volume then come from the controls as last left.
  void OKBtnClick();
  // Full screen becomes a 640 x 480 window centred on the screen, or the
  // other way round; the interface pictures survive the display's life
  // cycle around the switch.
  void SwitchDisplayMode();

 protected:
  bool OnKey(int key) override;

 private:
  eng::ImageRadioButton* LevelButton(int difficulty);
  // Sets the controls from the settings; a value they cannot show leaves
  // them as they are.
  void ShowSettings();

  eng::Display& display_;
  TCommon& common_;
  eng::FrameTimer& timer_;
  assets::skins::OptionsSkin skin_;
};
