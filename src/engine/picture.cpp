#include "engine/picture.h"

#include <algorithm>
#include <cmath>

#include "engine/surface.h"

namespace eng {

Picture::Picture(int width, int height) { SetSize(width, height); }

void Picture::SetSize(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  pixels_.assign(static_cast<size_t>(width_) * height_ * 3, 0);
}

Color Picture::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kBlack;
  const uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 3];
  return Color{p[0], p[1], p[2]};
}

void Picture::SetPixel(int x, int y, Color c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 3];
  p[0] = c.r;
  p[1] = c.g;
  p[2] = c.b;
}

void Picture::Fill(Color c) {
  for (size_t i = 0; i + 2 < pixels_.size(); i += 3) {
    pixels_[i] = c.r;
    pixels_[i + 1] = c.g;
    pixels_[i + 2] = c.b;
  }
}

void Picture::Draw(int x, int y, const Picture& src, Rect r) {
  // Clip the source rectangle to the source, then the target to this picture.
  if (r.x < 0) { r.w += r.x; x -= r.x; r.x = 0; }
  if (r.y < 0) { r.h += r.y; y -= r.y; r.y = 0; }
  r.w = std::min(r.w, src.width_ - r.x);
  r.h = std::min(r.h, src.height_ - r.y);
  if (x < 0) { r.x -= x; r.w += x; x = 0; }
  if (y < 0) { r.y -= y; r.h += y; y = 0; }
  r.w = std::min(r.w, width_ - x);
  r.h = std::min(r.h, height_ - y);
  if (r.w <= 0 || r.h <= 0) return;
  for (int row = 0; row < r.h; ++row) {
    std::copy_n(&src.pixels_[(static_cast<size_t>(r.y + row) * src.width_ + r.x) * 3], r.w * 3,
                &pixels_[(static_cast<size_t>(y + row) * width_ + x) * 3]);
  }
}

void Picture::AssignFrom(const Surface& surface) {
  SetSize(surface.Width(), surface.Height());
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) SetPixel(x, y, surface.GetColor(x, y));
}

void Picture::ToGrey() {
  for (size_t i = 0; i + 2 < pixels_.size(); i += 3) {
    const double lum = 0.299 * pixels_[i] + 0.587 * pixels_[i + 1] + 0.114 * pixels_[i + 2];
    const auto v = static_cast<uint8_t>(std::lround(std::min(255.0, lum)));
    pixels_[i] = pixels_[i + 1] = pixels_[i + 2] = v;
  }
}

}  // namespace eng
