// The defender's answers to a check.
//
// Order for a single check: captures of the checker; then, for a sliding checker, either all king moves
// and the interpositions (when more than one square around the king is attacked), or the capturing king
// moves, the interpositions and the other king moves; for a stepping checker the king moves. A double
// check is answered by king moves only.
#include <algorithm>
#include <array>

#include "rules/move_rules.h"
#include "rules/movement.h"
#include "solver/move_generator.h"

using namespace rules;

namespace solver {

namespace {

// The direction index of a king step, by offset + 11.
constexpr auto kKingDirectionIndex = [] {
  std::array<int8_t, 23> table{};
  for (int i = 2; i <= 9; ++i) table[kDirections[i] + 11] = static_cast<int8_t>(i);
  return table;
}();

}  // namespace

LineTable MoveGenerator::BuildLineTable(BoardIndex K, Side a) {
  LineTable table;
  const int first = a == kSente ? 0 : 2, last = a == kSente ? 9 : 11;
  for (int i = first; i <= last; ++i) {
    const int o = kDirections[i];
    const bool line = IsLine(i, a);
    BoardIndex T = K - o;
    bool stepped = false;
    if (line) {
      for (; pos_.cell(T) == kEmptyCell; T -= o) stepped = true;
    }
    const uint8_t c = pos_.cell(T);
    if (c >= kPieceCount) continue;
    const Piece& p = pos_.piece(c);
    LineEntry& e = table.entry[i];
    if (p.side() != a) {
      if (!line) continue;
      BoardIndex U = T - o;
      while (pos_.cell(U) == kEmptyCell) U -= o;
      const Piece* behind = pos_.PieceAt(U);
      if (behind && behind->side() == a && behind->MovesInDirection(o) == 2) {
        e.pinned = c;
        e.pin_direction = static_cast<int8_t>(-o);
      }
    } else if (p.MovesInDirection(o) == 2) {
      e.checker = c;
      e.sliding = 1;
    } else if (!stepped && p.MovesInDirection(o) == 1) {
      e.checker = c;
    }
  }
  return table;
}

bool MoveGenerator::KingMayStep(const LineTable& table, const Piece& k, int offset) const {
  const int i = kKingDirectionIndex[offset + 11];
  if (table.entry[i].checker != kEmptyCell && table.entry[i].sliding) return false;
  const BoardIndex T = k.location().square() + offset;
  const uint8_t c = pos_.cell(T);
  if (c == kOutsideCell || (c != kEmptyCell && pos_.SideOf(c) == k.side())) return false;
  return !pos_.Attacked(Opponent(k.side()), T);
}

MoveList MoveGenerator::KingMoves(const LineTable& table, int king) {
  MoveList out;
  const Piece& k = pos_.piece(king);
  const BoardIndex K = k.location().square();
  for (const MoveVector* v = k.Vectors(); v->offset; ++v) {
    if (!KingMayStep(table, k, v->offset)) continue;
    Emit(out, k, K + v->offset, Promotion::kKeep);
  }
  CapturesFirst(out);
  return out;
}

bool MoveGenerator::KingCanStep(BoardIndex K) {
  pos_.RefreshAttackMap();
  const uint8_t king = pos_.cell(K);
  if (king >= kPieceCount) return false;
  const Piece& k = pos_.piece(king);
  const LineTable table = BuildLineTable(K, Opponent(k.side()));
  for (const MoveVector* v = k.Vectors(); v->offset; ++v) {
    if (KingMayStep(table, k, v->offset)) return true;
  }
  return false;
}

bool MoveGenerator::Pinned(const LineTable& table, int piece, BoardIndex target) const {
  for (const LineEntry& e : table.entry) {
    if (e.pinned != piece) continue;
    const int step = UnitStep(pos_.LocationOf(piece).square(), target);
    return step != e.pin_direction && step != -e.pin_direction;
  }
  return false;
}

MoveList MoveGenerator::CapturesOnSquare(const LineTable& table, BoardIndex S, int king, Side d) {
  MoveList out;
  int n;
  const uint8_t* list = pos_.Attackers(d, S, n);
  for (int j = 0; j < n; ++j) {
    const int p = list[j];
    if (p == king || Pinned(table, p, S)) continue;
    DefenderExpansion(out, p, S);
  }
  return out;
}

MoveList MoveGenerator::InterpositionDrops(BoardIndex S, Side d) {
  static constexpr int kKinds[] = {FU, KY, KE, GI, KI, KA, HI};
  MoveList out;
  for (int kind : kKinds) {
    if (pos_.HandCount(d, kind) == 0) continue;
    if (kind == FU && TwoPawns(pos_, S, d)) continue;
    scratch_.SetKind(kind);
    scratch_.SetSide(d);
    scratch_.SetPromoted(false);
    if (!DropAllowed(pos_, scratch_, S)) continue;
    const Piece& p = pos_.piece(pos_.LastPieceOfKind(Location::Hand(d), kind));
    Emit(out, p, S, Promotion::kKeep);
  }
  return out;
}

namespace {

// Moves the run [first, last] of `list` (prev_first precedes first, or is null at the head) to the head.
void MoveRunToHead(MoveList& list, MoveNode* prev_first, MoveNode* first, MoveNode* last) {
  if (!prev_first) return;  // already at the head
  prev_first->next = last->next;
  if (list.tail == last) list.tail = prev_first;
  last->next = list.head;
  list.head = first;
}

// Finds the first run of consecutive nodes with destination T (drops only when `drops_only`) and moves
// it to the head of the list.
void RaiseFirstRun(MoveList& list, BoardIndex T, bool drops_only) {
  auto matches = [&](const MoveNode* m) { return m->move.To() == Location(T) && (!drops_only || m->move.IsDrop()); };
  MoveNode* prev = nullptr;
  MoveNode* m = list.head;
  while (m && !matches(m)) {
    prev = m;
    m = m->next;
  }
  if (!m) return;
  MoveNode* last = m;
  while (last->next && matches(last->next)) last = last->next;
  MoveRunToHead(list, prev, m, last);
}

}  // namespace

MoveList MoveGenerator::Interpositions(const LineTable& table, int king) {
  MoveList out;
  const int i = table.FirstChecker();
  if (i < 0) return out;
  const BoardIndex K = pos_.LocationOf(king).square();
  const Side d = pos_.SideOf(king);
  const BoardIndex C = pos_.LocationOf(table.entry[i].checker).square();
  const int o = kDirections[i];
  for (BoardIndex T = K - o; T != C; T -= o) {
    out.Append(InterpositionDrops(T, d));
    out.Append(CapturesOnSquare(table, T, king, d));
  }
  // Squares the defender holds come first, the farther ones ahead of the nearer.
  for (BoardIndex T = K - o; T != C; T -= o) {
    const int n = pos_.AttackCount(d, T);
    if (n >= 2) {
      RaiseFirstRun(out, T, false);
    } else if (n == 1) {
      RaiseFirstRun(out, T, true);
    }
  }
  return out;
}

MoveList MoveGenerator::GenerateEvasions(BoardIndex K) {
  pos_.RefreshAttackMap();
  MoveList out;
  const uint8_t king = pos_.cell(K);
  if (king >= kPieceCount) return out;
  const Side d = pos_.SideOf(king), a = Opponent(d);
  const LineTable table = BuildLineTable(K, a);
  const int n = pos_.AttackCount(a, K);
  if (n == 0) return out;
  const int i = table.FirstChecker();
  if (n >= 2 || i < 0) return KingMoves(table, king);

  const LineEntry& checker = table.entry[i];
  out.Append(CapturesOnSquare(table, pos_.LocationOf(checker.checker).square(), king, d));
  if (!checker.sliding) {
    out.Append(KingMoves(table, king));
  } else if (AdjacentAttackCount(K, a) > 1) {
    out.Append(KingMoves(table, king));
    out.Append(Interpositions(table, king));
  } else {
    MoveList king_moves = KingMoves(table, king);
    int captures = 0;
    for (MoveNode* m = king_moves.head; m && m->move.IsCapture(); m = m->next) ++captures;
    out.Append(king_moves.TakeFront(captures));
    out.Append(Interpositions(table, king));
    out.Append(king_moves);
  }
  return out;
}

}  // namespace solver
