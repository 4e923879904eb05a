// The off-screen picture of a board window: an 8-bit buffer of the picture's size on the palette, composed
// from a background image, the last move's tinted cells, the piece-box image (free placement only), the
// stand label and the sprites by depth, and a list of dirty rectangles still to be composed and shown.
//
// Sprites are kept ordered by increasing depth; a sprite is inserted before the first one whose depth is
// greater than or equal to its own, so among equal depths the newest is nearest. The picture listens to
// its sprites: a depth change re-inserts the sprite and dirties its rectangle, a change of place dirties
// the old and the new rectangle, a new image the rectangle.
#pragma once
#include <cstdint>
#include <vector>

#include "app/core/dib.h"
#include "app/core/geometry.h"
#include "app/core/last_move_mark.h"
#include "app/core/sprite.h"

namespace app {

// The image a sprite shows (the core's sprites carry an opaque handle; ours is a Dib8).
inline const Dib8* SpriteImage(const Sprite& s) { return static_cast<const Dib8*>(s.image()); }
Rect SpriteRect(const Sprite& s);
// Whether a point hits the sprite: inside its rectangle on a pixel that is not the transparent colour
// (the colour of the image's top-left pixel).
bool SpriteHit(const Sprite& s, int x, int y);

class BoardPicture final : public SpriteListener {
 public:
  BoardPicture();
  ~BoardPicture() override;
  BoardPicture(const BoardPicture&) = delete;
  BoardPicture& operator=(const BoardPicture&) = delete;

  // The background is image `index` (0 normal, 1 reversed) of a strip of 685 x 440 images.
  void SetBackground(const Dib8* strip, int index);
  void SetBoxImage(const Dib8* box) { box_ = box; }
  void ShowBox(bool shown);
  bool box_shown() const { return box_shown_; }
  void SetLabel(const Dib8* label);
  const Dib8* label() const { return label_; }
  // The last move's cells, tinted under the pieces; a change dirties the old and the new cells.
  void SetMarks(const MoveMarks& marks);
  const MoveMarks& marks() const { return marks_; }

  void AddSprite(Sprite* sprite);
  void RemoveAllSprites();
  const std::vector<Sprite*>& sprites() const { return order_; }
  void SpriteChanged(Sprite& sprite) override;

  // Merges with the last rectangle when they intersect, else appends a copy.
  void AddDirty(const Rect& r);
  void DirtyAll() { AddDirty({0, 0, kPictureWidth, kPictureHeight}); }
  void DropDirty() { dirty_.clear(); }
  const std::vector<Rect>& dirty() const { return dirty_; }

  void Render(const Rect& clip);
  // Composes every dirty rectangle and hands the list over (for copying to the window), leaving it empty.
  std::vector<Rect> RenderDirty();

  // The nearest sprite under the point, or nullptr.
  Sprite* HitTest(int x, int y) const;

  // Palette indices, rows from the top, kPictureWidth per row.
  const uint8_t* buffer() const { return buffer_.data(); }
  uint8_t PixelAt(int x, int y) const { return buffer_[static_cast<size_t>(y) * kPictureWidth + x]; }

 private:
  struct Known {
    Sprite* sprite;
    Rect rect;
    int z;
    const void* image;
  };
  void Insert(Sprite* sprite);
  Known* Find(Sprite* sprite);
  void Blit(const Dib8& image, int image_top, int at_x, int at_y, const Rect& clip, bool transparent);
  void Tint(const Rect& cell, MarkTint tint, const Rect& clip);

  std::vector<uint8_t> buffer_;
  const Dib8* background_ = nullptr;
  int background_index_ = 0;
  const Dib8* box_ = nullptr;
  bool box_shown_ = false;
  const Dib8* label_ = nullptr;
  MoveMarks marks_;
  std::vector<Sprite*> order_;  // by increasing depth: nearest first
  std::vector<Known> known_;
  std::vector<Rect> dirty_;
};

}  // namespace app
