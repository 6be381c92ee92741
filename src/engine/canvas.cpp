#include "engine/canvas.h"

#include <SDL.h>

#include <cmath>
#include <cstdlib>

#include "engine/font_cache.h"
#include "engine/surface.h"

namespace eng {

void Canvas::TextOut(int x, int y, std::string_view text) {
  if (!surface_.Exists() || text.empty()) return;
  SDL_Surface* rendered = RenderedText(font, text);
  if (!brushClear) {
    int w = 0, h = 0;
    MeasureText(font, text, &w, &h);
    surface_.FillRect(Rect{x, y, w, h}, brushColor);
  }
  surface_.DrawText(x, y, rendered, font, text);
}

int Canvas::TextWidth(std::string_view text) {
  int w = 0, h = 0;
  MeasureText(font, text, &w, &h);
  return w;
}

int Canvas::TextHeight(std::string_view text) {
  int w = 0, h = 0;
  MeasureText(font, text, &w, &h);
  return h;
}

namespace {

// One dot of a pen of the given width, centred on (x, y) as far as an even
// width allows.
void PenDot(Surface& s, int x, int y, int width, Color c) {
  if (width <= 1) {
    s.SetPixel(x, y, c);
    return;
  }
  const int from = -(width - 1) / 2;
  s.FillRect(Rect{x + from, y + from, width, width}, c);
}

}  // namespace

void Canvas::Line(int x1, int y1, int x2, int y2) {
  // Bresenham, stopping before the end point.
  const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  int x = x1, y = y1;
  while (x != x2 || y != y2) {
    PenDot(surface_, x, y, penWidth, penColor);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void Canvas::Ellipse(int left, int top, int right, int bottom) {
  // The outline of the ellipse inside the box (right and bottom excluded),
  // traced densely enough to leave no gaps.
  const double rx = (right - left - 1) / 2.0, ry = (bottom - top - 1) / 2.0;
  if (rx < 0 || ry < 0) return;
  const double cx = left + rx, cy = top + ry;
  const int steps = std::max(8, static_cast<int>(std::ceil(4.0 * (rx + ry))));
  int lastX = INT32_MIN, lastY = INT32_MIN;
  for (int i = 0; i <= steps; ++i) {
    const double a = 2.0 * M_PI * i / steps;
    const int x = static_cast<int>(std::lround(cx + rx * std::cos(a)));
    const int y = static_cast<int>(std::lround(cy + ry * std::sin(a)));
    if (x == lastX && y == lastY) continue;
    PenDot(surface_, x, y, penWidth, penColor);
    lastX = x;
    lastY = y;
  }
}

void Canvas::Pixel(int x, int y, Color c) { surface_.SetPixel(x, y, c); }

}  // namespace eng
