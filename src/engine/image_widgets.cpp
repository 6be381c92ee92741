#include "engine/image_widgets.h"

#include <algorithm>
#include <vector>

#include "engine/keys.h"

namespace eng {

namespace {

// The radio buttons alive, so one going down can find the rest of its group
// in its dialog (the dialog keeps its widgets to itself).
std::vector<ImageRadioButton*>& RadioButtons() {
  static std::vector<ImageRadioButton*> all;
  return all;
}

// The face darkened and sunk one pixel right and down, its transparent
// pixels kept transparent: the pressed look of a face without its own.
Picture SunkFace(const Picture& face, std::optional<Color> transparent) {
  Picture sunk(face.Width(), face.Height());
  const auto clear = [&](Color c) { return transparent && ToRGB565(c) == ToRGB565(*transparent); };
  for (int y = 0; y < face.Height(); ++y)
    for (int x = 0; x < face.Width(); ++x) {
      const Color own = face.GetPixel(x, y);
      if (clear(own)) {
        sunk.SetPixel(x, y, own);
        continue;
      }
      // The row and column uncovered by the shift keep the face's own edge.
      const Color from = x > 0 && y > 0 && !clear(face.GetPixel(x - 1, y - 1)) ? face.GetPixel(x - 1, y - 1) : own;
      sunk.SetPixel(x, y, Color{static_cast<uint8_t>(from.r * 3 / 4), static_cast<uint8_t>(from.g * 3 / 4),
                                static_cast<uint8_t>(from.b * 3 / 4)});
    }
  return sunk;
}

void LoadSurface(Surface& surface, const Picture& picture, std::optional<Color> transparent) {
  if (picture.Empty()) {
    surface.Release();
    return;
  }
  surface.LoadFromPicture(picture);
  if (transparent)
    surface.SetColorKey(*transparent);
  else
    surface.ClearColorKey();
}

}  // namespace

// --- ImageButton ---

void ImageButton::SetPictures(const Picture& face, const Picture& pressed, const Picture& hover) {
  facePicture_ = face;
  pressedPicture_ = pressed;
  hoverPicture_ = hover;
  Rebuild();
}

void ImageButton::SetTransparent(std::optional<Color> color) {
  transparent_ = color;
  Rebuild();
}

void ImageButton::Rebuild() {
  LoadSurface(face_, facePicture_, transparent_);
  LoadSurface(pressedFace_, pressedPicture_.Empty() ? SunkFace(facePicture_, transparent_) : pressedPicture_,
              transparent_);
  LoadSurface(hoverFace_, hoverPicture_, transparent_);
  Invalidate();
}

void ImageButton::SetDown(bool down) {
  if (down == down_) return;
  down_ = down;
  Invalidate();
}

void ImageButton::Click() {
  if (Enabled && OnClick) OnClick();
}

bool ImageButton::Opaque(int x, int y) const {
  if (!Contains(x, y)) return false;
  if (!transparent_ || facePicture_.Empty()) return true;
  const int px = x - Bounds.x, py = y - Bounds.y;
  // Outside the picture nothing is drawn, so nothing is pressed either.
  if (px >= facePicture_.Width() || py >= facePicture_.Height()) return false;
  return ToRGB565(facePicture_.GetPixel(px, py)) != ToRGB565(*transparent_);
}

bool ImageButton::TakesMouse() const {
  // The dialog asks before it hands a press over, without saying where; a
  // press comes where the pointer last moved, so the pointer's place over
  // a transparent pixel gives the press to the background beneath.
  return Enabled && (!transparent_ || hover_);
}

const Surface& ImageButton::CurrentFace() const {
  if (ShownPressed() && pressedFace_.Exists()) return pressedFace_;
  if (hover_ && Enabled && hoverFace_.Exists()) return hoverFace_;
  return face_;
}

void ImageButton::Draw(Surface& target, int originX, int originY) {
  const Surface& face = CurrentFace();
  if (!face.Exists()) return;
  target.Draw(originX + Bounds.x, originY + Bounds.y, face, transparent_.has_value());
}

void ImageButton::MouseDown(int button, int x, int y) {
  hover_ = Opaque(x, y);
  if (button != kMouseLeft || !Enabled || !hover_) return;
  held_ = pressed_ = true;
  Invalidate();
}

void ImageButton::MouseMove(int x, int y) {
  const bool over = Opaque(x, y);
  const bool hoverChanged = over != hover_;
  hover_ = over;
  if (held_ && over != pressed_) {
    pressed_ = over;
    Invalidate();
  } else if (hoverChanged && hoverFace_.Exists()) {
    Invalidate();
  }
}

void ImageButton::MouseUp(int button, int x, int y) {
  if (button != kMouseLeft || !held_) return;
  held_ = pressed_ = false;
  hover_ = Opaque(x, y);
  Invalidate();
  if (hover_ && Enabled) Released();
}

// --- ImageRadioButton ---

ImageRadioButton::ImageRadioButton() { RadioButtons().push_back(this); }

ImageRadioButton::ImageRadioButton(Rect bounds, int group) : Group(group) {
  Bounds = bounds;
  RadioButtons().push_back(this);
}

ImageRadioButton::~ImageRadioButton() {
  auto& all = RadioButtons();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

void ImageRadioButton::SetDown(bool down) {
  if (down == down_) return;
  if (down && Group != 0) {
    for (ImageRadioButton* other : RadioButtons())
      if (other != this && other->Group == Group && other->Parent() == Parent()) other->ImageButton::SetDown(false);
  }
  ImageButton::SetDown(down);
}

void ImageRadioButton::Released() {
  if (down_) {
    if (AllowAllUp) SetDown(false);
  } else {
    SetDown(true);
  }
  Click();
}

}  // namespace eng
