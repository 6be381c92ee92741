// The display: one 640 x 480 window whose frames are composed on a 16-bit
// back surface and presented through a streaming texture, full screen
// (desktop, scaled with 4:3 kept) or windowed. Its life cycle and input
// reach the game through DisplayHandler.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/composer.h"
#include "engine/surface.h"

namespace eng {

class Picture;

class DisplayHandler {
 public:
  virtual ~DisplayHandler() = default;
  // The display was created (first start and every change of mode).
  virtual void DXDrawInitialize() {}
  // After initialisation and whenever the surfaces were lost.
  virtual void DXDrawRestoreSurface() {}
  // Before the display goes.
  virtual void DXDrawFinalize() {}
  // Positions are frame pixels; shift holds eng::Shift bits.
  virtual void DXDrawMouseDown(int /*button*/, unsigned /*shift*/, int /*x*/, int /*y*/) {}
  virtual void DXDrawMouseMove(unsigned /*shift*/, int /*x*/, int /*y*/) {}
  virtual void DXDrawMouseUp(int /*button*/, unsigned /*shift*/, int /*x*/, int /*y*/) {}
  virtual void DXDrawMouseWheel(int /*steps*/) {}
  virtual void KeyDown(int /*key*/) {}
  virtual void TextInput(const std::string& /*utf8*/) {}
  // The application became active or inactive.
  virtual void Activated(bool /*active*/) {}
  // The window manager asked the window to close.
  virtual void CloseRequested() {}
  // The window's content was uncovered and must be shown again.
  virtual void Exposed() {}
  // The display became able to show frames (initialised, restored, shown)
  // or stopped being able to (minimised, hidden, finalised).
  virtual void ReadyChanged(bool /*ready*/) {}
};

class Display {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  Display(DisplayHandler& handler, Clock& clock);
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // Opens the window and its renderer ahead of Initialize, which then takes
  // them as they are; nothing reaches the handler yet.
  bool Prepare(bool fullScreen);
  // In a prepared window, before Initialize: shows the picture stretched
  // over the frame, as a surface's StretchFromPicture makes it. False when
  // there is nothing to show it on.
  bool ShowPicture(const Picture& picture);
  // Opens the window (once) and runs the initialise and restore events.
  // False when no window could be made.
  bool Initialize(bool fullScreen);
  // Runs the finalise event; the window stays.
  void Finalize();
  // Finalises, switches the mode and initialises again.
  void SetFullScreen(bool fullScreen);
  bool FullScreen() const { return fullScreen_; }
  bool Initialized() const { return initialized_; }
  // Initialised, and neither minimised nor hidden: frames may be drawn.
  bool Ready() const;

  Surface& BackSurface() { return back_; }
  // The game's frame: what is drawn on the back surface from here to
  // Present is kept as calls, and only what changed since the last frame
  // is drawn again (see Composer).
  void BeginFrame();
  // Calls drawn from now on belong to this layer (0 the ordinary one; the
  // others can be lifted).
  void SetDrawLayer(uint8_t layer) { composer_.SetLayer(layer); }
  // Puts back what the last frame showed beneath its layers other than 0;
  // false when the back surface no longer holds that frame.
  bool LiftLayers() { return composer_.LiftLayers(); }
  // Debug: every frame is drawn whole, call by call.
  void SetWholeFrames(bool whole) { composer_.drawWhole = whole; }
  // Shows the back surface, uploading only the rows that changed, then
  // paces (below).
  void Present();
  // The last Present showed a picture different from the one before.
  bool FrameChanged() const { return frameChanged_; }
  // Benchmarks leave out the driver's copy of the frame to the window, to
  // time the game's own work.
  void SetWindowCopy(bool on) { windowCopy_ = on; }
  // Sleeps until the next frame of the display's refresh is due, so the loop
  // never spins a core, also in frames that present nothing.
  void Pace();
  bool VSync() const { return vsync_; }
  int RefreshRate() const { return refreshRate_; }

  // Handles the window's pending events; false once the program should end
  // (the handler has been told). waitMs > 0 waits that long for a first event.
  bool PumpEvents(int waitMs = 0);
  void SetCaption(const std::string& utf8);
  std::string Caption() const;
  void Minimize();
  void Restore();
  bool Minimized() const;
  // Text input for the edit that has the focus (on-screen keyboards, IMEs).
  void StartTextInput(bool on);

  // The system pointer: hidden over the game, which draws its own; dialogs
  // show the painted application pointer made from a picture.
  void ShowSystemPointer(bool show);
  void SetApplicationPointer(const Picture& picture, int hotX, int hotY, uint8_t keyR, uint8_t keyG, uint8_t keyB);
  void UseApplicationPointer(bool use);

  // Where the window's frame pixel (0, 0) lies on the desktop, and the
  // window's id, for tests and tools that drive the real window.
  void WindowPosition(int* x, int* y) const;
  uint32_t WindowId() const;

  // While a dialog runs, its handler takes the input and the close request;
  // the other events (life cycle, activation, exposure) go to the game's
  // handler first and then to the dialog's. Handlers stack: the last pushed
  // one is current.
  void PushHandler(DisplayHandler* handler);
  void PopHandler();
  // How many handlers are pushed over the game's own.
  int PushedHandlers() const { return static_cast<int>(handlers_.size()); }

  // Simulated input for the game harness: the same route as real events.
  void InjectMouseDown(int button, int x, int y);
  void InjectMouseMove(int x, int y);
  void InjectMouseUp(int button, int x, int y);
  void InjectKey(int key);

 private:
  struct Impl;
  bool CreateWindow();
  bool CreatePresenter();
  void DestroyPresenter();
  void Dispatch(const void* sdlEvent);
  // Tells the handlers when Ready() has changed since the last look.
  void CheckReady();
  // Shows the last frame again after the presenter lost what it showed.
  void ShowAgain();
  // Brings the rows of the damaged rectangles that differ from the frame
  // shown up to the texture; false when none differs.
  bool Upload(const std::vector<Rect>& damage);

  DisplayHandler& Current() { return handlers_.empty() ? handler_ : *handlers_.back(); }
  void LifeCycle(void (DisplayHandler::*event)());

  DisplayHandler& handler_;
  std::vector<DisplayHandler*> handlers_;  // dialogs over the game, innermost last
  Clock& clock_;
  std::unique_ptr<Impl> impl_;
  Surface back_;
  bool initialized_ = false;
  bool wasReady_ = false;  // Ready() as the handlers were last told
  bool fullScreen_ = false;
  bool prepared_ = false;  // the window was opened by Prepare and not taken yet
  bool vsync_ = false;
  int refreshRate_ = 60;
  double nextFrame_ = 0;  // ms on the clock when the next unsynced frame is due
  // The frame last shown. A frame equal to it is not shown again: a still
  // screen then costs no upload and no scaling. Cleared whenever the window
  // may have lost what it showed.
  std::vector<uint16_t> shown_;
  unsigned buttons_ = 0;  // mouse buttons held, as Shift bits
  bool frameChanged_ = false;
  bool windowCopy_ = true;
  Composer composer_;  // after back_: it lets go of the surface first
};

}  // namespace eng
