#include "solver/mate_engine.h"

#include <algorithm>
#include <cassert>
#include <cstdarg>
#include <cstdio>

#include "platform/clock.h"
#include "rules/move_rules.h"
#include "rules/notation.h"
#include "solver/piece_values.h"
#include "solver/problem_kings.h"
#include "solver/useless_interposition.h"

using namespace rules;

namespace solver {

namespace {

constexpr int kPoolFirstChunk = 20000;
constexpr int kPoolGrowth = 5000;
constexpr int kPoolLimit = 50000;

// Raises the ply for the life of a node and lowers it on every way out.
class PlyStep {
 public:
  PlyStep(int& ply, int by) : ply_(ply), by_(by) { ply_ += by_; }
  ~PlyStep() { ply_ -= by_; }

 private:
  int& ply_;
  int by_;
};

// The interposition square of attack nodes that answer no probed interposition: a code no move goes to.
constexpr Location kNoInterposition = Location::FromCode(127);

// What each answer already mated adds to the value of an undecided defence node.
constexpr int kMatedAnswerBonus = 3;

bool SamePieceAndSquare(MoveWord a, MoveWord b) { return a.Piece() == b.Piece() && a.To() == b.To(); }

// The first sibling after `from` that moves the same piece to the same square (the other promotion
// choice), or null.
MoveNode* TwinAfter(MoveNode* from) {
  for (MoveNode* s = from->next; s; s = s->next) {
    if (SamePieceAndSquare(s->move, from->move)) return s;
  }
  return nullptr;
}

// Unlinks `node` from its parent's child list and puts it right behind `after` (a child of the same
// parent).
void MoveBehind(MoveNode* parent, MoveNode* after, MoveNode* node) {
  if (after->next == node) return;
  parent->UnlinkChild(node);
  node->parent = parent;
  node->next = after->next;
  after->next = node;
}

void MoveToFront(MoveNode* parent, MoveNode* node) {
  if (parent->child == node) return;
  parent->UnlinkChild(node);
  node->parent = parent;
  node->next = parent->child;
  parent->child = node;
}

void SortChildren(MoveNode* node) {
  MoveList list;
  for (MoveNode* c = node->child; c;) {
    MoveNode* next = c->next;
    list.Append(c);
    c = next;
  }
  SortByKeyDescending(list);
  node->child = list.head;
}

}  // namespace

MateEngine::MateEngine(Position& position)
    : pos_(position),
      pool_(std::make_unique<NodePool>(kPoolFirstChunk, kPoolGrowth, kPoolLimit, &position.messages())),
      table_(std::make_unique<MateTable>()) {
  root_ = pool_->Allocate();
  gen_ = std::make_unique<MoveGenerator>(pos_, *pool_);
}

MateEngine::~MateEngine() {
  gen_.reset();
  if (pool_ && root_) pool_->FreeSubtree(root_);
}

// --- the driver ----------------------------------------------------------------------------------------

MoveNode* MateEngine::Solve(int max_depth, platform::ProgressSink* out, platform::AutoResetEvent* stop) {
  assert(!pos_.current()->child);
  out_ = out;
  stop_ = stop;
  max_depth_ = max_depth;
  interrupt_ = 0;
  outcome_ = SolveOutcome::kNoProblem;
  attacker_ = pos_.side_to_move();
  if (attacker_ != kSente && attacker_ != kGote) return nullptr;
  defender_ = Opponent(attacker_);
  const ProblemKings kings = FindProblemKings(pos_, defender_);
  defender_king_ = kings.defender;
  attacker_king_ = kings.attacker;
  // Two kings of the defender (an edited position) leave no one target: not a problem either.
  if (kings.defender_count != 1 || !pool_ || !root_) return nullptr;

  ply_ = 0;
  nodes_ = 0;
  Output("限界探索深度： %d手まで探索", max_depth_);
  start_ms_ = platform::SteadyMilliseconds();
  table_->Clear();
  main_pass_ = true;
  depth_limit_ = 1;
  outcome_ = SolveOutcome::kUndecided;
  if (max_depth_ < 1) {
    FreeChildren(root_);
    return nullptr;
  }

  for (;;) {
    const int r = AttackNode(root_, nullptr, kNoInterposition);
    if (r == kMate) {
      Output(" -----(^_^)v 詰みました(%ld局面探索/%ldsec)", nodes_, ElapsedSeconds());
      Output(" Hash使用 %ld/%ld", static_cast<long>(table_->UsedCount()), static_cast<long>(MateTable::kEntries));
      break;
    }
    if (r == kNoMate) {
      Output(" -----(;_;) 詰みませんでした(%ld局面探索/%ldsec)", nodes_, ElapsedSeconds());
      outcome_ = stopped_ ? SolveOutcome::kInterrupted : SolveOutcome::kNoMate;
      FreeChildren(root_);
      return nullptr;
    }
    depth_limit_ += 2;
    if (depth_limit_ > max_depth_) {
      FreeChildren(root_);
      return nullptr;
    }
  }

  mate_depth_limit_ = depth_limit_;
  main_pass_ = false;
  Output("欠落手順を補正します");
  // The main pass's proofs leaned on table entries proved with more room than they were used with, so
  // neither they nor the lines kept from them need be the shortest. No mate is shorter than the limit
  // that proved it, so the root deepens from there. The main pass's tree is what a stop before the
  // root is proved again still writes.
  MoveNode* main_tree = root_->child;
  root_->child = nullptr;
  int r = ShortestMate(root_, mate_depth_limit_, kUnboundedLimit);
  if (r == kInterrupted) {
    FreeChildren(root_);
    root_->child = main_tree;
  } else {
    FreeSiblings(main_tree);
    if (r == kMate) r = CorrectBelow(root_);
  }
  if (r == kMate) {
    Output(" -----(^_^)v 補正終了(%ld局面探索/%ldsec)", nodes_, ElapsedSeconds());
    Transfer(*root_);
    outcome_ = SolveOutcome::kMate;
  } else if (r == kInterrupted) {
    Output(" ----- 補正中断(%ld局面探索/%ldsec)", nodes_, ElapsedSeconds());
    Transfer(*root_);
    outcome_ = SolveOutcome::kMatePartial;
  } else {
    outcome_ = SolveOutcome::kMateUnconfirmed;
  }
  FreeChildren(root_);
  return SolutionWritten(outcome_) ? pos_.root()->child : nullptr;
}

int MateEngine::ShortestMate(MoveNode* node, int first_limit, int last_limit) {
  // Fresh, and with a fresh table: a proof found below another node may lean on a line that the path
  // here forbids as a repetition, and taking it would make a line too short or lose the checks that
  // lost to it.
  FreeChildren(node);
  table_->Clear();
  int r = kNoMate;
  for (depth_limit_ = first_limit; depth_limit_ <= last_limit; depth_limit_ += 2) {
    r = AttackNode(node, nullptr, kNoInterposition);
    if (r == kMate || r == kNoMate || r == kInterrupted) return r;
  }
  depth_limit_ -= 2;
  return r;
}

int MateEngine::CorrectAttack(MoveNode* node, int first_limit, int last_limit) {
  // The parent's proof mated this answer within last_limit, with the line kept below it: only the
  // shorter limits need a search of their own, and when none of them mates, that line stands.
  MoveNode* kept = node->child;
  node->child = nullptr;
  int r = kept && first_limit <= last_limit - 2 ? ShortestMate(node, first_limit, last_limit - 2) : kNoMate;
  if (r == kInterrupted || r == kMate) {
    FreeSiblings(kept);
    return r == kMate ? CorrectBelow(node) : r;
  }
  if (kept) {
    FreeChildren(node);
    node->child = kept;
    depth_limit_ = last_limit;
    return CorrectBelow(node);
  }
  r = ShortestMate(node, first_limit, last_limit);
  // When the search does not find what the parent's proof found, the table misled it (a proof it held
  // leaned on a line that the path here forbids as a repetition): search again without it.
  if (r != kMate && r != kInterrupted) {
    table_on_ = false;
    r = ShortestMate(node, first_limit, last_limit);
    table_on_ = true;
  }
  return r == kMate ? CorrectBelow(node) : r;
}

int MateEngine::CorrectBelow(MoveNode* node) {
  // The mating check is the node's only child now. The lines below it were found with the room the
  // proving limit left, not necessarily the least: each answer's reply is searched again from a mate
  // in one.
  const int proved_limit = depth_limit_;
  MoveNode* check = node->child;
  if (!check) return kMate;
  if (!Apply(*check, false)) return Fail();
  int r = kMate;
  for (MoveNode* answer = check->child; answer && r == kMate; answer = answer->next) {
    if (!Apply(*answer, false)) {
      r = Fail();
      break;
    }
    PlyStep step(ply_, 2);
    // An answer past the limit (an interposition followed further) is searched as there: from a mate
    // in one.
    r = CorrectAttack(answer, ply_ + 1, std::max(proved_limit, ply_ + 1));
    pos_.RetractFast();
  }
  pos_.RetractFast();
  return r;
}

void MateEngine::Transfer(const MoveNode& node) {
  for (const MoveNode* c = node.child; c; c = c->next) {
    const MoveNode* before = pos_.current();
    pos_.DoMoveQuiet(*c);
    if (pos_.current() == before) continue;  // the record's pool could not take the move
    Transfer(*c);
    pos_.UndoMoveQuiet();
  }
}

// --- attack nodes --------------------------------------------------------------------------------------

bool MateEngine::RepeatsOnPath(const PositionRecord& record, uint32_t hash) const {
  // The same side to move comes back every second ply; a position needs two moves of each side at least
  // to come back.
  constexpr int kShortestCycle = 4;
  for (int d = ply_ - kShortestCycle; d >= 0; d -= 2) {
    const PathEntry& before = chain_[d];
    if (before.tag == hash && before.record.SameBoard(record) && HandNotGreater(record.hand, before.record.hand)) {
      return true;
    }
  }
  return false;
}

int MateEngine::TableValue(const PositionRecord& record, uint32_t hash, int verdict) const {
  const MateTable::Entry& e = table_->at(hash);
  if (e.value == MateTable::kEmpty) return 0;
  const int remaining = depth_limit_ - ply_;
  // In the correction pass a proof answers only where it had no more room than there is here, so that
  // no line comes out longer than it need be; and not at a defence node, whose answers would be missing.
  if (!table_on_) return 0;
  if (!main_pass_ && e.value == kMate && (verdict != kMate || e.remaining > remaining)) return 0;
  const int c = Covers(record, e.record);
  if (c != 0 && e.value == verdict) return verdict;
  if (c == 1 && e.remaining >= remaining) return e.value;
  return 0;
}

int MateEngine::AttackNode(MoveNode* node, const MoveWord* hint, Location interposition_square) {
  // 1. A stop asked for, or the search already unwinding.
  if (interrupt_) return interrupt_;
  if (stop_ && stop_->TestAndReset()) {
    Output("中断されました");
    stopped_ = true;
    interrupt_ = StopValue();
    return interrupt_;
  }
  PlyStep step(ply_, 1);
  ++nodes_;
  // 2. Too little material to mate with.
  if (ply_ != 1 && MaterialPrune()) return kNoMate;

  // 3. A position repeated on the path with no more in hand gains nothing. The record is a local copy:
  // deeper nodes may grow the chain and move its entries.
  PositionRecord record;
  BuildRecord(pos_, attacker_, &record);
  const uint32_t h = RecordHash(record);
  if (RepeatsOnPath(record, h)) return kNoMate;
  PathEntry& here = ChainAt(ply_);
  here.record = record;
  here.tag = h;

  // 4. The table (in the correction pass with proofs that fit the room left only: see TableValue).
  if (const int known = TableValue(record, h, kMate)) return known;

  // 5. The checks: generated and ordered the first time (captures first, then by static value, while
  // the limit leaves room), reordered by their values from the last iteration afterwards. The attack
  // map is brought up to date where it is read (the generators refresh it themselves); a node searched
  // again with its checks kept does not read it at all.
  bool generated = false;
  if (!node->child) {
    MoveList checks = gen_->GenerateChecks(attacker_, DefenderKingSquare());
    if (gen_->failed()) {
      checks.FreeAll(*pool_);
      return Fail();
    }
    if (checks.empty()) return kNoMate;
    // Valuing a check plays it; at the last ply of the limit that is done only while the limit is short.
    constexpr int kShortLimit = 5;
    if (ply_ < depth_limit_ || depth_limit_ < kShortLimit) {
      CapturesFirst(checks);
      for (MoveNode* m = checks.head; m; m = m->next) m->key = StaticValue(*m);
      SortByKeyDescending(checks);
    }
    AttachChildren(node, checks);
    generated = true;
  } else {
    SortChildren(node);
  }

  // 6. The check that mated after a sibling defence is tried first.
  if (hint) {
    for (MoveNode* c = node->child; c; c = c->next) {
      if (SamePieceAndSquare(c->move, *hint) && c->move.PromotedAfter() == hint->PromotedAfter()) {
        MoveToFront(node, c);
        break;
      }
    }
  }

  if (ply_ == 1) {
    if (main_pass_) {
      Output("第%d手まで探索中(既探索局面数=%ld free=%d/%dcell)", depth_limit_, nodes_, pool_->free_count(),
             pool_->total());
    } else {
      Output(". . 第%d手 . .", depth_limit_);
    }
  }
  // 7. Each check in turn.
  return SearchChecks(node, generated, interposition_square, record, h);
}

int MateEngine::SearchChecks(MoveNode* node, bool generated, Location interposition_square,
                             const PositionRecord& record, uint32_t h) {
  const int remaining = depth_limit_ - ply_;
  int best = kNoMate;
  for (MoveNode* c = node->child; c;) {
    MoveNode* next = c->next;
    if (c->move.To() == interposition_square) {
      // Answering the interposition is what the probe already valued.
      c->key = node->key;
      best = std::max(best, c->key);
      c = next;
      continue;
    }
    const bool pawn_drop = c->move.IsDrop() && KindOfIndex(c->move.Piece()) == FU;
    if (ply_ == 1 && main_pass_) Output(" %s ", NodeMoveText(pos_, *c).c_str());

    if (!Apply(*c, false)) return Fail();
    int refutation = kNotRefuted;
    const int r = DefenceNode(c, pawn_drop, &refutation);
    pos_.RetractFast();
    const bool taken_on_its_square = refutation == c->move.To().code();

    if (r == kInterrupted) {
      if (generated) FreeChildren(node);
      return kInterrupted;
    }
    if (r == kMate) {
      // Mate: this check alone stays.
      for (MoveNode* o = node->child; o;) {
        MoveNode* o_next = o->next;
        if (o != c) DeleteChild(node, o);
        o = o_next;
      }
      c->key = kMate;
      table_->StoreVerdict(h, record, kMate, remaining);
      return kMate;
    }
    if (r == kNoMate) {
      // Refuted: the check goes, and when it was taken on its square, so does the other promotion choice.
      if (taken_on_its_square) {
        if (MoveNode* twin = TwinAfter(c)) DeleteChild(node, twin);
      }
      next = c->next;
      DeleteChild(node, c);
      c = next;
      continue;
    }
    // Undecided: the check keeps its value; the other promotion choice, taken the same way, shares it
    // without a search of its own.
    c->key = r;
    if (pool_->IsLow()) FreeChildren(c);
    best = std::max(best, r);
    if (taken_on_its_square && !c->move.PromotedBefore()) {
      if (MoveNode* twin = TwinAfter(c)) {
        MoveBehind(node, c, twin);
        twin->key = r;
        FreeChildren(twin);
        next = twin->next;
      }
    }
    c = next;
  }
  if (best != kNoMate) table_->Store(h, record, best, remaining);
  return best;
}

// --- defence nodes -------------------------------------------------------------------------------------

int MateEngine::DefenceNode(MoveNode* node, bool pawn_drop, int* refutation) {
  if (interrupt_) return interrupt_;
  ++nodes_;
  PlyStep step(ply_, 1);
  // 1. A check that leaves the attacker's own king attacked is no move.
  if (attacker_king_ >= 0) {
    pos_.RefreshAttackMap();
    if (pos_.Attacked(defender_, pos_.LocationOf(attacker_king_).square())) {
      *refutation = kOwnKingLeftInCheck;
      return kNoMate;
    }
  }
  // 2. The answers to the check; none is mate, unless a pawn drop gave it.
  const BoardIndex K = DefenderKingSquare();
  bool generated = false;
  if (!node->child) {
    MoveList evasions = gen_->GenerateEvasions(K);
    if (gen_->failed()) {
      evasions.FreeAll(*pool_);
      return Fail();
    }
    if (evasions.empty()) {
      if (pawn_drop) {
        *refutation = kPawnDropMate;
        return kNoMate;
      }
      return kMate;
    }
    AttachChildren(node, evasions);
    generated = true;
  }

  // 3. Past the limit only interpositions by drop are followed further; otherwise an estimate.
  if (ply_ > depth_limit_) {
    for (MoveNode* e = node->child; e; e = e->next) {
      if (!e->move.IsDrop()) {
        *refutation = kPastDepthLimit;
        return DepthLimitEstimate(*node, K);
      }
    }
  }

  // 4. The table.
  PositionRecord record;
  BuildRecord(pos_, defender_, &record);
  const uint32_t h = RecordHash(record);
  if (const int known = TableValue(record, h, kNoMate)) return known;

  // 5. The attack counts of this position, for the interpositions still to be probed (the map itself
  // changes as the evasions are played).
  const bool distant = !Adjacent(node->move.To().square(), K);
  uint8_t attacker_counts[Position::kMapCells], defender_counts[Position::kMapCells];
  bool unsearched_drop = false;
  for (MoveNode* e = node->child; e && !unsearched_drop; e = e->next) unsearched_drop = !e->child && e->move.IsDrop();
  if (unsearched_drop) {
    pos_.RefreshAttackMap();
    for (int i = 0; i < Position::kMapCells; ++i) {
      attacker_counts[i] = static_cast<uint8_t>(pos_.AttackCount(attacker_, BoardIndex(i)));
      defender_counts[i] = static_cast<uint8_t>(pos_.AttackCount(defender_, BoardIndex(i)));
    }
  }
  constexpr int kMaxProbedSquares = 8;
  int probed_square[kMaxProbedSquares], probed_value[kMaxProbedSquares];
  int probed = 0;
  MoveWord hint;
  bool have_hint = false;

  // 6. Each answer in turn: the position is mate only if every answer is mated.
  for (MoveNode* e = node->child; e;) {
    MoveNode* next = e->next;
    if (e->key == kMate) {
      e = next;
      continue;
    }
    const BoardIndex dest = e->move.To().square();
    int v = kNoMate;
    if (!e->child && e->move.IsDrop()) {
      // 6a. An interposition not searched yet: is it useless (the attacker takes there and still mates)?
      int j = 0;
      while (j < probed && probed_square[j] != dest.value()) ++j;
      if (j < probed) {
        v = probed_value[j];
      } else if (InterpositionMayBeUseless(defender_counts[dest.value()], attacker_counts[dest.value()],
                                           Adjacent(dest, K))) {
        v = InterpositionProbe(dest);
        if (probed < kMaxProbedSquares) {
          probed_square[probed] = dest.value();
          probed_value[probed++] = v;
        }
      }
      if (v == kMate) {
        DeleteChild(node, e);
        e = next;
        continue;
      }
      if (v == kInterrupted) return kInterrupted;
    }

    // 6b. The attacker's reply; a probed interposition's capture is not searched again.
    if (!Apply(*e, false)) return Fail();
    int r;
    if (v == kNoMate) {
      r = AttackNode(e, have_hint ? &hint : nullptr, kNoInterposition);
    } else {
      e->key = v;
      r = AttackNode(e, have_hint ? &hint : nullptr, dest);
    }
    pos_.RetractFast();

    // 6c. One answer that escapes, or stays undecided, decides the node.
    if (r == kInterrupted) {
      if (generated) FreeChildren(node);
      return kInterrupted;
    }
    if (r == kNoMate) {
      *refutation = dest.value();
      table_->StoreVerdict(h, record, kNoMate, depth_limit_ - ply_);
      return kNoMate;
    }
    if (r != kMate) {
      e->key = r;
      MoveToFront(node, e);
      *refutation = dest.value();
      if (pool_->IsLow()) FreeChildren(e);
      // Each answer already mated makes the undecided one more promising.
      for (MoveNode* x = node->child; x; x = x->next) {
        if (x->key == kMate) r += kMatedAnswerBonus;
      }
      return std::clamp(r, kLeastUndecided, kMostUndecided);
    }
    // 6d. Mated: after a distant check, the mating reply is tried first against the next answer.
    e->key = kMate;
    if (distant) {
      have_hint = e->child != nullptr;
      if (have_hint) hint = e->child->move;
    }
    e = next;
  }
  return kMate;
}

int MateEngine::InterpositionProbe(BoardIndex square) {
  if (interrupt_) return interrupt_;
  ++nodes_;
  PlyStep step(ply_, -1);
  pos_.RefreshAttackMap();
  MoveList moves = gen_->ChecksToSquare(square, DefenderKingSquare(), attacker_);
  if (gen_->failed()) {
    moves.FreeAll(*pool_);
    return Fail();
  }
  int best = kNoMate;
  while (MoveNode* m = moves.head) {
    if (!Apply(*m, true)) {
      moves.FreeAll(*pool_);
      return Fail();
    }
    int refutation = kNotRefuted;
    const int r = DefenceNode(m, false, &refutation);
    pos_.RetractFast();
    if (r == kInterrupted || r == kMate) {
      moves.FreeAll(*pool_);
      return r;
    }
    best = std::max(best, r);
    // Taken on its square: the other promotion choice is taken the same way and need not be tried.
    if (refutation == m->move.To().code() && !m->move.PromotedBefore()) {
      for (MoveNode* prev = m; prev->next; prev = prev->next) {
        MoveNode* twin = prev->next;
        if (!SamePieceAndSquare(twin->move, m->move)) continue;
        prev->next = twin->next;
        if (moves.tail == twin) moves.tail = prev;
        twin->next = nullptr;
        pool_->FreeSubtree(twin);
        break;
      }
    }
    moves.head = m->next;
    if (!moves.head) moves.tail = nullptr;
    m->next = nullptr;
    pool_->FreeSubtree(m);
  }
  return best;
}

// --- evaluation ----------------------------------------------------------------------------------------

bool MateEngine::MaterialPrune() {
  // The attacker's material: its pieces on the board (its king included, which can support a mate) and
  // in its hand. The box is nobody's.
  int on_board = 0;
  int by_code[16] = {};
  for (int i = 0; i < kPieceCount; ++i) {
    const Piece& p = pos_.piece(i);
    if (p.on_board() && p.side() == attacker_) {
      ++on_board;
      ++by_code[p.code() & 15];
    }
  }
  int in_hand = 0;
  for (int k = 0; k < kKindCount; ++k) in_hand += pos_.HandCount(attacker_, k);
  const int total = on_board + in_hand;
  const int hand_fu = pos_.HandCount(attacker_, FU), hand_ke = pos_.HandCount(attacker_, KE);
  constexpr int kRY = HI + kPromotedBit, kUM = KA + kPromotedBit;

  if (total <= 1 || on_board == 0) return true;
  if (on_board == 1 && by_code[kRY] == 0 && hand_fu == total - 1) return true;
  if (by_code[FU] == on_board && hand_fu + hand_ke == total - on_board) return true;
  if (hand_fu == total - on_board && by_code[HI] + by_code[kRY] + by_code[KA] + by_code[kUM] + by_code[KY] +
                                             by_code[KE] == 0) {
    pos_.RefreshAttackMap();
    const BoardIndex K = DefenderKingSquare();
    for (int i = kFirstKingDirection; i <= kLastKingDirection; ++i) {
      const BoardIndex at = K + kDirections[i];
      if (pos_.cell(at) != kOutsideCell && pos_.Attacked(attacker_, at)) return false;
    }
    return true;
  }
  return false;
}

// A check's promise, for the order of the first search: the piece checking (worth more when it stays
// useful), less for every square around the king the attacker leaves unattacked, and a point when the
// checking piece is protected.
int MateEngine::StaticValue(const MoveNode& check) {
  constexpr int kBase = 80, kPerFreeSquare = 4, kKingNeighbours = 8;
  if (!Apply(check, false)) return 0;
  pos_.RefreshAttackMap();
  const BoardIndex K = DefenderKingSquare();
  int attacked = 0;
  for (int i = kFirstKingDirection; i <= kLastKingDirection; ++i) {
    const BoardIndex at = K + kDirections[i];
    if (pos_.cell(at) != kOutsideCell && pos_.Attacked(attacker_, at)) ++attacked;
  }
  const MoveWord w = check.move;
  const int protected_square = pos_.Attacked(attacker_, w.To().square()) ? 1 : 0;
  pos_.RetractFast();
  return kBase + PieceValue(KindOfIndex(w.Piece()), w.PromotedAfter()) - kPerFreeSquare * (kKingNeighbours - attacked) +
         protected_square;
}

// The value of a defence node past the depth limit: the freer the king (its square, the answers that
// move it or capture, and what they take) the less promising the attack.
int MateEngine::DepthLimitEstimate(const MoveNode& node, BoardIndex king_square) const {
  constexpr int kBase = 80, kKingMove = 4, kDrop = 1, kCapture = 3;
  int s = 0;
  for (const MoveNode* e = node.child; e; e = e->next) {
    const MoveWord w = e->move;
    const int taken = w.IsCapture() ? PieceValue(KindOfIndex(w.Captured()), w.CapturedPromoted()) : 0;
    if (w.Piece() == defender_king_) {
      s += kKingMove + taken;
    } else if (w.IsDrop()) {
      s += kDrop;
    } else if (w.IsCapture()) {
      s += kCapture + taken;
    }
  }
  return std::clamp(kBase - KingSquareValue(defender_, king_square) - s, kLeastUndecided, kMostUndecided);
}

// --- housekeeping --------------------------------------------------------------------------------------

bool MateEngine::Apply(const MoveNode& node, bool keep_side) { return pos_.ApplyFast(node, keep_side) != 0; }

int MateEngine::Fail() {
  // The pool has already said why; unwind as an interrupted search would, so nothing half-built is
  // taken for a result.
  stopped_ = true;
  interrupt_ = StopValue();
  return interrupt_;
}

void MateEngine::FreeSiblings(MoveNode* first) {
  while (MoveNode* c = first) {
    first = c->next;
    c->next = nullptr;
    pool_->FreeSubtree(c);
  }
}

void MateEngine::FreeChildren(MoveNode* node) {
  while (MoveNode* c = node->child) {
    node->child = c->next;
    c->next = nullptr;
    pool_->FreeSubtree(c);
  }
}

void MateEngine::DeleteChild(MoveNode* parent, MoveNode* child) {
  parent->UnlinkChild(child);
  pool_->FreeSubtree(child);
}

MateEngine::PathEntry& MateEngine::ChainAt(int ply) {
  if (ply >= static_cast<int>(chain_.size())) chain_.resize(ply + 16);
  return chain_[ply];
}

long MateEngine::ElapsedSeconds() const {
  return static_cast<long>((platform::SteadyMilliseconds() - start_ms_) / 1000);
}

void MateEngine::Output(const char* format, ...) {
  if (!out_) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(line_, sizeof line_, format, args);
  va_end(args);
  out_->Line(line_);
}

}  // namespace solver
