// MateEngine: proves or disproves a forced mate (tsume) from the current position of a board. The side to
// move attacks and must check on every move; the other side's king is the target.
//
// An AND/OR depth-first search under iterative deepening (depth limits 1, 3, 5, ... up to the maximum),
// with a direct-mapped table of proved and estimated positions that lets more pieces in hand count as no
// worse, detection of repeated positions on the path, pruning by material, pruning of useless
// interpositions (無駄合), and the pawn-drop mate rule. Once a mate is proved, a correction pass builds
// the solution tree again, node by node: at every attack node of the tree it deepens from the least
// length that can mate, with a table whose proofs answer only where they fit, so every attacker move
// starts a shortest mate (useless interpositions not counted) and the lines the main pass's table cut
// short are filled in. The whole tree is written into the board's record (DoMoveQuiet), where the
// record's main-line rule (the longest line) then picks a longest defence at every answer.
//
// Node values, always from the attacker's point of view: 120 mate within the depth limit, 10 no mate
// (or an illegal or failing line), 11..119 undecided (higher is more promising), 8 interrupted.
//
// Threads: Solve runs on the caller's thread (the solve procedure's worker). The board belongs to it for
// the whole solve; output lines go to the sink synchronously; the stop event is polled once per attack
// node.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/events.h"
#include "platform/progress_sink.h"
#include "rules/position.h"
#include "solver/mate_table.h"
#include "solver/move_generator.h"

namespace solver {

enum class SolveOutcome {
  kMate,             // proved; the complete solution tree is in the record
  kMatePartial,      // proved; the correction pass was stopped and the tree it had is in the record
  kMateUnconfirmed,  // the main pass proved a mate the correction pass then refuted; nothing written
  kNoMate,           // disproved
  kUndecided,        // no decision up to the maximum depth
  kInterrupted,      // stopped before a mate was proved; nothing written
  kNoProblem,        // not exactly one defender king on the board, or no side to move
};

// True for the outcomes that leave a solution in the record.
inline bool SolutionWritten(SolveOutcome o) { return o == SolveOutcome::kMate || o == SolveOutcome::kMatePartial; }

class MateEngine {
 public:
  // Node values (see above).
  static constexpr int kMate = 120;
  static constexpr int kNoMate = 10;
  static constexpr int kInterrupted = 8;
  static constexpr int kLeastUndecided = kNoMate + 1;
  static constexpr int kMostUndecided = kMate - 1;
  static constexpr int kDefaultMaxDepth = 35;

  // Binds the board; creates the search pool (20000 nodes, growth 5000, low at 50000) and the table.
  explicit MateEngine(rules::Position& position);
  ~MateEngine();
  MateEngine(const MateEngine&) = delete;
  MateEngine& operator=(const MateEngine&) = delete;

  // Searches the board's current position. REQUIRES: the current node of the record has no children
  // (callers begin a new record first). Returns the first child of the record's root once the solution
  // is written, else nullptr. `out` and `stop` may be null. One engine serves one Solve.
  rules::MoveNode* Solve(int max_depth, platform::ProgressSink* out, platform::AutoResetEvent* stop);

  SolveOutcome outcome() const { return outcome_; }
  long node_count() const { return nodes_; }
  // The depth limit of the iteration that proved the mate; 0 when none did.
  int mate_depth_limit() const { return mate_depth_limit_; }

 private:
  struct PathEntry {
    PositionRecord record;
    uint32_t tag = UINT32_MAX;
  };

  // What refuted a check, as a defence node reports it: the board index of the square of the defender's
  // answer, or one of these codes.
  static constexpr int kNotRefuted = 0;
  static constexpr int kPawnDropMate = -1;          // mate by a pawn drop is not allowed
  static constexpr int kPastDepthLimit = -2;        // past the limit with other answers than drops
  static constexpr int kOwnKingLeftInCheck = -3;    // the check left the attacker's own king attacked

