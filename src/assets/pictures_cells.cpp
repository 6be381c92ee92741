// The sea cells (16 x 16) and the forty navigator cells. Everything here must
// read at 16 pixels: crisp one-pixel bevels, pixel-drawn marks, few colours.
#include <cmath>
#include <utility>

#include "assets/painters.h"

namespace assets::painters {

namespace {

using namespace paint;
using eng::Color;

// A ship cell: a hull plate with a bevel, a hatch in the middle and four
// rivets, in the given tone; neighbouring ship cells join into one hull.
struct HullTone {
  Color top, bottom, light, dark, hatch, rivet;
};

void Hull(cairo_t* cr, const HullTone& t) {
  cairo_rectangle(cr, 0, 0, 16, 16);
  GradientV(cr, 0, 16, t.top, t.bottom);
  cairo_fill(cr);
  Bevel(cr, 0, 0, 16, 16, t.light, t.dark);
  // Hatch: sunken square.
  FillRect(cr, 5, 5, 6, 6, t.hatch);
  Bevel(cr, 5, 5, 6, 6, t.dark, t.light);
  for (int x : {3, 12})
    for (int y : {3, 12}) FillRect(cr, x, y, 1, 1, t.rivet);
}

// The mark of a hint: a filled disc (ship at a side) or a ring (only at a
// corner), light on the water with a dark edge so both read at a glance.
void HintMark(cairo_t* cr, bool filled) {
  const Color mark{255, 236, 150};
  cairo_arc(cr, 8, 8, filled ? 4.2 : 5.0, 0, 2 * M_PI);
  SetColor(cr, pal::kInk);
  cairo_fill(cr);
  cairo_arc(cr, 8, 8, filled ? 3.2 : 4.0, 0, 2 * M_PI);
  SetColor(cr, mark);
  cairo_fill(cr);
  if (!filled) {
    cairo_arc(cr, 8, 8, 2.4, 0, 2 * M_PI);
    SetColor(cr, pal::kInk);
    cairo_fill(cr);
    cairo_arc(cr, 8, 8, 1.5, 0, 2 * M_PI);
    SetColor(cr, Color{40, 108, 168});
    cairo_fill(cr);
  }
}

// The up-pointing navigator arrow, 7 x 7; the others are its rotations.
constexpr const char* kArrowUp[7] = {"...#...", "..###..", ".#####.", "#######", "..###..", "..###..", "..###.."};

bool ArrowLit(int dir, int r, int c) {
  int ur = r, uc = c;
  switch (dir) {
    case 0: ur = 6 - c; uc = r; break;  // right
    case 1: ur = c; uc = 6 - r; break;  // left
    case 2: break;                      // up
    case 3: ur = 6 - r; break;          // down
  }
  return kArrowUp[ur][uc] == '#';
}

void Arrow(cairo_t* cr, int dir, int x, int y) {
  auto lit = [&](int c, int r) { return c >= 0 && c < 7 && r >= 0 && r < 7 && ArrowLit(dir, r, c); };
  SetColor(cr, pal::kInk);
  for (int r = -1; r <= 7; ++r)
    for (int c = -1; c <= 7; ++c) {
      if (lit(c, r)) continue;
      bool near = false;
      for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) near = near || lit(c + dc, r + dr);
      if (near) cairo_rectangle(cr, x + c, y + r, 1, 1);
    }
  cairo_fill(cr);
  SetColor(cr, pal::kGold);
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 7; ++c)
      if (lit(c, r)) cairo_rectangle(cr, x + c, y + r, 1, 1);
  cairo_fill(cr);
}

}  // namespace

void CloseCell(Canvas& c) { ClosedTile(c.cr(), 0, 0, 1.0); }

