#include "solver/dfpn_engine.h"

#include <algorithm>
#include <cassert>
#include <cstdarg>
#include <cstdio>

#include "platform/clock.h"
#include "rules/move_rules.h"
#include "solver/problem_kings.h"
#include "solver/useless_interposition.h"

using namespace rules;

namespace solver {

namespace {

constexpr int kPoolFirstChunk = 2000;
constexpr int kPoolGrowth = 2000;
constexpr int kPoolLimit = 1 << 30;  // the generators' lists are returned at once; "low" never matters
constexpr long kPollInterval = 1024;
constexpr int64_t kReportIntervalMs = 1000;
// No square: the node answers no interposition.
constexpr BoardIndex kNoSquare = BoardIndex(0);

// Mate on the board: it holds with any remaining depth.
constexpr DfpnValue kMateOnBoard{0, kInfinitePn, kAnyDepth, false};
constexpr DfpnValue kDisproven{kInfinitePn, 0, 0, false};
constexpr DfpnValue kRepetition{kInfinitePn, 0, 0, true};

// A disproof that holds with any number of plies left (no check, or an illegal position), or with none
// left (a board answer past the bound).
DfpnValue AtAnyDepth(DfpnValue v) {
  v.holds_within = kInfiniteDepth;
  return v;
}
DfpnValue PastTheBound(DfpnValue v) {
  v.holds_within = 0;
  return v;
}

// One ply more than a child's disproof holds for, within the depths a value can name.
int OnePlyMore(int within) { return std::min(within + 1, kInfiniteDepth); }

// A drop that may be a useless interposition is seldom the defender's refutation (taking it usually
// mates as if it had not been made), so until its probe is searched it is refuted last: above the
// number of any board answer (at most 64 checks are counted).
constexpr ProofNumber kUnsearchedProbeDn = 1000;
// Remaining depths above this belong to an unbounded search (which probes only in turns: see the header).
constexpr int kUnboundedRemaining = kInfiniteDepth - 4000;
// Past the deepest ply: hopeless, but not disproven.
constexpr DfpnValue kTooDeep{kInfinitePn, kInfinitePn, 0, false};

// The threshold for the best child: the second best's number times 1 + 1/4, at least one more, within
// the parent's own threshold.
ProofNumber EpsilonThreshold(ProofNumber parent_threshold, ProofNumber second) {
  if (second >= kInfinitePn - 1) return parent_threshold;
  const uint64_t t = uint64_t{second} + 1 + second / 4;
  return static_cast<ProofNumber>(std::min<uint64_t>(parent_threshold, t));
}

// The threshold of the number summed over the children: what the parent may still spend, given to the
// best child on top of its own number.
ProofNumber SumThreshold(ProofNumber parent_threshold, ProofNumber parent_sum, ProofNumber child) {
  if (parent_threshold >= kInfinitePn) return kInfinitePn;
  const uint64_t t = uint64_t{parent_threshold} - parent_sum + child;
  return static_cast<ProofNumber>(std::min<uint64_t>(t, kInfinitePn - 1));
}

// The drops of a defence node by square: drops of different pieces on one square are answered alike
// (taken, or the same probe), so a square counts with its hardest drop rather than with all of them.
class DropSquares {
 public:
  void Add(BoardIndex square, ProofNumber pn) {
    for (int i = 0; i < count_; ++i) {
      if (square_[i] == square.value()) {
        pn_[i] = std::max(pn_[i], pn);
        return;
      }
    }
    if (count_ == kMax) {
      extra_ = SaturatedAdd(extra_, pn);
      return;
    }
    square_[count_] = square.value();
    pn_[count_++] = pn;
  }
  ProofNumber Sum() const {
    ProofNumber s = extra_;
    for (int i = 0; i < count_; ++i) s = SaturatedAdd(s, pn_[i]);
    return s;
  }

