#include "engine/surface.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "engine/canvas.h"
#include "engine/composer.h"
#include "engine/picture.h"

namespace eng {

namespace {

SDL_Surface* NewSurface565(int w, int h) {
  if (w <= 0 || h <= 0) return nullptr;
  return SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
}

SDL_Rect ToSdl(Rect r) { return SDL_Rect{r.x, r.y, r.w, r.h}; }

Rect Intersect(Rect a, Rect b) {
  const int x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
  const int x1 = std::min(a.Right(), b.Right()), y1 = std::min(a.Bottom(), b.Bottom());
  if (x1 <= x0 || y1 <= y0) return Rect{};
  return Rect{x0, y0, x1 - x0, y1 - y0};
}

// Sets the source up for one opaque or keyed copy.
void PrepareSource(SDL_Surface* src, bool keyed, uint16_t key) {
  SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
  SDL_SetSurfaceAlphaMod(src, 255);
  SDL_SetColorKey(src, keyed ? SDL_TRUE : SDL_FALSE, key);
}

// The pixels a copy of the source rectangle to (x, y) lands on: the
// rectangle clipped to the source, then to the destination's clip.
Rect CopiedArea(int x, int y, const SDL_Surface* src, Rect r, Rect clip) {
  if (r.x < 0) { r.w += r.x; x -= r.x; r.x = 0; }
  if (r.y < 0) { r.h += r.y; y -= r.y; r.y = 0; }
  r.w = std::min(r.w, src->w - r.x);
  r.h = std::min(r.h, src->h - r.y);
  if (r.w <= 0 || r.h <= 0) return Rect{};
  return Intersect(Rect{x, y, r.w, r.h}, clip);
}

// An opaque copy between two 16-bit surfaces is rows of plain memory
// copies: cached stores, so the frame stays warm for what is drawn over it
// and for the presenter's comparison.
void CopyRows(SDL_Surface* dst, int x, int y, const SDL_Surface* src, Rect r) {
  const Rect clip{dst->clip_rect.x, dst->clip_rect.y, dst->clip_rect.w, dst->clip_rect.h};
  const Rect to = CopiedArea(x, y, src, r, clip);
  if (to.w <= 0 || to.h <= 0) return;
  const int sx = r.x + (to.x - x), sy = r.y + (to.y - y);
  const auto* from = static_cast<const uint8_t*>(src->pixels) + static_cast<ptrdiff_t>(sy) * src->pitch + sx * 2;
  auto* out = static_cast<uint8_t*>(dst->pixels) + static_cast<ptrdiff_t>(to.y) * dst->pitch + to.x * 2;
  for (int row = 0; row < to.h; ++row) {
    std::memcpy(out, from, static_cast<size_t>(to.w) * 2);
    from += src->pitch;
    out += dst->pitch;
  }
}

// A copy that scales only when the sizes differ.
void BlitFitted(SDL_Surface* dst, SDL_Surface* src, Rect srcRect, Rect to) {
  SDL_Rect s = ToSdl(srcRect);
  SDL_Rect d = ToSdl(to);
  if (s.w == d.w && s.h == d.h)
    SDL_BlitSurface(src, &s, dst, &d);
  else
    SDL_BlitScaled(src, &s, dst, &d);
}

std::atomic<uint64_t> stamps{0};

}  // namespace

Surface::Surface() = default;
Surface::Surface(int width, int height) { Create(width, height); }
Surface::~Surface() { Release(); }

// A canvas is bound to its surface object, so it does not move along.
Surface::Surface(Surface&& o) noexcept : surface_(o.surface_), key_(o.key_), keySet_(o.keySet_), stamp_(o.stamp_) {
  o.surface_ = nullptr;
  o.stamp_ = 0;
  o.canvas_.reset();
}

Surface& Surface::operator=(Surface&& o) noexcept {
  if (this != &o) {
    Release();
    surface_ = o.surface_;
    key_ = o.key_;
    keySet_ = o.keySet_;
    stamp_ = o.stamp_;
    o.surface_ = nullptr;
    o.stamp_ = 0;
    o.canvas_.reset();
  }
  return *this;
}

void Surface::NewStamp() { stamp_ = ++stamps; }

void Surface::Write() {
  // A composer still holds these pixels for a call it keeps: it keeps them
  // as they are, and this surface goes on with a copy.
  if (surface_ && surface_->refcount > 1) {
    SDL_Surface* copy = NewSurface565(surface_->w, surface_->h);
    if (copy) {
      for (int row = 0; row < surface_->h; ++row)
        std::memcpy(static_cast<uint8_t*>(copy->pixels) + static_cast<ptrdiff_t>(row) * copy->pitch,
                    static_cast<const uint8_t*>(surface_->pixels) + static_cast<ptrdiff_t>(row) * surface_->pitch,
                    static_cast<size_t>(surface_->w) * 2);
      SDL_SetClipRect(copy, &surface_->clip_rect);
      SDL_FreeSurface(surface_);
      surface_ = copy;
    }
  }
  NewStamp();
}

void Surface::Create(int width, int height) {
  // The key is kept across a resize: panels set it once.
  if (surface_) SDL_FreeSurface(surface_);
  surface_ = NewSurface565(width, height);
  if (surface_) SDL_FillRect(surface_, nullptr, 0);
  NewStamp();
}

void Surface::Release() {
  if (surface_) SDL_FreeSurface(surface_);
  surface_ = nullptr;
  NewStamp();
}

int Surface::Width() const { return surface_ ? surface_->w : 0; }
int Surface::Height() const { return surface_ ? surface_->h : 0; }

void Surface::LoadFromPicture(const Picture& picture) {
  if (!surface_ || surface_->w != picture.Width() || surface_->h != picture.Height())
    Create(picture.Width(), picture.Height());
  if (!surface_) return;
  Write();
  SDL_ConvertPixels(picture.Width(), picture.Height(), SDL_PIXELFORMAT_RGB24, picture.Pixels(), picture.Pitch(),
                    SDL_PIXELFORMAT_RGB565, surface_->pixels, surface_->pitch);
}

void Surface::StretchFromPicture(const Picture& picture) {
  if (!surface_ || picture.Empty()) return;
  Write();
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
  NewStamp();
}

void Surface::ClearColorKey() {
  key_ = 0;
  keySet_ = false;
  NewStamp();
}

std::optional<uint16_t> Surface::ColorKey() const {
  if (!keySet_) return std::nullopt;
  return key_;
}

void Surface::Fill(Color c) { FillRect(ClientRect(), c); }

void Surface::FillRect(Rect r, Color c) {
  if (!surface_) return;
  DrawOp op;
  op.kind = DrawOp::Kind::Fill;
  op.value = ToRGB565(c);
  op.dst = r;
  op.area = Intersect(r, ClientRect());
  Submit(std::move(op));
}

uint16_t Surface::GetPixel(int x, int y) const {
  if (!surface_ || x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return 0;
  const auto* row = static_cast<const uint8_t*>(surface_->pixels) + static_cast<ptrdiff_t>(y) * surface_->pitch;
  return reinterpret_cast<const uint16_t*>(row)[x];
}

void Surface::SetPixel(int x, int y, Color c) {
  if (!surface_ || x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return;
  if (recorder_) {
    FillRect(Rect{x, y, 1, 1}, c);
    return;
  }
  Write();
  auto* row = static_cast<uint8_t*>(surface_->pixels) + static_cast<ptrdiff_t>(y) * surface_->pitch;
  reinterpret_cast<uint16_t*>(row)[x] = ToRGB565(c);
}

void Surface::Draw(int x, int y, const Surface& src, bool keyed) { Draw(x, y, src, src.ClientRect(), keyed); }

void Surface::Draw(int x, int y, const Surface& src, Rect srcRect, bool keyed) {
  if (!surface_ || !src.surface_ || srcRect.w <= 0 || srcRect.h <= 0) return;
  DrawOp op;
  op.kind = DrawOp::Kind::Copy;
  op.keyed = keyed;
  op.value = src.key_;
  op.x = x;
  op.y = y;
  op.src = srcRect;
  op.area = CopiedArea(x, y, src.surface_, srcRect, ClientRect());
  op.pixels = src.surface_;
  op.stamp = src.stamp_;
  Submit(std::move(op));
}

void Surface::StretchDraw(Rect dst, const Surface& src, Rect srcRect, bool keyed) {
  if (!surface_ || !src.surface_ || dst.w <= 0 || dst.h <= 0 || srcRect.w <= 0 || srcRect.h <= 0) return;
  DrawOp op;
  op.kind = DrawOp::Kind::Stretch;
  op.keyed = keyed;
  op.value = src.key_;
  op.dst = dst;
  op.src = srcRect;
  op.area = Intersect(dst, ClientRect());
  op.pixels = src.surface_;
  op.stamp = src.stamp_;
  Submit(std::move(op));
}

void Surface::DrawAlpha(Rect dst, const Surface& src, Rect srcRect, int alpha, bool keyed) {
  if (!surface_ || !src.surface_ || alpha <= 0) return;
  if (alpha >= 255) {
    StretchDraw(dst, src, srcRect, keyed);
    return;
  }
  DrawOp op;
  op.kind = DrawOp::Kind::Blend;
  op.keyed = keyed;
  op.alpha = static_cast<uint8_t>(alpha);
  op.value = src.key_;
  op.dst = dst;
  op.src = srcRect;
  op.area = Intersect(dst, ClientRect());
  op.pixels = src.surface_;
  op.stamp = src.stamp_;
  Submit(std::move(op));
}

void Surface::DrawText(int x, int y, SDL_Surface* rendered, const Font& font, std::string_view text) {
  if (!surface_ || !rendered) return;
  DrawOp op;
  op.kind = DrawOp::Kind::Text;
  op.x = x;
  op.y = y;
  op.src = Rect{0, 0, rendered->w, rendered->h};
  op.area = Intersect(Rect{x, y, rendered->w, rendered->h}, ClientRect());
  op.pixels = rendered;
  op.text = text;
  op.font = font;
  Submit(std::move(op));
}

void Surface::Submit(DrawOp&& op) {
  if (recorder_)
    recorder_->Add(std::move(op));
  else
    Replay(op);
}

void Surface::SetClip(Rect r) {
  if (!surface_) return;
  if (r.w <= 0 || r.h <= 0) {
    SDL_SetClipRect(surface_, nullptr);
    return;
  }
  SDL_Rect c = ToSdl(r);
  SDL_SetClipRect(surface_, &c);
}

void Surface::Replay(const DrawOp& op) {
  if (!surface_ || (op.kind != DrawOp::Kind::Fill && !op.pixels)) return;
  Write();
  switch (op.kind) {
    case DrawOp::Kind::Copy:
      if (!op.keyed && op.pixels != surface_) {
        CopyRows(surface_, op.x, op.y, op.pixels, op.src);
      } else {
        PrepareSource(op.pixels, op.keyed, op.value);
        SDL_Rect s = ToSdl(op.src);
        SDL_Rect d{op.x, op.y, op.src.w, op.src.h};
        SDL_BlitSurface(op.pixels, &s, surface_, &d);
      }
      break;
    case DrawOp::Kind::Stretch:
      PrepareSource(op.pixels, op.keyed, op.value);
      BlitFitted(surface_, op.pixels, op.src, op.dst);
      break;
    case DrawOp::Kind::Blend:
      PrepareSource(op.pixels, op.keyed, op.value);
      SDL_SetSurfaceBlendMode(op.pixels, SDL_BLENDMODE_BLEND);
      SDL_SetSurfaceAlphaMod(op.pixels, op.alpha);
      BlitFitted(surface_, op.pixels, op.src, op.dst);
      SDL_SetSurfaceAlphaMod(op.pixels, 255);
      SDL_SetSurfaceBlendMode(op.pixels, SDL_BLENDMODE_NONE);
      break;
    case DrawOp::Kind::Fill: {
      SDL_Rect r = ToSdl(op.dst);
      SDL_FillRect(surface_, &r, op.value);
      break;
    }
    case DrawOp::Kind::Text: {
      SDL_Rect d{op.x, op.y, op.pixels->w, op.pixels->h};
      SDL_BlitSurface(op.pixels, nullptr, surface_, &d);
      break;
    }
  }
}

Canvas& Surface::GetCanvas() {
  if (!canvas_) canvas_ = std::make_unique<Canvas>(*this);
  return *canvas_;
}

}  // namespace eng
