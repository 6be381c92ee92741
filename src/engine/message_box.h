// The game's message box: a small steel-blue panel with a brass border,
// centred over the frame, with a wrapped white text and the buttons "OK"
// or "Да" and "Нет", shown modally.
#pragma once
#include <string>
#include <vector>

#include "engine/modal_loop.h"
#include "engine/widgets.h"

namespace eng {

class Display;

enum class MessageButtons { Ok, YesNo };

class MessageBoxDialog : public Dialog {
 public:
  static constexpr int kMaxTextWidth = 360;
  static constexpr int kMargin = 16;
  static constexpr int kButtonWidth = 75;
  static constexpr int kButtonHeight = 23;
  static constexpr int kButtonGap = 10;

  MessageBoxDialog(const std::string& cp1251Text, MessageButtons buttons);

  // The text's place inside the box and the buttons, first to last.
  const Label& Text() const { return text_; }
  const std::vector<PushButton*>& Buttons() const { return buttons_; }

 private:
  Label text_;
  PushButton first_, second_;
  std::vector<PushButton*> buttons_;
};

// Shows the box and returns the button taken: kResultOK, or kResultYes or
// kResultNo. Enter takes the first button (or the focused one), Escape the
// last. When the window is asked to close meanwhile, the box ends with
// kResultCancel and the request goes on to the game. Before the display is
// initialised, the desktop's own message box stands in.
int MessageBox(Display& display, const std::string& cp1251Text, MessageButtons buttons, const ModalHook& hook = {});

}  // namespace eng