 private:
  static constexpr int kMax = 8;  // a line to the king has at most seven squares between
  int square_[kMax] = {};
  ProofNumber pn_[kMax] = {};
  int count_ = 0;
  ProofNumber extra_ = 0;
};

}  // namespace

struct DfpnEngine::Child {
  MoveWord move;
  uint64_t board = 0;  // the board key after the move
  PackedHand hand;     // the attacker's hand after the move
  DfpnValue value;
  // While set, the child stands for the capture probe of its interposition square (see the header).
  BoardIndex probe = kNoSquare;
  bool keep_side = false;     // a probe's capture: the side to move stays the defender's
  uint64_t parent_board = 0;  // where the probe is asked
  bool attack_position = false;
  bool useless = false;
  // The most remaining plies of the parent at which the answer counts (a drop: those its failed probe
  // holds for; a board move: any).
  int counted_within = kInfiniteDepth;
};

DfpnEngine::DfpnEngine(Position& position, DfpnOptions options)
    : pos_(position),
      options_(options),
      pool_(std::make_unique<NodePool>(kPoolFirstChunk, kPoolGrowth, kPoolLimit, &position.messages())),
      table_(std::make_unique<DfpnTable>(options.memory_mb)),
      keys_(std::make_unique<ZobristKeys>()),
      child_stack_(kMaxPly + 4) {
  gen_ = std::make_unique<MoveGenerator>(pos_, *pool_);
}

DfpnEngine::~DfpnEngine() = default;

// --- the driver ----------------------------------------------------------------------------------------

namespace {

// The least odd bound of at least one that a proof needing `needed` plies fits.
int OddBound(int needed) {
  const int n = std::max(needed, 1);
  return n % 2 ? n : n + 1;
}

}  // namespace

SolveOutcome DfpnEngine::Solve(platform::ProgressSink* out, platform::AutoResetEvent* stop) {
  assert(!pos_.current()->child);
  out_ = out;
  stop_ = stop;
  attacker_ = pos_.side_to_move();
  if (attacker_ != kSente && attacker_ != kGote) return SolveOutcome::kNoProblem;
  defender_ = Opponent(attacker_);
  const ProblemKings kings = FindProblemKings(pos_, defender_);
  defender_king_ = kings.defender;
  attacker_king_ = kings.attacker;
  if (kings.defender_count != 1) return SolveOutcome::kNoProblem;

  Output("df-pn 探索開始 (置換表 %ldMB, %ld局面)", static_cast<long>(table_->megabytes()),
         static_cast<long>(table_->entries()));
  start_ms_ = Now();
  next_report_ms_ = start_ms_ + kReportIntervalMs;
  nodes_ = 0;
  next_poll_ = 0;  // a stop asked before the start counts at once
  deadline_ms_ = options_.time_limit_ms > 0 ? start_ms_ + options_.time_limit_ms : 0;
  // Bounds are odd: an attacker node with r plies left may still give a check that mates at once at r + 1.
  const int bound = options_.max_plies > 0 ? options_.max_plies - (options_.max_plies % 2 == 0) : kInfiniteDepth;
  Node root{Kind::kAttack, keys_->Board(pos_), PackedHand::Of(pos_, attacker_), 0, bound, kNoSquare};
  const DfpnValue proof = FirstProof(root);
  elapsed_ms_ = Now() - start_ms_;
  auto seconds = [this] { return static_cast<long>(elapsed_ms_ / 1000); };
  auto rate = [this] { return static_cast<long>(nodes_ * 1000 / std::max<int64_t>(elapsed_ms_, 1)); };

  if (stopped_ || failed_ || !proof.solved()) {
    const bool timed_out = options_.time_limit_ms > 0 && elapsed_ms_ >= options_.time_limit_ms;
    if (!timed_out && stopped_) Output("中断されました");
    Output(" ----- 判定できませんでした(%ld局面探索/%ldsec, %ld局面/秒)", nodes_, seconds(), rate());
    return stopped_ && !timed_out ? SolveOutcome::kInterrupted : SolveOutcome::kUndecided;
  }
  if (proof.disproven() && bound != kInfiniteDepth) {
    refuted_within_bound_ = true;
    Output(" ----- %d手以内の詰みはありません(%ld局面探索/%ldsec)", options_.max_plies, nodes_, seconds());
    return SolveOutcome::kUndecided;
  }
  if (proof.disproven()) {
    Output(" -----(;_;) 詰みませんでした(%ld局面探索/%ldsec)", nodes_, seconds());
    Output(" %ld局面/秒", rate());
    return SolveOutcome::kNoMate;
  }
  Output(" -----(^_^)v 詰みました(%ld局面探索/%ldsec)", nodes_, seconds());
  first_proof_nodes_ = nodes_;
  first_proof_ms_ = elapsed_ms_;

  // The shortest: bounds two plies below the last proof's until one fails.
  int length = OddBound(proof.depth_needed);
  shortest_confirmed_ = true;
  while (length > 1) {
    Output(" %d手以内の詰みを探索中", length - 2);
    root.remaining = length - 2;
    const DfpnValue shorter = Search(root, kInfinitePn, kInfinitePn);
    if (shorter.proven()) {
      length = std::min(length - 2, OddBound(shorter.depth_needed));
    } else {
      shortest_confirmed_ = shorter.disproven();
      break;
    }
  }
  mate_length_ = length;
  // The tree is built even after the time limit ended the shortening, since the proof of `length`
  // stands; rebuilding lost parts of it gets a grace of its own. A stop asked for ends it.
  if (stopped_ && deadline_ms_ > 0 && Now() >= deadline_ms_) {
    constexpr int64_t kLeastGraceMs = 2000;
    deadline_ms_ = Now() + std::max(kLeastGraceMs, options_.time_limit_ms / 4);
    stopped_ = false;
  }
  root.remaining = length;
  int depth = 0;
  const bool built = BuildAttack(root, solution_, depth);
  elapsed_ms_ = Now() - start_ms_;
  Output(" 詰手数 %d手%s (%ld局面探索/%ldsec, %ld局面/秒)", length, shortest_confirmed_ ? "" : "以内", nodes_,
         seconds(), rate());
  Output(" Hash使用 %ld/%ld", static_cast<long>(table_->UsedCount()), static_cast<long>(table_->entries()));
  if (!built) {
    solution_.clear();
    Output(" ----- 手順の作成を中断しました");
    return SolveOutcome::kMateUnconfirmed;
  }
  tree_depth_ = depth;
  return SolveOutcome::kMate;
}

DfpnValue DfpnEngine::FirstProof(const Node& root) {
  long turn = options_.probing_nodes;
  if (root.remaining < kUnboundedRemaining || turn <= 0) return Search(root, kInfinitePn, kInfinitePn);
  // Probing finds the shorter first proofs, which the shortening then starts from, but on some problems
  // the probes take nearly every node (see the header). The two take turns on the same table, each
  // turn twice as long as the last one of its kind, so neither costs much more than twice the other.
  DfpnValue proof;
  for (bool probing = true;; probing = !probing) {
    probe_unbounded_ = probing;
    pass_end_nodes_ = nodes_ + turn;
    proof = Search(root, kInfinitePn, kInfinitePn);
    if (!pass_ended_) break;
    pass_ended_ = false;
    if (!probing) turn *= 2;
  }
  probe_unbounded_ = false;
  pass_end_nodes_ = 0;
  return proof;
}

// --- the search ----------------------------------------------------------------------------------------

uint64_t DfpnEngine::TableKey(const Node& n) const {
  switch (n.kind) {
    case Kind::kAttack: return n.board;
    case Kind::kDefence: return n.board ^ keys_->defence_salt();
    case Kind::kProbe: break;
  }
  return n.board ^ keys_->ProbeSalt(n.probe_square);
}

DfpnValue DfpnEngine::Search(const Node& n, ProofNumber thpn, ProofNumber thdn, bool own_entry) {
  ++nodes_;
  if (nodes_ >= next_poll_) PollStop();
  if (Halted()) return DfpnValue{};
  assert(n.board == keys_->Board(pos_));
  const uint64_t key = TableKey(n);
  if (own_entry) {
    const DfpnTable::Lookup known = table_->Find(key, n.hand, n.remaining);
    if (known.found && known.value.solved()) return known.value;
  }
  if (n.ply >= kMaxPly) return kTooDeep;
  deepest_ = std::max(deepest_, n.ply);

  std::vector<Child>& children = child_stack_[n.ply];
  DfpnValue terminal;
  if (!Expand(n, children, terminal)) {
    if (!failed_) table_->Store(key, n.hand, terminal, n.remaining, 1);
    return terminal;
  }
  const bool is_or = n.kind != Kind::kDefence;
  if (!is_or && n.remaining <= 0 && AnyBoardAnswer(children)) {
    // A board answer takes plies the bound does not have, whatever the other answers are worth.
    table_->Store(key, n.hand, PastTheBound(kDisproven), n.remaining, 1);
    return PastTheBound(kDisproven);
  }
  if (n.kind == Kind::kAttack) path_.push_back({n.board, n.hand});
  // The children's table slots are fetched together, before the first is read.
  for (const Child& c : children) table_->Prefetch(c.attack_position ? c.board : c.board ^ keys_->defence_salt());
  for (Child& c : children) {
    InitialValue(c, n.remaining - 1);
    // The rest keep the defaults: they cannot change the node's value (see DecidesAlone).
    if (DecidesAlone(c, is_or)) break;
  }
  // Past the bound a defender position is followed only while every answer may still be a useless
  // interposition: a board move, or a drop that counts (no probe, or a probe that failed), takes plies
  // the bound does not have.
  if (!is_or && n.remaining <= 0 && AnyCountedAnswer(children)) {
    // A drop counts only at the depths its probe failed for.
    table_->Store(key, n.hand, kDisproven, n.remaining, 1);
    return kDisproven;
  }

  const long start_nodes = nodes_;
  DfpnValue v;
  for (;;) {
    // The node's numbers from its children's.
    v = DfpnValue{is_or ? kInfinitePn : 0, is_or ? 0 : kInfinitePn, 0, false};
    int shortest = kInfiniteDepth, longest = kAnyDepth;
    size_t shortest_index = 0;
    bool all_dependent = true, any_dependent = false;
    DropSquares drops;
    size_t best = 0;
    ProofNumber best_number = kInfinitePn, second = kInfinitePn;
    for (size_t i = 0; i < children.size(); ++i) {
      const DfpnValue& cv = children[i].value;
      if (is_or) {
        v.dn = SaturatedAdd(v.dn, cv.dn);
        if (cv.proven() && cv.depth_needed < shortest) {
          shortest = cv.depth_needed;
          shortest_index = i;
        }
        if (cv.disproven()) any_dependent |= cv.path_dependent;
      } else {
        if (children[i].move.IsDrop()) {
          drops.Add(children[i].move.To().square(), cv.pn);
        } else {
          v.pn = SaturatedAdd(v.pn, cv.pn);
        }
        if (cv.proven()) longest = std::max<int>(longest, cv.depth_needed);
        if (cv.disproven()) all_dependent &= cv.path_dependent;
      }
      const ProofNumber number = is_or ? cv.pn : cv.dn;
      if (number < best_number) {
        second = best_number;
        best_number = number;
        best = i;
      } else if (number < second) {
        second = number;
      }
    }
    if (is_or) {
      v.pn = best_number;
    } else {
      v.dn = best_number;
      v.pn = SaturatedAdd(v.pn, drops.Sum());
    }
    if (v.pn == 0) {
      v.dn = kInfinitePn;
      // Children need one ply less than their parent; a board answer needs the bound not yet passed.
      int needed = is_or ? shortest + 1 : longest + 1;
      if (!is_or && AnyCountedAnswer(children)) needed = std::max(needed, 1);
      v.depth_needed = static_cast<int16_t>(std::clamp(needed, kAnyDepth, kInfiniteDepth));
      v.has_hand = true;
      v.hand = is_or ? AttackProofHand(children[shortest_index]) : DefenceProofHand(n, children);
      break;
    }
    if (v.dn == 0) {
      v.pn = kInfinitePn;
      v.path_dependent = is_or ? any_dependent : all_dependent;
      v.has_hand = true;
      if (is_or) {
        v.hand = AttackDisproofHand(n, children);
        v.holds_within = static_cast<int16_t>(AttackDisproofDepth(n, children));
      } else {
        const Child& refutation = Refutation(children);
        assert(v.path_dependent || !refutation.value.path_dependent);
        v.hand = DefenceDisproofHand(n, refutation);
        v.holds_within = static_cast<int16_t>(
            std::min(OnePlyMore(HoldsWithin(refutation.value, n.remaining - 1)), refutation.counted_within));
      }
      break;
    }
    if (v.pn >= thpn || v.dn >= thdn || Halted()) break;

    Child& c = children[best];
    ProofNumber cthpn, cthdn;
    if (is_or) {
      cthpn = EpsilonThreshold(thpn, second);
      cthdn = SumThreshold(thdn, v.dn, c.value.dn);
    } else {
      cthdn = EpsilonThreshold(thdn, second);
      cthpn = SumThreshold(thpn, v.pn, c.value.pn);
    }
    if (c.probe != kNoSquare) {
      const DfpnValue r = Search(ProbeNode(n, c.probe), cthpn, cthdn);
      if (r.proven()) {
        MarkUseless(c, r);
      } else if (r.disproven()) {
        // The capture does not mate: the interposition counts, and is searched as a move (past the
        // bound it takes plies there are not). It counts at the depths the probe's disproof holds for.
        c.probe = kNoSquare;
        c.counted_within = HoldsWithin(r, n.remaining + 1) - 1;
        if (n.remaining <= 0) {
          v = kDisproven;
          v.path_dependent = r.path_dependent;
          break;
        }
        InitialValue(c, n.remaining - 1);
      } else {
        c.value = r;
      }
      continue;
    }
    if (!Apply(c.move, n.kind == Kind::kProbe)) break;
    const Kind child_kind = n.kind == Kind::kDefence ? Kind::kAttack : Kind::kDefence;
    c.value = Search(Node{child_kind, c.board, c.hand, n.ply + 1, n.remaining - 1, kNoSquare}, cthpn, cthdn);
    pos_.RetractFast();
  }
  if (n.kind == Kind::kAttack) path_.pop_back();
  // A proof uses no more than the hand searched; a disproof holds at least for it.
  assert(!v.has_hand || (v.proven() && n.hand.Covers(v.hand)) || (v.disproven() && v.hand.Covers(n.hand)));
  if (!failed_ && !((stopped_ || pass_ended_) && !v.solved())) {
    table_->Store(key, n.hand, v, n.remaining, static_cast<uint64_t>(nodes_ - start_nodes));
  }
  return v;
}

bool DfpnEngine::Expand(const Node& n, std::vector<Child>& children, DfpnValue& terminal) {
  children.clear();
  const BoardIndex K = pos_.LocationOf(defender_king_).square();
  const std::vector<MoveWord>& moves = moves_;
  if (n.kind == Kind::kDefence) {
    // A check that leaves the attacker's own king attacked is no move.
    if (OwnKingLeftAttacked()) {
      terminal = AtAnyDepth(WithHand(kDisproven, PackedHand::All()));
      return false;
    }
    TakeMoves(gen_->GenerateEvasions(K), moves_);
    if (failed_) return false;
    if (moves.empty()) {
      terminal = WithHand(kMateOnBoard, KindsTheDefenderLacks(n.hand));
      return false;
    }
    pos_.RefreshAttackMap();
    for (MoveWord w : moves) {
      Child c;
      c.move = w;
      c.board = keys_->AfterMove(n.board, w);
      c.hand = n.hand;
      c.attack_position = true;
      if (w.IsDrop() && (n.remaining < kUnboundedRemaining || probe_unbounded_)) {
        const BoardIndex to = w.To().square();
        const int defended = pos_.AttackCount(defender_, to), attacked = pos_.AttackCount(attacker_, to);
        if (InterpositionMayBeUseless(defended, attacked, Adjacent(to, K))) c.probe = to;
      }
      c.parent_board = n.board;
      children.push_back(c);
    }
    return true;
  }

  if (n.kind == Kind::kAttack) {
    TakeMoves(gen_->GenerateChecks(attacker_, K), moves_);
  } else {
    pos_.RefreshAttackMap();
    TakeMoves(gen_->ChecksToSquare(n.probe_square, K, attacker_), moves_);
  }
  if (failed_) return false;
  for (MoveWord w : moves) {
    if (w.IsDrop() && KindOfIndex(w.Piece()) == FU) {
      MoveNode drop;
      drop.move = w;
      if (PawnDropMates(drop)) continue;
      if (failed_) return false;
    }
    Child c;
    c.move = w;
    c.keep_side = n.kind == Kind::kProbe;
    c.board = keys_->AfterMove(n.board, w);
    c.hand = w.IsDrop() ? n.hand.Minus(KindOfIndex(w.Piece())) : n.hand;
    if (w.IsCapture()) c.hand = c.hand.Plus(KindOfIndex(w.Captured()));
    children.push_back(c);
  }
  if (children.empty()) {
    terminal = AtAnyDepth(WithHand(kDisproven, NoCheckDisproofHand(n.hand)));
    return false;
  }
  return true;
}

DfpnEngine::Node DfpnEngine::ProbeNode(const Node& defence, BoardIndex square) {
  return Node{Kind::kProbe, defence.board, defence.hand, defence.ply + 1, defence.remaining + 1, square};
}

bool DfpnEngine::AnyBoardAnswer(const std::vector<Child>& children) {
  for (const Child& c : children) {
    if (!c.move.IsDrop()) return true;
  }
  return false;
}

bool DfpnEngine::AnyCountedAnswer(const std::vector<Child>& children) {
  for (const Child& c : children) {
    if (!c.useless && c.probe == kNoSquare) return true;
  }
  return false;
}

void DfpnEngine::MarkUseless(Child& c, const DfpnValue& probe) {
  c.useless = true;
  c.value = probe;
  // The probe needs `d` plies with one more than the defence node has; its parent adds one to what a
  // child needs, so the child reports d - 2.
  c.value.depth_needed = static_cast<int16_t>(std::max<int>(probe.depth_needed - 2, kAnyDepth));
}

void DfpnEngine::InitialValue(Child& c, int remaining) {
  if (c.probe != kNoSquare) {
    // Asked with the defence node's depth plus one (remaining is the children's: two less).
    const DfpnTable::Lookup probe =
        table_->Find(c.parent_board ^ keys_->ProbeSalt(c.probe), c.hand, remaining + 2);
    if (probe.found && probe.value.proven()) {
      MarkUseless(c, probe.value);
      return;
    }
    if (!(probe.found && probe.value.disproven())) {
      c.value = probe.found ? probe.value : DfpnValue{1, kUnsearchedProbeDn};
      return;
    }
    c.probe = kNoSquare;
    c.counted_within = HoldsWithin(probe.value, remaining + 2) - 1;
  }
  // An attacker position repeated on the path is refuted here (see the header).
  if (c.attack_position && RepeatsOnPath(c.board, c.hand)) {
    c.value = kRepetition;
    return;
  }
  const uint64_t key = c.attack_position ? c.board : c.board ^ keys_->defence_salt();
  const DfpnTable::Lookup found = table_->Find(key, c.hand, remaining);
  if (found.found) {
    c.value = found.value;
  } else {
    c.value = c.attack_position ? AnswerEstimate(c, key, remaining) : CheckEstimate(c, key, remaining);
  }
}

bool DfpnEngine::DecidesAlone(const Child& c, bool is_or) {
  // A mate on the board needs the fewest plies a proof can, so no other check makes the proof shorter.
  if (is_or) return c.value.proven() && c.value.depth_needed <= kAnyDepth;
  // The refutation taken is the first that holds on every path (Refutation).
  return c.value.disproven() && !c.value.path_dependent;
}

DfpnValue DfpnEngine::AnswerEstimate(const Child& c, uint64_t key, int remaining) {
  if (!Apply(c.move, false)) return DfpnValue{};
  // With one ply left only a check that mates on the board counts: most such answers are refuted here,
  // and the first one refuted is the defender position's refutation, before its other answers are played.
  const bool refuted = remaining == 1 && !MateInOne();
  const long count = remaining == 1 ? static_cast<long>(leaf_moves_.size())
                                    : gen_->CountChecks(attacker_, pos_.LocationOf(defender_king_).square()).total();
  pos_.RetractFast();
  if (count == 0) {
    // No check at all: this answer refutes, whatever the depth.
    const DfpnValue none = AtAnyDepth(WithHand(kDisproven, NoCheckDisproofHand(c.hand)));
    table_->Store(key, c.hand, none, kInfiniteDepth, 1);
    return none;
  }
  if (refuted) {
    // As the search of the position would find it: every check answered, at one ply.
    DfpnValue none = WithHand(kDisproven, NoCheckDisproofHand(c.hand));
    none.holds_within = 1;
    if (!failed_) table_->Store(key, c.hand, none, remaining, 1);
    return none;
  }
  // The fewer checks the attacker has, the sooner the answer is refuted; kept, so that the node's next
  // expansion does not play the answer again.
  DfpnValue v;
  v.dn = static_cast<ProofNumber>(std::min<long>(count, 64));
  if (!failed_) table_->Store(key, c.hand, v, remaining, 0);
  return v;
}

DfpnValue DfpnEngine::CheckEstimate(const Child& c, uint64_t key, int remaining) {
  if (!Apply(c.move, c.keep_side)) return DfpnValue{};
  DfpnValue v;
  if (OwnKingLeftAttacked()) v = AtAnyDepth(WithHand(kDisproven, PackedHand::All()));
  if (!v.solved() && remaining <= 0 && gen_->KingCanStep(pos_.LocationOf(defender_king_).square())) {
    // A king move answers where no plies are left (the common leaf of a bounded search, told apart
    // without listing every answer).
    v = PastTheBound(WithHand(kDisproven, PackedHand::All()));
  }
  if (!v.solved()) {
    const MoveGenerator::MoveCount answers = gen_->CountEvasions(pos_.LocationOf(defender_king_).square());
    const int board_answers = answers.board;
    const bool drops = answers.drops > 0;
    if (board_answers == 0 && !drops) {
      v = WithHand(kMateOnBoard, KindsTheDefenderLacks(c.hand));
    } else if (board_answers > 0 && remaining <= 0) {
      // A board answer where no plies are left: no mate within the bound, known without a search of
      // its own (most nodes of a bounded search are such leaves).
      v = PastTheBound(WithHand(kDisproven, PackedHand::All()));
    } else {
      // Interpositions by drop are often useless: all of them count as one answer.
      v.pn = static_cast<ProofNumber>(board_answers + (drops ? 1 : 0));
    }
  }
  pos_.RetractFast();
  // Kept also when unsolved, so that the node's next expansion does not play the check again.
  if (!failed_) table_->Store(key, c.hand, v, remaining, v.solved() ? 1 : 0);
  return v;
}

bool DfpnEngine::OwnKingLeftAttacked() {
  if (attacker_king_ < 0) return false;
  pos_.RefreshAttackMap();
  return pos_.Attacked(defender_, pos_.LocationOf(attacker_king_).square());
}

bool DfpnEngine::MateInOne() {
  // The checks stay listed in leaf_moves_ for the caller to count.
  const BoardIndex K = pos_.LocationOf(defender_king_).square();
  TakeMoves(gen_->GenerateChecks(attacker_, K), leaf_moves_);
  if (failed_) return true;  // the list may be short: nothing is refuted on it
  for (MoveWord w : leaf_moves_) {
    // A pawn drop that mates is no move.
    if (w.IsDrop() && KindOfIndex(w.Piece()) == FU) continue;
    if (!Apply(w, false)) return true;
    bool answered = OwnKingLeftAttacked() || gen_->KingCanStep(K);
    // Answered by drops alone, the check may still mate (useless interpositions): not refuted here.
    if (!answered) answered = gen_->CountEvasions(K).board > 0;
    pos_.RetractFast();
    if (!answered) return true;
  }
  return false;
}

bool DfpnEngine::RepeatsOnPath(uint64_t board, PackedHand hand) const {
  for (const PathEntry& e : path_) {
    if (e.key == board && e.hand.Covers(hand)) return true;
  }
  return false;
}

bool DfpnEngine::PawnDropMates(const MoveNode& drop) {
  if (!Apply(drop.move, false)) return false;
  const bool none = gen_->CountEvasions(pos_.LocationOf(defender_king_).square()).total() == 0;
  pos_.RetractFast();
  return none;
}

// --- the hands a result holds for ----------------------------------------------------------------------
//
// A proof is stored with the pieces in hand it uses, a disproof with the most the attacker could hold
// for it to stand, so that one result answers for positions reached with other hands. The defender holds
// what the attacker does not (for a given board), so fewer attacker pieces can give the defender a kind
// to interpose that it lacked; the rules below keep every such kind at the searched count.

DfpnValue DfpnEngine::WithHand(DfpnValue v, PackedHand hand) {
  v.has_hand = true;
  v.hand = hand;
  return v;
}

PackedHand DfpnEngine::KindsTheDefenderLacks(PackedHand attacker) const {
  PackedHand h;
  for (int kind = HI; kind <= FU; ++kind) {
    if (pos_.HandCount(defender_, kind) == 0) h = h.With(kind, attacker.Count(kind));
  }
  return h;
}

PackedHand DfpnEngine::NoCheckDisproofHand(PackedHand attacker) {
  // A kind held gives no drop check; more of it gives none either. A kind not held might.
  PackedHand h;
  for (int kind = HI; kind <= FU; ++kind) {
    if (attacker.Count(kind) > 0) h = h.With(kind, PackedHand::All().Count(kind));
  }
  return h;
}

PackedHand DfpnEngine::ResultHand(const Child& c) { return c.value.has_hand ? c.value.hand : c.hand; }

PackedHand DfpnEngine::HandBeforeMove(PackedHand after, MoveWord w) {
  if (w.IsDrop()) return after.PlusAtMost(KindOfIndex(w.Piece()));
  if (w.IsCapture()) return after.MinusAtLeast(KindOfIndex(w.Captured()));
  return after;
}

PackedHand DfpnEngine::AttackProofHand(const Child& proven) { return HandBeforeMove(ResultHand(proven), proven.move); }

PackedHand DfpnEngine::DefenceProofHand(const Node& n, const std::vector<Child>& children) const {
  PackedHand h = KindsTheDefenderLacks(n.hand);
  for (const Child& c : children) h = PackedHand::Max(h, ResultHand(c));
  return h;
}

PackedHand DfpnEngine::AttackDisproofHand(const Node& n, const std::vector<Child>& children) {
  PackedHand h = NoCheckDisproofHand(n.hand);
  for (const Child& c : children) h = PackedHand::Min(h, HandBeforeMove(ResultHand(c), c.move));
  return h;
}

int DfpnEngine::AttackDisproofDepth(const Node& n, const std::vector<Child>& children) {
  int within = kInfiniteDepth;
  for (const Child& c : children) within = std::min(within, OnePlyMore(HoldsWithin(c.value, n.remaining - 1)));
  return within;
}

const DfpnEngine::Child& DfpnEngine::Refutation(const std::vector<Child>& children) {
  // A refutation that holds on every path, unless none does.
  const Child* refutation = nullptr;
  for (const Child& c : children) {
    if (c.value.disproven() && (!refutation || (refutation->value.path_dependent && !c.value.path_dependent))) {
      refutation = &c;
    }
  }
  assert(refutation);
  return *refutation;
}

PackedHand DfpnEngine::DefenceDisproofHand(const Node& n, const Child& refutation) {
  PackedHand h = ResultHand(refutation);
  if (refutation.move.IsDrop()) {
    // The defender needs the piece it drops: not one fewer of it.
    const int kind = KindOfIndex(refutation.move.Piece());
    h = h.With(kind, std::min(h.Count(kind), n.hand.Count(kind)));
  }
  return h;
}

// --- the solution tree ---------------------------------------------------------------------------------

DfpnValue DfpnEngine::Prove(const Node& n) {
  const DfpnTable::Lookup known = table_->Find(TableKey(n), n.hand, n.remaining);
  if (known.found && known.value.solved()) return known.value;
  return Search(n, kInfinitePn, kInfinitePn);
}

const DfpnEngine::Child* DfpnEngine::ProvenCheck(std::vector<Child>& children, int remaining) {
  const Child* chosen = nullptr;
  for (Child& c : children) {
    InitialValue(c, remaining);
    if (c.value.proven() && (!chosen || c.value.depth_needed < chosen->value.depth_needed)) chosen = &c;
  }
  return chosen;
}

bool DfpnEngine::BuildAttack(const Node& n, std::vector<SolutionNode>& out, int& depth) {
  if (n.ply >= kMaxPly || stopped_ || failed_) return false;
  if (!Prove(n).proven()) return false;
  std::vector<Child> children;
  DfpnValue terminal;
  if (!Expand(n, children, terminal)) return false;
  // The proven check that needs the fewest plies. When the table has lost them all (their slots taken
  // by later searches), the node's checks are searched again together, most promising first, which
  // proves one again; searching them one by one would refute each failing check in full first.
  const Child* chosen = ProvenCheck(children, n.remaining - 1);
  if (!chosen) {
    Search(n, kInfinitePn, kInfinitePn, false);
    chosen = ProvenCheck(children, n.remaining - 1);
  }
  path_.push_back({n.board, n.hand});
  for (size_t i = 0; !chosen && i < children.size() && !stopped_; ++i) {
    Child& c = children[i];
    if (c.value.disproven()) continue;
    if (!Apply(c.move, false)) break;
    c.value = Prove(Node{Kind::kDefence, c.board, c.hand, n.ply + 1, n.remaining - 1, kNoSquare});
    pos_.RetractFast();
    if (c.value.proven()) chosen = &c;
  }
  bool built = false;
  if (chosen && Apply(chosen->move, false)) {
    SolutionNode node{chosen->move, {}};
    int below = 0;
    built = BuildDefence(Node{Kind::kDefence, chosen->board, chosen->hand, n.ply + 1, n.remaining - 1, kNoSquare},
                         node.children, below);
    pos_.RetractFast();
    if (built) {
      out.push_back(std::move(node));
      depth = 1 + below;
    }
  }
  path_.pop_back();
  return built;
}

bool DfpnEngine::BuildDefence(const Node& n, std::vector<SolutionNode>& out, int& depth) {
  depth = 0;
  if (n.ply >= kMaxPly || stopped_ || failed_) return false;
  std::vector<Child> children;
  DfpnValue terminal;
  if (!Expand(n, children, terminal)) return terminal.proven();
  for (Child& c : children) {
    if (c.probe != kNoSquare) {
      const DfpnValue probe = Prove(ProbeNode(n, c.probe));
      if (probe.proven()) continue;  // useless: left out of the tree
      if (!probe.disproven()) return false;
    }
    if (!Apply(c.move, false)) return false;
    SolutionNode node{c.move, {}};
    int below = 0;
    const bool built =
        BuildAttack(Node{Kind::kAttack, c.board, c.hand, n.ply + 1, n.remaining - 1, kNoSquare}, node.children, below);
    pos_.RetractFast();
    if (!built) return false;
    out.push_back(std::move(node));
    depth = std::max(depth, 1 + below);
  }
  return true;
}

MoveNode* DfpnEngine::WriteSolution() {
  MoveNode* at = pos_.current();
  Transfer(solution_);
  return at->child;
}

void DfpnEngine::Transfer(const std::vector<SolutionNode>& nodes) {
  for (const SolutionNode& n : nodes) {
    MoveNode move;
    move.move = n.move;
    const MoveNode* before = pos_.current();
    pos_.DoMoveQuiet(move);
    if (pos_.current() == before) continue;  // the record's pool could not take the move
    Transfer(n.children);
    pos_.UndoMoveQuiet();
  }
}

// --- housekeeping --------------------------------------------------------------------------------------

void DfpnEngine::TakeMoves(MoveList list, std::vector<MoveWord>& into) {
  into.clear();
  for (MoveNode* m = list.head; m; m = m->next) into.push_back(m->move);
  list.FreeAll(*pool_);
  if (gen_->failed()) failed_ = true;
}

bool DfpnEngine::Apply(MoveWord w, bool keep_side) {
  MoveNode n;
  n.move = w;
  if (pos_.ApplyFast(n, keep_side) != 0) return true;
  failed_ = true;
  return false;
}

int64_t DfpnEngine::Now() const {
  return options_.clock_ms ? options_.clock_ms() : platform::SteadyMilliseconds();
}

void DfpnEngine::PollStop() {
  next_poll_ = nodes_ + kPollInterval;
  if (pass_end_nodes_ > 0 && nodes_ >= pass_end_nodes_) pass_ended_ = true;
  if (stop_ && stop_->TestAndReset()) stopped_ = true;
  const int64_t now = Now();
  if (deadline_ms_ > 0 && now >= deadline_ms_) stopped_ = true;
  if (now >= next_report_ms_) {
    const int64_t ms = std::max<int64_t>(now - start_ms_, 1);
    Output(" %ld局面 %ld局面/秒 深さ%d", nodes_, static_cast<long>(nodes_ * 1000 / ms), deepest_);
    deepest_ = 0;
    next_report_ms_ = now + kReportIntervalMs;
  }
}

void DfpnEngine::Output(const char* format, ...) {
  if (!out_) return;
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  out_->Line(line);
}

}  // namespace solver
