#include "app/core/board_picture.h"

#include <algorithm>

namespace app {

Rect SpriteRect(const Sprite& s) {
  const Dib8* image = SpriteImage(s);
  if (!image) return {s.x(), s.y(), s.x(), s.y()};
  return {s.x(), s.y(), s.x() + image->width, s.y() + image->height};
}

bool SpriteHit(const Sprite& s, int x, int y) {
  const Dib8* image = SpriteImage(s);
  if (!image || image->empty() || !SpriteRect(s).Contains(x, y)) return false;
  return image->At(x - s.x(), y - s.y()) != image->At(0, 0);
}

BoardPicture::BoardPicture() : buffer_(static_cast<size_t>(kPictureWidth) * kPictureHeight, 0) {}

BoardPicture::~BoardPicture() { RemoveAllSprites(); }

void BoardPicture::SetBackground(const Dib8* strip, int index) {
  background_ = strip;
  background_index_ = index;
  DirtyAll();
}

void BoardPicture::ShowBox(bool shown) {
  if (shown == box_shown_) return;
  box_shown_ = shown;
  AddDirty({kBoxPictureAt.x, kBoxPictureAt.y, kBoxPictureAt.x + kBoxWidth, kBoxPictureAt.y + kBoxHeight});
}

void BoardPicture::SetLabel(const Dib8* label) {
  label_ = label;
  AddDirty({kLabelAt.x, kLabelAt.y, kLabelAt.x + kLabelWidth, kLabelAt.y + kLabelHeight});
}

void BoardPicture::SetMarks(const MoveMarks& marks) {
  if (marks == marks_) return;
  for (const Rect& r : {marks_.to, marks_.from, marks.to, marks.from}) AddDirty(r);
  marks_ = marks;
}

void BoardPicture::Tint(const Rect& cell, MarkTint tint, const Rect& clip) {
  const Rect area = cell.Intersection(clip);
  if (area.Empty()) return;
  for (int y = area.top; y < area.bottom; ++y) {
    uint8_t* row = &buffer_[static_cast<size_t>(y) * kPictureWidth];
    for (int x = area.left; x < area.right; ++x) row[x] = TintedIndex(row[x], tint);
  }
}

void BoardPicture::Insert(Sprite* sprite) {
  auto at = std::find_if(order_.begin(), order_.end(), [&](Sprite* s) { return s->z() >= sprite->z(); });
  order_.insert(at, sprite);
}

BoardPicture::Known* BoardPicture::Find(Sprite* sprite) {
  for (Known& k : known_) {
    if (k.sprite == sprite) return &k;
  }
  return nullptr;
}

void BoardPicture::AddSprite(Sprite* sprite) {
  if (Find(sprite)) return;
  Insert(sprite);
  known_.push_back({sprite, SpriteRect(*sprite), sprite->z(), sprite->image()});
  sprite->SetListener(this);
  AddDirty(SpriteRect(*sprite));
}

void BoardPicture::RemoveAllSprites() {
  for (Sprite* s : order_) s->SetListener(nullptr);
  order_.clear();
  known_.clear();
}

void BoardPicture::SpriteChanged(Sprite& sprite) {
  Known* k = Find(&sprite);
  if (!k) return;
  const Rect now = SpriteRect(sprite);
  if (k->z != sprite.z()) {
    order_.erase(std::find(order_.begin(), order_.end(), &sprite));
    Insert(&sprite);
    k->z = sprite.z();
    AddDirty(now);
  }
  if (!(k->rect == now)) {
    AddDirty(k->rect);
    AddDirty(now);
    k->rect = now;
  } else if (k->image != sprite.image()) {
    AddDirty(now);
  }
  k->image = sprite.image();
}

void BoardPicture::AddDirty(const Rect& r) {
  Rect clipped = r.Intersection({0, 0, kPictureWidth, kPictureHeight});
  if (clipped.Empty()) return;
  if (!dirty_.empty() && dirty_.back().Intersects(clipped)) {
    dirty_.back() = dirty_.back().Union(clipped);
  } else {
    dirty_.push_back(clipped);
  }
}

void BoardPicture::Blit(const Dib8& image, int image_top, int at_x, int at_y, const Rect& clip, bool transparent) {
  Rect area = Rect{at_x, at_y, at_x + image.width, at_y + (image.height - image_top)}.Intersection(clip);
  if (area.Empty()) return;
  const uint8_t key = transparent ? image.At(0, image_top) : 0;
  for (int y = area.top; y < area.bottom; ++y) {
    const uint8_t* src = &image.pixels[static_cast<size_t>(y - at_y + image_top) * image.width + (area.left - at_x)];
    uint8_t* dst = &buffer_[static_cast<size_t>(y) * kPictureWidth + area.left];
    if (!transparent) {
      std::copy(src, src + area.Width(), dst);
      continue;
    }
    for (int x = 0; x < area.Width(); ++x) {
      if (src[x] != key) dst[x] = src[x];
    }
  }
}

void BoardPicture::Render(const Rect& clip_in) {
  const Rect clip = clip_in.Intersection({0, 0, kPictureWidth, kPictureHeight});
  if (clip.Empty()) return;
  if (background_ && background_->width >= kPictureWidth &&
      background_->height >= (background_index_ + 1) * kBackgroundHeight) {
    // Only the top-left part of the background image is shown.
    const int top = background_index_ * kBackgroundHeight;
    Rect shown = clip.Intersection({0, 0, kPictureWidth, kPictureHeight});
    for (int y = shown.top; y < shown.bottom; ++y) {
      const uint8_t* src = &background_->pixels[static_cast<size_t>(top + y) * background_->width + shown.left];
      std::copy(src, src + shown.Width(), &buffer_[static_cast<size_t>(y) * kPictureWidth + shown.left]);
    }
  } else {
    for (int y = clip.top; y < clip.bottom; ++y) {
      std::fill_n(&buffer_[static_cast<size_t>(y) * kPictureWidth + clip.left], clip.Width(), 15);
    }
  }
  Tint(marks_.to, MarkTint::kTo, clip);
  Tint(marks_.from, MarkTint::kFrom, clip);
  if (box_shown_ && box_) Blit(*box_, 0, kBoxPictureAt.x, kBoxPictureAt.y, clip, false);
  if (label_) Blit(*label_, 0, kLabelAt.x, kLabelAt.y, clip, false);
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
    const Dib8* image = SpriteImage(**it);
    if (image && !image->empty()) Blit(*image, 0, (*it)->x(), (*it)->y(), clip, true);
  }
}

std::vector<Rect> BoardPicture::RenderDirty() {
  for (const Rect& r : dirty_) Render(r);
  std::vector<Rect> out;
  out.swap(dirty_);
  return out;
}

Sprite* BoardPicture::HitTest(int x, int y) const {
  for (Sprite* s : order_) {
    if (SpriteHit(*s, x, y)) return s;
  }
  return nullptr;
}

}  // namespace app
