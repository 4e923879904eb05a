// DfpnEngine: a second mate search for long problems, depth-first proof-number search (df-pn) over the
// same checks and evasions as MateEngine, for the board's current position with the side to move
// attacking.
//
// The search: every node has a proof number (how many positions at least must still be proven to mate)
// and a disproof number (to refute); a node is searched only while its numbers stay under thresholds
// given by its parent, which passes the best child a threshold of the second best child's number times
// 1 + 1/4 (the 1+ε trick, so the search does not switch between two close children at every step).
// Results live in a DfpnTable sized from a memory limit; a proof holds for every larger attacker hand,
// a disproof for every smaller one.
//
// Rules of the problem, as MateEngine keeps them:
//  - every attacker move checks; a check that leaves the attacker's own king attacked is no move;
//  - a pawn drop that leaves no answer is no move (打ち歩詰め);
//  - a useless interposition (無駄合) is left out: a drop between the king and a distant checker, on a
//    square the defender does not defend (or defends with the king alone while the attacker attacks it
//    twice, next to the king), when the attacker, moving a piece to that square with check as if the drop
//    had not been made, still mates. That "capture probe" is a node of its own, searched before the drop.
//    An unbounded search (the first proof) takes turns with probes and without: whether there is a
//    mate at all does not depend on which drops count (a useless drop is answered by the capture its
//    probe would have tried), and on problems with many interpositions the probes take most of such a
//    search's nodes. A proof found without probes claims the plies its drops took: more than a bounded
//    search counts, never less.
//
// Repetition (the graph-history interaction): a position of the attacker to move that appears again on
// the current path with no more pieces in the attacker's hand is a disproof there: perpetual check is
// not mate, and with no gain the repeated line proves nothing the earlier position could not. Such a
// disproof, and every disproof resting on one, is path-dependent: the parent keeps it for the rest of
// its visit, and the table keeps only the estimate the position had, so that no other path takes it as
// a disproof (nor as a sign that the position is hopeless). Proofs never rest on a repetition and are
// stored as they are. So neither a false mate (proofs are built from mates only) nor a false no-mate (a
// disproof reused elsewhere is always path-independent) can come from a cycle. A path longer than
// kMaxPly leaves its node undecided.
//
// Shortest mate: once a mate is proven, the search is repeated with a bound on the remaining plies, two
// less each time than the last proof needed, until no mate fits: the length is the last bound that held
// (the attacker's shortest against the defender's longest). The bound is enforced at defender
// positions: past it only drops that may be useless interpositions are followed (so those cost no
// length), and a capture probe searches the capture as if neither it nor the drop took a ply. A drop that
// is not useless is a move like any other and takes its plies, also at the end of a line. With one ply
// left after an answer, the answer is refuted at once when no check mates on the board (a check answered
// by drops alone is searched, since they may be useless), before the position's other answers. A disproof
// keeps how many plies it holds for: one that rests only on lines where the attacker ran out of checks,
// or on board answers past the bound, holds for more plies than it was searched with, so that the same
// position reached again by a shorter path (with more plies left) is not searched again.
//
// Threads: Solve runs on the caller's thread; lines go to the sink synchronously; the stop event and the
// time limit are looked at every 1024 nodes, so a stop takes effect well within a second.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/events.h"
#include "platform/progress_sink.h"
#include "rules/position.h"
#include "solver/dfpn_table.h"
#include "solver/mate_engine.h"
#include "solver/move_generator.h"

namespace solver {

struct DfpnOptions {
  size_t memory_mb = 256;   // the table's size
  int64_t time_limit_ms = 0;  // 0: no limit
  // The clock the time limit and the elapsed times are read from (null: the steady clock); a benchmark
  // on a busy machine passes the thread's CPU clock.
  int64_t (*clock_ms)() = nullptr;
  int max_plies = 0;  // only mates within this many plies (0: any length)
  // An unbounded search's first turn with probes, in nodes (0: it never probes; see above).
  long probing_nodes = 500000;
};

// The solution as the search leaves it: a tree of moves, one attacker move at each attacker position,
// every answer that is not a useless interposition at each defender position.
struct SolutionNode {
  rules::MoveWord move;
  std::vector<SolutionNode> children;
};

class DfpnEngine {
 public:
  static constexpr int kMaxPly = 2000;

