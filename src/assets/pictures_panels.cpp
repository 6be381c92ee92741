// The panels: placement panel and its faces, menu block and its highlighted
// faces, status panel, score board, window and send buttons, and the four
// bars of a grid frame. Brass plates, steel-blue faces, dark navy wells.
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "assets/painters.h"

namespace assets::painters {

namespace {

using namespace paint;
using eng::Color;

constexpr Color kFaceText{228, 236, 248}, kFaceTextHi{255, 232, 140};

// A menu face with its label; the block and the highlighted pictures both
// use it, so a highlighted face fits its place exactly.
void MenuFace(cairo_t* cr, int x, int y, int w, int h, const char* label, bool hi) {
  ButtonFace(cr, x, y, w, h, hi);
  Text(cr, label, x + w / 2.0, y + h / 2.0, 11, true, hi ? kFaceTextHi : kFaceText, w - 8);
}

struct MenuButton {
  int x, y, w, h;
  const char* label;
};
constexpr std::array<MenuButton, 3> kMenuButtons{{
    {8, 8, 66, 23, "Новая игра"},
    {87, 8, 110, 23, "Настройки"},
    {210, 8, 76, 23, "Помощь"},
}};

// A miniature fixed-ship hull of n cells, 7 x 7 each, one pixel apart.
void MiniShip(cairo_t* cr, int x, int y, int n) {
  FillRect(cr, x - 1, y - 1, n * 9 + 1, 10, pal::kInk);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle(cr, x + i * 9, y, 8, 8);
    GradientV(cr, y, y + 8, Color{200, 208, 220}, Color{116, 124, 138});
    cairo_fill(cr);
    Bevel(cr, x + i * 9, y, 8, 8, Color{240, 244, 250}, Color{70, 76, 88});
    FillRect(cr, x + i * 9 + 3, y + 3, 2, 2, Color{84, 92, 106});
  }
}

// One bar of a grid frame, along x when horizontal; its two ends (the
// frame's corners) are brass blocks drawn the same in every bar.
void CornerBlock(cairo_t* cr, int x, int y) {
  cairo_rectangle(cr, x, y, 16, 16);
  cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + 16, y + 16);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.93, 0.82, 0.53);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.45, 0.32, 0.13);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  Bevel(cr, x, y, 16, 16, Color{255, 236, 176}, Color{64, 44, 16});
  Rivet(cr, x + 8, y + 8, 3.6);
}

void FrameBar(Canvas& c, bool horizontal, bool labelled) {
  cairo_t* cr = c.cr();
  const int len = horizontal ? c.Width() : c.Height();
  cairo_rectangle(cr, 0, 0, c.Width(), c.Height());
  cairo_pattern_t* p =
      horizontal ? cairo_pattern_create_linear(0, 0, 0, 16) : cairo_pattern_create_linear(0, 0, 16, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.72, 0.77, 0.84);
  cairo_pattern_add_color_stop_rgb(p, 0.45, 0.49, 0.55, 0.63);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.26, 0.30, 0.37);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  auto along = [&](int pos, int across, int l, int thick, Color col) {
    if (horizontal)
      FillRect(cr, pos, across, l, thick, col);
    else
      FillRect(cr, across, pos, thick, l, col);
  };
  along(0, 0, len, 1, Color{214, 222, 234});
  along(0, 15, len, 1, Color{28, 34, 44});
  along(0, 2, len, 1, pal::kBrass);
  along(0, 13, len, 1, pal::kBrassDark);
  if (labelled) {
    // Coordinates: columns А..П along the top, rows 1..17 down the left.
    static const char* const kLetters[16] = {"А", "Б", "В", "Г", "Д", "Е", "Ж", "З",
                                             "И", "Й", "К", "Л", "М", "Н", "О", "П"};
    const int cells = horizontal ? 16 : 17;
    for (int i = 0; i < cells; ++i) {
      const double mid = 16 + 16 * i + 8;
      const std::string label = horizontal ? kLetters[i] : std::to_string(i + 1);
      if (horizontal)
        Text(cr, label, mid, 8, 9, true, Color{240, 244, 250}, 12, true, Color{30, 36, 48});
      else
        Text(cr, label, 8, mid, 9, true, Color{240, 244, 250}, 12, true, Color{30, 36, 48});
    }
  } else {
    for (int pos = 32; pos < len - 16; pos += 32) {
      if (horizontal)
        Rivet(cr, pos, 8, 2.2);
      else
        Rivet(cr, 8, pos, 2.2);
    }
  }
  if (horizontal) {
    CornerBlock(cr, 0, 0);
    CornerBlock(cr, len - 16, 0);
  } else {
    CornerBlock(cr, 0, 0);
    CornerBlock(cr, 0, len - 16);
  }
}

