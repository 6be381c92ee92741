// The two big pictures: the screen background (deep sea under a faint chart)
// and the start-up logo (a warship at dusk with the game's name).
#include <cmath>
#include <cstdint>

#include "assets/painters.h"

namespace assets::painters {

namespace {

using namespace paint;
using eng::Color;

struct Lcg {
  uint32_t s;
  double operator()() {
    s = s * 1664525u + 1013904223u;
    return (s >> 8) / 16777216.0;
  }
};

// An eight-point compass rose with a ring, in one colour at `alpha`.
void CompassRose(cairo_t* cr, double cx, double cy, double r, Color col, double alpha) {
  cairo_set_line_width(cr, 1);
  SetColor(cr, col, alpha);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy, r * 0.82, 0, 2 * M_PI);
  cairo_stroke(cr);
  for (int i = 0; i < 8; ++i) {
    const double a = i * M_PI / 4 - M_PI / 2;
    const double len = i % 2 == 0 ? r * 1.1 : r * 0.6, w = i % 2 == 0 ? r * 0.16 : r * 0.11;
    const double tx = cx + std::cos(a) * len, ty = cy + std::sin(a) * len;
    const double px = -std::sin(a) * w, py = std::cos(a) * w;
    // Each point in a lit and a shaded half.
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + px, cy + py);
    cairo_line_to(cr, tx, ty);
    cairo_close_path(cr);
    SetColor(cr, col, alpha);
    cairo_fill(cr);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx - px, cy - py);
    cairo_line_to(cr, tx, ty);
    cairo_close_path(cr);
    SetColor(cr, Scale(col, 0.55), alpha);
    cairo_fill(cr);
  }
}

// Short curved strokes on the water: `count` of them in the box, lighter
// and shorter towards the top (the distance).
void Waves(cairo_t* cr, Lcg& rnd, double x0, double y0, double w, double h, int count, Color col, double alpha) {
  cairo_set_line_width(cr, 1);
  for (int i = 0; i < count; ++i) {
    const double depth = rnd();
    const double y = y0 + h * depth, x = x0 + rnd() * w;
    const double len = 4 + 14 * depth + rnd() * 6;
    cairo_move_to(cr, x, y);
    cairo_curve_to(cr, x + len * 0.3, y - 1.5 * (0.5 + depth), x + len * 0.6, y - 1.5 * (0.5 + depth), x + len, y);
    SetColor(cr, col, alpha * (0.5 + 0.5 * depth));
    cairo_stroke(cr);
  }
}

void Anchor(cairo_t* cr, double cx, double cy, double s, Color col, double alpha) {
  SetColor(cr, col, alpha);
  cairo_set_line_width(cr, 2 * s);
  cairo_arc(cr, cx, cy - 9 * s, 2.5 * s, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_move_to(cr, cx, cy - 6.5 * s);
  cairo_line_to(cr, cx, cy + 10 * s);
  cairo_move_to(cr, cx - 6 * s, cy - 3 * s);
  cairo_line_to(cr, cx + 6 * s, cy - 3 * s);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy + 1 * s, 9 * s, M_PI * 0.15, M_PI * 0.85);
  cairo_stroke(cr);
}

// Text with a dark outline and a vertical gradient fill.
void TitleText(cairo_t* cr, const char* utf8, double cx, double baseline, double size, Color top, Color bottom,
               double outline) {
  cairo_save(cr);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t te;
  cairo_text_extents(cr, utf8, &te);
  const double x = cx - te.x_advance / 2;
  // Drop shadow, outline, fill.
  cairo_move_to(cr, x + size * 0.04, baseline + size * 0.05);
  cairo_text_path(cr, utf8);
  SetColor(cr, Color{4, 8, 18}, 0.6);
  cairo_fill(cr);
  cairo_move_to(cr, x, baseline);
  cairo_text_path(cr, utf8);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, outline);
  SetColor(cr, Color{40, 24, 6});
  cairo_stroke_preserve(cr);
  GradientV(cr, baseline - size * 0.75, baseline, top, bottom);
  cairo_fill(cr);
  cairo_restore(cr);
}

