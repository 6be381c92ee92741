#include "engine/composer.h"

#include <SDL.h>

#include <algorithm>

#include "engine/surface.h"

namespace eng {

namespace {

bool Empty(Rect r) { return r.w <= 0 || r.h <= 0; }

bool Overlap(Rect a, Rect b) {
  return !Empty(a) && !Empty(b) && a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

bool Contains(Rect outer, Rect inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.Right() <= outer.Right() && inner.Bottom() <= outer.Bottom();
}

Rect Union(Rect a, Rect b) {
  if (Empty(a)) return b;
  if (Empty(b)) return a;
  const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
  return Rect{x0, y0, std::max(a.Right(), b.Right()) - x0, std::max(a.Bottom(), b.Bottom()) - y0};
}

// Overlapping rectangles become their bounding box, so no pixel is drawn
// twice; past a few dozen one box covers them all.
void Merge(std::vector<Rect>& rects) {
  rects.erase(std::remove_if(rects.begin(), rects.end(), Empty), rects.end());
  constexpr size_t kMany = 48;
  if (rects.size() > kMany) {
    Rect all;
    for (const Rect& r : rects) all = Union(all, r);
    rects.assign(1, all);
    return;
  }
  bool merged = true;
  while (merged) {
    merged = false;
    for (size_t a = 0; a < rects.size() && !merged; ++a)
      for (size_t b = a + 1; b < rects.size(); ++b)
        if (Overlap(rects[a], rects[b])) {
          rects[a] = Union(rects[a], rects[b]);
          rects.erase(rects.begin() + static_cast<ptrdiff_t>(b));
          merged = true;
          break;
        }
  }
}

// A scaled copy cannot be cut: a rectangle that touches one takes it whole.
void TakeScaledWhole(std::vector<Rect>& rects, const std::vector<DrawOp>& ops) {
  bool grown = true;
  while (grown) {
    grown = false;
    for (Rect& r : rects)
      for (const DrawOp& op : ops)
        if (op.Scales() && Overlap(op.area, r) && !Contains(r, op.area)) {
          r = Union(r, op.area);
          grown = true;
        }
    if (grown) Merge(rects);
  }
}

// The first call paints every pixel opaquely, so what lay on the surface
// before the frame never shows through.
bool CoversAll(const DrawOp& op, Rect whole) {
  const bool opaque = (op.kind == DrawOp::Kind::Copy && !op.keyed) || op.kind == DrawOp::Kind::Fill;
  return opaque && op.area == whole;
}

}  // namespace

bool DrawOp::SameAs(const DrawOp& o) const {
  if (kind != o.kind || area != o.area || layer != o.layer) return false;
  switch (kind) {
    case Kind::Copy:
      return x == o.x && y == o.y && src == o.src && keyed == o.keyed && stamp == o.stamp &&
             (!keyed || value == o.value);
    case Kind::Stretch:
    case Kind::Blend:
      return dst == o.dst && src == o.src && keyed == o.keyed && alpha == o.alpha && stamp == o.stamp &&
             (!keyed || value == o.value);
    case Kind::Fill:
      return dst == o.dst && value == o.value;
    case Kind::Text:
      return x == o.x && y == o.y && src == o.src && text == o.text && font == o.font;
  }
  return false;
}

bool DrawOp::Scales() const {
  return (kind == Kind::Stretch || kind == Kind::Blend) && (dst.w != src.w || dst.h != src.h);
}

Composer::~Composer() {
  if (target_) target_->RecordInto(nullptr);
  Release(last_);
  Release(next_);
}

void Composer::Release(std::vector<DrawOp>& ops) {
  // Gives up the hold only, unless the owner has let go meanwhile.
  for (DrawOp& op : ops)
    if (op.pixels) {
      SDL_FreeSurface(op.pixels);
      op.pixels = nullptr;
    }
}

void Composer::Begin(Surface& target) {
  if (target_) target_->RecordInto(nullptr);
  Release(next_);
  next_.clear();
  target_ = &target;
  layer_ = 0;
  target.RecordInto(this);
}

void Composer::Add(DrawOp op) {
  op.layer = layer_;
  if (op.pixels) ++op.pixels->refcount;
  if (drawWhole && target_) target_->Replay(op);
  next_.push_back(std::move(op));
}

const std::vector<Rect>& Composer::Finish() {
  damage_.clear();
  if (!target_) return damage_;
  Surface& target = *target_;
  target.RecordInto(nullptr);
  target_ = nullptr;
  const Rect whole = target.ClientRect();
  const bool fresh = !haveLast_ || lastTarget_ != &target || target.Stamp() != lastStamp_ || next_.empty() ||
                     !CoversAll(next_.front(), whole);
  if (drawWhole) {
    damage_.push_back(whole);  // drawn already, call by call
  } else if (fresh) {
    for (const DrawOp& op : next_) target.Replay(op);
    damage_.push_back(whole);
  } else {
    MarkChanges();
    DrawAgain(target, next_, damage_, true);
  }
  KeepBeneathLifted(target);
  // The calls are kept for their stamps only: nothing holds a surface's
  // pixels between frames, so no surface has to copy its own.
  Release(next_);
  last_.swap(next_);
  next_.clear();
  lastStamp_ = target.Stamp();
  lastTarget_ = &target;
  haveLast_ = true;
  return damage_;
}

void Composer::KeepBeneathLifted(Surface& target) {
  lifted_.clear();
  for (const DrawOp& op : next_)
    if (op.layer != 0) lifted_.push_back(op.area);
  if (lifted_.empty()) return;
  Merge(lifted_);
  TakeScaledWhole(lifted_, next_);
  if (!beneath_) beneath_ = std::make_unique<Surface>();
  if (beneath_->Width() != target.Width() || beneath_->Height() != target.Height())
    beneath_->Create(target.Width(), target.Height());
  DrawAgain(*beneath_, next_, lifted_, false);
}

void Composer::MarkChanges() {
  // The two lists side by side: equal calls in the same order draw equal
  // pixels wherever no other call differs, so only the calls without a
  // partner mark their areas. A call that moved in the order loses its
  // partner too.
  constexpr size_t kLookAhead = 48;
  auto find = [](const std::vector<DrawOp>& in, size_t from, const DrawOp& op) {
    const size_t end = std::min(in.size(), from + kLookAhead);
    for (size_t k = from; k < end; ++k)
      if (in[k].SameAs(op)) return k;
    return in.size();
  };
  size_t i = 0, j = 0;
  while (i < last_.size() && j < next_.size()) {
    if (last_[i].SameAs(next_[j])) {
      ++i;
      ++j;
      continue;
    }
    const size_t gone = find(last_, i + 1, next_[j]);  // calls of the last frame left out
    const size_t added = find(next_, j + 1, last_[i]);  // calls new in this frame
    if (gone < last_.size() && (added >= next_.size() || gone - i <= added - j)) {
      for (; i < gone; ++i) damage_.push_back(last_[i].area);
    } else if (added < next_.size()) {
      for (; j < added; ++j) damage_.push_back(next_[j].area);
    } else {
      damage_.push_back(last_[i++].area);
      damage_.push_back(next_[j++].area);
    }
  }
  for (; i < last_.size(); ++i) damage_.push_back(last_[i].area);
  for (; j < next_.size(); ++j) damage_.push_back(next_[j].area);
  Merge(damage_);
  // Scaled calls are taken whole; the last frame's are in its areas already.
  TakeScaledWhole(damage_, next_);
}

void Composer::DrawAgain(Surface& target, const std::vector<DrawOp>& ops, const std::vector<Rect>& rects,
                         bool liftedToo) {
  for (const Rect& r : rects) {
    target.SetClip(r);
    for (const DrawOp& op : ops)
      if ((liftedToo || op.layer == 0) && Overlap(op.area, r)) target.Replay(op);
  }
  target.SetClip(Rect{});
}

bool Composer::LiftLayers() {
  if (target_ || !haveLast_ || !lastTarget_ || lastTarget_->Stamp() != lastStamp_) return false;
  for (const Rect& r : lifted_) lastTarget_->Draw(r.x, r.y, *beneath_, r, false);
  // The surface no longer shows the frame as kept: the next is drawn whole.
  return true;
}

void Composer::Forget() { haveLast_ = false; }

}  // namespace eng
