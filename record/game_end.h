// How a game ended, in the words records use for it: the CSA special moves ("%TORYO" ...), the ending
// words and summary lines of Kakinoki records (read in kakinoki_text.h), and the 試合結果 a header keeps.
//
// Most endings are stated from the side to move at that point: 投了 / %TORYO is that side resigning,
// %KACHI that side declaring a win. A record's reader turns that into a winner as it meets the ending.
#pragma once
#include <string>
#include <string_view>

#include "rules/side.h"

namespace record {

struct GameEnd {
  enum Kind {
    kNone,          // nothing stated: the moves simply stop
    kResign,        // 投了, %TORYO: the side to move resigns
    kAbort,         // 中断, %CHUDAN
    kRepetition,    // 千日手, %SENNICHITE
    kImpasse,       // 持将棋, %JISHOGI
    kMate,          // 詰み, %TSUMI: the side to move is mated
    kNoMate,        // 不詰, %FUZUMI
    kTimeUp,        // 切れ負け, 時間切れ, %TIME_UP: the side to move loses on time
    kIllegalLoss,   // 反則負け, %ILLEGAL_MOVE: the side to move loses by a foul
    kIllegalWin,    // 反則勝ち: the side to move wins by the other's foul; %+/-ILLEGAL_ACTION names the offender
    kEnteringKing,  // 入玉勝ち, %KACHI: the side to move declares a win
    kDraw,          // %HIKIWAKE: a drawn declaration
    kDefaultWin,    // 不戦勝 (no CSA word)
    kDefaultLoss,   // 不戦敗 (no CSA word)
    kSealed,        // 封じ手: the game goes on another day (no CSA word, no result)
    kTry,           // トライ: the side to move wins by the try rule (no CSA word)
    kMatta,         // %MATTA
    kError,         // %ERROR
    kMaxMoves,      // %MAX_MOVES (CSA 3.0): the move limit reached, a draw
  };
  Kind kind = kNone;
  rules::Side winner = rules::kSideUnset;  // unset: no winner (a draw, an abort) or none stated

  // The ending stated by the side to move `mover`, with the winner it implies.
  static GameEnd StatedBy(Kind kind, rules::Side mover);
};

// A CSA special-move line ("%TORYO", "%+ILLEGAL_ACTION"; what follows the word is ignored) read with
// `side_to_move` to move, as other CSA readers read it; kind kNone when the line holds no such word.
GameEnd CsaEndOf(std::string_view line, rules::Side side_to_move);

// The CSA line for an ending ("%TORYO", "%-ILLEGAL_ACTION" ...), or "" when CSA has no word for it:
// such an ending lives in the header's 試合結果 alone.
std::string CsaEndLine(const GameEnd& end);

// The 試合結果 of an ending as the header keeps it (at most six bytes): "先手勝" / "後手勝" ("下手勝" /
// "上手勝" for a handicap game), "千日手", "持将棋", "中断", "引分"; "" when it states no result.
std::string ResultText(const GameEnd& end, bool handicap);

}  // namespace record
