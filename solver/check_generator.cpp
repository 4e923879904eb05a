// The attacker's checks, and the helpers both generators share.
#include <algorithm>
#include <cassert>

#include "rules/move_rules.h"
#include "rules/movement.h"
#include "solver/move_generator.h"

using namespace rules;

namespace solver {

MoveGenerator::MoveGenerator(Position& position, NodePool& pool) : pos_(position), pool_(pool) {
  scratch_.SetOwner(&position);
  scratch_.SetKind(FU);
  for (int a = 0; a < 2; ++a) {
    for (int i = 0; i < 12; ++i) {
      for (int kind : {HI, KA, KY}) {
        if (IsLineChecker(i, SideOfBit(a), kind)) line_kinds_[a][i] |= static_cast<uint8_t>(1 << kind);
      }
    }
  }
}

MoveNode* MoveGenerator::NewNode(MoveWord w) {
  MoveNode* node = pool_.Allocate();
  if (!node) {
    failed_ = true;
    return nullptr;
  }
  node->move = w;
  return node;
}

void MoveGenerator::Emit(MoveList& out, const Piece& p, BoardIndex target, Promotion promotion) {
  if (counting_) {
    ++(p.on_board() ? counted_.board : counted_.drops);
    return;
  }
  if (MoveNode* node = NewNode(pos_.BuildMoveWord(p, target, promotion, p.side()))) out.Append(node);
}

MoveGenerator::MoveCount MoveGenerator::CountChecks(Side a, BoardIndex K) {
  counting_ = true;
  counted_ = MoveCount{};
  GenerateChecks(a, K);
  counting_ = false;
  return counted_;
}

MoveGenerator::MoveCount MoveGenerator::CountEvasions(BoardIndex K) {
  counting_ = true;
  counted_ = MoveCount{};
  GenerateEvasions(K);
  counting_ = false;
  return counted_;
}

bool MoveGenerator::AttacksAfter(MoveWord w, BoardIndex K) const {
  const uint8_t code = MakeCode(KindOfIndex(w.Piece()), w.PromotedAfter(), w.SideAfter());
  return AttacksFrom(code, w.From(), w.To().square(), K);
}

bool MoveGenerator::AttacksFrom(uint8_t code, Location from, BoardIndex to, BoardIndex K) const {
  const int d = UnitStep(to, K);
  if (d == 0) return false;
  const int how = MovesAlong(code, d);
  if (how == 0) return false;
  // The square the piece left is empty after the move.
  for (BoardIndex at = to + d;; at += d) {
    if (at == K) return true;
    if (how == 1 || (at != from && pos_.cell(at) != kEmptyCell)) return false;
  }
}

void MoveGenerator::KeepTest(MoveList& out, int piece, BoardIndex target, Promotion promotion, bool want_attack,
                             BoardIndex K) {
  const Piece& p = pos_.piece(piece);
  if (counting_) {
    const uint8_t code = MakeCode(p.kind(), PromotedAfter(p.promoted(), promotion), p.side());
    if (AttacksFrom(code, p.location(), target, K) == want_attack) ++counted_.board;
    return;
  }
  // The node is taken before the test, as the search has always done, so that the pool grows at the
  // same moments whatever the test says.
  MoveNode* node = NewNode(pos_.BuildMoveWord(p, target, promotion, p.side()));
  if (!node) return;
  if (AttacksAfter(node->move, K) == want_attack) {
    out.Append(node);
  } else {
    pool_.Free(node);
  }
}

void MoveGenerator::AttackerExpansion(MoveList& out, int piece, BoardIndex target, bool want_attack, BoardIndex K) {
  switch (PromotionClassTo(pos_, piece, target)) {
    case 0:
      KeepTest(out, piece, target, Promotion::kKeep, want_attack, K);
      break;
    case 1:
      KeepTest(out, piece, target, Promotion::kPromote, want_attack, K);
      KeepTest(out, piece, target, Promotion::kDemote, want_attack, K);
      break;
    case 2:
      KeepTest(out, piece, target, Promotion::kPromote, want_attack, K);
      break;
    default:
      break;
  }
}

void MoveGenerator::DefenderExpansion(MoveList& out, int piece, BoardIndex target) {
  const Piece& p = pos_.piece(piece);
  auto add = [&](Promotion promotion) { Emit(out, p, target, promotion); };
  switch (PromotionClassTo(pos_, piece, target)) {
    case 0:
      add(Promotion::kKeep);
      break;
    case 1:
      add(Promotion::kPromote);
      add(Promotion::kKeep);
      break;
    case 2:
      add(Promotion::kPromote);
      break;
    default:
      break;
  }
}

int MoveGenerator::AdjacentAttackCount(BoardIndex K, Side a) const {
  int n = 0;
  for (int i = 2; i <= 9; ++i) {
    const BoardIndex at = K + kDirections[i];
    if (pos_.cell(at) != kOutsideCell && pos_.Attacked(a, at)) ++n;
  }
  return n;
}

MoveList MoveGenerator::ChecksToSquare(BoardIndex S, BoardIndex K, Side a, bool guarded) {
  assert(pos_.attack_map_valid());
  MoveList out;
  int n;
  const uint8_t* list = pos_.Attackers(a, S, n);
  for (int j = n - 1; j >= 0; --j) {
    const int p = list[j];
    if (pos_.LocationOf(p) == Location(K)) continue;
    if (guarded && pos_.AttacksCell(p, K)) continue;
    AttackerExpansion(out, p, S, true, K);
  }
  return out;
}

MoveGenerator::HandKinds MoveGenerator::KindsInHand(Side a) const {
  static constexpr int kKinds[] = {HI, KA, KI, GI, KE, KY, FU};
  HandKinds hand;
  for (int kind : kKinds) {
    if (pos_.HandCount(a, kind) == 0) continue;
    hand.kind[hand.count] = kind;
    hand.piece[hand.count++] = pos_.LastPieceOfKind(Location::Hand(a), kind);
  }
  return hand;
}

MoveList MoveGenerator::DropChecks(BoardIndex S, BoardIndex K, Side a, const HandKinds& hand) {
  MoveList out;
  // The line to K is the same for every kind: walked once, then each kind only asks how it moves.
  const int d = UnitStep(S, K);
  if (d == 0) return out;
  bool clear = true;
  for (BoardIndex at = S + d; at != K && clear; at += d) clear = pos_.cell(at) == kEmptyCell;
  const bool adjacent = S + d == K;
  for (int j = 0; j < hand.count; ++j) {
    const int kind = hand.kind[j];
    const int how = MovesAlong(MakeCode(kind, false, a), d);
    if (!(how == 2 ? clear : how == 1 && adjacent)) continue;
    // Only the pawn that would check is worth the walk along the file.
    if (kind == FU && TwoPawns(pos_, K, a)) continue;
    Emit(out, pos_.piece(hand.piece[j]), S, Promotion::kDemote);
  }
  return out;
}

MoveList MoveGenerator::LineMovesToSquare(const int* pieces, int count, BoardIndex S, BoardIndex K) {
  MoveList out;
  for (int k = 0; k < count; ++k) {
    const int p = pieces[k];
    const Side side = pos_.SideOf(p);
    int n;
    const uint8_t* list = pos_.Attackers(side, S, n);
    bool listed = false;
    for (int j = 0; j < n && !listed; ++j) listed = list[j] == p;
    if (listed) AttackerExpansion(out, p, S, true, K);
  }
  return out;
}

MoveList MoveGenerator::DiscoveredChecks(BoardIndex S, BoardIndex K, int i, Side a) {
  assert(pos_.attack_map_valid());
  MoveList out;
  if (!pos_.Attacked(a, S)) return out;
  const int o = kDirections[i];
  BoardIndex at = S - o;
  while (pos_.cell(at) == kEmptyCell) at -= o;
  const Piece* q = pos_.PieceAt(at);
  if (!q || q->side() != a || q->MovesInDirection(o) != 2) return out;

  const int b = pos_.cell(S);
  const Piece& blocker = pos_.piece(b);
  for (const MoveVector* v = blocker.Vectors(); v->offset; ++v) {
    if (v->offset == o || v->offset == -o) continue;
    for (BoardIndex t = S + v->offset;; t += v->offset) {
      const uint8_t c = pos_.cell(t);
      if (c == kOutsideCell || (c != kEmptyCell && pos_.SideOf(c) == a)) break;
      if (PromotionClassTo(pos_, b, t) == -1) {
        if (c != kEmptyCell) break;
      } else {
        AttackerExpansion(out, b, t, false, K);
        if (c != kEmptyCell) break;
      }
      if (!v->slides) break;
    }
  }
  return out;
}

MoveList MoveGenerator::GenerateChecks(Side a, BoardIndex K) {
  pos_.RefreshAttackMap();
  MoveList out;
  const HandKinds in_hand = KindsInHand(a);
  const int first = a == kSente ? 0 : 2, last = a == kSente ? 9 : 11;
  for (int i = first; i <= last; ++i) {
    const int o = kDirections[i];
    const BoardIndex S = K - o;
    const uint8_t s_cell = pos_.cell(S);
    if (s_cell == kOutsideCell) continue;
    if (s_cell != kEmptyCell) {
      if (!pos_.Attacked(a, S)) continue;
      out.Append(pos_.SideOf(s_cell) == a ? DiscoveredChecks(S, K, i, a) : ChecksToSquare(S, K, a, true));
      continue;
    }
    out.Append(DropChecks(S, K, a, in_hand));
    if (pos_.Attacked(a, S)) out.Append(ChecksToSquare(S, K, a, true));

    // Farther out along the line only the line kinds can check.
    bool line = false, hand = false;
    int line_pieces[kPieceCount];
    int count = 0;
    for (int kind : {HI, KA, KY}) {
      if (!(line_kinds_[SideIndex(a)][i] & (1 << kind))) continue;
      line = true;
      if (pos_.HandCount(a, kind) > 0) hand = true;
      const int from = kFirstIndexOfKind[kind];
      // Every piece of the kind is looked at, not only as many as are in play: a position set up from a
      // board form numbers promoted pieces after those in the box.
      for (int p = from; p < from + kPiecesPerKind[kind]; ++p) {
        if (pos_.SideOf(p) == a && pos_.piece(p).on_board()) line_pieces[count++] = p;
      }
    }
    if (!line) continue;

    BoardIndex T = S - o;
    for (; pos_.cell(T) == kEmptyCell; T -= o) {
      if (hand) out.Append(DropChecks(T, K, a, in_hand));
      if (count > 0 && pos_.Attacked(a, T)) out.Append(LineMovesToSquare(line_pieces, count, T, K));
    }
    const uint8_t t_cell = pos_.cell(T);
    if (t_cell == kOutsideCell || !pos_.Attacked(a, T)) continue;
    out.Append(pos_.SideOf(t_cell) == a ? DiscoveredChecks(T, K, i, a) : ChecksToSquare(T, K, a, true));
  }
  return out;
}

}  // namespace solver
