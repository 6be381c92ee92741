// The moving things: falling bombs, the software cursor, rockets, the
// explosion, the bonus icons, and the sunk-ship meter strip.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "assets/painters.h"

namespace assets::painters {

namespace {

using namespace paint;
using eng::Color;

enum class BombKind { kSquare, kPlus, kX };

Color MarkColor(BombKind k) {
  switch (k) {
    case BombKind::kSquare: return Color{255, 210, 60};
    case BombKind::kPlus: return Color{96, 232, 112};
    case BombKind::kX: return Color{255, 84, 64};
  }
  return pal::kGold;
}

// The strike pattern as little cells of `cell` pixels, `step` apart,
// centred on (cx, cy): 3 x 3, plus or X.
void StrikeMark(cairo_t* cr, BombKind k, double cx, double cy, double cell, double step) {
  for (int j = -1; j <= 1; ++j)
    for (int i = -1; i <= 1; ++i) {
      const bool on = k == BombKind::kSquare || (k == BombKind::kPlus && (i == 0 || j == 0)) ||
                      (k == BombKind::kX && (i == 0) == (j == 0));
      if (on) cairo_rectangle(cr, cx + i * step - cell / 2, cy + j * step - cell / 2, cell, cell);
    }
}

// The bomb seen from above: four tail fins and a round steel body.
void BombTop(cairo_t* cr, BombKind k, double cx, double cy, double s) {
  const double body = 5.6 * s, fin = 7.6 * s;
  SetColor(cr, Color{70, 78, 94});
  for (int q = 0; q < 4; ++q) {
    const double a = M_PI / 4 + q * M_PI / 2;
    const double ca = std::cos(a), sa = std::sin(a);
    cairo_move_to(cr, cx - sa * 1.2 * s, cy + ca * 1.2 * s);
    cairo_line_to(cr, cx + ca * fin - sa * 0.9 * s, cy + sa * fin + ca * 0.9 * s);
    cairo_line_to(cr, cx + ca * fin + sa * 0.9 * s, cy + sa * fin - ca * 0.9 * s);
    cairo_line_to(cr, cx + sa * 1.2 * s, cy - ca * 1.2 * s);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - body * 0.35, cy - body * 0.4, body * 0.1, cx, cy, body);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.78, 0.82, 0.88);
  cairo_pattern_add_color_stop_rgb(p, 0.5, 0.36, 0.40, 0.48);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.12, 0.14, 0.19);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, body, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  if (s > 0.55) {
    SetColor(cr, MarkColor(k));
    StrikeMark(cr, k, cx, cy, 1.6 * s, 2.6 * s);
    cairo_fill(cr);
  }
}

void Bomb(Canvas& c, BombKind k) {
  cairo_t* cr = c.cr();
  for (int f = 0; f <= 12; ++f) {
    const double cx = f * 16 + 8, cy = 8;
    const double t = f / 12.0;
    const double s = 1.0 - 0.74 * t * (0.6 + 0.4 * t);
    if (f >= 10) {  // the splash ring starts as it meets the sea
      const double r = 3.0 + (f - 10) * 1.8;
      cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
      cairo_set_line_width(cr, 1.2);
      SetColor(cr, Color{170, 226, 250});
      cairo_stroke(cr);
    }
    BombTop(cr, k, cx, cy, s);
  }
  // Pattern 13 stays blank (all key). Pattern 14: the icon of the kind, a
  // round bomb with a lit fuse carrying its strike pattern.
  const double ix = 14 * 16;
  SetColor(cr, pal::kInk);
  cairo_arc(cr, ix + 7.5, 9, 6.6, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(ix + 5.5, 6.5, 0.5, ix + 7.5, 9, 6);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.62, 0.66, 0.74);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.14, 0.16, 0.22);
  cairo_set_source(cr, p);
  cairo_arc(cr, ix + 7.5, 9, 5.8, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  FillRect(cr, ix + 11, 2, 3, 3, pal::kBrass);
  FillRect(cr, ix + 14, 0, 2, 2, Color{255, 230, 80});
  FillRect(cr, ix + 11, 1, 1, 1, Color{255, 150, 40});
  SetColor(cr, MarkColor(k));
  StrikeMark(cr, k, ix + 7.5, 9, 2, 3);
  cairo_fill(cr);
}

