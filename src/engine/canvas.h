// Text and pen drawing on a surface. Texts are Windows-1251 bytes, as the
// game keeps them; sizes are points at 96 dpi. Rendered texts are cached,
// so a panel repainted with the same words costs a copy, not a rasteriser.
#pragma once
#include <string>
#include <string_view>

#include "engine/types.h"

namespace eng {

class Surface;

struct Font {
  std::string name = "Arial";
  int size = 9;  // points
  bool bold = false;
  Color color = kBlack;
  bool operator==(const Font&) const = default;
};

class Canvas {
 public:
  explicit Canvas(Surface& surface) : surface_(surface) {}

  Font font;
  bool brushClear = true;   // text drawn without a background box
  Color brushColor = kWhite;
  Color penColor = kBlack;
  int penWidth = 1;

  void TextOut(int x, int y, std::string_view text);
  int TextWidth(std::string_view text);
  int TextHeight(std::string_view text);

  // A line from (x1, y1) towards (x2, y2), the end point not drawn; no
  // antialiasing, so colour keys stay exact.
  void Line(int x1, int y1, int x2, int y2);
  // The outline of the ellipse bounded by the rectangle, pen colour and width.
  void Ellipse(int left, int top, int right, int bottom);
  void Pixel(int x, int y, Color c);
  // Kept for the callers' habit of releasing a canvas before copying.
  void Release() {}

 private:
  Surface& surface_;
};

// Rendered texts are kept while they are drawn; those not drawn since the
// last call are let go (a new game calls it: the last game's scores and
// chat lines are not drawn again, the panel's texts are).
void ForgetUnusedTexts();

}  // namespace eng