void CloseCellDark(Canvas& c) {
  ClosedTile(c.cr(), 0, 0, 0.5);
  // Fine dark hatching on top, so "proved free" reads even beside a
  // shadowed tile.
  cairo_t* cr = c.cr();
  SetColor(cr, Color{10, 16, 28}, 0.55);
  for (int k = 4; k < 28; k += 4) {
    cairo_move_to(cr, k, 1);
    cairo_line_to(cr, k - 14, 15);
  }
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void OpenCell(Canvas& c) { OpenWater(c.cr(), 0, 0, true); }

// A ship the shooter never found: the closed plate still lies over it, and
// through a window in the plate its hull shows in gold, hatched, so that at
// a glance it is neither a fixed ship (steel), a hit (fire) nor a sunk one
// (red cross).
void NotFoundCell(Canvas& c) {
  cairo_t* cr = c.cr();
  ClosedTile(cr, 0, 0, 1.0);
  FillRect(cr, 2, 2, 12, 12, pal::kInk);
  cairo_rectangle(cr, 3, 3, 10, 10);
  GradientV(cr, 3, 13, Color{255, 222, 112}, Color{214, 152, 36});
  cairo_fill(cr);
  Bevel(cr, 3, 3, 10, 10, Color{255, 244, 190}, Color{150, 96, 18});
  // Dark hatching across the gold, clipped to the window.
  cairo_save(cr);
  cairo_rectangle(cr, 4, 4, 8, 8);
  cairo_clip(cr);
  SetColor(cr, Color{92, 56, 8}, 0.85);
  cairo_set_line_width(cr, 1.2);
  for (int k = 0; k < 24; k += 4) {
    cairo_move_to(cr, k, 4);
    cairo_line_to(cr, k - 8, 12);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
}


void MarkedCell(Canvas& c) {
  cairo_t* cr = c.cr();
  ClosedTile(cr, 0, 0, 1.0);
  // A small pale dot in a dark ring: known to be empty.
  cairo_arc(cr, 8, 8, 3.3, 0, 2 * M_PI);
  SetColor(cr, Color{18, 28, 46});
  cairo_fill(cr);
  cairo_arc(cr, 8, 8, 2.0, 0, 2 * M_PI);
  SetColor(cr, Color{214, 230, 248});
  cairo_fill(cr);
}

void DamShipCell(Canvas& c) {
  cairo_t* cr = c.cr();
  Hull(cr, {Color{78, 66, 60}, Color{46, 38, 36}, Color{128, 112, 100}, Color{22, 16, 14}, Color{56, 46, 42},
            Color{24, 18, 16}});
  // Fire on the deck: a hot core through orange into red.
  cairo_pattern_t* p = cairo_pattern_create_radial(8, 8.5, 0, 8, 8, 7.5);
  cairo_pattern_add_color_stop_rgba(p, 0.0, 1.0, 0.98, 0.70, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.3, 1.0, 0.72, 0.16, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.65, 0.92, 0.24, 0.06, 1);
  cairo_pattern_add_color_stop_rgba(p, 1.0, 0.55, 0.08, 0.04, 0);
  cairo_set_source(cr, p);
  // Flame tongues upward.
  cairo_move_to(cr, 2.5, 12);
  cairo_curve_to(cr, 1.5, 8, 4, 6, 4.5, 2.5);
  cairo_curve_to(cr, 6, 5, 7, 4, 8, 1);
  cairo_curve_to(cr, 9.5, 4, 10.5, 4.5, 11.5, 2.5);
  cairo_curve_to(cr, 12.5, 6, 14.5, 8, 13.5, 12);
  cairo_curve_to(cr, 11, 14.5, 5, 14.5, 2.5, 12);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void BlackShipCell(Canvas& c) {
  Hull(c.cr(), {Color{58, 60, 68}, Color{30, 32, 38}, Color{104, 108, 120}, Color{12, 12, 16}, Color{22, 24, 28},
                Color{110, 114, 124}});
}

void DestrShipCell(Canvas& c) {
  cairo_t* cr = c.cr();
  cairo_rectangle(cr, 0, 0, 16, 16);
  GradientV(cr, 0, 16, Color{76, 30, 24}, Color{36, 14, 12});
  cairo_fill(cr);
  Bevel(cr, 0, 0, 16, 16, Color{120, 56, 44}, Color{18, 8, 6});
  // Soot.
  SetColor(cr, Color{20, 12, 10}, 0.6);
  cairo_arc(cr, 5, 11, 3, 0, 2 * M_PI);
  cairo_arc(cr, 11.5, 5, 2.5, 0, 2 * M_PI);
  cairo_fill(cr);
  // The cross of a sunk ship: dark outline, glowing red core.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  for (auto [width, col] : {std::pair{4.0, Color{18, 6, 4}}, std::pair{2.0, Color{232, 72, 40}}}) {
    cairo_move_to(cr, 4, 4);
    cairo_line_to(cr, 12, 12);
    cairo_move_to(cr, 12, 4);
    cairo_line_to(cr, 4, 12);
    cairo_set_line_width(cr, width);
    SetColor(cr, col);
    cairo_stroke(cr);
  }
}

void RedShipCell(Canvas& c) {
  Hull(c.cr(), {Color{224, 74, 60}, Color{164, 36, 30}, Color{255, 160, 140}, Color{84, 14, 12}, Color{150, 30, 26},
                Color{90, 16, 14}});
}

void RFixShipCell(Canvas& c) {
  Hull(c.cr(), {Color{166, 174, 186}, Color{110, 118, 132}, Color{220, 226, 234}, Color{46, 52, 62},
                Color{96, 104, 118}, Color{58, 64, 76}});
}

void Hint1Cell(Canvas& c) {
  OpenWater(c.cr(), 0, 0, false);
  HintMark(c.cr(), true);
}

void Hint2Cell(Canvas& c) {
  OpenWater(c.cr(), 0, 0, false);
  HintMark(c.cr(), false);
}

void Navigators(Canvas& c) {
  cairo_t* cr = c.cr();
  for (int dir = 0; dir < 4; ++dir) {
    for (int n = 0; n < 10; ++n) {
      const int x = n * 16, y = dir * 16;
      OpenWater(cr, x, y, false);
      // A faint buoy glow marks the navigator apart from plain water.
      cairo_rectangle(cr, x + 1, y + 2, 14, 12);
      SetColor(cr, Color{120, 200, 240}, 0.12);
      cairo_fill(cr);
      // Digit on the side away from the arrow; the arrow toward the edge.
      if (dir == 1) {
        Arrow(cr, dir, x + 1, y + 4);
        Digit(cr, n, x + 9, y + 4, pal::kPale);
      } else {
        Digit(cr, n, x + 1, y + 4, pal::kPale);
        Arrow(cr, dir, x + 7, y + 4);
      }
    }
  }
}

}  // namespace assets::painters
