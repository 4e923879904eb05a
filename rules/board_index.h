// Squares in their two numberings.
//
// Board index: 131 cells, ten per row; file f (1..9, right to left from sente) and rank r (1..9, top to
// bottom) lie at (r+1)*10 + f, so squares are 21..109 and multiples of 10 lie outside. A step in any of
// the piece directions is a fixed offset, and a slide stops at the first cell outside. The position
// object and the move words use it.
//
// Square number: f*10 + r (11..99), as every text, file, dialog and database record writes a square.
//
// The two are distinct types, so that one is never passed where the other is meant; conversions happen
// where text and files are read and written.
#pragma once
#include <compare>

namespace rules {

constexpr int kBoardCells = 131;
constexpr int kFirstSquare = 21;
constexpr int kLastSquare = 109;

class BoardIndex {
 public:
  constexpr BoardIndex() = default;
  constexpr explicit BoardIndex(int value) : value_(value) {}
  // The square of a file and rank, both 1..9.
  static constexpr BoardIndex At(int file, int rank) { return BoardIndex((rank + 1) * 10 + file); }

  constexpr int value() const { return value_; }
  constexpr int file() const { return value_ % 10; }
  constexpr int rank() const { return value_ / 10 - 1; }
  // One of the 81 squares (not an outside cell).
  constexpr bool IsSquare() const { return value_ >= kFirstSquare && value_ <= kLastSquare && value_ % 10 != 0; }

  // A step along a direction offset (see kDirections).
  constexpr BoardIndex operator+(int offset) const { return BoardIndex(value_ + offset); }
  constexpr BoardIndex operator-(int offset) const { return BoardIndex(value_ - offset); }
  constexpr BoardIndex& operator+=(int offset) { value_ += offset; return *this; }
  constexpr BoardIndex& operator-=(int offset) { value_ -= offset; return *this; }
  // The offset from `other` to this square.
  constexpr int operator-(BoardIndex other) const { return value_ - other.value_; }
  constexpr auto operator<=>(const BoardIndex&) const = default;

 private:
  int value_ = 0;
};

class SquareNumber {
 public:
  constexpr SquareNumber() = default;
  constexpr explicit SquareNumber(int value) : value_(value) {}
  static constexpr SquareNumber At(int file, int rank) { return SquareNumber(file * 10 + rank); }

  constexpr int value() const { return value_; }
  constexpr int file() const { return value_ / 10; }
  constexpr int rank() const { return value_ % 10; }
  // 11..99 with neither digit 0.
  constexpr bool IsSquare() const { return value_ >= 11 && value_ <= 99 && value_ % 10 != 0; }
  constexpr auto operator<=>(const SquareNumber&) const = default;

 private:
  int value_ = 0;
};

constexpr BoardIndex ToBoardIndex(SquareNumber n) { return BoardIndex::At(n.file(), n.rank()); }
constexpr SquareNumber ToSquareNumber(BoardIndex i) { return SquareNumber::At(i.file(), i.rank()); }

static_assert(ToBoardIndex(SquareNumber(76)) == BoardIndex(77) && ToSquareNumber(BoardIndex(77)) == SquareNumber(76));

// The shared direction table: board-index offsets; indices 2..9 are the eight king directions, 0, 1, 10
// and 11 the knight jumps.
constexpr int kDirections[12] = {-21, -19, -11, -10, -9, -1, +1, +9, +10, +11, +19, +21};
constexpr int kFirstKingDirection = 2;
constexpr int kLastKingDirection = 9;

}  // namespace rules