// A face of the placement panel, 66 x 23 at (x, 0).
void PanelFace(cairo_t* cr, int x, int k) {
  ButtonFace(cr, x, 0, 66, 23, false);
  if (k <= 9) {
    static constexpr int kTypeAfter[10] = {4, 3, 3, 2, 2, 2, 1, 1, 1, 1};
    const int n = kTypeAfter[k];
    MiniShip(cr, x + 33 - (n * 9 - 1) / 2, 2, n);
    Text(cr, "Далее", x + 33, 16.5, 9, true, kFaceText, 60);
  } else if (k == 10) {
    cairo_move_to(cr, x + 6, 11);
    cairo_line_to(cr, x + 9.5, 15);
    cairo_line_to(cr, x + 16, 6);
    cairo_set_line_width(cr, 3.6);
    SetColor(cr, pal::kInk);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, 2);
    SetColor(cr, Color{120, 236, 120});
    cairo_stroke(cr);
    Text(cr, "Готово", x + 40, 11.5, 11, true, kFaceTextHi, 44);
  } else {
    Text(cr, "Авто", x + 33, 11.5, 12, true, kFaceText, 60);
  }
}

}  // namespace

void ButtonBlock(Canvas& c) {
  cairo_t* cr = c.cr();
  BrassPlate(cr, 0, 0, 250, 55, 12);
  for (auto [x, y, w, h] : {std::array{38, 11, 66, 23}, std::array{110, 11, 32, 23}, std::array{148, 11, 66, 23}}) {
    Well(cr, x, y, w, h);
    FillRect(cr, x, y, w, h, Color{30, 44, 66});  // the face is drawn here by the game
  }
  for (double x : {12.0, 238.0})
    for (double y : {12.0, 43.0}) Rivet(cr, x, y, 3);
  // Grilles on the wings.
  for (int x : {18, 226})
    for (int i = 0; i < 3; ++i) {
      FillRect(cr, x + i * 3, 20, 1, 15, Color{88, 62, 24});
      FillRect(cr, x + i * 3 + 1, 20, 1, 15, Color{240, 214, 150});
    }
  Text(cr, "РАССТАНОВКА ФЛОТА", 126, 44.5, 9, true, Color{84, 58, 20}, 180, true, Color{244, 222, 160});
}

void SCblock(Canvas& c) {
  for (int k = 0; k < 12; ++k) PanelFace(c.cr(), k * 66, k);
}

void SCmodif(Canvas& c) {
  cairo_t* cr = c.cr();
  ButtonFace(cr, 0, 0, 32, 23, false);
  // A turning arrow: three quarters of a circle with a head.
  const double cx = 16, cy = 11.5, r = 5.5, a0 = -M_PI * 0.35, a1 = M_PI * 1.15;
  for (auto [w, col] : {std::pair{4.0, pal::kInk}, std::pair{2.0, pal::kGold}}) {
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, a0, a1);
    cairo_set_line_width(cr, w);
    SetColor(cr, col);
    cairo_stroke(cr);
  }
  const double hx = cx + r * std::cos(a0), hy = cy + r * std::sin(a0);
  cairo_move_to(cr, hx + 4, hy + 1.5);
  cairo_line_to(cr, hx - 2.5, hy - 3);
  cairo_line_to(cr, hx - 1.5, hy + 4);
  cairo_close_path(cr);
  SetColor(cr, pal::kGold);
  cairo_fill_preserve(cr);
  SetColor(cr, pal::kInk);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void MenuBlock(Canvas& c) {
  cairo_t* cr = c.cr();
  BrassPlate(cr, 0, 0, 293, 37, 12);
  for (const auto& b : kMenuButtons) {
    Well(cr, b.x, b.y, b.w, b.h);
    MenuFace(cr, b.x, b.y, b.w, b.h, b.label, false);
  }
  Rivet(cr, 80.5, 19.5, 2.6);
  Rivet(cr, 203.5, 19.5, 2.6);
}

void MNewBtn(Canvas& c) {
  const auto& b = kMenuButtons[0];
  MenuFace(c.cr(), 0, 0, b.w, b.h, b.label, true);
}

