// Picture-faced controls of the skinned dialogs: a button drawn from its
// pictures, and buttons that stay down (radio groups and toggles). Pixels
// of a button's transparent colour are not drawn and take no presses: the
// press falls through to the dialog's background.
#pragma once
#include <functional>
#include <optional>

#include "engine/picture.h"
#include "engine/surface.h"
#include "engine/widgets.h"

namespace eng {

// A button drawn from a face picture and a pressed one. It clicks on the
// release of the left button over one of its own (not transparent) pixels.
// Down keeps it drawn pressed until the owner raises it again.
class ImageButton : public Widget {
 public:
  ImageButton() = default;
  explicit ImageButton(Rect bounds) { Bounds = bounds; }

  // The pressed face may be left out: a darkened face sunk by one pixel
  // stands in. The hover face, shown under the pointer, is optional.
  void SetPictures(const Picture& face, const Picture& pressed = Picture(), const Picture& hover = Picture());
  // Pixels of this colour (compared as the 16-bit frame shows them) are
  // neither drawn nor pressable.
  void SetTransparent(std::optional<Color> color);

  std::function<void()> OnClick;

  bool Down() const { return down_; }
  virtual void SetDown(bool down);
  // Runs OnClick when enabled, as a release over the button does.
  void Click();
  // The button's own pixel at (x, y) inside the dialog.
  bool Opaque(int x, int y) const;
  // Drawn pressed: down, or held with the pointer over it.
  bool ShownPressed() const { return down_ || pressed_; }

  void Draw(Surface& target, int originX, int originY) override;
  void MouseDown(int button, int x, int y) override;
  void MouseMove(int x, int y) override;
  void MouseUp(int button, int x, int y) override;
  bool TakesMouse() const override;

 protected:
  // The release finished a click over the button.
  virtual void Released() { Click(); }

  bool down_ = false;

 private:
  void Rebuild();
  const Surface& CurrentFace() const;

  Picture facePicture_, pressedPicture_, hoverPicture_;
  Surface face_, pressedFace_, hoverFace_;
  std::optional<Color> transparent_;
  bool held_ = false;     // the left button went down here
  bool pressed_ = false;  // held and over the button
  bool hover_ = false;    // the pointer is over one of its pixels
};

// A button that stays down. Buttons of one group in one dialog go up when
// one of them goes down; a press on the down one keeps it down unless all
// may be up (a toggle). The state changes on the release.
class ImageRadioButton : public ImageButton {
 public:
  ImageRadioButton();
  explicit ImageRadioButton(Rect bounds, int group = 1);
  ~ImageRadioButton() override;
  ImageRadioButton(const ImageRadioButton&) = delete;
  ImageRadioButton& operator=(const ImageRadioButton&) = delete;

  int Group = 1;
  bool AllowAllUp = false;

  // The pictures are the up face, the down face and, optionally, the up
  // face under the pointer (SetPictures).
  // Going down raises the others of the group; OnClick does not run.
  void SetDown(bool down) override;

 protected:
  void Released() override;
};

// The toggle: down or up on every click, whatever the others do.
class ImageToggleButton : public ImageRadioButton {
 public:
  ImageToggleButton() { AllowAllUp = true; }
  explicit ImageToggleButton(Rect bounds, int group = 0) : ImageRadioButton(bounds, group) { AllowAllUp = true; }
};

}  // namespace eng
