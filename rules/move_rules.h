// Whether a move word is acceptable as a move of play, and the geometry the move texts and the mate
// search share. The validation is local: it does not look for a king left in check or a pawn-drop mate.
#pragma once
#include <cstdint>

#include "rules/board_index.h"
#include "rules/move_word.h"

namespace rules {

class Piece;
class Position;

// Validation codes; the message of code c is ValidationMessage(c) (none for 0).
enum ValidationCode : int {
  kLegal = 0,
  kTwoPawns = 1,
  kDropNowhereToGo = 2,
  kCannotPromote = 3,
  kMustPromote = 4,
  kPawnDropMate = 5,  // reserved: the validation never returns it
  kCannotMoveThere = 6,
  kInCheck = 7,       // reserved
  kNotYourTurn = 8,
  kCannotUnpromote = 9,
  kRuleViolation = 10,  // reserved
};
const char* ValidationMessage(int code);  // CP932; "" for 0 and out-of-range codes

// 0 may not promote, 1 may promote, 2 must promote, for a piece (as it stands) going from -> to. A move
// from or to a hand or the box never promotes.
int PromotionClass(const Piece& piece, Location from, Location to);
// -1 when the piece cannot reach the target, else its promotion class from where it stands.
int PromotionClassTo(const Position& position, int piece_index, BoardIndex target);
bool DropAllowed(const Position& position, const Piece& piece, BoardIndex target);
// Whether the target's file already holds an unpromoted pawn of the side (the target itself not looked at).
bool TwoPawns(const Position& position, BoardIndex target, Side side);
int ValidateMove(const Position& position, MoveWord move);

// The offset of the line from one board index to another (0 when they share none); knight offsets only
// for a single jump. Read from a table for cells (the mate searches ask at every line they follow).
struct CellSteps {
  int8_t step[kBoardCells][kBoardCells];
};
extern const CellSteps kCellSteps;
int UnitStepOffBoard(BoardIndex from, BoardIndex to);
inline int UnitStep(BoardIndex from, BoardIndex to) {
  const unsigned x = static_cast<unsigned>(from.value()), y = static_cast<unsigned>(to.value());
  if (x < kBoardCells && y < kBoardCells) return kCellSteps.step[x][y];
  return UnitStepOffBoard(from, to);
}
// The index of UnitStep(from, to) in kDirections, or -1.
int DirectionIndex(BoardIndex from, BoardIndex to);
bool Adjacent(BoardIndex a, BoardIndex b);

}  // namespace rules