// The pointer outline, tip at the pixel centre of (0, 0).
void PointerPath(cairo_t* cr, double ox) {
  const double pts[][2] = {{0, 0}, {0, 15}, {3.6, 11.8}, {6.4, 18}, {9, 16.8}, {6.4, 10.8}, {11, 10.8}};
  cairo_move_to(cr, ox + 0.5 + pts[0][0], 0.5 + pts[0][1]);
  for (const auto& p : pts) cairo_line_to(cr, ox + 0.5 + p[0], 0.5 + p[1]);
  cairo_close_path(cr);
}

void Pointer(cairo_t* cr, double ox, Color top, Color bottom) {
  cairo_save(cr);  // the outline's mitre must not spill into the next pattern
  cairo_rectangle(cr, ox, 0, 24, 24);
  cairo_clip(cr);
  PointerPath(cr, ox);
  cairo_set_line_width(cr, 2.2);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_set_miter_limit(cr, 10);
  SetColor(cr, pal::kInk);
  cairo_stroke_preserve(cr);
  GradientV(cr, 0, 18, top, bottom);
  cairo_fill(cr);
  FillRect(cr, ox, 0, 1, 1, pal::kInk);  // the hotspot is always solid
  cairo_restore(cr);
}

// The rocket pointing right, in a 30 x 12 box; fins and band in `trim`.
void RocketRight(cairo_t* cr, Color trim) {
  // Flame: hot at the nozzle, fading to nothing behind it.
  cairo_pattern_t* p = cairo_pattern_create_linear(9, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.97, 0.75, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.35, 1.0, 0.66, 0.12, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.8, 0.92, 0.22, 0.05, 0.75);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.8, 0.1, 0.05, 0.0);
  cairo_set_source(cr, p);
  cairo_move_to(cr, 9.5, 3.6);
  cairo_curve_to(cr, 6, 3.4, 3, 4.2, 0, 6);
  cairo_curve_to(cr, 3, 7.8, 6, 8.6, 9.5, 8.4);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // Fins.
  SetColor(cr, trim);
  cairo_move_to(cr, 8, 4);
  cairo_line_to(cr, 14, 4);
  cairo_line_to(cr, 10.5, 0.5);
  cairo_line_to(cr, 7, 0.5);
  cairo_close_path(cr);
  cairo_move_to(cr, 8, 8);
  cairo_line_to(cr, 14, 8);
  cairo_line_to(cr, 10.5, 11.5);
  cairo_line_to(cr, 7, 11.5);
  cairo_close_path(cr);
  cairo_fill(cr);
  // Body and nose cone.
  cairo_move_to(cr, 8.5, 3.5);
  cairo_line_to(cr, 23, 3.5);
  cairo_curve_to(cr, 26.5, 3.6, 28.5, 5, 29.8, 6);
  cairo_curve_to(cr, 28.5, 7, 26.5, 8.4, 23, 8.5);
  cairo_line_to(cr, 8.5, 8.5);
  cairo_close_path(cr);
  GradientV(cr, 3.5, 8.5, Color{238, 240, 246}, Color{112, 120, 136});
  cairo_fill_preserve(cr);
  SetColor(cr, Color{40, 46, 58});
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
  FillRect(cr, 17, 4, 2, 4, trim);
  cairo_move_to(cr, 24, 3.9);
  cairo_curve_to(cr, 26.5, 4.2, 28.5, 5.2, 29.6, 6);
  cairo_curve_to(cr, 28.5, 6.8, 26.5, 7.8, 24, 8.1);
  cairo_close_path(cr);
  SetColor(cr, trim);
  cairo_fill(cr);
}

// Value noise in 0..1 on a 7-pixel lattice, fixed seed.
double Noise(int x, int y) {
  auto hash = [](int i, int j) {
    uint32_t h = static_cast<uint32_t>(i) * 374761393u + static_cast<uint32_t>(j) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xffff) / 65535.0;
  };
  const double fx = x / 7.0, fy = y / 7.0;
  const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
  double tx = fx - ix, ty = fy - iy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const double a = hash(ix, iy), b = hash(ix + 1, iy), c = hash(ix, iy + 1), d = hash(ix + 1, iy + 1);
  return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

