// Reads the moves of Kakinoki records on a board: KIF lines ("  12 ３四歩(33)   ( 0:01/00:00:05)", one
// numbered move per line, the rest of the line being its time) and KI2 lines ("▲７六歩    △３四歩",
// several moves in relative notation). Every move is checked by the move rules and played, so it enters
// the board's record; relative words (右 左 直 寄 引 上 行) pick the piece among those that can reach.
#pragma once
#include <string_view>

#include "record/kakinoki_text.h"

namespace record {

class RecordBoard;

class KakinokiMoveReader {
 public:
  enum class Result {
    kMoves,   // the line's moves were played
    kEnd,     // the line ended the moves (an end keyword, or a token beginning with 先手/後手)
    kFailed,  // a move could not be read or played; the moves before it on the line were played
  };

  // `first_mover`: the side whose move number 1 is (gote in handicap games).
  KakinokiMoveReader(RecordBoard& board, rules::Side first_mover) : board_(board), first_mover_(first_mover) {}

  Result ReadLine(std::string_view line);
  // The end keyword that ended the moves, with the winner it implies (from the side to move then).
  const GameEnd& end() const { return end_; }

  // Whether a line is meant as moves: it begins (after blanks) with a move number, a side mark
  // (▲ △ ▽), a full-width file digit, 同 or an ending word.
  static bool LooksLikeMoveLine(std::string_view line);

 private:
  struct Parsed;
  bool ParseMove(std::string_view& text, Parsed& m) const;
  bool PlayMove(const Parsed& m, rules::Side side);
  Result EndWith(GameEnd::Kind kind);

  RecordBoard& board_;
  rules::Side first_mover_;
  GameEnd end_;
};

}  // namespace record
