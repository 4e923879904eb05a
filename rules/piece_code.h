// Sides, piece kinds and codes, piece indices, board indices and locations.
//
// Piece code (one byte): bits 0-2 kind, bit 3 promoted, bit 4 side (0 sente, 1 gote); bits 5-7 zero.
// Kind + 8 is the promoted form; codes 8 and 11 (promoted king, promoted gold) never occur.
//
// Piece index 0..39, fixed for the life of a position, grouped by kind:
//   kings 0-1, rooks 2-3, bishops 4-5, golds 6-9, silvers 10-13, knights 14-17, lances 18-21, pawns 22-39.
//
// Board index: 131 cells, ten per row; file f (1..9, right to left from sente) and rank r (1..9, top to
// bottom) lie at (r+1)*10 + f, so squares are 21..109 and multiples of 10 are outside. Square number
// (used in every text, file and dialog) is f*10 + r.
//
// Location of a piece: a board index 21..109, or 0 sente's hand, 1 gote's hand, 2 the piece box.
#pragma once
#include <cstdint>

namespace rules {

enum Side : int { kSente = 0, kGote = 1, kSideUnset = 2 };

enum PieceKind : int { OU = 0, HI, KA, KI, GI, KE, KY, FU };
constexpr int kKindCount = 8;

constexpr int kPieceCount = 40;
constexpr uint8_t kEmptyCell = 40;   // board cell without a piece
constexpr uint8_t kOutsideCell = 255;
constexpr int kNoCapture = 40;       // captured-piece field of a move word without capture

constexpr int kSenteHand = 0;
constexpr int kGoteHand = 1;
constexpr int kPieceBox = 2;

constexpr int kBoardCells = 131;
constexpr int kFirstSquare = 21;
constexpr int kLastSquare = 109;
constexpr int kPromotedBit = 8;
constexpr int kSideBit = 16;

constexpr int kFirstIndexOfKind[kKindCount] = {0, 2, 4, 6, 10, 14, 18, 22};
constexpr int kPiecesPerKind[kKindCount] = {2, 2, 2, 4, 4, 4, 4, 18};

constexpr int CodeKind(uint8_t code) { return code & 7; }
constexpr bool CodePromoted(uint8_t code) { return (code & kPromotedBit) != 0; }
constexpr int CodeSide(uint8_t code) { return (code >> 4) & 1; }
constexpr uint8_t MakeCode(int kind, bool promoted, int side) {
  return static_cast<uint8_t>(kind | (promoted ? kPromotedBit : 0) | ((side & 1) << 4));
}

// The kind of the piece with a given index (the index groups never change).
constexpr int KindOfIndex(int index) {
  return index < 2 ? OU : index < 4 ? HI : index < 6 ? KA : index < 10 ? KI
       : index < 14 ? GI : index < 18 ? KE : index < 22 ? KY : FU;
}

constexpr bool IsBoardIndex(int i) { return i >= kFirstSquare && i <= kLastSquare && i % 10 != 0; }
constexpr int FileOf(int board_index) { return board_index % 10; }
constexpr int RankOf(int board_index) { return board_index / 10 - 1; }
constexpr int BoardIndexOf(int file, int rank) { return (rank + 1) * 10 + file; }

// Square number -> board index; values below 11 (hand and box codes) pass unchanged.
constexpr int ToBoardIndex(int n) { return n < 11 ? n : (n % 10 + 1) * 10 + n / 10; }
// Board index -> square number; values below 21 pass unchanged.
constexpr int ToSquareNumber(int i) { return i < 21 ? i : (i % 10) * 10 + (i / 10 - 1); }

static_assert(ToBoardIndex(76) == 77 && ToSquareNumber(77) == 76);

// The shared direction table; indices 2..9 are the eight king directions.
constexpr int kDirections[12] = {-21, -19, -11, -10, -9, -1, +1, +9, +10, +11, +19, +21};

}  // namespace rules