void MOptionsBtn(Canvas& c) {
  const auto& b = kMenuButtons[1];
  MenuFace(c.cr(), 0, 0, b.w, b.h, b.label, true);
}

void MHelpBtn(Canvas& c) {
  const auto& b = kMenuButtons[2];
  MenuFace(c.cr(), 0, 0, b.w, b.h, b.label, true);
}

void StatusBlock(Canvas& c) {
  cairo_t* cr = c.cr();
  BrassPlate(cr, 0, 0, 530, 30, 10);
  for (auto [x, y, w, h] : {std::array{17, 8, 113, 15}, std::array{145, 8, 237, 15}, std::array{397, 8, 113, 15}}) {
    Well(cr, x, y, w, h);
    cairo_rectangle(cr, x, y, w, h);
    GradientV(cr, y, y + h, Color{8, 16, 30}, Color{20, 34, 56});
    cairo_fill(cr);
  }
  for (double x : {8.0, 137.5, 389.5, 521.0}) Rivet(cr, x, 15, 3);
}

void ScoreTable(Canvas& c) {
  cairo_t* cr = c.cr();
  for (int pat = 0; pat < 2; ++pat) {
    const int x = pat * 42;
    BrassPlate(cr, x, 0, 42, 34, 7);
    Well(cr, x + 5, 9, 34, 18);
    FillRect(cr, x + 5, 9, 34, 18, Color{10, 18, 32});
    for (double rx : {5.0, 37.0}) Rivet(cr, x + rx, 4.5, 1.8);
    for (double rx : {5.0, 37.0}) Rivet(cr, x + rx, 30.5, 1.8);
  }
  // The overlay: the board's frame alone, the text box left see-through so
  // digits roll in and out beneath the frame.
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_rectangle(cr, 42 + 5, 9, 34, 18);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void CloseBtn(Canvas& c) {
  cairo_t* cr = c.cr();
  for (int i = 0; i < 3; ++i) {
    const double cx = i * 16 + 8, cy = 8;
    SetColor(cr, Color{60, 40, 14});
    cairo_arc(cr, cx, cy, 7.6, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 2, cy - 2.5, 0.5, cx, cy, 6.8);
    cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.92, 0.66);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.62, 0.46, 0.18);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, 6.6, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    const Color ink = i == 2 ? Color{150, 20, 14} : Color{30, 30, 40};
    if (i == 0) {
      FillRect(cr, cx - 4, cy + 2, 8, 2, ink);
    } else if (i == 1) {
      cairo_rectangle(cr, cx - 3.5, cy - 3.5, 7, 7);
      SetColor(cr, ink);
      cairo_set_line_width(cr, 1.6);
      cairo_stroke(cr);
      FillRect(cr, cx - 4, cy - 4, 8, 2, ink);
    } else {
      cairo_move_to(cr, cx - 3.2, cy - 3.2);
      cairo_line_to(cr, cx + 3.2, cy + 3.2);
      cairo_move_to(cr, cx + 3.2, cy - 3.2);
      cairo_line_to(cr, cx - 3.2, cy + 3.2);
      SetColor(cr, ink);
      cairo_set_line_width(cr, 2);
      cairo_stroke(cr);
    }
  }
}

void SendBtn(Canvas& c) {
  cairo_t* cr = c.cr();
  for (int pat = 0; pat < 2; ++pat) {
    const int y = pat * 23;
    ButtonFace(cr, 0, y, 33, 23, pat == 1);
    // A paper plane flying right.
    cairo_move_to(cr, 7, y + 5);
    cairo_line_to(cr, 27, y + 11.5);
    cairo_line_to(cr, 7, y + 18);
    cairo_line_to(cr, 11, y + 11.5);
    cairo_close_path(cr);
    SetColor(cr, pat == 1 ? kFaceTextHi : kFaceText);
    cairo_fill_preserve(cr);
    SetColor(cr, pal::kInk);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_move_to(cr, 11, y + 11.5);
    cairo_line_to(cr, 26, y + 11.5);
    SetColor(cr, Color{90, 110, 140});
    cairo_stroke(cr);
  }
}

void MainBlockTop(Canvas& c) { FrameBar(c, true, true); }
void MainBlockLeft(Canvas& c) { FrameBar(c, false, true); }
void MainBlockBottom(Canvas& c) { FrameBar(c, true, false); }
void MainBlockRight(Canvas& c) { FrameBar(c, false, false); }

}  // namespace assets::painters