  // Values of a node: kMate, kNoMate, kInterrupted or kLeastUndecided..kMostUndecided (promise).
  // `interposition_square` names the square of the interposition being answered, whose capture the probe
  // has valued already; none for any other node.
  int AttackNode(rules::MoveNode* node, const rules::MoveWord* hint, rules::Location interposition_square);
  int DefenceNode(rules::MoveNode* node, bool pawn_drop, int* refutation);
  // Whether the path repeats: the attacker to move with the same board and no more in hand, an even
  // number of plies (at least four) back.
  bool RepeatsOnPath(const PositionRecord& record, uint32_t hash) const;
  // The table's value for the position, or 0 when it has none that answers here; `verdict` is the value
  // a covering entry answers for any depth (kMate at attack nodes, kNoMate at defence nodes).
  int TableValue(const PositionRecord& record, uint32_t hash, int verdict) const;
  // Searches the checks below an attack node; see AttackNode.
  int SearchChecks(rules::MoveNode* node, bool generated, rules::Location interposition_square,
                   const PositionRecord& record, uint32_t hash);
  int InterpositionProbe(rules::BoardIndex square);
  bool MaterialPrune();
  int StaticValue(const rules::MoveNode& check);
  int DepthLimitEstimate(const rules::MoveNode& node, rules::BoardIndex king_square) const;
  void Transfer(const rules::MoveNode& node);

  // The correction pass. ShortestMate searches `node` (the board at its position, the ply one less)
  // afresh under the limits first_limit, first_limit + 2, ... up to last_limit and returns the first
  // decision, or the last estimate; the limit of that search is left in depth_limit_. CorrectBelow
  // takes a node just proved so and does the same below every answer to its mating check, from a mate
  // in one up to the limit that proved the node (CorrectAttack: ShortestMate, then CorrectBelow), so
  // every attacker move of the tree starts a shortest mate.
  int ShortestMate(rules::MoveNode* node, int first_limit, int last_limit);
  int CorrectAttack(rules::MoveNode* node, int first_limit, int last_limit);
  int CorrectBelow(rules::MoveNode* node);
  static constexpr int kUnboundedLimit = 1 << 20;

  bool Apply(const rules::MoveNode& node, bool keep_side);
  // Stops the search for want of memory, as an interrupt without the message.
  int Fail();
  int StopValue() const { return main_pass_ ? kNoMate : kInterrupted; }
  void FreeChildren(rules::MoveNode* node);
  void FreeSiblings(rules::MoveNode* first);  // a list no node links to any more
  void DeleteChild(rules::MoveNode* parent, rules::MoveNode* child);
  PathEntry& ChainAt(int ply);
  rules::BoardIndex DefenderKingSquare() const { return pos_.LocationOf(defender_king_).square(); }
  long ElapsedSeconds() const;
  void Output(const char* format, ...);

  rules::Position& pos_;
  char line_[512] = {};
  platform::ProgressSink* out_ = nullptr;
  platform::AutoResetEvent* stop_ = nullptr;
  int interrupt_ = 0;
  int ply_ = 0;
  long nodes_ = 0;
  int depth_limit_ = 0;
  int max_depth_ = 0;
  rules::Side attacker_ = rules::kSente;
  rules::Side defender_ = rules::kGote;
  int defender_king_ = -1;
  int attacker_king_ = -1;
  bool main_pass_ = true;
  bool table_on_ = true;  // off only where a correction's fresh search fails with it
  std::vector<PathEntry> chain_;
  std::unique_ptr<rules::NodePool> pool_;
  rules::MoveNode* root_ = nullptr;
  std::unique_ptr<MoveGenerator> gen_;
  std::unique_ptr<MateTable> table_;
  SolveOutcome outcome_ = SolveOutcome::kUndecided;
  bool stopped_ = false;
  int mate_depth_limit_ = 0;
  int64_t start_ms_ = 0;
};

}  // namespace solver
