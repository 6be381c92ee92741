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
  SDL_Surface* surface = nullptr;  // null: the text could not be rendered
  std::list<std::string>::iterator age;
  size_t bytes = 0;  // the surface's pixels and the key
  unsigned drawnIn = 0;  // the span of play it was last drawn in
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
      it->second.drawnIn = span_;
      return it->second.surface;
    }
    TTF_Font* font = Open(f);
    if (!font) return nullptr;
    const std::string utf8 = Cp1251ToUtf8(cp1251);
    // A text that cannot be rendered (too wide for a surface, say) is kept
    // as such, so it is not tried again every frame.
    SDL_Surface* s = TTF_RenderUTF8_Blended(font, utf8.c_str(), SDL_Color{f.color.r, f.color.g, f.color.b, 255});
    if (s) SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    const size_t bytes = key.size() + (s ? static_cast<size_t>(s->pitch) * static_cast<size_t>(s->h) : 0);
    ages_.push_front(key);
    texts_[key] = TextEntry{s, ages_.begin(), bytes, span_};
    bytes_ += bytes;
    // The oldest go first while there are too many, or they take too much.
    while (texts_.size() > 1 && (texts_.size() > kMaxTexts || bytes_ > kMaxBytes)) Drop(std::prev(ages_.end()));
    return s;
  }

  // Texts not drawn during the span of play now ending go; the most
  // recently used lead the age list, so the loop stops at the first text
  // drawn in it.
  void EndSpan() {
    while (!ages_.empty()) {
      auto oldest = std::prev(ages_.end());
      if (texts_.at(*oldest).drawnIn == span_) break;
      Drop(oldest);
    }
    ++span_;
  }

  size_t CachedBytes() const { return bytes_; }
  size_t CachedTexts() const { return texts_.size(); }

 private:
  // Enough for every panel text, the score digits and the chat line; and
  // a bound on what they may take, whatever the texts are.
  static constexpr size_t kMaxTexts = 256;
  static constexpr size_t kMaxBytes = 16u << 20;

  void Drop(std::list<std::string>::iterator age) {
    auto old = texts_.find(*age);
    bytes_ -= old->second.bytes;
    SDL_FreeSurface(old->second.surface);
    texts_.erase(old);
    ages_.erase(age);
  }

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
  size_t bytes_ = 0;
  unsigned span_ = 0;
};

FontSystem& Fonts() {
  static FontSystem fonts;
  return fonts;
}

}  // namespace

TTF_Font* OpenFont(const Font& font) { return Fonts().Open(font); }

SDL_Surface* RenderedText(const Font& font, std::string_view cp1251) { return Fonts().Render(font, cp1251); }

void ForgetUnusedTexts() { Fonts().EndSpan(); }

TextCacheUse TextCacheSize() { return TextCacheUse{Fonts().CachedTexts(), Fonts().CachedBytes()}; }

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
