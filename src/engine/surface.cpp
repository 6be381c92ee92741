#include "engine/surface.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "engine/canvas.h"
#include "engine/picture.h"

namespace eng {

namespace {

SDL_Surface* NewSurface565(int w, int h) {
  if (w <= 0 || h <= 0) return nullptr;
  return SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
}

SDL_Rect ToSdl(Rect r) { return SDL_Rect{r.x, r.y, r.w, r.h}; }

// Sets the source up for one opaque or keyed copy.
void PrepareSource(SDL_Surface* src, bool keyed, uint16_t key) {
  SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
  SDL_SetSurfaceAlphaMod(src, 255);
  SDL_SetColorKey(src, keyed ? SDL_TRUE : SDL_FALSE, key);
}

}  // namespace

Surface::Surface() = default;
Surface::Surface(int width, int height) { Create(width, height); }
Surface::~Surface() { Release(); }

// A canvas is bound to its surface object, so it does not move along.
Surface::Surface(Surface&& o) noexcept : surface_(o.surface_), key_(o.key_), keySet_(o.keySet_) {
  o.surface_ = nullptr;
  o.canvas_.reset();
}

Surface& Surface::operator=(Surface&& o) noexcept {
  if (this != &o) {
    Release();
    surface_ = o.surface_;
    key_ = o.key_;
    keySet_ = o.keySet_;
    o.surface_ = nullptr;
    o.canvas_.reset();
  }
  return *this;
}

void Surface::Create(int width, int height) {
  // The key is kept across a resize: panels set it once.
  if (surface_) SDL_FreeSurface(surface_);
  surface_ = NewSurface565(width, height);
  if (surface_) SDL_FillRect(surface_, nullptr, 0);
}

void Surface::Release() {
  if (surface_) SDL_FreeSurface(surface_);
  surface_ = nullptr;
}

int Surface::Width() const { return surface_ ? surface_->w : 0; }
int Surface::Height() const { return surface_ ? surface_->h : 0; }

void Surface::LoadFromPicture(const Picture& picture) {
  if (!surface_ || surface_->w != picture.Width() || surface_->h != picture.Height())
    Create(picture.Width(), picture.Height());
  if (!surface_) return;
  SDL_ConvertPixels(picture.Width(), picture.Height(), SDL_PIXELFORMAT_RGB24, picture.Pixels(), picture.Pitch(),
                    SDL_PIXELFORMAT_RGB565, surface_->pixels, surface_->pitch);
}

void Surface::StretchFromPicture(const Picture& picture) {
  if (!surface_ || picture.Empty()) return;
  // Scale smoothly at 32 bits, then bring the result down to 16.
  SDL_Surface* src = SDL_CreateRGBSurfaceWithFormat(0, picture.Width(), picture.Height(), 32, SDL_PIXELFORMAT_XRGB8888);
  SDL_Surface* big = SDL_CreateRGBSurfaceWithFormat(0, surface_->w, surface_->h, 32, SDL_PIXELFORMAT_XRGB8888);
  if (src && big) {
    SDL_ConvertPixels(picture.Width(), picture.Height(), SDL_PIXELFORMAT_RGB24, picture.Pixels(), picture.Pitch(),
                      SDL_PIXELFORMAT_XRGB8888, src->pixels, src->pitch);
    if (SDL_SoftStretchLinear(src, nullptr, big, nullptr) != 0) SDL_SoftStretch(src, nullptr, big, nullptr);
    SDL_ConvertPixels(big->w, big->h, SDL_PIXELFORMAT_XRGB8888, big->pixels, big->pitch, SDL_PIXELFORMAT_RGB565,
                      surface_->pixels, surface_->pitch);
  }
  SDL_FreeSurface(src);
  SDL_FreeSurface(big);
}

void Surface::SetColorKey(Color c) {
  key_ = ToRGB565(c);
  keySet_ = true;
}

void Surface::ClearColorKey() {
  key_ = 0;
  keySet_ = false;
}

std::optional<uint16_t> Surface::ColorKey() const {
  if (!keySet_) return std::nullopt;
  return key_;
}

void Surface::Fill(Color c) {
  if (surface_) SDL_FillRect(surface_, nullptr, ToRGB565(c));
}

void Surface::FillRect(Rect r, Color c) {
  if (!surface_) return;
  SDL_Rect sr = ToSdl(r);
  SDL_FillRect(surface_, &sr, ToRGB565(c));
}

uint16_t Surface::GetPixel(int x, int y) const {
  if (!surface_ || x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return 0;
  const auto* row = static_cast<const uint8_t*>(surface_->pixels) + static_cast<ptrdiff_t>(y) * surface_->pitch;
  return reinterpret_cast<const uint16_t*>(row)[x];
}

void Surface::SetPixel(int x, int y, Color c) {
  if (!surface_ || x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return;
  auto* row = static_cast<uint8_t*>(surface_->pixels) + static_cast<ptrdiff_t>(y) * surface_->pitch;
  reinterpret_cast<uint16_t*>(row)[x] = ToRGB565(c);
}

void Surface::Draw(int x, int y, const Surface& src, bool keyed) { Draw(x, y, src, src.ClientRect(), keyed); }

void Surface::Draw(int x, int y, const Surface& src, Rect srcRect, bool keyed) {
  if (!surface_ || !src.surface_ || srcRect.w <= 0 || srcRect.h <= 0) return;
  if (!keyed && CopyRows(x, y, src, srcRect)) return;
  PrepareSource(src.surface_, keyed, src.key_);
  SDL_Rect s = ToSdl(srcRect);
  SDL_Rect d{x, y, srcRect.w, srcRect.h};
  SDL_BlitSurface(src.surface_, &s, surface_, &d);
}

// An opaque copy between two 16-bit surfaces is rows of plain memory
// copies: cached stores, so the frame stays warm for what is drawn over it
// and for the presenter's comparison.
bool Surface::CopyRows(int x, int y, const Surface& src, Rect r) {
  if (src.surface_ == surface_) return false;
  // Clip the source rectangle to the source, then to this surface.
  if (r.x < 0) { r.w += r.x; x -= r.x; r.x = 0; }
  if (r.y < 0) { r.h += r.y; y -= r.y; r.y = 0; }
  r.w = std::min(r.w, src.surface_->w - r.x);
  r.h = std::min(r.h, src.surface_->h - r.y);
  if (x < 0) { r.x -= x; r.w += x; x = 0; }
  if (y < 0) { r.y -= y; r.h += y; y = 0; }
  r.w = std::min(r.w, surface_->w - x);
  r.h = std::min(r.h, surface_->h - y);
  if (r.w <= 0 || r.h <= 0) return true;
  const auto* from = static_cast<const uint8_t*>(src.surface_->pixels) + static_cast<ptrdiff_t>(r.y) * src.surface_->pitch + r.x * 2;
  auto* to = static_cast<uint8_t*>(surface_->pixels) + static_cast<ptrdiff_t>(y) * surface_->pitch + x * 2;
  for (int row = 0; row < r.h; ++row) {
    std::memcpy(to, from, static_cast<size_t>(r.w) * 2);
    from += src.surface_->pitch;
    to += surface_->pitch;
  }
  return true;
}

// A copy that scales only when the sizes differ.
void Surface::BlitFitted(const Surface& src, Rect srcRect, Rect dst) {
  SDL_Rect s = ToSdl(srcRect);
  SDL_Rect d = ToSdl(dst);
  if (s.w == d.w && s.h == d.h)
    SDL_BlitSurface(src.surface_, &s, surface_, &d);
  else
    SDL_BlitScaled(src.surface_, &s, surface_, &d);
}

void Surface::StretchDraw(Rect dst, const Surface& src, Rect srcRect, bool keyed) {
  if (!surface_ || !src.surface_ || dst.w <= 0 || dst.h <= 0 || srcRect.w <= 0 || srcRect.h <= 0) return;
  PrepareSource(src.surface_, keyed, src.key_);
  BlitFitted(src, srcRect, dst);
}

void Surface::DrawAlpha(Rect dst, const Surface& src, Rect srcRect, int alpha, bool keyed) {
  if (!surface_ || !src.surface_ || alpha <= 0) return;
  if (alpha >= 255) {
    StretchDraw(dst, src, srcRect, keyed);
    return;
  }
  PrepareSource(src.surface_, keyed, src.key_);
  SDL_SetSurfaceBlendMode(src.surface_, SDL_BLENDMODE_BLEND);
  SDL_SetSurfaceAlphaMod(src.surface_, static_cast<Uint8>(alpha));
  BlitFitted(src, srcRect, dst);
  SDL_SetSurfaceAlphaMod(src.surface_, 255);
  SDL_SetSurfaceBlendMode(src.surface_, SDL_BLENDMODE_NONE);
}

Canvas& Surface::GetCanvas() {
  if (!canvas_) canvas_ = std::make_unique<Canvas>(*this);
  return *canvas_;
}

}  // namespace eng
