// Geometry of the board picture: the fixed 640 x 395 picture of a board window, where the board, the
// stands, the piece box and the stand label lie, and which place a point of the picture names.
//
// Picture coordinates have their origin at the top left. The board grid's top-left corner is (138, 16)
// with squares on a 40-pixel pitch; the piece of the square shown at picture file f and rank r (both 1..9,
// counted as a first player sitting at the bottom would) has its 39 x 39 cell at (499 - 40f, 40r - 23).
// In the reversed orientation the square shown at (f, r) is square (10 - f, 10 - r), and the stands
// exchange their sides; the piece box stays where it is.
#pragma once
#include <optional>

#include "rules/location.h"

namespace app {

struct Point {
  int x = 0, y = 0;
};

// A rectangle with right and bottom excluded.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool Intersects(const Rect& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  Rect Intersection(const Rect& o) const;
  Rect Union(const Rect& o) const;
  bool operator==(const Rect& o) const = default;
};

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 395;
constexpr int kBackgroundWidth = 685;  // each of the two background images; only the top left is shown
constexpr int kBackgroundHeight = 440;
constexpr int kPieceSize = 39;
constexpr int kPieceImageCount = 32;  // side (2) x kind (8) x face (2)
constexpr int kBoxWidth = 123, kBoxHeight = 177;
constexpr int kLabelWidth = 34, kLabelHeight = 18;
constexpr int kSquarePitch = 40;

constexpr Point kGridOrigin{138, 16};
constexpr Point kBoxPictureAt{513, 5};
constexpr Point kBoxAnchor{514, 6};
constexpr Point kLabelAt{513, 183};
constexpr Point kLabelTextAt{514, 184};
constexpr Point kLowerStandAnchor{514, 204};  // the top-left corner of the lower-right stand
constexpr Point kUpperStandAnchor{123, 189};  // the bottom-right corner of the upper-left stand

// The companion windows that sit inside the picture (header sub-window, guide window).
constexpr Rect kHeaderWindowRect{0, kPictureHeight - 200, 125, kPictureHeight};
constexpr Rect kGuideWindowRect{kPictureWidth - 128, 0, kPictureWidth, 90};

// Hit areas, tested in this order (a later match overrides an earlier one).
constexpr Rect kBoardArea{140, 18, 499, 377};
constexpr Rect kLowerStandArea{515, 205, 634, 381};
constexpr Rect kUpperStandArea{4, 11, 123, 189};
constexpr Rect kBoxArea{515, 7, 634, 180};

// The image index of a piece in the piece image strip.
constexpr int PieceImageIndex(int display_side, int kind, int face) { return face + 2 * (kind + 8 * display_side); }

// The top-left corner of the piece cell shown at picture file and rank (1..9).
constexpr Point SquareCell(int picture_file, int picture_rank) {
  return {499 - kSquarePitch * picture_file, kSquarePitch * picture_rank - 23};
}

enum class PictureArea { kNone, kSquare, kLowerStand, kUpperStand, kBox };

struct PicturePlace {
  PictureArea area = PictureArea::kNone;
  int file = 0, rank = 0;  // picture file and rank for kSquare
};

// What the point names; the box counts only in free placement.
PicturePlace HitPlace(int x, int y, bool free_placement);

// The square shown at picture (file, rank), and the picture file/rank of a square.
rules::BoardIndex BoardIndexOfPicture(int picture_file, int picture_rank, bool reversed);
void PictureOfBoardIndex(rules::BoardIndex square, bool reversed, int* picture_file, int* picture_rank);

// The location (a square, a hand or the box) a place stands for; none for a place that is no location.
std::optional<rules::Location> LocationOfPlace(const PicturePlace& place, bool reversed);

}  // namespace app
