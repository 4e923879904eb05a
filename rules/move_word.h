// The 32-bit move word: a self-contained move that can be played forward and taken back without any other
// state. Bit 0 is the least significant.
//
//   bit  0      side after        side owning the piece after the move
//   bits 1-7    from              a Location code: board index 21..109, or 0/1/2 sente's hand, gote's hand, box
//   bit  8      promoted after
//   bits 9-15   to                board index, or 0/1/2 when editing puts a piece into a hand or the box
//   bit  16     promoted before
//   bit  17     side before       the side that made the move
//   bits 18-23  piece             index 0..39 of the moving piece
//   bit  24     captured promoted
//   bit  25     captured side
//   bits 26-31  captured          index 0..39 of the captured piece, 40 = no capture
//
// A drop has from < 21; a capture has captured != 40; a promotion has promoted before 0 and after 1.
#pragma once
#include <cstdint>

#include "rules/piece_code.h"

namespace rules {

struct MoveWord {
  uint32_t bits = 0;

  constexpr MoveWord() = default;
  constexpr explicit MoveWord(uint32_t b) : bits(b) {}

  constexpr Side SideAfter() const { return SideOfBit(bits); }
  constexpr Location From() const { return Location::FromCode((bits >> 1) & 0x7F); }
  constexpr bool PromotedAfter() const { return (bits >> 8) & 1; }
  constexpr Location To() const { return Location::FromCode((bits >> 9) & 0x7F); }
  constexpr bool PromotedBefore() const { return (bits >> 16) & 1; }
  constexpr Side SideBefore() const { return SideOfBit(bits >> 17); }
  constexpr int Piece() const { return (bits >> 18) & 0x3F; }
  constexpr bool CapturedPromoted() const { return (bits >> 24) & 1; }
  constexpr Side CapturedSide() const { return SideOfBit(bits >> 25); }
  constexpr int Captured() const { return (bits >> 26) & 0x3F; }

  constexpr bool IsDrop() const { return !From().IsSquare(); }
  constexpr bool IsCapture() const { return Captured() != kNoCapture; }
  constexpr bool IsPromotion() const { return !PromotedBefore() && PromotedAfter(); }

  static constexpr MoveWord Make(int piece, Location from, Location to, bool promoted_before, bool promoted_after,
                                 Side side_before, Side side_after, int captured = kNoCapture,
                                 bool captured_promoted = false, Side captured_side = kSente) {
    return MoveWord((SideIndex(side_after) & 1) | (from.code() & 0x7F) << 1 | uint32_t{promoted_after} << 8 |
                    (to.code() & 0x7F) << 9 | uint32_t{promoted_before} << 16 | (SideIndex(side_before) & 1) << 17 |
                    (piece & 0x3F) << 18 | uint32_t{captured_promoted} << 24 |
                    (SideIndex(captured_side) & 1) << 25 | static_cast<uint32_t>(captured & 0x3F) << 26);
  }
};

// Equal moves: same piece, places, promotion and sides; a capture never equals a non-capture, and two
// captures must also agree on the captured piece, its promotion and its side.
constexpr bool MovesEqual(MoveWord a, MoveWord b) {
  constexpr uint32_t kMoveBits = 0x00FFFFFF;
  if ((a.bits & kMoveBits) != (b.bits & kMoveBits)) return false;
  if (a.IsCapture() != b.IsCapture()) return false;
  return !a.IsCapture() || a.bits == b.bits;
}

}  // namespace rules
