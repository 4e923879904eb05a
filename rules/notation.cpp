#include "rules/notation.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "rules/move_rules.h"
#include "rules/position.h"

namespace rules {

const char* const kJapanesePieceNames[16] = {"玉", "飛", "角", "金", "銀", "桂", "香", "歩",
                                             "n玉", "龍", "馬", "n金", "成銀", "成桂", "成香", "と"};
const char* const kCsaPieceCodes[16] = {"OU", "HI", "KA", "KI", "GI", "KE", "KY", "FU",
                                        "??", "RY", "UM", "??", "NG", "NK", "NY", "TO"};
const char* const kSideNames[2] = {"先手", "後手"};
const char* const kFileDigits[10] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
const char* const kRankNumerals[10] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};

namespace {

// Words that tell apart pieces of the same code able to reach the target: position (w1) and motion
// (w2). `mover` is the class of the moving piece (0 for a drop), `others` the classes of the rest.
void DisambiguationWords(int mover, int others, const Piece& piece, const char*& w1, const char*& w2) {
  using R = Relative;
  w1 = w2 = "";
  if (others == 0) return;
  if (mover == 0) {
    w1 = "打";
  } else if (mover == R::kBack) {
    w1 = (piece.code() & 15) == HI ? "行" : "直";
  } else {
    // A word is written when the mover is in its group and some other piece is not.
    if ((mover & R::kOnLeft) && (others & ~R::kOnLeft)) w1 = "左";
    if ((mover & R::kOnRight) && (others & ~R::kOnRight)) w1 = "右";
    if ((mover & R::kBeside) && (others & ~R::kBeside)) w2 = "寄";
    if (mover & R::kAhead) w2 = "引";
    if ((mover & R::kBehind) && (others & ~R::kBehind)) w2 = "上";
  }
}

int OthersClass(const Position& position, const Piece& piece, BoardIndex target) {
  position.RefreshAttackMap();
  const Side side = piece.side();
  const int n = std::min(position.AttackCount(side, target), Position::kAttackListSize);
  const uint8_t* attackers = position.Attackers(side, target);
  int others = 0;
  for (int i = 0; i < n; ++i) {
    const Piece& other = position.piece(attackers[i]);
    if (&other != &piece && other.code() == piece.code()) {
      others |= RelativeClass(target, other.location().square(), side);
    }
  }
  return others;
}

// The number a CSA move gives a place: a square's number, else the stored code (0, 1, 2), as editing
// moves into a hand or the box have always been written.
int CsaPlaceNumber(Location place) {
  return place.IsSquare() ? ToSquareNumber(place.square()).value() : place.code();
}

const char* PieceNameBefore(MoveWord move) {
  return kJapanesePieceNames[KindOfIndex(move.Piece()) + (move.PromotedBefore() ? 8 : 0)];
}

}  // namespace

std::string SquareText(BoardIndex at) {
  if (!at.IsSquare()) return "";
  return std::string(kFileDigits[at.file()]) + kRankNumerals[at.rank()];
}

int RelativeClass(BoardIndex target, BoardIndex from, Side side) {
  if (!from.IsSquare() || !target.IsSquare()) return 0;
  int d = UnitStep(target, from);
  if (side == kGote) d = -d;
  switch (d) {
    case -11: case -21: return Relative::kFrontRight;
    case -10: return Relative::kFront;
    case -9: case -19: return Relative::kFrontLeft;
    case -1: return Relative::kRight;
    case +1: return Relative::kLeft;
    case +9: case +19: return Relative::kBackRight;
    case +10: return Relative::kBack;
    case +11: case +21: return Relative::kBackLeft;
    default: return 0;
  }
}

std::string StandardMoveText(const Position& position, const Piece& piece, MoveWord move) {
  if (!move.To().IsSquare() || !move.To().IsValid()) return "";
  const BoardIndex to = move.To().square();
  const Location from = move.From();
  const int mover = from.IsSquare() ? RelativeClass(to, from.square(), piece.side()) : 0;
  const char *w1, *w2;
  DisambiguationWords(mover, OthersClass(position, piece, to), piece, w1, w2);
  const MoveNode* previous = position.current();
  const bool same_square = previous != position.root() && previous->move.To() == to;
  const char* promotion = "";
  if (PromotionClass(piece, from, to) != 0) promotion = move.PromotedAfter() ? "成" : "不成";
  const char* name = kJapanesePieceNames[piece.code() & 15];
  const char* side = kSideNames[SideIndex(piece.side())];
  std::string text = side;
  if (same_square) {
    text += "同";
  } else {
    text += SquareText(to);
  }
  return text + name + w1 + w2 + promotion;
}

std::string ListMoveText(MoveWord move) {
  if (move.bits == 0) return "";  // the root carries no move
  const Location from = move.From(), to = move.To();
  char origin[8] = "打";
  if (from.IsSquare()) std::snprintf(origin, sizeof origin, "(%d)", ToSquareNumber(from.square()).value());
  std::string text = kSideNames[SideIndex(move.SideBefore())];
  if (!to.IsSquare()) return text + PieceNameBefore(move) + origin + "を駒台/駒箱へ";
  const char* promotion = "";
  if (move.PromotedAfter() != move.PromotedBefore()) promotion = move.PromotedAfter() ? "成" : "生";
  return text + SquareText(to.square()) + PieceNameBefore(move) + promotion + origin;
}

std::string NodeMoveText(const Position& position, const MoveNode& node) {
  if (&node == position.root()) return "";
  if (node.note) return node.note->text;
  return ListMoveText(node.move);
}

std::string CsaMoveText(MoveWord move) {
  const int kind = KindOfIndex(move.Piece());
  const char* sign = move.SideBefore() == kSente ? "+" : "-";
  char text[32];
  const int to = CsaPlaceNumber(move.To());
  if (move.IsDrop()) {
    std::snprintf(text, sizeof text, "%s00%d%s", sign, to, kCsaPieceCodes[kind]);
  } else {
    std::snprintf(text, sizeof text, "%s%d%d%s", sign, CsaPlaceNumber(move.From()), to,
                  kCsaPieceCodes[kind + (move.PromotedAfter() ? 8 : 0)]);
  }
  return text;
}

int ParseCsaPieceCode(const char* two, int* promoted) {
  for (int pass = 0; pass < 2; ++pass) {
    for (int kind = 0; kind < kKindCount; ++kind) {
      const char* code = kCsaPieceCodes[kind + 8 * pass];
      if (code[0] == '?') continue;
      if (two[0] == code[0] && two[1] == code[1]) {
        if (promoted) *promoted = pass;
        return kind;
      }
    }
  }
  return -1;
}

}  // namespace rules
