// Off-screen RGB565 surface: panels, grids and the back surface are made of
// these. Copies can be opaque or go through the source's colour key.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "engine/types.h"

struct SDL_Surface;

namespace eng {

class Picture;
class Canvas;
class Composer;
struct DrawOp;
struct Font;

class Surface {
 public:
  Surface();
  Surface(int width, int height);
  ~Surface();
  Surface(Surface&&) noexcept;
  Surface& operator=(Surface&&) noexcept;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  void Create(int width, int height);  // black, no key
  void SetSize(int width, int height) { Create(width, height); }
  void Release();
  bool Exists() const { return surface_ != nullptr; }
  int Width() const;
  int Height() const;
  Rect ClientRect() const { return Rect{0, 0, Width(), Height()}; }

  // Takes the picture's size and pixels; keeps no colour key.
  void LoadFromPicture(const Picture& picture);
  // Takes the picture's pixels scaled over the whole current surface
  // (smooth, for the background and the logo).
  void StretchFromPicture(const Picture& picture);

  void SetColorKey(Color c);
  void ClearColorKey();
  std::optional<uint16_t> ColorKey() const;
  // The pixel value a colour maps to on this surface.
  uint16_t ColorMatch(Color c) const { return ToRGB565(c); }

  void Fill(Color c);
  void FillRect(Rect r, Color c);
  uint16_t GetPixel(int x, int y) const;  // 0 outside
  void SetPixel(int x, int y, Color c);
  Color GetColor(int x, int y) const { return FromRGB565(GetPixel(x, y)); }

  // Draws src (or one rectangle of it) with its top-left corner at (x, y),
  // clipped to this surface; keyed uses the source's colour key.
  void Draw(int x, int y, const Surface& src, bool keyed);
  void Draw(int x, int y, const Surface& src, Rect srcRect, bool keyed);
  // Scales a rectangle of src over dst (nearest pixel).
  void StretchDraw(Rect dst, const Surface& src, Rect srcRect, bool keyed);
  // Blends a rectangle of src into dst with alpha 0..255 (255 opaque),
  // through the source's colour key when it has one and keyed is set.
  void DrawAlpha(Rect dst, const Surface& src, Rect srcRect, int alpha, bool keyed);

  // Text and pen drawing on this surface.
  Canvas& GetCanvas();
  // A text already rendered for the font (the canvas's way of drawing it).
  void DrawText(int x, int y, SDL_Surface* rendered, const Font& font, std::string_view text);

  SDL_Surface* Sdl() const { return surface_; }

  // Changes whenever the pixels or the colour key change; no two contents
  // of any surfaces share a stamp, so equal stamps mean equal pictures.
  uint64_t Stamp() const { return stamp_; }
  // While a composer records on this surface, drawing on it is kept as a
  // list of calls that the composer carries out when the frame ends.
  void RecordInto(Composer* composer) { recorder_ = composer; }
  Composer* Recorder() const { return recorder_; }
  // Carries out one kept call, within the surface's clip rectangle.
  void Replay(const DrawOp& op);
  // Limits what Replay touches; an empty rectangle lifts the limit.
  void SetClip(Rect r);

 private:
  // Every change goes through here: a new stamp, and pixels still held by
  // a composer's calls are left to it (the surface takes a copy).
  void Write();
  void NewStamp();
  // Keeps the call for the recording composer, or draws it now.
  void Submit(DrawOp&& op);

  SDL_Surface* surface_ = nullptr;
  uint16_t key_ = 0;     // black unless set: the key of keyed copies
  bool keySet_ = false;  // a key was given (kept across resizes and reloads)
  uint64_t stamp_ = 0;
  Composer* recorder_ = nullptr;
  std::unique_ptr<Canvas> canvas_;
};

}  // namespace eng
