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

}  // namespace

const char* ValidationMessage(int code) {
  return code >= 0 && code <= kRuleViolation ? kMessages[code] : "";
}

int PromotionClass(const Piece& piece, int from, int to) {
  int kind = piece.kind();
  if (piece.promoted() || kind == OU || kind == KI || from < kFirstSquare || to < kFirstSquare) return 0;
  if (piece.side() == kSente) {
    if (from >= 51 && to >= 51) return 0;
    if (kind == KE) return to >= 41 ? 1 : 2;
    if (kind == KY || kind == FU) return to >= 31 ? 1 : 2;
    return 1;
  }
  if (from < 81 && to < 81) return 0;
  if (kind == KE) return to >= 91 ? 2 : 1;
  if (kind == KY || kind == FU) return to < 101 ? 1 : 2;
  return 1;
}

int PromotionClassTo(const Position& position, int piece_index, int target) {
  const Piece& p = position.piece(piece_index);
  if (!p.CanReach(target)) return -1;
  return PromotionClass(p, p.location(), target);
}

bool DropAllowed(const Position& position, const Piece& piece, int target) {
  if (!IsBoardIndex(target) || position.cell(target) != kEmptyCell) return false;
  switch (piece.kind()) {
    case KE:
      return piece.side() == kSente ? target >= 41 : target < 91;
    case KY:
    case FU:
      return piece.side() == kSente ? target >= 31 : target < 101;
    default:
      return true;
  }
}

int TwoPawns(const Position& position, int target, int side) {
  Piece& pawn = position.scratch();
  pawn.SetSide(side);
  for (int at = FileOf(target) + 20; at <= kLastSquare; at += 10) {
    if (at == target) continue;
    int index = position.cell(at);
    if (index < kPieceCount && position.CodeOf(index) == pawn.code()) return 1;
  }
  return 0;
}

int ValidateMove(const Position& position, MoveWord move) {
  // A word that names no piece or no square cannot be a move of play.
  if (move.Piece() >= kPieceCount || !IsBoardIndex(move.To())) return kCannotMoveThere;
  const Piece& piece = position.piece(move.Piece());
  const int from = move.From(), to = move.To();
  if (piece.kind() == FU && from < kFirstSquare && TwoPawns(position, to, piece.side())) return kTwoPawns;
  if (from < kFirstSquare && !DropAllowed(position, piece, to)) return kDropNowhereToGo;
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

int UnitStep(int a, int b) {
  const int r = b / 10 - a / 10, delta = b - a;
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

int DirectionIndex(int from, int to) {
  int d = UnitStep(from, to);
  for (int i = 0; i < 12; ++i) {
    if (kDirections[i] == d) return i;
  }
  return -1;
}

bool Adjacent(int a, int b) {
  int d = a - b;
  for (int i = 2; i <= 9; ++i) {
    if (kDirections[i] == d) return true;
  }
  return false;
}

}  // namespace rules
