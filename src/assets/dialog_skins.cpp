#include "assets/dialog_skins.h"

#include <cmath>
#include <string>

#include "assets/paint_kit.h"

namespace assets::skins {

namespace {

using namespace paint;
using eng::Color;

constexpr Color kCaption{236, 242, 250}, kTitle{255, 226, 128};
constexpr Color kPanelTop{24, 44, 80}, kPanelBottom{10, 20, 40};

// Text with its left edge at x, centred on cy by its cap height; shadowed.
void TextLeft(cairo_t* cr, std::string_view utf8, double x, double cy, double size, bool bold, Color fill) {
  const std::string s(utf8);
  cairo_save(cr);
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  const double y = std::round(cy + size * 0.72 / 2);
  SetColor(cr, pal::kInk);
  cairo_move_to(cr, std::round(x) + 1, y + 1);
  cairo_show_text(cr, s.c_str());
  SetColor(cr, fill);
  cairo_move_to(cr, std::round(x), y);
  cairo_show_text(cr, s.c_str());
  cairo_restore(cr);
}

// The rounded outline every face is clipped to.
void FaceShape(cairo_t* cr, int w, int h) { RoundedRect(cr, 0, 0, w, h, std::min(5.0, h / 3.0)); }

// A face with its corners rounded away: raised, or pressed (darker, lit from
// below, the content one pixel down and right).
void PaintFace(Canvas& c, bool pressed) {
  cairo_t* cr = c.cr();
  const int w = c.Width(), h = c.Height();
  cairo_save(cr);
  FaceShape(cr, w, h);
  cairo_clip(cr);
  if (pressed) {
    cairo_rectangle(cr, 0, 0, w, h);
    GradientV(cr, 0, h, Color{26, 44, 72}, Color{62, 92, 130});
    cairo_fill(cr);
  } else {
    paint::ButtonFace(cr, 0, 0, w, h, false);
  }
  cairo_restore(cr);
  // The rim follows the rounded shape.
  RoundedRect(cr, 0.5, 0.5, w - 1, h - 1, std::min(4.5, h / 3.0 - 0.5));
  SetColor(cr, pressed ? pal::kBrassDark : pal::kBrass);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void PanelText(Canvas& c, std::string_view label, bool pressed, double size) {
  const double shift = pressed ? 1 : 0;
  Text(c.cr(), label, c.Width() / 2.0 + shift, c.Height() / 2.0 + shift, size, true,
       pressed ? Color{200, 210, 226} : Color{236, 242, 250}, c.Width() - 8);
}

// The small "IP" face of the address button: two screens joined by a line.
eng::Picture AddressButton(bool pressed) {
  Canvas c(30, 23);
  PaintFace(c, pressed);
  cairo_t* cr = c.cr();
  const int s = pressed ? 1 : 0;
  const Color screen = pressed ? Color{120, 170, 210} : Color{170, 220, 250};
  for (int i = 0; i < 2; ++i) {
    const int x = 5 + i * 13 + s, y = 5 + s;
    FillRect(cr, x, y, 7, 6, pal::kInk);
    FillRect(cr, x + 1, y + 1, 5, 4, screen);
    FillRect(cr, x + 2, y + 6, 3, 2, pal::kInk);
  }
  FillRect(cr, 12 + s, 9 + s, 6, 1, kTitle);
  Text(cr, "IP", 15 + s, 17 + s, 8, true, kTitle, 0, true);
  return c.ToPicture(true, kSkinKey);
}

// What was drawn on the canvas (all but its keyed pixels) laid over the
// background.
void Overlay(eng::Picture& background, Canvas& c) {
  const eng::Picture over = c.ToPicture(true, kSkinKey);
  for (int y = 0; y < over.Height(); ++y)
    for (int x = 0; x < over.Width(); ++x) {
      const Color px = over.GetPixel(x, y);
      if (!(px == kSkinKey)) background.SetPixel(x, y, px);
    }
}

// The full-screen toggle: a check box in a brass rim, ticked when down.
eng::Picture CheckBox(bool down) {
  Canvas c(17, 20);
  cairo_t* cr = c.cr();
  RoundedRect(cr, 1, 3, 15, 15, 2.5);
  SetColor(cr, pal::kBrass);
  cairo_fill(cr);
  FillRect(cr, 3, 5, 11, 11, pal::kWell);
  if (down) {
    cairo_move_to(cr, 4.5, 10.5);
    cairo_line_to(cr, 7.5, 13.5);
    cairo_line_to(cr, 13, 6);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColor(cr, kTitle);
    cairo_stroke(cr);
  }
  return c.ToPicture(true, kSkinKey);
}

}  // namespace

eng::Picture DialogBackground(int width, int height, std::string_view titleUtf8, int panelTop, int panelBottom) {
  Canvas c(width, height);
  cairo_t* cr = c.cr();
  FillRect(cr, 0, 0, width, height, pal::kInk);
  BrassPlate(cr, 0, 0, width, height, 7);
  for (const auto& [x, y] : {std::pair{8.0, 8.0}, std::pair{width - 8.0, 8.0}, std::pair{8.0, height - 8.0},
                             std::pair{width - 8.0, height - 8.0}})
    Rivet(cr, x, y, 3.2);
  // Engraved in the brass: dark letters with a bright lip below.
  Text(cr, titleUtf8, width / 2.0, panelTop / 2.0 + 1, 13, true, Color{48, 30, 8}, width - 40, true,
       Color{255, 236, 176});
  // The navy panel sits sunk in the plate.
  const int px = 8, pw = width - 16, ph = panelBottom - panelTop;
  FillRect(cr, px - 1, panelTop - 1, pw + 2, ph + 2, Color{70, 48, 18});
  FillRect(cr, px, panelBottom, pw + 1, 1, pal::kBrassLight);
  cairo_rectangle(cr, px, panelTop, pw, ph);
  GradientV(cr, panelTop, panelBottom, kPanelTop, kPanelBottom);
  cairo_fill(cr);
  return c.ToPicture(false, eng::kBlack);
}

eng::Picture ButtonFace(int width, int height, std::string_view labelUtf8, bool pressed) {
  Canvas c(width, height);
  PaintFace(c, pressed);
  PanelText(c, labelUtf8, pressed, 11);
  return c.ToPicture(true, kSkinKey);
}

eng::Picture RadioButton(bool down) {
  Canvas c(15, 15);
  cairo_t* cr = c.cr();
  // A brass ring round a dark well.
  cairo_arc(cr, 7.5, 7.5, 7.3, 0, 2 * M_PI);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 15, 15);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.93, 0.82, 0.53);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.40, 0.28, 0.11);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_arc(cr, 7.5, 7.5, 5.2, 0, 2 * M_PI);
  SetColor(cr, pal::kWell);
  cairo_fill(cr);
  if (down) {
    cairo_pattern_t* dot = cairo_pattern_create_radial(6.5, 6.5, 0.5, 7.5, 7.5, 3.6);
    cairo_pattern_add_color_stop_rgb(dot, 0, 1.0, 0.97, 0.80);
    cairo_pattern_add_color_stop_rgb(dot, 1, 1.0, 0.74, 0.22);
    cairo_set_source(cr, dot);
    cairo_arc(cr, 7.5, 7.5, 3.4, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(dot);
  }
  return c.ToPicture(true, kSkinKey);
}

