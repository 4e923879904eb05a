#include "rules/move_rules.h"

#include "rules/position.h"

namespace rules {

namespace {

const char* const kMessages[] = {
    "",
    "二歩です",
    "行き所のない駒は打てません",
    "成れません",
    "不成りは許されません",
    "打ち歩詰めです",
    "そこへは動けません",
    "王手です",
    "手番が違います",
    "成り戻りは許されません",
    "ルール違反です",
};

// The rank of a square as a side sees it: 1 is the farthest rank.
constexpr int RankFor(Side side, BoardIndex at) { return side == kSente ? at.rank() : 10 - at.rank(); }

// A piece promotes when it moves into, out of or inside the three farthest ranks.
constexpr int kPromotionRanks = 3;

// The nearest of the far ranks where an unpromoted piece of the kind still has a move: knights need two
// ranks before them, lances and pawns one. Nearer than that it must promote, and it may not be dropped.
constexpr int FirstRankWithMoves(int kind) { return kind == KE ? 3 : (kind == KY || kind == FU) ? 2 : 1; }

}  // namespace

const char* ValidationMessage(int code) {
  return code >= 0 && code <= kRuleViolation ? kMessages[code] : "";
}

int PromotionClass(const Piece& piece, Location from, Location to) {
  const int kind = piece.kind();
  if (piece.promoted() || kind == OU || kind == KI || !from.IsSquare() || !to.IsSquare()) return 0;
  const Side side = piece.side();
  const int to_rank = RankFor(side, to.square());
  if (RankFor(side, from.square()) > kPromotionRanks && to_rank > kPromotionRanks) return 0;
  return to_rank >= FirstRankWithMoves(kind) ? 1 : 2;
}

int PromotionClassTo(const Position& position, int piece_index, BoardIndex target) {
  const Piece& p = position.piece(piece_index);
  if (!p.CanReach(target)) return -1;
  return PromotionClass(p, p.location(), target);
}

bool DropAllowed(const Position& position, const Piece& piece, BoardIndex target) {
  if (!target.IsSquare() || position.cell(target) != kEmptyCell) return false;
  return RankFor(piece.side(), target) >= FirstRankWithMoves(piece.kind());
}

bool TwoPawns(const Position& position, BoardIndex target, Side side) {
  Piece& pawn = position.scratch();
  pawn.SetSide(side);
  for (int rank = 1; rank <= 9; ++rank) {
    const BoardIndex at = BoardIndex::At(target.file(), rank);
    if (at == target) continue;
    int index = position.cell(at);
    if (index < kPieceCount && position.CodeOf(index) == pawn.code()) return true;
  }
  return false;
}

int ValidateMove(const Position& position, MoveWord move) {
  // A word that names no piece or no square cannot be a move of play.
  if (move.Piece() >= kPieceCount || !move.To().IsSquare() || !move.To().IsValid()) return kCannotMoveThere;
  const Piece& piece = position.piece(move.Piece());
  const Location from = move.From();
  const BoardIndex to = move.To().square();
  if (piece.kind() == FU && !from.IsSquare() && TwoPawns(position, to, piece.side())) return kTwoPawns;
  if (!from.IsSquare() && !DropAllowed(position, piece, to)) return kDropNowhereToGo;
  int c = PromotionClass(piece, from, to);
  if (c == 2 && !move.PromotedAfter()) return kMustPromote;
  if (c == 0 && move.PromotedAfter() && !move.PromotedBefore()) return kCannotPromote;
  if (!piece.CanReach(to)) return kCannotMoveThere;
  if (position.turn_order() && position.side_to_move() != kSideUnset &&
      piece.side() != position.side_to_move()) {
    return kNotYourTurn;
  }
  if (move.PromotedBefore() && !move.PromotedAfter()) return kCannotUnpromote;
  if (move.IsCapture() && move.CapturedSide() == move.SideBefore()) return kCannotMoveThere;
  return kLegal;
}

namespace {

constexpr int StepBetween(BoardIndex a, BoardIndex b) {
  const int r = b.rank() - a.rank(), delta = b - a;
  const int sign = r > 0 ? 1 : -1;
  switch (r) {
    case 0:
      return delta < 1 ? -1 : 1;
    case 1:
    case -1:
      return (delta == 9 * r || delta == 10 * r || delta == 11 * r) ? delta : 0;
    case 2:
    case -2:
      if (delta == 19 * sign || delta == 21 * sign) return delta;
      if (delta == 18 * sign || delta == 20 * sign || delta == 22 * sign) return delta / 2;
      return 0;
    default:
      if (r > 8 || r < -8) return 0;
      if (delta == 9 * r) return 9 * sign;
      if (delta == 10 * r) return 10 * sign;
      if (delta == 11 * r) return 11 * sign;
      return 0;
  }
}

constexpr CellSteps MakeCellSteps() {
  CellSteps t{};
  for (int a = 0; a < kBoardCells; ++a) {
    for (int b = 0; b < kBoardCells; ++b) t.step[a][b] = static_cast<int8_t>(StepBetween(BoardIndex(a), BoardIndex(b)));
  }
  return t;
}

}  // namespace

constinit const CellSteps kCellSteps = MakeCellSteps();

int UnitStepOffBoard(BoardIndex a, BoardIndex b) { return StepBetween(a, b); }

int DirectionIndex(BoardIndex from, BoardIndex to) {
  int d = UnitStep(from, to);
  for (int i = 0; i < 12; ++i) {
    if (kDirections[i] == d) return i;
  }
  return -1;
}

bool Adjacent(BoardIndex a, BoardIndex b) {
  int d = a - b;
  for (int i = 2; i <= 9; ++i) {
    if (kDirections[i] == d) return true;
  }
  return false;
}

}  // namespace rules
