#include "assets/paint_kit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace assets::paint {

namespace {

// 5 x 7 digits, one row a string, '#' lit; index 10 is '+'.
constexpr std::array<std::array<const char*, 7>, 11> kDigits{{
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},
    {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."},
}};

uint8_t Clamp(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr_, fo);
  cairo_font_options_destroy(fo);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

eng::Picture Canvas::ToPicture(bool keyed, Color key) const {
  cairo_surface_flush(surface_);
  const uint8_t* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  eng::Picture pic(width_, height_);
  uint8_t* out = pic.Pixels();
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width_; ++x) {
      const uint32_t px = row[x];
      const unsigned a = px >> 24;
      unsigned r = (px >> 16) & 255, g = (px >> 8) & 255, b = px & 255;
      Color c;
      if (keyed) {
        const unsigned threshold = alphaThreshold.empty() ? 128 : alphaThreshold[y * width_ + x];
        if (a == 0 || a < threshold) {
          c = key;
        } else {
          c = AvoidKey(Color{static_cast<uint8_t>(std::min(255u, (r * 255 + a / 2) / a)),
                             static_cast<uint8_t>(std::min(255u, (g * 255 + a / 2) / a)),
                             static_cast<uint8_t>(std::min(255u, (b * 255 + a / 2) / a))},
                       key);
        }
      } else {
        c = AvoidKey(Color{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)}, key);
      }
      uint8_t* o = out + (static_cast<size_t>(y) * width_ + x) * 3;
      o[0] = c.r;
      o[1] = c.g;
      o[2] = c.b;
    }
  }
  return pic;
}

Color Mix(Color a, Color b, double t) {
  return Color{Clamp(a.r + (b.r - a.r) * t), Clamp(a.g + (b.g - a.g) * t), Clamp(a.b + (b.b - a.b) * t)};
}

Color Scale(Color c, double f) { return Color{Clamp(c.r * f), Clamp(c.g * f), Clamp(c.b * f)}; }

Color AvoidKey(Color c, Color key) {
  if (eng::ToRGB565(c) != eng::ToRGB565(key)) return c;
  // Moving blue by 8 changes its five stored bits by exactly one.
  c.b = c.b >= 8 ? static_cast<uint8_t>(c.b - 8) : static_cast<uint8_t>(c.b + 8);
  return c;
}

void SetColor(cairo_t* cr, Color c, double alpha) {
  cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

void FillRect(cairo_t* cr, double x, double y, double w, double h, Color c) {
  SetColor(cr, c);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

static void SetGradient(cairo_t* cr, cairo_pattern_t* p, Color a, Color b) {
  cairo_pattern_add_color_stop_rgb(p, 0, a.r / 255.0, a.g / 255.0, a.b / 255.0);
  cairo_pattern_add_color_stop_rgb(p, 1, b.r / 255.0, b.g / 255.0, b.b / 255.0);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

void GradientV(cairo_t* cr, double y0, double y1, Color top, Color bottom) {
  SetGradient(cr, cairo_pattern_create_linear(0, y0, 0, y1), top, bottom);
}

void GradientH(cairo_t* cr, double x0, double x1, Color left, Color right) {
  SetGradient(cr, cairo_pattern_create_linear(x0, 0, x1, 0), left, right);
}

void Bevel(cairo_t* cr, int x, int y, int w, int h, Color light, Color dark) {
  FillRect(cr, x, y, w, 1, light);
  FillRect(cr, x, y, 1, h, light);
  FillRect(cr, x, y + h - 1, w, 1, dark);
  FillRect(cr, x + w - 1, y, 1, h, dark);
}

void Well(cairo_t* cr, int x, int y, int w, int h) {
  // Outer ring: shadow above and left, a bright lip below and right.
  FillRect(cr, x - 2, y - 2, w + 4, h + 4, Color{58, 40, 16});
  FillRect(cr, x - 1, y + h + 1, w + 2, 1, pal::kBrassLight);
  FillRect(cr, x + w + 1, y - 1, 1, h + 3, pal::kBrassLight);
  FillRect(cr, x - 1, y - 1, w + 2, h + 2, pal::kInk);
}

void Rivet(cairo_t* cr, double cx, double cy, double r) {
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.35, r * 0.1, cx, cy, r);
  cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.93, 0.72);
  cairo_pattern_add_color_stop_rgb(p, 0.55, pal::kBrass.r / 255.0, pal::kBrass.g / 255.0, pal::kBrass.b / 255.0);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.30, 0.20, 0.08);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void BrassPlate(cairo_t* cr, double x, double y, double w, double h, double r) {
  RoundedRect(cr, x, y, w, h, r);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.93, 0.82, 0.53);
  cairo_pattern_add_color_stop_rgb(p, 0.25, 0.78, 0.62, 0.32);
  cairo_pattern_add_color_stop_rgb(p, 0.7, 0.64, 0.48, 0.22);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.46, 0.33, 0.13);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // Dark rim and a bright inner edge.
  RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r - 0.5);
  SetColor(cr, Color{70, 48, 18});
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  RoundedRect(cr, x + 1.5, y + 1.5, w - 3, h - 3, r - 1.5);
  SetColor(cr, Color{255, 236, 176}, 0.55);
  cairo_stroke(cr);
}

