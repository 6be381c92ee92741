// What the picture tools share: an RGBA canvas made of the game's own
// pictures (patterns keyed as the game keys them, enlarged pixel for pixel)
// and written as PNG through cairo.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/image_list.h"
#include "engine/picture.h"

namespace tool {

class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, 0) {}
  int Width() const { return width_; }
  int Height() const { return height_; }

  void Fill(eng::Color c) {
    for (auto& p : pixels_) p = Opaque(c);
  }
  void Set(int x, int y, uint32_t argb) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[static_cast<size_t>(y) * width_ + x] = argb;
  }
  uint32_t Get(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_ ? pixels_[static_cast<size_t>(y) * width_ + x] : 0;
  }
  // A rectangle of a picture at (dx, dy), each pixel scale x scale; pixels
  // of the key colour are left out when keyed. The colours pass through the
  // 16-bit display format, as the game shows them.
  void Draw(const eng::Picture& pic, eng::Rect src, int dx, int dy, int scale = 1, bool keyed = false,
            eng::Color key = eng::kBlack) {
    for (int y = 0; y < src.h; ++y)
      for (int x = 0; x < src.w; ++x) {
        const eng::Color c = pic.GetPixel(src.x + x, src.y + y);
        if (keyed && eng::ToRGB565(c) == eng::ToRGB565(key)) continue;
        const uint32_t v = Opaque(eng::FromRGB565(eng::ToRGB565(c)));
        for (int sy = 0; sy < scale; ++sy)
          for (int sx = 0; sx < scale; ++sx) Set(dx + x * scale + sx, dy + y * scale + sy, v);
      }
  }
  // One pattern of a collection item, keyed as the item says.
  void Draw(const eng::ImageItem& item, int pattern, int dx, int dy, int scale = 1) {
    Draw(item.picture, item.PatternRect(pattern), dx, dy, scale, item.transparent, item.transparentColor);
  }
  // The whole canvas enlarged pixel for pixel.
  Canvas Scaled(int scale) const {
    Canvas out(width_ * scale, height_ * scale);
    for (int y = 0; y < out.height_; ++y)
      for (int x = 0; x < out.width_; ++x) out.Set(x, y, Get(x / scale, y / scale));
    return out;
  }

  bool WritePng(const std::string& path) const {
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
    auto* data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(img));
    const int stride = cairo_image_surface_get_stride(img) / 4;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        // cairo wants premultiplied alpha.
        const uint32_t p = Get(x, y), a = p >> 24;
        auto mul = [&](int shift) { return ((p >> shift & 0xff) * a + 127) / 255; };
        data[y * stride + x] = a << 24 | mul(16) << 16 | mul(8) << 8 | mul(0);
      }
    cairo_surface_mark_dirty(img);
    const bool ok = cairo_surface_write_to_png(img, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(img);
    if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return ok;
  }

  static uint32_t Opaque(eng::Color c) { return 0xff000000u | uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b; }

 private:
  int width_, height_;
  std::vector<uint32_t> pixels_;
};

}  // namespace tool
