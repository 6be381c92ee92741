#include "engine/sprite_engine.h"

#include <algorithm>
#include <cmath>

#include "engine/image_list.h"

namespace eng {

void ImageSprite::DoMove(int lagCount) {
  if (AnimSpeed == 0 || !Image) return;
  const int count = Image->PatternCount();
  if (count > 0) AnimPos = std::fmod(AnimPos + AnimSpeed * lagCount, count);
}

void ImageSprite::DoDraw(Surface& target) {
  if (!Image) return;
  Image->Draw(target, static_cast<int>(std::lround(X)), static_cast<int>(std::lround(Y)),
              static_cast<int>(AnimPos));
}

void SpriteEngine::Move(int lagCount) {
  const size_t n = sprites_.size();
  for (size_t i = 0; i < n; ++i)
    if (!sprites_[i]->IsDead()) sprites_[i]->DoMove(lagCount);
}

void SpriteEngine::Dead() {
  std::erase_if(sprites_, [](const auto& s) { return s->IsDead(); });
}

void SpriteEngine::Draw(Surface& target) {
  std::vector<ImageSprite*> order;
  order.reserve(sprites_.size());
  for (auto& s : sprites_)
    if (!s->IsDead()) order.push_back(s.get());
  std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->Z < b->Z; });
  for (auto* s : order) s->DoDraw(target);
}

}  // namespace eng
