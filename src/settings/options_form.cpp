#include "settings/options_form.h"

#include <initializer_list>

#include "engine/display.h"
#include "engine/frame_timer.h"
#include "engine/keys.h"
#include "ui/common.h"

TOptionsForm::TOptionsForm(eng::Display& display, TCommon& common, eng::FrameTimer& timer)
    : eng::Dialog(kWidth, kHeight),
      display_(display),
      common_(common),
      timer_(timer),
      skin_(assets::skins::PaintOptionsSkin()) {
  FormCreate();
}

void TOptionsForm::FormCreate() {
  SetBackgroundPicture(skin_.Background);

  for (eng::ImageRadioButton* radio : {&VeryEasyBtn, &EasyBtn, &NormalBtn, &HardBtn}) {
    radio->SetPictures(skin_.RadioUp, skin_.RadioDown);
    radio->SetTransparent(assets::skins::kSkinKey);
  }
  SoundTracker.TrackColor = eng::RGB(82, 133, 227);
  FullscreenBtn.SetPictures(skin_.CheckUp, skin_.CheckDown);
  FullscreenBtn.SetTransparent(assets::skins::kSkinKey);
  OKBtn.SetPictures(skin_.OKUp, skin_.OKDown);
  OKBtn.SetTransparent(assets::skins::kSkinKey);
  // One OK per showing, however many releases one pass brings.
  OKBtn.OnClick = [this] {
    if (!Closed()) OKBtnClick();
  };
  CloseBtn.SetPictures(skin_.CloseUp, skin_.CloseDown);
  CloseBtn.SetTransparent(assets::skins::kSkinKey);
  CloseBtn.OnClick = [this] { CloseBtnClick(); };

  for (eng::Widget* w : std::initializer_list<eng::Widget*>{&VeryEasyBtn, &EasyBtn, &NormalBtn, &HardBtn, &SoundTracker,
                                                           &FullscreenBtn, &OKBtn, &CloseBtn})
    Add(*w);
  // The screen's full-screen button may run OK before the dialog was ever
  // shown: the controls hold the stored settings from the start. A level
  // the game does not know presses none, so OK keeps its byte.
  for (eng::ImageRadioButton* radio : {&VeryEasyBtn, &EasyBtn, &NormalBtn, &HardBtn}) radio->SetDown(false);
  ShowSettings();
}

void TOptionsForm::ShowSettings() {
  if (eng::ImageRadioButton* level = LevelButton(common_.Settings.Difficulty)) level->SetDown(true);
  SoundTracker.SetValue(common_.Settings.Volume);
  if (common_.Settings.FullScreen == 1)
    FullscreenBtn.SetDown(true);
  else if (common_.Settings.FullScreen == 0)
    FullscreenBtn.SetDown(false);
}

int TOptionsForm::ShowModal() {
  FormShow();
  FormActivate();
  const eng::ModalOutcome outcome = eng::RunModal(display_, *this, Pump);
  // Also when the window's close ended the dialog: the game runs on.
  FormClose();
  return outcome.result;
}

eng::ImageRadioButton* TOptionsForm::LevelButton(int difficulty) {
  switch (difficulty) {
    case 0:
      return &VeryEasyBtn;
    case 1:
      return &EasyBtn;
    case 2:
      return &NormalBtn;
    case 3:
      return &HardBtn;
    default:
      return nullptr;  // a level the game does not know presses none
  }
}

void TOptionsForm::FormShow() {
  CentreOnFrame();
  ShowSettings();
}

void TOptionsForm::FormActivate() { timer_.SetEnabled(false); }

void TOptionsForm::FormClose() { timer_.SetEnabled(true); }

void TOptionsForm::CloseBtnClick() { Close(eng::kResultCancel); }

bool TOptionsForm::OnKey(int key) {
  // Escape leaves the dialog as its Close button does.
  if (key != eng::kKeyEscape) return false;
  CloseBtnClick();
  return true;
}

void TOptionsForm::OKBtnClick() {
  Close(eng::kResultOK);
  FormClose();
  SettingsRecord& settings = common_.Settings;
  for (int level = 0; level < 4; ++level)
    if (LevelButton(level)->Down()) {
      settings.Difficulty = static_cast<uint8_t>(level);
      break;
    }
  // Heard from the next sound on.
  settings.Volume = SoundTracker.Value();
  // The display itself is asked which mode it is in: the settings may have
  // fallen back to the defaults after a failed save meanwhile.
  if (display_.Initialized() && display_.FullScreen() != FullscreenBtn.Down()) SwitchDisplayMode();
  settings.FullScreen = FullscreenBtn.Down() ? 1 : 0;
  common_.SaveSettings();
}

void TOptionsForm::SwitchDisplayMode() {
  // The display finalises (the interface pictures are kept), changes the
  // window - a window comes back 640 x 480 and centred, full screen has no
  // border - and initialises again (the surfaces are rebuilt from them).
  display_.SetFullScreen(!display_.FullScreen());
  // The game draws its own pointer; a dialog still up shows the
  // application's and puts the system's away itself when it goes.
  if (display_.PushedHandlers() == 0) display_.ShowSystemPointer(false);
}
