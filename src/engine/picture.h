// A 24-bit picture: the authoritative copy of every image and panel, from
// which the 16-bit surfaces are rebuilt whenever the display is lost.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/types.h"

namespace eng {

class Surface;

class Picture {
 public:
  Picture() = default;
  Picture(int width, int height);

  void SetSize(int width, int height);  // contents become black
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // Pixels are R, G, B bytes, rows top to bottom, Pitch() bytes a row.
  uint8_t* Pixels() { return pixels_.data(); }
  const uint8_t* Pixels() const { return pixels_.data(); }
  int Pitch() const { return width_ * 3; }

  Color GetPixel(int x, int y) const;       // black outside the picture
  void SetPixel(int x, int y, Color c);     // ignored outside the picture
  void Fill(Color c);

  // Copies a rectangle of another picture to (x, y), clipped.
  void Draw(int x, int y, const Picture& src, Rect srcRect);
  void Draw(int x, int y, const Picture& src) { Draw(x, y, src, Rect{0, 0, src.width_, src.height_}); }

  void AssignFrom(const Surface& surface);  // takes the surface's size and pixels
  // Every pixel becomes its shade of grey (the tint of a blocked ship).
  void ToGrey();

  bool operator==(const Picture&) const = default;

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> pixels_;
};

}  // namespace eng