// A soft round blob: `inner` at the centre to `outer` at the rim, alpha
// from a0 to a1.
void Blob(cairo_t* cr, double cx, double cy, double r, Color inner, Color outer, double a0, double a1) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  cairo_pattern_add_color_stop_rgba(p, 0, inner.r / 255.0, inner.g / 255.0, inner.b / 255.0, a0);
  cairo_pattern_add_color_stop_rgba(p, 0.6, (inner.r + outer.r) / 510.0, (inner.g + outer.g) / 510.0,
                                    (inner.b + outer.b) / 510.0, (a0 + a1) / 2 + 0.15);
  cairo_pattern_add_color_stop_rgba(p, 1, outer.r / 255.0, outer.g / 255.0, outer.b / 255.0, a1);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

}  // namespace

void SQBomb(Canvas& c) { Bomb(c, BombKind::kSquare); }
void PBomb(Canvas& c) { Bomb(c, BombKind::kPlus); }
void XBomb(Canvas& c) { Bomb(c, BombKind::kX); }

void Cursor(Canvas& c) {
  cairo_t* cr = c.cr();
  // Pattern 0: waiting, a grey pointer with an hourglass.
  Pointer(cr, 0, Color{206, 210, 218}, Color{132, 138, 150});
  FillRect(cr, 12, 12, 9, 2, pal::kBrassDark);
  FillRect(cr, 12, 22, 9, 2, pal::kBrassDark);
  FillRect(cr, 12, 12, 9, 1, pal::kBrass);
  FillRect(cr, 12, 22, 9, 1, pal::kBrass);
  cairo_move_to(cr, 13, 14);
  cairo_line_to(cr, 20, 14);
  cairo_line_to(cr, 16.5, 18);
  cairo_line_to(cr, 20, 22);
  cairo_line_to(cr, 13, 22);
  cairo_line_to(cr, 16.5, 18);
  cairo_close_path(cr);
  SetColor(cr, Color{200, 226, 244});
  cairo_fill_preserve(cr);
  SetColor(cr, pal::kInk);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_move_to(cr, 14.5, 21.5);
  cairo_line_to(cr, 18.5, 21.5);
  cairo_line_to(cr, 16.5, 19);
  cairo_close_path(cr);
  SetColor(cr, Color{232, 184, 80});
  cairo_fill(cr);

  // Pattern 1: aiming, a gold pointer with a red gunsight.
  Pointer(cr, 24, Color{255, 240, 150}, Color{240, 178, 40});
  const double gx = 24 + 16.5, gy = 16.5;
  for (auto [w, col] : {std::pair{3.2, pal::kInk}, std::pair{1.5, Color{255, 60, 48}}}) {
    cairo_set_line_width(cr, w);
    SetColor(cr, col);
    cairo_arc(cr, gx, gy, 3.6, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_move_to(cr, gx - 5.5, gy);
    cairo_line_to(cr, gx - 1.5, gy);
    cairo_move_to(cr, gx + 1.5, gy);
    cairo_line_to(cr, gx + 5.5, gy);
    cairo_move_to(cr, gx, gy - 5.5);
    cairo_line_to(cr, gx, gy - 1.5);
    cairo_move_to(cr, gx, gy + 1.5);
    cairo_line_to(cr, gx, gy + 5.5);
    cairo_stroke(cr);
  }
}

void Rocket(Canvas& c) { RocketRight(c.cr(), Color{214, 44, 34}); }

void Rocket2(Canvas& c) {
  cairo_t* cr = c.cr();
  cairo_translate(cr, 30, 0);
  cairo_scale(cr, -1, 1);
  RocketRight(cr, Color{232, 128, 24});
}

void Explosion(Canvas& c) {
  cairo_t* cr = c.cr();
  c.alphaThreshold.assign(static_cast<size_t>(c.Width()) * c.Height(), 128);
  uint32_t seed = 12345;
  auto rnd = [&seed]() {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / 16777216.0;
  };
  const Color hot{255, 252, 220}, yellow{255, 214, 80}, orange{250, 128, 24}, red{190, 40, 16};
  for (int f = 0; f < 16; ++f) {
    const double cx = f * 64 + 32, cy = 32;
    cairo_save(cr);
    cairo_rectangle(cr, f * 64, 0, 64, 64);
    cairo_clip(cr);
    // Smoke from frame 5 on: puffs drifting out and up, greying and dimming.
    if (f >= 5) {
      const double age = (f - 5) / 10.0;
      const Color smokeIn = Mix(Color{132, 108, 90}, Color{96, 98, 106}, age);
      const Color smokeOut = Mix(Color{86, 70, 60}, Color{62, 66, 76}, age);
      for (int i = 0; i < 11; ++i) {
        const double a = i * 2 * M_PI / 11 + rnd() * 0.5;
        const double d = (10 + f * 1.3) * (0.55 + 0.45 * rnd());
        const double r = 8 + f * 0.8 + rnd() * 3;
        Blob(cr, cx + std::cos(a) * d, cy + std::sin(a) * d - age * 6, std::min(r, 24.0), smokeIn, smokeOut,
             1.0 - age * 0.7, 0.2 * (1 - age));
      }
    }
    // The fire: a flash that grows into a lumpy fireball, then sinks to embers.
    if (f <= 10) {
      const double grow = std::min(1.0, (f + 1) / 5.0);
      const double cool = f <= 4 ? 0.0 : (f - 4) / 6.0;
      const double R = (8 + 18 * grow) * (1 - 0.45 * cool);
      const Color core = Mix(hot, Color{255, 150, 40}, cool);
      const Color mid = Mix(yellow, Color{200, 60, 20}, cool);
      const Color rim = Mix(orange, Color{110, 24, 14}, cool);
      Blob(cr, cx, cy, R, core, rim, 1, 0.2);
      for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4 + rnd() * 0.6;
        const double d = R * (0.35 + 0.3 * rnd());
        Blob(cr, cx + std::cos(a) * d, cy + std::sin(a) * d, R * (0.45 + 0.2 * rnd()), mid, cool > 0.5 ? rim : red,
             0.95, 0.1);
      }
      Blob(cr, cx, cy, R * 0.45, hot, core, 1 - cool, 0.4 * (1 - cool));
      if (f <= 2) {  // rays of the flash
        SetColor(cr, Color{255, 240, 170}, 0.9);
        for (int i = 0; i < 12; ++i) {
          const double a = i * M_PI / 6 + rnd() * 0.3, len = (14 + f * 6) * (0.7 + 0.3 * rnd());
          cairo_move_to(cr, cx + std::cos(a + 0.12) * 4, cy + std::sin(a + 0.12) * 4);
          cairo_line_to(cr, cx + std::cos(a) * len, cy + std::sin(a) * len);
          cairo_line_to(cr, cx + std::cos(a - 0.12) * 4, cy + std::sin(a - 0.12) * 4);
          cairo_close_path(cr);
        }
        cairo_fill(cr);
      }
    }
    cairo_restore(cr);
    // Late frames break the smoke up: the coverage needed to stay visible
    // follows a fixed noise field, so holes open and widen frame by frame.
    if (f >= 8) {
      const double b = std::min(1.0, (f - 7) / 5.0);
      for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
          const double n = Noise(x, y);
          const double thr = 128 * (1 - b) + b * (60 + 190 * n) + std::max(0, f - 11) * 22;
          c.alphaThreshold[y * c.Width() + f * 64 + x] = static_cast<uint8_t>(std::clamp(thr, 1.0, 255.0));
        }
    }
  }
}