void ButtonFace(cairo_t* cr, int x, int y, int w, int h, bool highlighted) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  if (highlighted)
    GradientV(cr, y, y + h, Color{116, 168, 218}, Color{46, 86, 138});
  else
    GradientV(cr, y, y + h, Color{86, 118, 158}, Color{32, 52, 84});
  cairo_fill(cr);
  // A glossy upper half.
  cairo_rectangle(cr, x + 1, y + 1, w - 2, h / 2 - 1);
  SetColor(cr, eng::kWhite, highlighted ? 0.16 : 0.09);
  cairo_fill(cr);
  if (highlighted) {
    Bevel(cr, x, y, w, h, pal::kGold, Color{150, 104, 34});
    Bevel(cr, x + 1, y + 1, w - 2, h - 2, Color{170, 210, 246}, Color{30, 56, 96});
  } else {
    Bevel(cr, x, y, w, h, Color{150, 176, 208}, pal::kFaceDark);
  }
  cairo_restore(cr);
}

void Text(cairo_t* cr, std::string_view utf8, double cx, double cy, double size, bool bold, Color fill,
          double maxWidth, bool shadow, Color shadowColor) {
  const std::string s(utf8);
  cairo_save(cr);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_text_extents_t te;
  for (;;) {
    cairo_set_font_size(cr, size);
    cairo_text_extents(cr, s.c_str(), &te);
    if (maxWidth <= 0 || te.x_advance <= maxWidth || size <= 6) break;
    size -= 0.5;
  }
  const double x = std::round(cx - te.x_advance / 2);
  const double y = std::round(cy + size * 0.72 / 2);
  if (shadow) {
    SetColor(cr, shadowColor);
    cairo_move_to(cr, x + 1, y + 1);
    cairo_show_text(cr, s.c_str());
  }
  SetColor(cr, fill);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, s.c_str());
  cairo_restore(cr);
}

void Digit(cairo_t* cr, int digit, int x, int y, Color fill, bool outline, Color outlineColor) {
  const auto& glyph = kDigits[std::clamp(digit, 0, 10)];
  auto lit = [&](int gx, int gy) { return gx >= 0 && gx < 5 && gy >= 0 && gy < 7 && glyph[gy][gx] == '#'; };
  if (outline) {
    SetColor(cr, outlineColor);
    for (int gy = -1; gy <= 7; ++gy)
      for (int gx = -1; gx <= 5; ++gx) {
        bool near = false;
        for (int dy = -1; dy <= 1 && !near; ++dy)
          for (int dx = -1; dx <= 1 && !near; ++dx) near = lit(gx + dx, gy + dy);
        if (near && !lit(gx, gy)) cairo_rectangle(cr, x + gx, y + gy, 1, 1);
      }
    cairo_fill(cr);
  }
  SetColor(cr, fill);
  for (int gy = 0; gy < 7; ++gy)
    for (int gx = 0; gx < 5; ++gx)
      if (lit(gx, gy)) cairo_rectangle(cr, x + gx, y + gy, 1, 1);
  cairo_fill(cr);
}

void OpenWater(cairo_t* cr, double x, double y, bool waves) {
  cairo_rectangle(cr, x, y, 16, 16);
  GradientV(cr, y, y + 16, Color{44, 118, 178}, Color{30, 92, 152});
  cairo_fill(cr);
  // Thin seams at the right and bottom keep the grid readable.
  FillRect(cr, x + 15, y, 1, 16, Color{22, 70, 120});
  FillRect(cr, x, y + 15, 16, 1, Color{22, 70, 120});
  if (!waves) return;
  // Two calm ripples: a light dash over a darker one, pixel-crisp.
  const Color crest{96, 170, 222}, trough{24, 78, 132};
  FillRect(cr, x + 2, y + 4, 4, 1, crest);
  FillRect(cr, x + 3, y + 5, 4, 1, trough);
  FillRect(cr, x + 8, y + 10, 4, 1, crest);
  FillRect(cr, x + 9, y + 11, 4, 1, trough);
}

void ClosedTile(cairo_t* cr, double x, double y, double f) {
  cairo_rectangle(cr, x, y, 16, 16);
  GradientV(cr, y, y + 16, Scale(Color{84, 116, 156}, f), Scale(Color{56, 82, 120}, f));
  cairo_fill(cr);
  // Raised: bright top-left edge, dark bottom-right edge, a soft inner ring.
  Bevel(cr, static_cast<int>(x), static_cast<int>(y), 16, 16, Scale(Color{150, 180, 214}, f),
        Scale(Color{22, 34, 56}, f));
  Bevel(cr, static_cast<int>(x) + 1, static_cast<int>(y) + 1, 14, 14, Scale(Color{104, 136, 176}, f),
        Scale(Color{44, 64, 96}, f));
  // A faint diagonal sheen on the plate.
  SetColor(cr, eng::kWhite, 0.07 * f);
  cairo_move_to(cr, x + 2, y + 9);
  cairo_line_to(cr, x + 9, y + 2);
  cairo_line_to(cr, x + 12, y + 2);
  cairo_line_to(cr, x + 2, y + 12);
  cairo_close_path(cr);
  cairo_fill(cr);
}

}  // namespace assets::paint
