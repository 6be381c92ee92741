// Sprites: things that move by themselves every frame and are drawn over
// the grids in ascending Z order (the rockets).
#pragma once
#include <memory>
#include <vector>

namespace eng {

class ImageItem;
class Surface;

class ImageSprite {
 public:
  virtual ~ImageSprite() = default;

  double X = 0, Y = 0;  // pixels
  int Z = 0;
  int Width = 0, Height = 0;
  const ImageItem* Image = nullptr;
  double AnimPos = 0;    // pattern shown
  double AnimSpeed = 0;  // patterns per millisecond; 0 keeps the pattern

  void Dead() { dead_ = true; }
  bool IsDead() const { return dead_; }

  // One frame's move; the base advances the animation.
  virtual void DoMove(int lagCount);
  virtual void DoDraw(Surface& target);

 private:
  bool dead_ = false;
};

class SpriteEngine {
 public:
  // The engine owns the sprite; the pointer stays valid until it is removed.
  template <class T, class... Args>
  T* Add(Args&&... args) {
    auto sprite = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = sprite.get();
    sprites_.push_back(std::move(sprite));
    return raw;
  }
  // Sprites added during the pass move from the next pass on.
  void Move(int lagCount);
  void Dead();  // removes the sprites marked dead
  void Draw(Surface& target);
  int Count() const { return static_cast<int>(sprites_.size()); }
  ImageSprite* operator[](int i) { return sprites_[i].get(); }

 private:
  std::vector<std::unique_ptr<ImageSprite>> sprites_;
};

}  // namespace eng
