// Whether a move word is acceptable as a move of play, and the geometry the move texts and the mate
// search share. The validation is local: it does not look for a king left in check or a pawn-drop mate.
#pragma once
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

// 0 may not promote, 1 may promote, 2 must promote, for a piece (as it stands) going from -> to.
int PromotionClass(const Piece& piece, int from, int to);
// -1 when the piece cannot reach the target, else its promotion class from where it stands.
int PromotionClassTo(const Position& position, int piece_index, int target);
bool DropAllowed(const Position& position, const Piece& piece, int target);
// 1 when the target's file already holds an unpromoted pawn of the side (the target itself not looked at).
int TwoPawns(const Position& position, int target, int side);
int ValidateMove(const Position& position, MoveWord move);

// The offset of the line from one board index to another (0 when they share none); knight offsets only
// for a single jump.
int UnitStep(int from, int to);
// The index of UnitStep(from, to) in kDirections, or -1.
int DirectionIndex(int from, int to);
bool Adjacent(int a, int b);

}  // namespace rules
