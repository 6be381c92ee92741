#include "engine/font_cache.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <list>
#include <map>
#include <tuple>
#include <unordered_map>

#include "engine/text_codec.h"

namespace eng {

namespace {

// Asks fontconfig for the file of a face by name ("Arial" answers the
// metric-compatible face Debian ships).
std::string FindFontFile(const std::string& name, bool bold) {
  std::string path;
  if (!FcInit()) return path;
  FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
  if (!pat) return path;
  FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  if (match) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) path = reinterpret_cast<char*>(file);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pat);
  return path;
}

struct FontKey {
  std::string name;
  int size;
  bool bold;
  bool operator<(const FontKey& o) const { return std::tie(name, size, bold) < std::tie(o.name, o.size, o.bold); }
};

struct TextEntry {
  SDL_Surface* surface = nullptr;
  std::list<std::string>::iterator age;
};

class FontSystem {
 public:
  ~FontSystem() {
    for (auto& [key, entry] : texts_) SDL_FreeSurface(entry.surface);
    for (auto& [key, font] : fonts_)
      if (font) TTF_CloseFont(font);
    if (ttfStarted_) TTF_Quit();
  }

  TTF_Font* Open(const Font& f) {
    FontKey key{f.name, f.size, f.bold};
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    TTF_Font* font = nullptr;
    if (Start()) {
      const std::string file = FindFontFile(f.name, f.bold);
      // Points at 96 dpi, as the game's texts were laid out.
      if (!file.empty()) font = TTF_OpenFontDPI(file.c_str(), f.size > 0 ? f.size : 1, 96, 96);
    }
    fonts_[key] = font;
    return font;
  }

  SDL_Surface* Render(const Font& f, std::string_view cp1251) {
    if (cp1251.empty()) return nullptr;
    std::string key = f.name;
    key += '\0';
    key += std::to_string(f.size) + (f.bold ? "b" : "r") + std::to_string(f.color.r) + "," +
           std::to_string(f.color.g) + "," + std::to_string(f.color.b);
    key += '\0';
    key.append(cp1251);
    auto it = texts_.find(key);
    if (it != texts_.end()) {
      ages_.splice(ages_.begin(), ages_, it->second.age);
      return it->second.surface;
    }
    TTF_Font* font = Open(f);
    if (!font) return nullptr;
    const std::string utf8 = Cp1251ToUtf8(cp1251);
    SDL_Surface* s = TTF_RenderUTF8_Blended(font, utf8.c_str(), SDL_Color{f.color.r, f.color.g, f.color.b, 255});
    if (!s) return nullptr;
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    ages_.push_front(key);
    texts_[key] = TextEntry{s, ages_.begin()};
    while (texts_.size() > kMaxTexts) {
      auto old = texts_.find(ages_.back());
      SDL_FreeSurface(old->second.surface);
      texts_.erase(old);
      ages_.pop_back();
    }
    return s;
  }

 private:
  // Enough for every panel text, the score digits and the chat line.
  static constexpr size_t kMaxTexts = 256;

  bool Start() {
    if (!ttfStarted_ && !ttfFailed_) {
      ttfStarted_ = TTF_Init() == 0;
      ttfFailed_ = !ttfStarted_;
    }
    return ttfStarted_;
  }

  bool ttfStarted_ = false, ttfFailed_ = false;
  std::map<FontKey, TTF_Font*> fonts_;
  std::unordered_map<std::string, TextEntry> texts_;
  std::list<std::string> ages_;  // most recently used first
};

FontSystem& Fonts() {
  static FontSystem fonts;
  return fonts;
}

}  // namespace

TTF_Font* OpenFont(const Font& font) { return Fonts().Open(font); }

SDL_Surface* RenderedText(const Font& font, std::string_view cp1251) { return Fonts().Render(font, cp1251); }

void MeasureText(const Font& font, std::string_view cp1251, int* w, int* h) {
  *w = 0;
  *h = 0;
  TTF_Font* f = OpenFont(font);
  if (!f) return;
  const std::string utf8 = Cp1251ToUtf8(cp1251);
  if (!utf8.empty()) TTF_SizeUTF8(f, utf8.c_str(), w, h);
  if (*h == 0) *h = TTF_FontHeight(f);
}

}  // namespace eng
