// Fonts found by name through fontconfig and the texts already rendered
// with them. Internal to the engine.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/canvas.h"

struct SDL_Surface;
typedef struct _TTF_Font TTF_Font;

namespace eng {

// The font of the given face, size (points at 96 dpi) and weight; null when
// no font could be opened.
TTF_Font* OpenFont(const Font& font);
// The text rendered in the font's colour on a transparent ground (ARGB),
// owned by the cache; null for an empty text or when no font is found.
SDL_Surface* RenderedText(const Font& font, std::string_view cp1251);
// What the rendered texts kept take: how many, and their bytes.
struct TextCacheUse {
  size_t texts = 0;
  size_t bytes = 0;
};
TextCacheUse TextCacheSize();
// Width and height of the text in the font.
void MeasureText(const Font& font, std::string_view cp1251, int* w, int* h);

}  // namespace eng