void Bonuses(Canvas& c) {
  cairo_t* cr = c.cr();
  for (int i = 0; i < 10; ++i) {
    const bool good = i < 5;
    const double x = i * 16;
    // A round badge: green for extra shots, red for penalty rockets.
    SetColor(cr, good ? Color{12, 60, 24} : Color{70, 10, 8});
    cairo_arc(cr, x + 8, 8, 7.6, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(x + 6, 5, 1, x + 8, 8, 7);
    if (good) {
      cairo_pattern_add_color_stop_rgb(p, 0, 0.55, 0.92, 0.45);
      cairo_pattern_add_color_stop_rgb(p, 1, 0.10, 0.46, 0.16);
    } else {
      cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.50, 0.40);
      cairo_pattern_add_color_stop_rgb(p, 1, 0.56, 0.08, 0.06);
    }
    cairo_set_source(cr, p);
    cairo_arc(cr, x + 8, 8, 6.7, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    if (good) {
      // A gold shell standing up.
      FillRect(cr, x + 3, 7, 4, 6, pal::kInk);
      cairo_rectangle(cr, x + 3.5, 7, 3, 5.5);
      GradientH(cr, x + 3.5, x + 6.5, Color{255, 226, 120}, Color{176, 120, 30});
      cairo_fill(cr);
      cairo_move_to(cr, x + 3, 7.5);
      cairo_curve_to(cr, x + 3, 4.5, x + 4.2, 3, x + 5, 2.2);
      cairo_curve_to(cr, x + 5.8, 3, x + 7, 4.5, x + 7, 7.5);
      cairo_close_path(cr);
      SetColor(cr, Color{196, 100, 50});
      cairo_fill_preserve(cr);
      SetColor(cr, pal::kInk);
      cairo_set_line_width(cr, 0.7);
      cairo_stroke(cr);
    } else {
      // A grey rocket diving down at the finder's grid.
      FillRect(cr, x + 2, 3, 6, 2, Color{60, 20, 16});
      FillRect(cr, x + 3, 3, 4, 8, pal::kInk);
      cairo_rectangle(cr, x + 3.6, 3, 2.8, 7.5);
      GradientH(cr, x + 3.6, x + 6.4, Color{240, 242, 248}, Color{130, 136, 150});
      cairo_fill(cr);
      cairo_move_to(cr, x + 3, 10.5);
      cairo_line_to(cr, x + 5, 14);
      cairo_line_to(cr, x + 7, 10.5);
      cairo_close_path(cr);
      SetColor(cr, Color{255, 210, 60});
      cairo_fill(cr);
    }
    Digit(cr, i % 5 + 1, static_cast<int>(x) + 9, 5, good ? Color{255, 250, 200} : Color{255, 236, 120});
  }
}

void Counter(Canvas& c) {
  cairo_t* cr = c.cr();
  // Dark steel strip, lit from the middle.
  cairo_rectangle(cr, 0, 0, 34, 240);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 34, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.22, 0.25, 0.30);
  cairo_pattern_add_color_stop_rgb(p, 0.5, 0.36, 0.40, 0.47);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.20, 0.23, 0.28);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Bevel(cr, 0, 0, 34, 240, Color{120, 132, 150}, Color{20, 24, 32});
  // Brass caps with rivets, top and bottom.
  for (int y0 : {2, 224}) {
    cairo_rectangle(cr, 2, y0, 30, 14);
    GradientV(cr, y0, y0 + 14, pal::kBrassLight, pal::kBrassDark);
    cairo_fill(cr);
    Bevel(cr, 2, y0, 30, 14, Color{255, 230, 160}, Color{70, 48, 18});
    Rivet(cr, 8, y0 + 7, 2.5);
    Rivet(cr, 26, y0 + 7, 2.5);
  }
  // Two recessed slots where the meters grow (lines 1..200, y 218 up to 19).
  for (int x0 : {10, 20}) {
    FillRect(cr, x0 - 1, 18, 6, 202, Color{20, 24, 32});
    FillRect(cr, x0 + 4, 19, 1, 201, Color{120, 132, 150});
    FillRect(cr, x0 - 1, 219, 6, 1, Color{120, 132, 150});
    FillRect(cr, x0, 19, 4, 200, Color{12, 22, 40});
  }
  // A brass tick at every ship (20 lines), outside the slots.
  for (int k = 0; k <= 10; ++k) {
    const int y = 219 - 20 * k - (k == 10 ? 1 : 0);
    FillRect(cr, 4, y, 4, 1, k % 5 == 0 ? pal::kBrassLight : pal::kBrass);
    FillRect(cr, 26, y, 4, 1, k % 5 == 0 ? pal::kBrassLight : pal::kBrass);
  }
  FillRect(cr, 16, 19, 2, 200, Color{44, 50, 62});
}

}  // namespace assets::painters
