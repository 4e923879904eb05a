// Where a piece lies: a square of the board, the hand of one side, or the piece box. Move words and
// pieces keep it as one code: the board index of a square (21..109), 0 sente's hand, 1 gote's hand, 2 the
// piece box.
#pragma once
#include <cassert>

#include "rules/board_index.h"
#include "rules/side.h"

namespace rules {

class Location {
 public:
  static constexpr int kBoxCode = 2;

  // Every square is a location.
  constexpr Location(BoardIndex square) : code_(square.value()) {}  // NOLINT: implicit on purpose
  static constexpr Location Hand(Side side) { return Location(SideIndex(side)); }
  static constexpr Location Box() { return Location(kBoxCode); }
  // A stored code (move words, saved locations); FromCode(c).IsValid() tells whether it names a place.
  static constexpr Location FromCode(int code) { return Location(code); }

  constexpr int code() const { return code_; }
  // On the board side of the codes; IsValid tells whether a stored code is a real square.
  constexpr bool IsSquare() const { return code_ >= kFirstSquare; }
  constexpr bool IsHand() const { return code_ == 0 || code_ == 1; }
  constexpr bool IsBox() const { return code_ == kBoxCode; }
  // A hand or the box: the places that keep pieces by kind (PieceStore).
  constexpr bool IsStore() const { return code_ >= 0 && code_ <= kBoxCode; }
  constexpr bool IsValid() const { return IsStore() || BoardIndex(code_).IsSquare(); }
  // REQUIRES: IsSquare().
  constexpr BoardIndex square() const {
    assert(IsSquare());
    return BoardIndex(code_);
  }
  // REQUIRES: IsHand().
  constexpr Side hand_side() const {
    assert(IsHand());
    return SideOfBit(code_);
  }
  // 0, 1, 2 for sente's hand, gote's hand and the box. REQUIRES: IsStore().
  constexpr int store_index() const {
    assert(IsStore());
    return code_;
  }

  constexpr bool operator==(const Location&) const = default;

 private:
  constexpr explicit Location(int code) : code_(code) {}
  int code_;
};

inline constexpr Location kSenteHand = Location::Hand(kSente);
inline constexpr Location kGoteHand = Location::Hand(kGote);
inline constexpr Location kPieceBox = Location::Box();

}  // namespace rules
