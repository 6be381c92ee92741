// Small value types the whole game speaks: colours, rectangles, points.
#pragma once
#include <cstdint>

namespace eng {

struct Color {
  uint8_t r = 0, g = 0, b = 0;
  constexpr bool operator==(const Color&) const = default;
};

constexpr Color RGB(uint8_t r, uint8_t g, uint8_t b) { return Color{r, g, b}; }
constexpr Color kBlack{0, 0, 0};
constexpr Color kWhite{255, 255, 255};

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  constexpr int Right() const { return x + w; }
  constexpr int Bottom() const { return y + h; }
  constexpr bool operator==(const Rect&) const = default;
};

// The 16-bit pixel a colour becomes on an RGB565 surface.
constexpr uint16_t ToRGB565(Color c) {
  return static_cast<uint16_t>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
}
// The colour an RGB565 pixel shows (bits replicated into the low end).
constexpr Color FromRGB565(uint16_t p) {
  const uint8_t r5 = (p >> 11) & 31, g6 = (p >> 5) & 63, b5 = p & 31;
  return Color{static_cast<uint8_t>((r5 << 3) | (r5 >> 2)), static_cast<uint8_t>((g6 << 2) | (g6 >> 4)),
               static_cast<uint8_t>((b5 << 3) | (b5 >> 2))};
}

}  // namespace eng
