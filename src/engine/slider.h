// A horizontal slider: a track with a thumb the pointer sets. A left press
// on the slider, and every move while the button stays down, puts the
// value where the pointer is along the track; past the track's ends the
// value stays at the nearer end of the range.
#pragma once
#include <functional>

#include "engine/types.h"
#include "engine/widgets.h"

namespace eng {

class Slider : public Widget {
 public:
  static constexpr int kThumbWidth = 8, kThumbHeight = 10, kTrackHeight = 6;

  Slider() = default;
  explicit Slider(Rect bounds, int minimum = 0, int maximum = 10);

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Value() const { return value_; }
  // A reversed range is put in order; the value is kept inside it.
  void SetRange(int minimum, int maximum);
  // Clamped to the range.
  void SetValue(int value);

  // The track's ends, as x inside the slider: the thumb's centre runs from
  // TrackLeft (the minimum) to TrackRight (the maximum).
  int TrackLeft() const { return kThumbWidth / 2 + 5; }
  int TrackRight() const { return Bounds.w - TrackLeft(); }
  // The value a pointer at x inside the slider stands for.
  int ValueAt(int x) const;
  // The thumb's centre, as x inside the slider.
  int ThumbCentre() const;

  Color TrackColor = RGB(82, 133, 227);
  Color BorderColor = kBlack;
  Color ThumbColor = RGB(255, 0, 0);
  // Runs when the pointer changed the value.
  std::function<void()> OnChange;

  void Draw(Surface& target, int originX, int originY) override;
  void MouseDown(int button, int x, int y) override;
  void MouseMove(int x, int y) override;
  void MouseUp(int button, int x, int y) override;

 private:
  void Track(int x);

  int min_ = 0, max_ = 10, value_ = 0;
  bool held_ = false;
};

}  // namespace eng