  DfpnEngine(rules::Position& position, DfpnOptions options);
  ~DfpnEngine();
  DfpnEngine(const DfpnEngine&) = delete;
  DfpnEngine& operator=(const DfpnEngine&) = delete;

  // Proves or disproves a mate from the board's current position, the side to move attacking. On a mate
  // the solution tree is built (solution()); nothing is written into the record. `out` and `stop` may be
  // null.
  SolveOutcome Solve(platform::ProgressSink* out, platform::AutoResetEvent* stop);

  // Writes the solution tree into the board's record below the current node (DoMoveQuiet), where the
  // record's main-line rule picks the line shown. Returns the first move entered, or nullptr.
  rules::MoveNode* WriteSolution();

  // The mate's length: the least odd bound on the plies that a proof fits (see above; MateEngine's
  // mate_depth_limit()). shortest_confirmed() is false when a stop or the time limit ended the shortening
  // early: the length is then an upper bound.
  int mate_length() const { return mate_length_; }
  bool shortest_confirmed() const { return shortest_confirmed_; }
  // Whether the solve ended because no mate fits within options.max_plies (outcome kUndecided).
  bool refuted_within_bound() const { return refuted_within_bound_; }
  // The plies of the longest line of the solution tree (past the bound where drops were followed).
  int tree_depth() const { return tree_depth_; }
  const std::vector<SolutionNode>& solution() const { return solution_; }
  long node_count() const { return nodes_; }
  // The nodes and milliseconds until the first proof, before the shortening.
  long first_proof_nodes() const { return first_proof_nodes_; }
  int64_t first_proof_ms() const { return first_proof_ms_; }
  int64_t elapsed_ms() const { return elapsed_ms_; }

 private:
  enum class Kind : uint8_t { kAttack, kDefence, kProbe };
  struct Child;
  struct Frame;

  // A node searched with `remaining` plies (kInfiniteDepth: unbounded), within the thresholds.
  struct Node {
    Kind kind;
    uint64_t board;
    PackedHand hand;
    int ply;
    int remaining;
    rules::BoardIndex probe_square;
  };
  // own_entry false: the node's own table entry is not taken (its children are searched).
  DfpnValue Search(const Node& n, ProofNumber thpn, ProofNumber thdn, bool own_entry = true);
  uint64_t TableKey(const Node& n) const;
  // The first proof of the root, or why there is none.
  DfpnValue FirstProof(const Node& root);
  bool Halted() const { return stopped_ || failed_ || pass_ended_; }
  // The children of a node; false with `terminal` set when the node is decided without any.
  bool Expand(const Node& n, std::vector<Child>& children, DfpnValue& terminal);
  // The values children start with: a repetition, the table's, or the defaults. `remaining` is the
  // children's depth.
  void InitialValue(Child& c, int remaining);
  // Whether a child's first value alone gives its parent's value, as the value from all children would.
  static bool DecidesAlone(const Child& c, bool is_or);
  // The capture probe of an interposition square answers for the drop and its capture together, which
  // count no plies: it is searched with one ply more than its defence node, so that the positions after
  // the capture keep the defence node's depth.
  // A check's first numbers, from playing it: mate, no move (own king left attacked), or a proof
  // number from the count of answers.
  DfpnValue CheckEstimate(const Child& c, uint64_t key, int remaining);
  // An answer's first numbers, from playing it: no check left is a disproof, else a disproof number
  // from the count of checks.
  DfpnValue AnswerEstimate(const Child& c, uint64_t key, int remaining);
  static Node ProbeNode(const Node& defence, rules::BoardIndex square);
  static void MarkUseless(Child& c, const DfpnValue& probe);
  // Whether an answer takes plies: a board move, or a drop that is not (or may not be) useless.
  static bool AnyCountedAnswer(const std::vector<Child>& children);
  static bool AnyBoardAnswer(const std::vector<Child>& children);
  // Whether the check just played leaves the attacker's own king attacked (then it is no move).
  bool OwnKingLeftAttacked();
  // Whether a check of the attacker (to move) mates on the board, or may (answered by drops alone).
  bool MateInOne();
  bool RepeatsOnPath(uint64_t board, PackedHand hand) const;
  // The hands a solved node's result holds for (see the .cpp).
  static DfpnValue WithHand(DfpnValue v, PackedHand hand);
  PackedHand KindsTheDefenderLacks(PackedHand attacker) const;
  static PackedHand NoCheckDisproofHand(PackedHand attacker);
  static PackedHand ResultHand(const Child& c);
  static PackedHand HandBeforeMove(PackedHand after, rules::MoveWord w);
  static PackedHand AttackProofHand(const Child& proven);
  PackedHand DefenceProofHand(const Node& n, const std::vector<Child>& children) const;
  static PackedHand AttackDisproofHand(const Node& n, const std::vector<Child>& children);
  // The most remaining plies a disproven attacker position's disproof holds for.
  static int AttackDisproofDepth(const Node& n, const std::vector<Child>& children);
  // The answer a disproven defender position is refuted by: one that holds on every path, unless none does.
  static const Child& Refutation(const std::vector<Child>& children);
  static PackedHand DefenceDisproofHand(const Node& n, const Child& refutation);
  // Whether the pawn drop leaves the defender no answer (then it is no move).
  bool PawnDropMates(const rules::MoveNode& drop);
  bool Apply(rules::MoveWord w, bool keep_side);
  void PollStop();
  int64_t Now() const;

