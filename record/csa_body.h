// The body layer of the CSA text: what the board itself reads and writes (RecordBoard::Serialize). The text
// is described at the top of csa_body.cpp.
#pragma once
#include <string>
#include <string_view>

#include "record/game_end.h"
#include "rules/move_word.h"

namespace rules {
class Position;
struct MoveNode;
}  // namespace rules

namespace record {

class Archive;

// What is wrong with a move line, as the checks find it in this order: its form, the side to move, the
// from square (or the hand), the piece code, the target, then the rules of play.
enum class CsaMoveError { kNone, kFormat, kSide, kFrom, kKind, kTo, kIllegal };
// The message of an error with the line in it, e.g. "指し手が間違っています(+8833UM)".
std::string CsaMoveErrorText(CsaMoveError error, std::string_view line);

// How reading a body went. A position line that does not read stops the reading; a move line that does
// not read (or that the record cannot take) stops the moves, and the moves before it stay in the record.
struct CsaBodyResult {
  enum Status { kOk, kBadPosition, kBadMove, kNoNode };
  Status status = kOk;
  std::string bad_line;   // the line that stopped the reading
  int bad_line_number = 0;  // its number in the text read (1 the first), for messages
  CsaMoveError move_error = CsaMoveError::kNone;  // why, for kBadMove
  bool game_end = false;  // the game ended at a "/" line (more games may follow in the stream)
  GameEnd end;            // the ending its last "%" line states (kNone without one)
  bool ok() const { return status == kOk; }
};
// The message that tells a user why the reading stopped: "駒配置指定エラーです。(...)", the move line's
// error, or "No memory!!" with the line; "" when it did not stop.
std::string CsaBodyProblemText(const CsaBodyResult& result);

// Reads a move line such as "+7776FU" (characters after the seventh are ignored) against a position:
// the sign names the mover, 00 as the from square a drop of the lowest-numbered piece of that kind in the
// mover's hand, otherwise the mover's piece standing on the from square, promoted after the move when
// the code is a promoted one. The move must be one of play (the rules checked, the side to move's unless
// that is unset). Fills the piece index, target square and promotion when there is no error.
struct CsaMove {
  int piece = -1;
  rules::BoardIndex to;
  bool promote = false;  // promoted after the move
  rules::Side side = rules::kSente;
};
CsaMoveError ReadCsaMove(const rules::Position& position, std::string_view line, CsaMove& move);
inline bool ParseCsaMoveLine(const rules::Position& position, std::string_view line, CsaMove& move) {
  return ReadCsaMove(position, line, move) == CsaMoveError::kNone;
}

// Writes the moves below a node depth first, as the body does after "'以下手順": each move with its
// annotation lines, its children, then its later siblings preceded by "'手数目:%d". `first_number` is the
// number of the node's first child move.
void WriteCsaMoveTree(const rules::MoveNode& from, int first_number, Archive& ar);

// True when the text begins with "+" or "-" and exactly four digits (what the header scan stops at).
bool LooksLikeCsaMove(std::string_view token);
// Skips blanks, tabs and full-width spaces at the start.
std::string_view SkipCsaBlanks(std::string_view line);

}  // namespace record