// A destroyer in silhouette, bow to the right, waterline at y.
void Warship(cairo_t* cr, double x, double y, double s, Color col) {
  SetColor(cr, col);
  // Hull.
  cairo_move_to(cr, x, y - 10 * s);
  cairo_line_to(cr, x + 300 * s, y - 14 * s);
  cairo_line_to(cr, x + 330 * s, y - 20 * s);
  cairo_line_to(cr, x + 316 * s, y);
  cairo_line_to(cr, x + 8 * s, y);
  cairo_close_path(cr);
  cairo_fill(cr);
  auto box = [&](double bx, double by, double bw, double bh) {
    cairo_rectangle(cr, x + bx * s, y - (by + bh) * s, bw * s, bh * s);
  };
  // Superstructure, bridge, funnels, turrets, masts.
  box(90, 10, 120, 10);
  box(180, 20, 36, 14);
  box(192, 34, 20, 8);
  box(120, 20, 14, 26);
  box(146, 20, 14, 22);
  box(40, 10, 26, 8);
  box(236, 12, 28, 8);
  cairo_fill(cr);
  cairo_set_line_width(cr, 3 * s);
  cairo_move_to(cr, x + 66 * s, y - 14 * s);
  cairo_line_to(cr, x + 20 * s, y - 16 * s);
  cairo_move_to(cr, x + 262 * s, y - 16 * s);
  cairo_line_to(cr, x + 300 * s, y - 19 * s);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 2 * s);
  cairo_move_to(cr, x + 202 * s, y - 42 * s);
  cairo_line_to(cr, x + 202 * s, y - 78 * s);
  cairo_move_to(cr, x + 192 * s, y - 66 * s);
  cairo_line_to(cr, x + 212 * s, y - 66 * s);
  cairo_move_to(cr, x + 100 * s, y - 20 * s);
  cairo_line_to(cr, x + 100 * s, y - 56 * s);
  cairo_stroke(cr);
}

}  // namespace

void Background(Canvas& c) {
  cairo_t* cr = c.cr();
  const double w = c.Width(), h = c.Height();
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.04, 0.09, 0.19);
  cairo_pattern_add_color_stop_rgb(p, 0.5, 0.06, 0.18, 0.32);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.03, 0.10, 0.21);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // A soft light in the middle, as from above the water.
  p = cairo_pattern_create_radial(w / 2, h * 0.55, 10, w / 2, h * 0.55, w * 0.6);
  cairo_pattern_add_color_stop_rgba(p, 0, 0.2, 0.45, 0.65, 0.18);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.2, 0.45, 0.65, 0.0);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  // The chart grid, very faint.
  cairo_set_line_width(cr, 1);
  SetColor(cr, Color{140, 190, 230}, 0.06);
  for (double x = 12.5; x < w; x += 24) {
    cairo_move_to(cr, x, 0);
    cairo_line_to(cr, x, h);
  }
  for (double y = 12.5; y < h; y += 24) {
    cairo_move_to(cr, 0, y);
    cairo_line_to(cr, w, y);
  }
  cairo_stroke(cr);
  Lcg rnd{7};
  Waves(cr, rnd, -10, 0, w + 10, h, 260, Color{120, 180, 220}, 0.22);
  CompassRose(cr, 436, 326, 24, Color{214, 176, 100}, 0.35);
  Anchor(cr, 22, 26, 1.0, Color{214, 176, 100}, 0.3);
}