NewGameSkin PaintNewGameSkin() {
  NewGameSkin skin;
  // The panel holds the name and the opponent; the buttons sit on the brass
  // below it, each in its recess.
  constexpr int kPanelTop = 28, kPanelBottom = 202;
  skin.Background = DialogBackground(200, 250, "Новая игра", kPanelTop, kPanelBottom);
  {
    Canvas c(200, 250);
    cairo_t* cr = c.cr();
    // Drawn over the background: the captions and the recesses of the
    // controls, which sit at their places in the dialog.
    TextLeft(cr, "Ваше имя:", 17, 45, 12, true, kCaption);
    Well(cr, 17, 56, 123, 24);
    FillRect(cr, 17, 96, 166, 1, pal::kBrassDark);
    FillRect(cr, 17, 97, 166, 1, Color{60, 84, 120});
    TextLeft(cr, "Противник:", 17, 114, 12, true, kCaption);
    TextLeft(cr, "Игрок против компьютера", 40, 136 + 7, 11, false, kTitle);
    TextLeft(cr, "Игрок против игрока", 40, 159 + 7, 11, false, kTitle);
    Well(cr, 154, 164, 30, 23);
    Text(cr, "ваш адрес", 169, 194, 9, true, kCaption, 46);
    Well(cr, 27, 212, 65, 23);
    Well(cr, 108, 212, 65, 23);
    Overlay(skin.Background, c);
  }
  skin.StartUp = ButtonFace(65, 23, "Старт", false);
  skin.StartDown = ButtonFace(65, 23, "Старт", true);
  skin.CloseUp = ButtonFace(65, 23, "Закрыть", false);
  skin.CloseDown = ButtonFace(65, 23, "Закрыть", true);
  skin.RadioUp = RadioButton(false);
  skin.RadioDown = RadioButton(true);
  skin.GetIPUp = AddressButton(false);
  skin.GetIPDown = AddressButton(true);
  return skin;
}

OptionsSkin PaintOptionsSkin() {
  OptionsSkin skin;
  constexpr int kPanelTop = 28, kPanelBottom = 202;
  skin.Background = DialogBackground(200, 250, "Настройки", kPanelTop, kPanelBottom);
  {
    Canvas c(200, 250);
    cairo_t* cr = c.cr();
    // The level's four choices, each caption beside its radio.
    TextLeft(cr, "Уровень компьютера:", 17, 44, 12, true, kCaption);
    constexpr const char* kLevels[] = {"Очень легко", "Легко", "Нормально", "Сложно"};
    for (int i = 0; i < 4; ++i) TextLeft(cr, kLevels[i], 40, 56 + 19 * i + 7, 11, false, kTitle);
    FillRect(cr, 17, 133, 166, 1, pal::kBrassDark);
    FillRect(cr, 17, 134, 166, 1, Color{60, 84, 120});
    // The volume slider and the full-screen box with their captions.
    TextLeft(cr, "Громкость", 17, 152, 11, false, kCaption);
    Well(cr, 75, 143, 97, 18);
    TextLeft(cr, "Полный экран", 17, 178, 11, false, kCaption);
    Well(cr, 27, 212, 65, 23);
    Well(cr, 108, 212, 65, 23);
    Overlay(skin.Background, c);
  }
  skin.OKUp = ButtonFace(65, 23, "OK", false);
  skin.OKDown = ButtonFace(65, 23, "OK", true);
  skin.CloseUp = ButtonFace(65, 23, "Закрыть", false);
  skin.CloseDown = ButtonFace(65, 23, "Закрыть", true);
  skin.RadioUp = RadioButton(false);
  skin.RadioDown = RadioButton(true);
  skin.CheckUp = CheckBox(false);
  skin.CheckDown = CheckBox(true);
  return skin;
}

}  // namespace assets::skins
