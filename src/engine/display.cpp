#include "engine/display.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "engine/keys.h"
#include "engine/picture.h"

namespace eng {

struct Display::Impl {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  SDL_Cursor* appCursor = nullptr;
  bool ownsVideo = false;
};

namespace {

int ToKey(SDL_Keycode k) {
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
  switch (k) {
    case SDLK_BACKSPACE: return kKeyBackspace;
    case SDLK_TAB: return kKeyTab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return kKeyEnter;
    case SDLK_ESCAPE: return kKeyEscape;
    case SDLK_SPACE: return kKeySpace;
    case SDLK_END: return kKeyEnd;
    case SDLK_HOME: return kKeyHome;
    case SDLK_LEFT: return kKeyLeft;
    case SDLK_UP: return kKeyUp;
    case SDLK_RIGHT: return kKeyRight;
    case SDLK_DOWN: return kKeyDown;
    case SDLK_DELETE: return kKeyDelete;
    case SDLK_F1: return kKeyF1;
    case SDLK_F2: return kKeyF2;
    case SDLK_F5: return kKeyF5;
    default: return 0;  // typed characters arrive as text input
  }
}

unsigned ButtonBit(int button) {
  switch (button) {
    case kMouseLeft: return kShiftLeft;
    case kMouseRight: return kShiftRight;
    case kMouseMiddle: return kShiftMiddle;
    default: return 0;
  }
}

unsigned KeyShift() {
  const SDL_Keymod m = SDL_GetModState();
  unsigned s = 0;
  if (m & KMOD_SHIFT) s |= kShiftShift;
  if (m & KMOD_ALT) s |= kShiftAlt;
  if (m & KMOD_CTRL) s |= kShiftCtrl;
  return s;
}

}  // namespace

Display::Display(DisplayHandler& handler, Clock& clock)
    : handler_(handler), clock_(clock), impl_(std::make_unique<Impl>()) {}

Display::~Display() {
  if (initialized_) Finalize();
  DestroyPresenter();
  if (impl_->appCursor) SDL_FreeCursor(impl_->appCursor);
  if (impl_->window) SDL_DestroyWindow(impl_->window);
  if (impl_->ownsVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool Display::CreateWindow() {
  if (impl_->window) return true;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    impl_->ownsVideo = true;
  }
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  const Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | (fullScreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  // The renderer SDL tries first draws with OpenGL where it can: a window
  // made for it at once is not made anew (and mapped again) by the renderer.
  SDL_RendererInfo first;
  const bool gl = SDL_GetRenderDriverInfo(0, &first) == 0 && first.name && std::strcmp(first.name, "software") != 0;
  if (gl)
    impl_->window = SDL_CreateWindow("Salvora", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth, kHeight,
                                     flags | SDL_WINDOW_OPENGL);
  if (!impl_->window)
    impl_->window = SDL_CreateWindow("Salvora", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth, kHeight, flags);
  if (!impl_->window) return false;
  SDL_DisplayMode mode;
  if (SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(impl_->window), &mode) == 0 && mode.refresh_rate > 0)
    refreshRate_ = mode.refresh_rate;
  SDL_ShowCursor(SDL_DISABLE);
  return true;
}

bool Display::CreatePresenter() {
  if (impl_->renderer) return true;
  impl_->renderer = SDL_CreateRenderer(impl_->window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!impl_->renderer) impl_->renderer = SDL_CreateRenderer(impl_->window, -1, 0);
  if (!impl_->renderer) impl_->renderer = SDL_CreateRenderer(impl_->window, -1, SDL_RENDERER_SOFTWARE);
  if (!impl_->renderer) return false;
  SDL_RendererInfo info;
  vsync_ = SDL_GetRendererInfo(impl_->renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC);
  // Letterboxed 4:3 scaling; SDL maps mouse positions back to frame pixels.
  SDL_RenderSetLogicalSize(impl_->renderer, kWidth, kHeight);
  impl_->texture =
      SDL_CreateTexture(impl_->renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight);
  return impl_->texture != nullptr;
}

void Display::DestroyPresenter() {
  if (impl_->texture) SDL_DestroyTexture(impl_->texture);
  if (impl_->renderer) SDL_DestroyRenderer(impl_->renderer);
  impl_->texture = nullptr;
  impl_->renderer = nullptr;
}

bool Display::Prepare(bool fullScreen) {
  if (initialized_ || impl_->window) return impl_->window != nullptr;
  fullScreen_ = fullScreen;
  prepared_ = true;
  return CreateWindow() && CreatePresenter();
}

bool Display::ShowPicture(const Picture& picture) {
  if (initialized_ || !impl_->texture || picture.Empty()) return false;
  back_.Create(kWidth, kHeight);
  back_.StretchFromPicture(picture);
  shown_.clear();
  Upload({});
  SDL_SetRenderDrawColor(impl_->renderer, 0, 0, 0, 255);
  SDL_RenderClear(impl_->renderer);
  SDL_RenderCopy(impl_->renderer, impl_->texture, nullptr, nullptr);
  SDL_RenderPresent(impl_->renderer);
  return true;
}

bool Display::Initialize(bool fullScreen) {
  if (initialized_) return true;
  shown_.clear();
  // A window prepared in this mode is taken as it is.
  const bool hadWindow = impl_->window != nullptr && !(prepared_ && fullScreen == fullScreen_);
  prepared_ = false;
  fullScreen_ = fullScreen;
  if (!CreateWindow()) return false;
  // A new window was made in the mode asked for. An old one changes mode;
  // a window manager that ignores a change costs a wait of its own, so the
  // first start asks for none.
  if (hadWindow) {
    SDL_SetWindowFullscreen(impl_->window, fullScreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    SDL_SetWindowBordered(impl_->window, fullScreen_ ? SDL_FALSE : SDL_TRUE);
    if (!fullScreen_) {
      SDL_SetWindowSize(impl_->window, kWidth, kHeight);
      SDL_SetWindowPosition(impl_->window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
  }
  if (!CreatePresenter()) return false;
  back_.Create(kWidth, kHeight);
  initialized_ = true;
  nextFrame_ = clock_.Ticks();
  LifeCycle(&DisplayHandler::DXDrawInitialize);
  LifeCycle(&DisplayHandler::DXDrawRestoreSurface);
  CheckReady();
  return true;
}

void Display::Finalize() {
  if (!initialized_) return;
  LifeCycle(&DisplayHandler::DXDrawFinalize);
  initialized_ = false;
  CheckReady();
}

void Display::CheckReady() {
  const bool ready = Ready();
  if (ready == wasReady_) return;
  wasReady_ = ready;
  handler_.ReadyChanged(ready);
  if (&Current() != &handler_) Current().ReadyChanged(ready);
}

void Display::SetFullScreen(bool fullScreen) {
  Finalize();
  Initialize(fullScreen);
}

bool Display::Ready() const {
  if (!initialized_ || !impl_->window) return false;
  const Uint32 flags = SDL_GetWindowFlags(impl_->window);
  return !(flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN));
}

void Display::BeginFrame() {
  if (initialized_ && back_.Exists()) composer_.Begin(back_);
}

void Display::Present() {
  const Rect whole{0, 0, kWidth, kHeight};
  std::vector<Rect> damage;
  if (composer_.Recording())
    damage = composer_.Finish();
  else
    damage.push_back(whole);
  frameChanged_ = false;
  if (!initialized_ || !impl_->texture || !back_.Exists()) return;
  frameChanged_ = Upload(damage);
  if (frameChanged_ && windowCopy_) {
    SDL_SetRenderDrawColor(impl_->renderer, 0, 0, 0, 255);
    SDL_RenderClear(impl_->renderer);
    SDL_RenderCopy(impl_->renderer, impl_->texture, nullptr, nullptr);
    SDL_RenderPresent(impl_->renderer);
  }
  Pace();
}

bool Display::Upload(const std::vector<Rect>& damage) {
  SDL_Surface* s = back_.Sdl();
  const size_t pitch = static_cast<size_t>(s->pitch);
  const auto* pixels = static_cast<const uint8_t*>(s->pixels);
  auto* shown = reinterpret_cast<uint8_t*>(shown_.data());
  if (shown_.size() * 2 != pitch * s->h) {
    // Nothing shown yet, or the window may have lost it: all of it.
    shown_.resize(pitch * s->h / 2);
    std::memcpy(shown_.data(), pixels, pitch * s->h);
    SDL_UpdateTexture(impl_->texture, nullptr, pixels, s->pitch);
    return true;
  }
  // Within each damaged rectangle (they do not overlap), the runs of rows
  // that differ from the frame shown go up, as wide as the rectangle.
  bool changed = false;
  for (Rect r : damage) {
    const int x0 = std::max(0, r.x), x1 = std::min(s->w, r.Right());
    const int y0 = std::max(0, r.y), y1 = std::min(s->h, r.Bottom());
    if (x1 <= x0 || y1 <= y0) continue;
    const size_t offset = static_cast<size_t>(x0) * 2, width = static_cast<size_t>(x1 - x0) * 2;
    auto differs = [&](int y) { return std::memcmp(shown + y * pitch + offset, pixels + y * pitch + offset, width) != 0; };
    int y = y0;
    while (y < y1) {
      if (!differs(y)) {
        ++y;
        continue;
      }
      int end = y + 1;
      while (end < y1 && differs(end)) ++end;
      for (int row = y; row < end; ++row) std::memcpy(shown + row * pitch + offset, pixels + row * pitch + offset, width);
      SDL_Rect rows{x0, y, x1 - x0, end - y};
      SDL_UpdateTexture(impl_->texture, &rows, pixels + y * pitch + offset, s->pitch);
      changed = true;
      y = end;
    }
  }
  return changed;
}

void Display::ShowAgain() {
  // The frame kept for the comparison is the frame on the screen, row
  // pitch and all.
  const SDL_Surface* s = back_.Exists() ? back_.Sdl() : nullptr;
  if (!impl_->texture || !impl_->renderer || !s || shown_.size() * 2 != static_cast<size_t>(s->pitch) * s->h) {
    shown_.clear();
    return;
  }
  SDL_UpdateTexture(impl_->texture, nullptr, shown_.data(), s->pitch);
  SDL_SetRenderDrawColor(impl_->renderer, 0, 0, 0, 255);
  SDL_RenderClear(impl_->renderer);
  SDL_RenderCopy(impl_->renderer, impl_->texture, nullptr, nullptr);
  SDL_RenderPresent(impl_->renderer);
}

void Display::Pace() {
  // Pace to the refresh rate by sleeping. With working vsync the present
  // has already waited and nothing is left to sleep; a driver that claims
  // vsync but does not wait still never spins a core.
  const double period = 1000.0 / std::max(1, refreshRate_);
  const double now = clock_.Ticks();
  nextFrame_ += period;
  // Fell behind, or the 32-bit tick count has wrapped (after 49.7 days) and
  // reads far less than the frame due: start afresh, never sleep for weeks.
  if (nextFrame_ < now - period || nextFrame_ > now + 2 * period) nextFrame_ = now;
  const double wait = nextFrame_ - now;
  if (wait >= 2.0) clock_.Sleep(static_cast<uint32_t>(wait));
}

bool Display::PumpEvents(int waitMs) {
  bool quit = false;
  SDL_Event e;
  bool have = waitMs > 0 ? SDL_WaitEventTimeout(&e, waitMs) != 0 : SDL_PollEvent(&e) != 0;
  while (have) {
    if (e.type == SDL_QUIT) quit = true;
    Dispatch(&e);
    have = SDL_PollEvent(&e) != 0;
  }
  // The window's state changes with its events; a change that came with
  // none is still seen here.
  CheckReady();
  return !quit;
}

void Display::Dispatch(const void* sdlEvent) {
  const SDL_Event& e = *static_cast<const SDL_Event*>(sdlEvent);
  switch (e.type) {
    case SDL_QUIT:
      Current().CloseRequested();
      break;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST: {
          const bool active = e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
          handler_.Activated(active);
          if (&Current() != &handler_) Current().Activated(active);
          break;
        }
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          nextFrame_ = clock_.Ticks();
          shown_.clear();
          LifeCycle(&DisplayHandler::Exposed);
          break;
        default: break;
      }
      CheckReady();
      break;
    case SDL_RENDER_DEVICE_RESET:
    case SDL_RENDER_TARGETS_RESET:
      // Only the presenter's texture is lost: every surface of the game
      // lives in memory and keeps what was drawn on it since, so nothing is
      // rebuilt from the pictures. The texture is made anew when the device
      // went, and the last frame is shown again at once.
      if (initialized_) {
        if (e.type == SDL_RENDER_DEVICE_RESET) {
          DestroyPresenter();
          CreatePresenter();
        }
        ShowAgain();
        LifeCycle(&DisplayHandler::Exposed);
      } else {
        shown_.clear();
      }
      break;
    case SDL_MOUSEBUTTONDOWN:
      buttons_ |= ButtonBit(e.button.button);
      Current().DXDrawMouseDown(e.button.button, KeyShift() | buttons_, e.button.x, e.button.y);
      break;
    case SDL_MOUSEBUTTONUP:
      buttons_ &= ~ButtonBit(e.button.button);
      Current().DXDrawMouseUp(e.button.button, KeyShift() | buttons_, e.button.x, e.button.y);
      break;
    case SDL_MOUSEMOTION:
      Current().DXDrawMouseMove(KeyShift() | buttons_, e.motion.x, e.motion.y);
      break;
    case SDL_MOUSEWHEEL:
      if (e.wheel.y != 0) Current().DXDrawMouseWheel(e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y);
      break;
    case SDL_KEYDOWN: {
      const int key = ToKey(e.key.keysym.sym);
      if (key) Current().KeyDown(key);
      break;
    }
    case SDL_TEXTINPUT:
      Current().TextInput(e.text.text);
      break;
    default:
      break;
  }
}

void Display::SetCaption(const std::string& utf8) {
  if (impl_->window) SDL_SetWindowTitle(impl_->window, utf8.c_str());
}

std::string Display::Caption() const { return impl_->window ? SDL_GetWindowTitle(impl_->window) : std::string(); }

void Display::Minimize() {
  if (impl_->window) SDL_MinimizeWindow(impl_->window);
}

void Display::Restore() {
  if (impl_->window) SDL_RestoreWindow(impl_->window);
}

bool Display::Minimized() const {
  return impl_->window && (SDL_GetWindowFlags(impl_->window) & SDL_WINDOW_MINIMIZED);
}

void Display::StartTextInput(bool on) {
  if (on)
    SDL_StartTextInput();
  else
    SDL_StopTextInput();
}

void Display::ShowSystemPointer(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void Display::SetApplicationPointer(const Picture& picture, int hotX, int hotY, uint8_t keyR, uint8_t keyG,
                                    uint8_t keyB) {
  if (picture.Empty()) return;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, picture.Width(), picture.Height(), 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return;
  for (int y = 0; y < picture.Height(); ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
    for (int x = 0; x < picture.Width(); ++x) {
      const Color c = picture.GetPixel(x, y);
      const bool clear = c.r == keyR && c.g == keyG && c.b == keyB;
      row[x] = clear ? 0u : (0xFF000000u | (Uint32(c.r) << 16) | (Uint32(c.g) << 8) | c.b);
    }
  }
  if (impl_->appCursor) SDL_FreeCursor(impl_->appCursor);
  impl_->appCursor = SDL_CreateColorCursor(s, hotX, hotY);
  SDL_FreeSurface(s);
}

void Display::UseApplicationPointer(bool use) {
  if (use && impl_->appCursor) SDL_SetCursor(impl_->appCursor);
  SDL_ShowCursor(use ? SDL_ENABLE : SDL_DISABLE);
}

void Display::WindowPosition(int* x, int* y) const {
  *x = *y = 0;
  if (impl_->window) SDL_GetWindowPosition(impl_->window, x, y);
}

uint32_t Display::WindowId() const { return impl_->window ? SDL_GetWindowID(impl_->window) : 0; }

void Display::InjectMouseDown(int button, int x, int y) {
  buttons_ |= ButtonBit(button);
  Current().DXDrawMouseDown(button, buttons_, x, y);
}

void Display::InjectMouseMove(int x, int y) { Current().DXDrawMouseMove(buttons_, x, y); }

void Display::InjectMouseUp(int button, int x, int y) {
  buttons_ &= ~ButtonBit(button);
  Current().DXDrawMouseUp(button, buttons_, x, y);
}

void Display::InjectKey(int key) { Current().KeyDown(key); }

void Display::PushHandler(DisplayHandler* handler) {
  if (handler) handlers_.push_back(handler);
}

void Display::PopHandler() {
  if (!handlers_.empty()) handlers_.pop_back();
}

void Display::LifeCycle(void (DisplayHandler::*event)()) {
  (handler_.*event)();
  if (&Current() != &handler_) (Current().*event)();
}

}  // namespace eng
