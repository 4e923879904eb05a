// Piece kinds and codes, piece indices, and the promotion a move asks for.
//
// Piece code (one byte): bits 0-2 kind, bit 3 promoted, bit 4 side (0 sente, 1 gote); bits 5-7 zero.
// Kind + 8 is the promoted form; codes 8 and 11 (promoted king, promoted gold) never occur.
//
// Piece index 0..39, fixed for the life of a position, grouped by kind:
//   kings 0-1, rooks 2-3, bishops 4-5, golds 6-9, silvers 10-13, knights 14-17, lances 18-21, pawns 22-39.
#pragma once
#include <cstdint>

#include "rules/board_index.h"
#include "rules/location.h"
#include "rules/side.h"

namespace rules {

enum PieceKind : int { OU = 0, HI, KA, KI, GI, KE, KY, FU };
constexpr int kKindCount = 8;

constexpr int kPieceCount = 40;
constexpr uint8_t kEmptyCell = 40;   // board cell without a piece
constexpr uint8_t kOutsideCell = 255;
constexpr int kNoCapture = 40;       // captured-piece field of a move word without capture

constexpr int kPromotedBit = 8;
constexpr int kSideBit = 16;

constexpr int kFirstIndexOfKind[kKindCount] = {0, 2, 4, 6, 10, 14, 18, 22};
constexpr int kPiecesPerKind[kKindCount] = {2, 2, 2, 4, 4, 4, 4, 18};

constexpr int CodeKind(uint8_t code) { return code & 7; }
constexpr bool CodePromoted(uint8_t code) { return (code & kPromotedBit) != 0; }
constexpr Side CodeSide(uint8_t code) { return SideOfBit(code >> 4); }
constexpr uint8_t MakeCode(int kind, bool promoted, Side side) {
  return static_cast<uint8_t>(kind | (promoted ? kPromotedBit : 0) | (SideIndex(side) << 4));
}

// The kind of the piece with a given index (the index groups never change).
constexpr int KindOfIndex(int index) {
  return index < 2 ? OU : index < 4 ? HI : index < 6 ? KA : index < 10 ? KI
       : index < 14 ? GI : index < 18 ? KE : index < 22 ? KY : FU;
}

// What a move does to the moving piece's promotion.
enum class Promotion : int8_t { kKeep = -1, kDemote = 0, kPromote = 1 };
constexpr Promotion PromotionTo(bool promoted) { return promoted ? Promotion::kPromote : Promotion::kDemote; }
// Whether a piece promoted `before` a move is promoted after it.
constexpr bool PromotedAfter(bool before, Promotion promotion) {
  return promotion == Promotion::kKeep ? before : promotion == Promotion::kPromote;
}

}  // namespace rules
