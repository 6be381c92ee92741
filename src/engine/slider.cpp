#include "engine/slider.h"

#include <algorithm>
#include <cmath>

#include "engine/keys.h"
#include "engine/surface.h"

namespace eng {

Slider::Slider(Rect bounds, int minimum, int maximum) {
  Bounds = bounds;
  SetRange(minimum, maximum);
}

void Slider::SetRange(int minimum, int maximum) {
  min_ = std::min(minimum, maximum);
  max_ = std::max(minimum, maximum);
  SetValue(value_);
  Invalidate();
}

void Slider::SetValue(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_) return;
  value_ = value;
  Invalidate();
}

int Slider::ValueAt(int x) const {
  const int x0 = TrackLeft(), x1 = TrackRight();
  if (x1 <= x0) return min_;  // too narrow to have a track
  const double at = static_cast<double>(x - x0) / (x1 - x0) * (static_cast<double>(max_) - min_) + min_;
  return std::clamp(static_cast<int>(std::lround(at)), min_, max_);
}

int Slider::ThumbCentre() const {
  const int x0 = TrackLeft(), x1 = TrackRight();
  if (max_ == min_ || x1 <= x0) return x0;
  return x0 + static_cast<int>(std::lround(static_cast<double>(value_ - min_) / (max_ - min_) * (x1 - x0)));
}

void Slider::Draw(Surface& target, int originX, int originY) {
  const int left = originX + Bounds.x, top = originY + Bounds.y;
  // The track, bordered, across the middle of the slider.
  const int x0 = TrackLeft(), x1 = TrackRight();
  const Rect track{left + x0, top + (Bounds.h - kTrackHeight) / 2, std::max(0, x1 - x0 + 1), kTrackHeight};
  if (track.w > 0) {
    target.FillRect(track, BorderColor);
    if (track.w > 2) target.FillRect(Rect{track.x + 1, track.y + 1, track.w - 2, track.h - 2}, TrackColor);
  }
  // The thumb stands over the track at the value.
  target.FillRect(Rect{left + ThumbCentre() - kThumbWidth / 2, top + (Bounds.h - kThumbHeight) / 2, kThumbWidth,
                       kThumbHeight},
                  ThumbColor);
}

void Slider::Track(int x) {
  const int before = value_;
  SetValue(ValueAt(x - Bounds.x));
  if (value_ != before && OnChange) OnChange();
}

void Slider::MouseDown(int button, int x, int y) {
  if (button != kMouseLeft || !Enabled || !Contains(x, y)) return;
  held_ = true;
  Track(x);
}

void Slider::MouseMove(int x, int /*y*/) {
  if (held_) Track(x);
}

void Slider::MouseUp(int button, int /*x*/, int /*y*/) {
  if (button == kMouseLeft) held_ = false;
}

}  // namespace eng
