#include "engine/modal_loop.h"

#include <SDL.h>

#include "engine/display.h"
#include "engine/text_codec.h"

namespace eng {

namespace {

// Takes the display's events for the dialog while it runs.
class ModalRouter final : public DisplayHandler {
 public:
  explicit ModalRouter(Dialog& dialog) : dialog_(dialog) {}

  bool closeRequested = false;

  void DXDrawInitialize() override { dialog_.Invalidate(); }
  void DXDrawRestoreSurface() override { dialog_.Invalidate(); }
  void DXDrawMouseDown(int button, unsigned, int x, int y) override { dialog_.HandleMouseDown(button, x, y); }
  void DXDrawMouseMove(unsigned, int x, int y) override { dialog_.HandleMouseMove(x, y); }
  void DXDrawMouseUp(int button, unsigned, int x, int y) override { dialog_.HandleMouseUp(button, x, y); }
  void DXDrawMouseWheel(int steps) override { dialog_.HandleMouseWheel(steps); }
  void KeyDown(int key) override { dialog_.HandleKey(key); }
  void TextInput(const std::string& utf8) override {
    const std::string text = Utf8ToCp1251(utf8);
    if (!text.empty()) dialog_.HandleText(text);
  }
  void Activated(bool active) override {
    if (active) dialog_.Invalidate();
  }
  void Exposed() override { dialog_.Invalidate(); }
  void CloseRequested() override {
    closeRequested = true;
    if (!dialog_.Closed()) dialog_.Close(kResultCancel);
  }

 private:
  Dialog& dialog_;
};

// Undoes what the run set up, also when the hook throws (the session's
// errors travel as exceptions).
class ModalScope {
 public:
  ModalScope(Display& display, ModalRouter& router, Surface& snapshot)
      : display_(display), snapshot_(snapshot) {
    display_.PushHandler(&router);
    display_.UseApplicationPointer(true);
  }
  ~ModalScope() {
    display_.PopHandler();
    // An outer dialog still wants the pointer.
    if (display_.PushedHandlers() == 0) display_.UseApplicationPointer(false);
    Surface& back = display_.BackSurface();
    if (snapshot_.Exists() && back.Exists()) {
      back.Draw(0, 0, snapshot_, false);
      if (display_.Ready()) display_.Present();
    }
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  Display& display_;
  Surface& snapshot_;
};

void PassCloseRequestOn() {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

}  // namespace

ModalOutcome RunModal(Display& display, Dialog& dialog, const ModalHook& hook, int waitMs) {
  // Without a window nobody could answer: the dialog ends at once.
  if (!display.Initialized()) {
    dialog.Close(kResultCancel);
    return ModalOutcome{kResultCancel, false};
  }
  // The last game frame, to stand behind the dialog and to come back after.
  Surface snapshot;
  if (display.BackSurface().Exists()) {
    const Surface& back = display.BackSurface();
    snapshot.Create(back.Width(), back.Height());
    snapshot.Draw(0, 0, back, false);
  }

  ModalRouter router(dialog);
  ModalOutcome outcome;
  {
    ModalScope scope(display, router, snapshot);
    dialog.Reopen();
    while (!dialog.Closed()) {
      Surface& back = display.BackSurface();
      const bool canShow = display.Ready() && back.Exists();
      if (dialog.NeedsPaint() && canShow) {
        if (snapshot.Exists()) back.Draw(0, 0, snapshot, false);
        dialog.Paint(back);
        dialog.MarkPainted();
        display.Present();
      }
      if (hook) hook();
      if (dialog.Closed()) break;
      // Something to draw: look at the events and come straight back;
      // otherwise sleep in the wait for them.
      const bool paintDue = dialog.NeedsPaint() && display.Ready();
      if (!display.PumpEvents(paintDue ? 0 : waitMs)) router.CloseRequested();
    }
    outcome.result = dialog.Result();
    outcome.closeRequested = router.closeRequested;
  }
  if (outcome.closeRequested) PassCloseRequestOn();
  return outcome;
}

}  // namespace eng