  // The solution tree below a proven attacker position (at the board's current position).
  bool BuildAttack(const Node& n, std::vector<SolutionNode>& out, int& depth);
  bool BuildDefence(const Node& n, std::vector<SolutionNode>& out, int& depth);
  // Of a proven attacker position's checks (their values set from the table), the proven one that needs
  // the fewest plies, or null.
  const Child* ProvenCheck(std::vector<Child>& children, int remaining);
  // The node's proof, searched again when the table has lost it.
  DfpnValue Prove(const Node& n);

  void Transfer(const std::vector<SolutionNode>& nodes);
  // The list's moves into a buffer kept for the purpose (no allocation per node).
  void TakeMoves(MoveList list, std::vector<rules::MoveWord>& into);
  void Output(const char* format, ...);

  rules::Position& pos_;
  DfpnOptions options_;
  std::unique_ptr<rules::NodePool> pool_;
  std::unique_ptr<MoveGenerator> gen_;
  std::unique_ptr<DfpnTable> table_;
  std::unique_ptr<ZobristKeys> keys_;
  std::vector<std::vector<Child>> child_stack_;  // per ply, reused
  std::vector<rules::MoveWord> moves_;  // the moves of the node being expanded
  std::vector<rules::MoveWord> leaf_moves_;  // MateInOne's
  struct PathEntry {
    uint64_t key;
    PackedHand hand;
  };
  std::vector<PathEntry> path_;  // attacker positions by ply
  rules::Side attacker_ = rules::kSente;
  rules::Side defender_ = rules::kGote;
  int defender_king_ = -1;
  int attacker_king_ = -1;
  platform::ProgressSink* out_ = nullptr;
  platform::AutoResetEvent* stop_ = nullptr;
  bool stopped_ = false;
  bool failed_ = false;
  long nodes_ = 0;
  long next_poll_ = 0;
  // The unbounded search probes while probe_unbounded_; a pass that reaches pass_end_nodes_ (0: none)
  // ends undecided with pass_ended_ set.
  bool probe_unbounded_ = false;
  long pass_end_nodes_ = 0;
  bool pass_ended_ = false;
  int64_t start_ms_ = 0;
  int64_t next_report_ms_ = 0;
  int64_t deadline_ms_ = 0;  // 0: none
  long first_proof_nodes_ = 0;
  int64_t first_proof_ms_ = 0;
  int64_t elapsed_ms_ = 0;
  int deepest_ = 0;
  int mate_length_ = 0;
  int tree_depth_ = 0;
  bool shortest_confirmed_ = false;
  bool refuted_within_bound_ = false;
  std::vector<SolutionNode> solution_;
};

}  // namespace solver
