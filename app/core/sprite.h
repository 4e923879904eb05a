// The drawable part of a piece, without any windowing library: a place in the board picture, a depth and
// an opaque handle to the image the display layer draws. The window's piece sprite is a Piece and a
// Sprite at once, so the pieces the mate search moves carry no drawing state.
#pragma once
#include <cstdint>

namespace app {

class Sprite;

// Told when a sprite's image, place or depth changes (the view collects dirty rectangles).
class SpriteListener {
 public:
  virtual ~SpriteListener() = default;
  virtual void SpriteChanged(Sprite& sprite) = 0;
};

class Sprite {
 public:
  static constexpr int32_t kDefaultDepth = 50;  // a smaller depth is nearer the viewer

  virtual ~Sprite() = default;

  int32_t x() const { return x_; }
  int32_t y() const { return y_; }
  int32_t z() const { return z_; }
  const void* image() const { return image_; }

  void SetPlace(int32_t x, int32_t y) { x_ = x; y_ = y; Notify(); }
  void SetDepth(int32_t z) { z_ = z; Notify(); }
  void SetImage(const void* image) { image_ = image; Notify(); }
  void SetListener(SpriteListener* listener) { listener_ = listener; }

 protected:
  void Notify() {
    if (listener_) listener_->SpriteChanged(*this);
  }

 private:
  int32_t x_ = 0, y_ = 0, z_ = kDefaultDepth;
  const void* image_ = nullptr;
  SpriteListener* listener_ = nullptr;
};

}  // namespace app
