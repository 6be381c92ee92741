// The composer: the frame drawn on the back surface is kept as a list of
// drawing calls. At the end of a frame the list is compared with the last
// frame's, and only the rectangles where the two differ are drawn again,
// every call of the new list in its order, clipped to them. A debug switch
// draws every call at once over the whole frame, as without a composer.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/canvas.h"
#include "engine/types.h"

struct SDL_Surface;

namespace eng {

class Surface;

// One drawing call on the back surface.
struct DrawOp {
  enum class Kind : uint8_t { Copy, Stretch, Blend, Fill, Text };
  Kind kind = Kind::Copy;
  bool keyed = false;
  uint8_t alpha = 255;
  uint8_t layer = 0;
  uint16_t value = 0;  // the source's key for keyed calls, the colour for fills
  int x = 0, y = 0;    // Copy and Text: where the source's corner goes
  Rect dst;            // Stretch, Blend and Fill: the rectangle drawn into
  Rect src;            // the source rectangle
  Rect area;           // every pixel the call may touch, on the surface
  uint64_t stamp = 0;  // the source's content
  SDL_Surface* pixels = nullptr;  // the source's pixels, held while the call is kept
  std::string text;               // Text: the words and their font
  Font font;

  // The same call on the same content: it draws the same pixels.
  bool SameAs(const DrawOp& o) const;
  // Scales its source: it must be drawn whole or not at all.
  bool Scales() const;
};

class Composer {
 public:
  Composer() = default;
  ~Composer();
  Composer(const Composer&) = delete;
  Composer& operator=(const Composer&) = delete;

  // The calls of one frame on target are kept from here to Finish.
  void Begin(Surface& target);
  bool Recording() const { return target_ != nullptr; }
  // Kept calls from now on carry this layer (0 the ordinary one).
  void SetLayer(uint8_t layer) { layer_ = layer; }
  // A call the surface hands over; its source is held until the frame ends.
  void Add(DrawOp op);
  // Draws what changed since the last frame and stops recording. The
  // rectangles drawn again (none when the frame equals the last one), none
  // overlapping another.
  const std::vector<Rect>& Finish();
  // Puts back the last frame as it was beneath the calls of the layers
  // other than 0, where they drew (the frame keeps that much aside when it
  // ends); false when the target no longer holds the last frame.
  bool LiftLayers();
  // Forgets the last frame: the next one is drawn whole.
  void Forget();

  // Debug: every call is drawn at once, over the whole frame.
  bool drawWhole = false;

 private:
  void Release(std::vector<DrawOp>& ops);
  void MarkChanges();
  void DrawAgain(Surface& target, const std::vector<DrawOp>& ops, const std::vector<Rect>& rects, bool liftedToo);
  void KeepBeneathLifted(Surface& target);

  Surface* target_ = nullptr;      // recording on it now
  Surface* lastTarget_ = nullptr;  // where the last frame was drawn
  uint8_t layer_ = 0;
  std::vector<DrawOp> last_, next_;
  uint64_t lastStamp_ = 0;  // the target's stamp when the last frame was drawn
  bool haveLast_ = false;
  std::vector<Rect> damage_;
  // The last frame without its lifted layers, where they drew.
  std::vector<Rect> lifted_;
  std::unique_ptr<Surface> beneath_;
};

}  // namespace eng
