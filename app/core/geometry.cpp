#include "app/core/geometry.h"

#include <algorithm>

#include "rules/piece_code.h"

using namespace rules;

namespace app {

Rect Rect::Intersection(const Rect& o) const {
  Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
  if (r.Empty()) return Rect{};
  return r;
}

Rect Rect::Union(const Rect& o) const {
  if (Empty()) return o;
  if (o.Empty()) return *this;
  return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
}

PicturePlace HitPlace(int x, int y, bool free_placement) {
  PicturePlace place;
  if (kBoardArea.Contains(x, y)) {
    place.area = PictureArea::kSquare;
    place.file = 9 - (x - 139) / kSquarePitch;
    place.rank = (y - 17) / kSquarePitch + 1;
  }
  if (kLowerStandArea.Contains(x, y)) place = {PictureArea::kLowerStand, 0, 0};
  if (kUpperStandArea.Contains(x, y)) place = {PictureArea::kUpperStand, 0, 0};
  if (free_placement && kBoxArea.Contains(x, y)) place = {PictureArea::kBox, 0, 0};
  return place;
}

BoardIndex BoardIndexOfPicture(int picture_file, int picture_rank, bool reversed) {
  if (reversed) return BoardIndex::At(10 - picture_file, 10 - picture_rank);
  return BoardIndex::At(picture_file, picture_rank);
}

void PictureOfBoardIndex(BoardIndex square, bool reversed, int* picture_file, int* picture_rank) {
  const int f = square.file(), r = square.rank();
  *picture_file = reversed ? 10 - f : f;
  *picture_rank = reversed ? 10 - r : r;
}

std::optional<Location> LocationOfPlace(const PicturePlace& place, bool reversed) {
  const Side bottom = reversed ? kGote : kSente;
  switch (place.area) {
    case PictureArea::kSquare:
      return BoardIndexOfPicture(place.file, place.rank, reversed);
    case PictureArea::kLowerStand:
      return Location::Hand(bottom);
    case PictureArea::kUpperStand:
      return Location::Hand(Opponent(bottom));
    case PictureArea::kBox:
      return kPieceBox;
    case PictureArea::kNone:
      break;
  }
  return std::nullopt;
}

}  // namespace app
