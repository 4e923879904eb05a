// Board moves: the 16-bit moves the databases store (move blocks, joseki entries, move annotation keys),
// and FormBoard, a position held as its board form on which they are played.
//
// Board move layout (u16, little-endian wherever it is stored):
//   bits 0-5    index 0..39 of the moving piece in the sorted board form of the position before the move
//   bits 6-12   destination square number (11..99)
//   bit  13     the piece promotes with this move
//   bit  14     gote moves
//   0xFFFF      no move (bit 15 set); a free slot of a move block
//
// A drop names a piece of the mover that lies in the mover's hand: always the first such piece of its
// group in the sorted form, so that one move has exactly one board move and stored moves compare as
// numbers. Playing a move: a piece on the destination goes to the mover's hand, unpromoted; the moving
// piece takes the destination (promoted when bit 13 is set, otherwise keeping its state); the groups
// are sorted again.
#pragma once
#include <array>
#include <cassert>
#include <cstdint>
#include <string>

#include "rules/board_form.h"
#include "rules/move_word.h"

namespace rules {
class Position;
}  // namespace rules

namespace shogidb {

using BoardMove = uint16_t;
constexpr BoardMove kNoMove = 0xFFFF;

constexpr int BoardMovePiece(BoardMove m) { return m & 0x3F; }
constexpr int BoardMoveTo(BoardMove m) { return (m >> 6) & 0x7F; }
constexpr bool BoardMovePromotes(BoardMove m) { return (m >> 13) & 1; }
constexpr rules::Side BoardMoveSide(BoardMove m) { return rules::SideOfBit(m >> 14); }
constexpr bool IsNoMove(BoardMove m) { return (m & 0x8000) != 0; }
constexpr BoardMove MakeBoardMove(int index, int to_square, bool promotes, rules::Side side) {
  return static_cast<BoardMove>((index & 0x3F) | (to_square & 0x7F) << 6 | (promotes ? 1 << 13 : 0) |
                                (rules::SideIndex(side) & 1) << 14);
}

// A move as the texts name it: the mover, the from square (0 for a drop, with the kind dropped), the
// destination and whether the piece promotes.
struct PlainMove {
  rules::Side side = rules::kSente;
  int from = 0;       // square number 11..99, or 0 for a drop
  int drop_kind = 0;  // the kind dropped when from == 0
  int to = 0;         // square number
  bool promotes = false;
};

bool IsSquareNumber(int n);

// A position held as the expanded entries of its board form, kept sorted in the canonical order, with
// the square each board entry stands on.
class FormBoard {
 public:
  FormBoard();  // the even game
  // REQUIRES: form.IsValid() (forms read from a table are checked first).
  explicit FormBoard(const rules::BoardForm& form) {
    assert(form.IsValid());
    Set(form);
  }
  void Set(const rules::BoardForm& form);

  const rules::BoardForm::Entry& entry(int index) const { return entries_[index]; }
  // The entry standing on a square number, or -1.
  int At(int square) const { return IsSquareNumber(square) ? at_[square] : -1; }
  // The CSA code byte of the piece in an entry (kind, promotion, side).
  uint8_t CodeOf(int index) const;

  // The board move of a move, or kNoMove when no piece of the position fits: the from square does not
  // hold a piece of the mover, a drop finds no piece of that kind in the mover's hand or promotes, the
  // destination is no square or holds a piece of the mover.
  BoardMove Encode(const PlainMove& move) const;
  // The move a board move names; false when it does not fit this position (see Apply).
  bool Decode(BoardMove m, PlainMove& move) const;
  // Plays a board move. False (and nothing changes) when it does not fit: a bad index, a piece that is
  // neither on the board nor in the mover's hand, a piece of the other side, a destination that is no
  // square or holds a piece of the mover, a drop onto an occupied square or with promotion.
  bool Apply(BoardMove m);

  rules::BoardForm Form() const;
  // The board form's 44 bytes without building a BoardForm (what the position search compares).
  void WriteBytes(uint8_t* out) const;

  // The CSA text of a board move played here: "%c%02d%02d%s" (sign, from square or 00, to square, the
  // code of the piece after the move); empty when it does not fit.
  std::string CsaText(BoardMove m) const;

 private:
  void Resort(int index);  // moves an entry to its place in its group and renumbers the squares

  rules::BoardForm::Expanded entries_;
  std::array<int8_t, 100> at_;
};

// The board move of a move word played on a position (before it is played); kNoMove when it does not fit.
BoardMove BoardMoveOf(const rules::Position& position, rules::MoveWord move);
// The move word of a board move on a position whose board form it refers to; false when no piece of the
// position fits. Drops take the lowest-numbered piece of the kind in the mover's hand.
bool MoveWordOf(const rules::Position& position, BoardMove m, rules::MoveWord& move);

// The board move that names the same move in the reversed orientation: `before` is the position it was
// stored for, `reversed` that position reversed (BoardForm::Reverse); squares s become 110 - s and the mover
// is exchanged. kNoMove when it does not fit.
BoardMove ReverseBoardMove(const FormBoard& before, const FormBoard& reversed, BoardMove m);

}  // namespace shogidb
