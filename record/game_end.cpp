#include "record/game_end.h"

using namespace rules;

namespace record {
namespace {

struct CsaWord {
  const char* word;
  GameEnd::Kind kind;
};

// The special moves of the CSA standard. The two ILLEGAL_ACTION lines name the offender themselves.
constexpr CsaWord kCsaWords[] = {
    {"%TORYO", GameEnd::kResign},         {"%CHUDAN", GameEnd::kAbort},
    {"%SENNICHITE", GameEnd::kRepetition}, {"%JISHOGI", GameEnd::kImpasse},
    {"%TSUMI", GameEnd::kMate},           {"%FUZUMI", GameEnd::kNoMate},
    {"%TIME_UP", GameEnd::kTimeUp},       {"%ILLEGAL_MOVE", GameEnd::kIllegalLoss},
    {"%KACHI", GameEnd::kEnteringKing},   {"%HIKIWAKE", GameEnd::kDraw},
    {"%MATTA", GameEnd::kMatta},          {"%ERROR", GameEnd::kError},
    {"%MAX_MOVES", GameEnd::kMaxMoves},
};

// A word ends where the line does or at a character no CSA word holds.
bool WordAt(std::string_view line, std::string_view word) {
  if (!line.starts_with(word)) return false;
  if (line.size() == word.size()) return true;
  const char next = line[word.size()];
  return !(next == '_' || (next >= 'A' && next <= 'Z'));
}

}  // namespace

GameEnd GameEnd::StatedBy(Kind kind, Side mover) {
  GameEnd end;
  end.kind = kind;
  if (mover == kSideUnset) return end;
  switch (kind) {
    case kResign:
    case kMate:
    case kTimeUp:
    case kIllegalLoss:
    case kDefaultLoss:
      end.winner = Opponent(mover);
      break;
    case kIllegalWin:
    case kEnteringKing:
    case kDefaultWin:
    case kTry:
      end.winner = mover;
      break;
    default:
      break;
  }
  return end;
}

GameEnd CsaEndOf(std::string_view line, Side side_to_move) {
  if (WordAt(line, "%+ILLEGAL_ACTION")) return {GameEnd::kIllegalWin, kGote};
  if (WordAt(line, "%-ILLEGAL_ACTION")) return {GameEnd::kIllegalWin, kSente};
  for (const CsaWord& w : kCsaWords) {
    if (WordAt(line, w.word)) return GameEnd::StatedBy(w.kind, side_to_move);
  }
  return {};
}

std::string CsaEndLine(const GameEnd& end) {
  if (end.kind == GameEnd::kIllegalWin) {
    // The offender is the loser: "%-ILLEGAL_ACTION" is gote's foul, a win for sente.
    if (end.winner == kSideUnset) return "";
    return end.winner == kSente ? "%-ILLEGAL_ACTION" : "%+ILLEGAL_ACTION";
  }
  for (const CsaWord& w : kCsaWords) {
    if (w.kind == end.kind) return w.word;
  }
  return "";
}

std::string ResultText(const GameEnd& end, bool handicap) {
  switch (end.kind) {
    case GameEnd::kAbort: return "中断";
    case GameEnd::kRepetition: return "千日手";
    case GameEnd::kImpasse: return "持将棋";
    case GameEnd::kDraw:
    case GameEnd::kMaxMoves: return "引分";
    default: break;
  }
  if (end.winner == kSente) return handicap ? "下手勝" : "先手勝";
  if (end.winner == kGote) return handicap ? "上手勝" : "後手勝";
  return "";
}

}  // namespace record
