// The body layer of the CSA text: what the board itself reads and writes (RecordBoard::Serialize). The text
// is described at the top of csa_body.cpp.
#pragma once
#include <string>
#include <string_view>

#include "rules/move_word.h"

namespace rules {
class Position;
struct MoveNode;
}  // namespace rules

namespace record {

class Archive;

// How reading a body went. A move line that does not read (or that the record cannot take) stops the
// moves; the moves before it stay in the record.
struct CsaBodyResult {
  enum Status { kOk, kBadMove, kNoNode };
  Status status = kOk;
  std::string bad_line;   // the move line that stopped the reading
  bool game_end = false;  // the game ended at a "/" line (more games may follow in the stream)
  bool ok() const { return status == kOk; }
};

// Reads a move line such as "+7776FU" (characters after the seventh are ignored) against a position:
// the sign names the mover, 00 as the from square a drop of the lowest-numbered piece of that kind in the
// mover's hand, otherwise the mover's piece standing on the from square, promoted after the move when
// the code is a promoted one. Fills the piece index, target board index and promotion; false when the
// line is no move of this position (a square without the mover's piece of that kind, an occupied drop
// target, a capture of the mover's own piece...).
struct CsaMove {
  int piece = -1;
  rules::BoardIndex to;
  bool promote = false;  // promoted after the move
  rules::Side side = rules::kSente;
};
bool ParseCsaMoveLine(const rules::Position& position, std::string_view line, CsaMove& move);

// Writes the moves below a node depth first, as the body does after "'以下手順": each move with its
// annotation lines, its children, then its later siblings preceded by "'手数目:%d". `first_number` is the
// number of the node's first child move.
void WriteCsaMoveTree(const rules::MoveNode& from, int first_number, Archive& ar);

// True when the text begins with "+" or "-" and exactly four digits (what the header scan stops at).
bool LooksLikeCsaMove(std::string_view token);
// Skips blanks, tabs and full-width spaces at the start.
std::string_view SkipCsaBlanks(std::string_view line);

}  // namespace record
