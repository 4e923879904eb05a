// Game endings: the CSA special moves read as other CSA readers read them, and written back so that
// they say the same; the header's result texts.
#include "record/game_end.h"

#include <gtest/gtest.h>

using namespace rules;
using namespace record;

namespace {

TEST(GameEnd, CsaWordsReadFromTheSideToMove) {
  struct Case {
    const char* line;
    Side to_move;
    GameEnd::Kind kind;
    Side winner;
    const char* result;
  };
  const Case cases[] = {
      {"%TORYO", kSente, GameEnd::kResign, kGote, "後手勝"},  // the side to move resigns
      {"%TORYO,T12", kGote, GameEnd::kResign, kSente, "先手勝"},
      {"%TSUMI", kGote, GameEnd::kMate, kSente, "先手勝"},
      {"%TIME_UP", kSente, GameEnd::kTimeUp, kGote, "後手勝"},
      {"%ILLEGAL_MOVE", kGote, GameEnd::kIllegalLoss, kSente, "先手勝"},
      {"%+ILLEGAL_ACTION", kSente, GameEnd::kIllegalWin, kGote, "後手勝"},  // sente's foul, whoever moves
      {"%-ILLEGAL_ACTION", kSente, GameEnd::kIllegalWin, kSente, "先手勝"},
      {"%KACHI", kGote, GameEnd::kEnteringKing, kGote, "後手勝"},  // the side to move declares the win
      {"%CHUDAN", kSente, GameEnd::kAbort, kSideUnset, "中断"},
      {"%SENNICHITE", kGote, GameEnd::kRepetition, kSideUnset, "千日手"},
      {"%JISHOGI", kSente, GameEnd::kImpasse, kSideUnset, "持将棋"},
      {"%HIKIWAKE", kSente, GameEnd::kDraw, kSideUnset, "引分"},
      {"%FUZUMI", kSente, GameEnd::kNoMate, kSideUnset, ""},
      {"%MATTA", kSente, GameEnd::kMatta, kSideUnset, ""},
      {"%ERROR", kSente, GameEnd::kError, kSideUnset, ""},
      {"%TORYOX", kSente, GameEnd::kNone, kSideUnset, ""},  // not a word of the standard
      {"+7776FU", kSente, GameEnd::kNone, kSideUnset, ""},
  };
  for (const Case& c : cases) {
    const GameEnd end = CsaEndOf(c.line, c.to_move);
    EXPECT_EQ(end.kind, c.kind) << c.line;
    EXPECT_EQ(end.winner, c.winner) << c.line;
    EXPECT_EQ(ResultText(end, false), c.result) << c.line;
  }
  EXPECT_EQ(ResultText(CsaEndOf("%TORYO", kSente), true), "上手勝");
}

TEST(GameEnd, WrittenEndingsReadBackTheSame) {
  for (int k = GameEnd::kNone; k <= GameEnd::kError; ++k) {
    for (Side mover : {kSente, kGote}) {
      const GameEnd end = GameEnd::StatedBy(static_cast<GameEnd::Kind>(k), mover);
      const std::string line = CsaEndLine(end);
      if (line.empty()) continue;  // no CSA word: the header keeps the result
      const GameEnd back = CsaEndOf(line, mover);
      EXPECT_EQ(back.kind, end.kind) << line;
      EXPECT_EQ(back.winner, end.winner) << line;
    }
  }
  // A win by the other's foul names the offender, never "%ILLEGAL_MOVE", which reads as the winner's loss.
  EXPECT_EQ(CsaEndLine(GameEnd::StatedBy(GameEnd::kIllegalWin, kSente)), "%-ILLEGAL_ACTION");
  for (GameEnd::Kind none : {GameEnd::kNone, GameEnd::kDefaultWin, GameEnd::kSealed, GameEnd::kTry}) {
    EXPECT_EQ(CsaEndLine(GameEnd::StatedBy(none, kSente)), "");
  }
}

}  // namespace