void Logo(Canvas& c) {
  cairo_t* cr = c.cr();
  const double w = c.Width(), h = c.Height(), horizon = 318;
  // Dusk sky.
  cairo_rectangle(cr, 0, 0, w, horizon);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, horizon);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.02, 0.04, 0.12);
  cairo_pattern_add_color_stop_rgb(p, 0.55, 0.08, 0.14, 0.32);
  cairo_pattern_add_color_stop_rgb(p, 0.85, 0.32, 0.30, 0.44);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.80, 0.50, 0.32);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Lcg rnd{2024};
  for (int i = 0; i < 110; ++i) {
    const double x = rnd() * w, y = rnd() * horizon * 0.6, b = 0.3 + 0.7 * rnd();
    SetColor(cr, Color{230, 236, 255}, b * (1 - y / (horizon * 0.7)));
    cairo_rectangle(cr, std::floor(x), std::floor(y), b > 0.85 ? 2 : 1, b > 0.85 ? 2 : 1);
    cairo_fill(cr);
  }
  // The low sun behind the ship.
  const double sunX = 545;
  p = cairo_pattern_create_radial(sunX, horizon, 4, sunX, horizon, 220);
  cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.85, 0.55, 0.9);
  cairo_pattern_add_color_stop_rgba(p, 0.15, 1.0, 0.62, 0.30, 0.55);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.8, 0.3, 0.2, 0.0);
  cairo_set_source(cr, p);
  cairo_rectangle(cr, 0, 0, w, horizon);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  SetColor(cr, Color{255, 226, 160});
  cairo_arc(cr, sunX, horizon, 22, M_PI, 2 * M_PI);
  cairo_fill(cr);
  // The sea.
  cairo_rectangle(cr, 0, horizon, w, h - horizon);
  p = cairo_pattern_create_linear(0, horizon, 0, h);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.16, 0.26, 0.40);
  cairo_pattern_add_color_stop_rgb(p, 0.3, 0.06, 0.18, 0.34);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.02, 0.07, 0.17);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // The sun's path on the water.
  cairo_set_line_width(cr, 1.5);
  for (int i = 0; i < 70; ++i) {
    const double t = rnd(), y = horizon + 3 + t * t * (h - horizon - 20);
    const double spread = 14 + 90 * t * t, len = 6 + 30 * t * rnd();
    const double x = sunX + (rnd() - 0.5) * 2 * spread;
    SetColor(cr, Color{255, 200, 130}, 0.7 * (1 - t));
    cairo_move_to(cr, x - len / 2, y);
    cairo_line_to(cr, x + len / 2, y);
    cairo_stroke(cr);
  }
  Waves(cr, rnd, -20, horizon + 4, w + 20, h - horizon - 4, 420, Color{120, 180, 230}, 0.35);
  // The warship against the sun, and a second one far off.
  Warship(cr, 110, horizon + 2, 1.15, Color{10, 14, 24});
  Warship(cr, 40, horizon + 1, 0.28, Color{40, 40, 60});
  // A wake behind the ship.
  SetColor(cr, Color{180, 210, 236}, 0.35);
  cairo_move_to(cr, 118, horizon + 3);
  cairo_curve_to(cr, 70, horizon + 8, 30, horizon + 10, 0, horizon + 16);
  cairo_line_to(cr, 0, horizon + 12);
  cairo_curve_to(cr, 40, horizon + 6, 80, horizon + 4, 118, horizon + 1);
  cairo_fill(cr);
  CompassRose(cr, 78, 408, 36, Color{220, 184, 110}, 0.45);
  // Title, subtitle, prompt.
  TitleText(cr, "Salvora", w / 2, 138, 104, Color{255, 236, 160}, Color{204, 142, 48}, 6);
  TitleText(cr, "Морской бой", w / 2, 196, 36, Color{230, 238, 250}, Color{150, 176, 210}, 4);
  Text(cr, "Нажмите любую клавишу", w / 2, 452, 18, true, Color{236, 228, 200}, 0, true, Color{4, 8, 18});
  // A brass frame around it all.
  cairo_rectangle(cr, 3, 3, w - 6, h - 6);
  cairo_set_line_width(cr, 6);
  SetColor(cr, pal::kBrass);
  cairo_stroke(cr);
  cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
  cairo_rectangle(cr, 6.5, 6.5, w - 13, h - 13);
  cairo_set_line_width(cr, 1);
  SetColor(cr, pal::kBrassDark);
  cairo_stroke(cr);
  for (double x : {3.0, w - 3})
    for (double y : {3.0, h - 3}) Rivet(cr, x, y, 5);
}

}  // namespace assets::painters
