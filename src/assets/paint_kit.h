// The small kit the picture painters share: a cairo canvas that turns into
// an eng::Picture with an exact colour key, the palette of the naval theme,
// and the pieces every panel is made of (plates, bevels, rivets, wells,
// button faces, text and a crisp bitmap digit font for 16-pixel cells).
#pragma once
#include <cairo.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/picture.h"
#include "engine/types.h"

namespace assets::paint {

using eng::Color;

// The theme: deep water blues, brass plates, steel faces, dark navy wells.
namespace pal {
inline constexpr Color kBrass{182, 142, 72}, kBrassLight{238, 208, 130}, kBrassDark{104, 74, 32};
inline constexpr Color kSteel{112, 128, 150}, kSteelLight{186, 198, 214}, kSteelDark{48, 58, 74};
inline constexpr Color kFace{52, 84, 124}, kFaceLight{104, 144, 190}, kFaceDark{22, 36, 60};
inline constexpr Color kWell{12, 20, 36};
inline constexpr Color kInk{14, 20, 30};         // outlines: near black, never the black key
inline constexpr Color kGold{255, 214, 96}, kPale{236, 242, 250};
inline constexpr Color kSea{30, 92, 150}, kSeaDeep{18, 58, 104}, kSeaFoam{150, 206, 236};
inline constexpr Color kTile{66, 98, 136}, kTileLight{128, 162, 200}, kTileDark{28, 44, 70};
}  // namespace pal

// An ARGB32 cairo surface, transparent at start, of one picture's size.
class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Keyed: a pixel less than half covered becomes exactly the key, any other
  // its own (un-premultiplied) colour made opaque. Not keyed: the colour over
  // black. Either way an opaque pixel that would match the key at 16 bits is
  // nudged so it stays visible.
  eng::Picture ToPicture(bool keyed, Color key) const;

  // Optional per-pixel coverage threshold (0..255) replacing the half mark;
  // the explosion breaks its smoke up with it.
  std::vector<uint8_t> alphaThreshold;

 private:
  int width_, height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// Colour arithmetic.
Color Mix(Color a, Color b, double t);  // t = 0: a, t = 1: b
Color Scale(Color c, double f);         // brightness factor, clamped
// Nudges an opaque colour whose RGB565 equals the key's.
Color AvoidKey(Color c, Color key);

void SetColor(cairo_t* cr, Color c, double alpha = 1.0);
void FillRect(cairo_t* cr, double x, double y, double w, double h, Color c);
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A vertical (or horizontal) linear gradient set as the source.
void GradientV(cairo_t* cr, double y0, double y1, Color top, Color bottom);
void GradientH(cairo_t* cr, double x0, double x1, Color left, Color right);

// Crisp one-pixel bevel inside the rectangle: light top and left, dark
// bottom and right (swapped when sunken).
void Bevel(cairo_t* cr, int x, int y, int w, int h, Color light, Color dark);
// A recess around the rectangle (one or two pixels outside it): the frame
// the button faces sit in.
void Well(cairo_t* cr, int x, int y, int w, int h);
// A domed brass rivet.
void Rivet(cairo_t* cr, double cx, double cy, double r);
// A rounded brass plate with a dark rim and a bright inner edge.
void BrassPlate(cairo_t* cr, double x, double y, double w, double h, double r);
// A button face filling the rectangle exactly: steel-blue, bevelled,
// brighter and rimmed with gold when highlighted.
void ButtonFace(cairo_t* cr, int x, int y, int w, int h, bool highlighted);

// Text (UTF-8) centred on (cx, cy) by its width and cap height; the size
// shrinks to fit maxWidth when that is above 0. Shadow one pixel right and
// down when shadow is set.
void Text(cairo_t* cr, std::string_view utf8, double cx, double cy, double size, bool bold, Color fill,
          double maxWidth = 0, bool shadow = true, Color shadowColor = pal::kInk);

// A 5 x 7 bitmap digit (0..9, or 10 for '+') with its top-left at (x, y),
// with a one-pixel outline around it when outline is set.
void Digit(cairo_t* cr, int digit, int x, int y, Color fill, bool outline = true, Color outlineColor = pal::kInk);

// The sea surfaces of the cells: calm open water, and the raised closed tile.
void OpenWater(cairo_t* cr, double x, double y, bool waves);
void ClosedTile(cairo_t* cr, double x, double y, double brightness);

}  // namespace assets::paint
