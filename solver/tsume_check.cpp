#include "solver/tsume_check.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/clock.h"
#include "record/plain_board.h"
#include "rules/move_rules.h"
#include "rules/node_pool.h"
#include "rules/notation.h"
#include "solver/dfpn_engine.h"
#include "solver/move_generator.h"
#include "solver/record_solve.h"
#include "solver/useless_interposition.h"

using namespace rules;
using namespace record;

namespace solver {

namespace {

// The generators' lists are returned at once, so the pool stays small.
constexpr int kPoolFirstChunk = 2000;
constexpr int kPoolGrowth = 2000;
constexpr int kPoolLimit = 1 << 30;

// What a check comes to against every defence, within a bound on the plies.
struct Reach {
  enum Kind { kIllegal, kMate, kTooLong, kUndecided, kStopped } kind = kIllegal;
  int length = 0;          // kMate: the plies of the mate, the check included
  std::string reply_text;  // kTooLong, kUndecided: the defence
};

// The same move in another board's piece numbering: the places, the promotion and the kind.
bool SameMove(MoveWord a, MoveWord b) {
  return a.From().code() == b.From().code() && a.To().code() == b.To().code() &&
         a.PromotedAfter() == b.PromotedAfter() && KindOfIndex(a.Piece()) == KindOfIndex(b.Piece());
}

std::string Text(const Position& position, MoveWord move) {
  return StandardMoveText(position, position.piece(move.Piece()), move);
}

class Checker {
 public:
  Checker(RecordBoard& board, const TsumeCheckOptions& options, platform::AutoResetEvent* stop,
          platform::ProgressSink* out)
      : board_(board),
        options_(options),
        stop_(stop),
        out_(out),
        pool_(kPoolFirstChunk, kPoolGrowth, kPoolLimit, &board.messages()),
        gen_(scratch_, pool_) {
    if (options.time_limit_ms > 0) deadline_ms_ = platform::SteadyMilliseconds() + options.time_limit_ms;
  }

  TsumeCheckResult Run() {
    std::vector<MoveWord> line;
    board_.GoToStart();
    while (board_.StepForward()) line.push_back(board_.current()->move);
    board_.GoToStart();
    result_.stated_length = static_cast<int>(line.size());
    for (size_t ply = 0; ply < line.size() && !Ended(); ply += 2) {
      scratch_.SetPositionFrom(board_);
      CheckAttackerMove(static_cast<int>(ply), line[ply], static_cast<int>(line.size() - ply));
      board_.StepForward();
      board_.StepForward();
    }
    board_.GoToStart();
    return result_;
  }

 private:
  bool Ended() const { return result_.stopped || !result_.complete; }

  // Every check at the attacker position of `ply` (on the scratch board) against the remaining plies.
  void CheckAttackerMove(int ply, MoveWord intended_word, int remaining) {
    const Side attacker = scratch_.side_to_move();
    const int king = KingOf(Opponent(attacker));
    if (king < 0) return;
    std::vector<MoveWord> checks = Moves(gen_.GenerateChecks(attacker, scratch_.LocationOf(king).square()));
    const auto intended = std::find_if(checks.begin(), checks.end(), [&](MoveWord m) { return SameMove(m, intended_word); });
    const std::string intended_text = Text(board_, intended_word);
    Say("%d手目 %s: 王手 %d通りを検討", ply + 1, intended_text.c_str(), static_cast<int>(checks.size()));
    if (intended == checks.end()) {
      result_.findings.push_back({TsumeFindingKind::kFails, ply + 1, intended_text, "", 0});
      return;
    }
    std::rotate(checks.begin(), intended, intended + 1);  // the intended move first
    int shortest = 0;
    std::string shortest_text;
    for (size_t i = 0; i < checks.size() && !Ended(); ++i) {
      const std::string text = Text(scratch_, checks[i]);
      const Reach reach = Try(checks[i], remaining);
      if (reach.kind == Reach::kIllegal || reach.kind == Reach::kStopped) continue;
      if (reach.kind == Reach::kUndecided) {
        result_.findings.push_back({TsumeFindingKind::kUndecided, ply + 1, intended_text, text, 0});
        result_.complete = false;
        continue;
      }
      if (i == 0 && reach.kind == Reach::kTooLong) {
        result_.findings.push_back({TsumeFindingKind::kFails, ply + 1, intended_text, reach.reply_text, 0});
      }
      if (reach.kind != Reach::kMate) continue;
      if (i > 0 && remaining > 1) {
        result_.findings.push_back({TsumeFindingKind::kAlternative, ply + 1, intended_text, text, reach.length});
      }
      if (shortest == 0 || reach.length < shortest) {
        shortest = reach.length;
        shortest_text = text;
      }
    }
    if (shortest > 0 && shortest < remaining) {
      result_.findings.push_back({TsumeFindingKind::kShorter, ply + 1, intended_text, shortest_text, shortest});
    }
  }

  // Plays the check on the scratch board and answers every defence with the engine, within `bound`.
  Reach Try(MoveWord check, int bound) {
    Reach reach;
    const Side attacker = scratch_.side_to_move();
    const Side defender = Opponent(attacker);
    if (!Apply(check)) return reach;
    const int own_king = KingOf(attacker), king = KingOf(defender);
    scratch_.RefreshAttackMap();
    const bool leaves_king = own_king >= 0 && scratch_.Attacked(defender, scratch_.LocationOf(own_king).square());
    const std::vector<MoveWord> replies =
        leaves_king ? std::vector<MoveWord>{} : Moves(gen_.GenerateEvasions(scratch_.LocationOf(king).square()));
    if (leaves_king || (replies.empty() && check.IsDrop() && KindOfIndex(check.Piece()) == FU)) {
      scratch_.RetractFast();  // no move: own king left attacked, or a pawn drop that mates
      return reach;
    }
    reach.kind = Reach::kMate;
    reach.length = 1;
    for (MoveWord reply : replies) {
      const Answered answered = Answer(reply, defender, bound - 2);
      if (answered.kind != Reach::kMate || 2 + answered.plies > bound) {
        reach.kind = answered.kind == Reach::kMate ? Reach::kTooLong : answered.kind;
        reach.reply_text = Text(scratch_, reply);
        break;
      }
      reach.length = std::max(reach.length, 2 + answered.plies);
    }
    scratch_.RetractFast();
    return reach;
  }

  // A defence answered: kMate with the plies the attacker then needs, kTooLong for no mate, kUndecided
  // or kStopped.
  struct Answered {
    Reach::Kind kind = Reach::kUndecided;
    int plies = 0;
  };

  // A useless interposition's drop and capture count no plies: its plies may then be -1 (the capture
  // mates), making the check's line as long as without the drop.
  Answered Answer(MoveWord reply, Side defender, int allowed) {
    const bool useless_square = reply.IsDrop() && MayBeUselessDrop(reply.To().square(), defender);
    if (useless_square) allowed += 2;
    Answered answered;
    if (allowed < 1) return {Reach::kTooLong, 0};
    if (!Apply(reply)) {
      result_.complete = false;
      return answered;
    }
    const int64_t left = LeftMs();
    if (allowed <= kBoundedSearchPlies) {
      answered = Bounded(allowed);
      const MoveNode* first = scratch_.current()->child;
      if (answered.kind == Reach::kMate && useless_square && first && TakesOn(first->move, reply)) answered.plies -= 2;
    } else if (left >= 0) {
      DfpnEngine engine(scratch_, DfpnOptions{options_.memory_mb, left, nullptr, allowed});
      const SolveOutcome outcome = engine.Solve(nullptr, stop_);
      if (outcome == SolveOutcome::kInterrupted) {
        result_.stopped = true;
        answered.kind = Reach::kStopped;
      } else if (outcome == SolveOutcome::kNoMate || engine.refuted_within_bound()) {
        answered.kind = Reach::kTooLong;
      } else if (outcome == SolveOutcome::kMate) {
        answered = {Reach::kMate, engine.mate_length()};
        const std::vector<SolutionNode>& tree = engine.solution();
        if (useless_square && !tree.empty() && TakesOn(tree[0].move, reply)) answered.plies -= 2;
      }
    }
    if (answered.kind == Reach::kUndecided) result_.complete = false;
    scratch_.RetractFast();
    return answered;
  }

  // Within a few plies the iterative-deepening engine answers at once and exactly to the bound; beyond,
  // the proof-number engine searches with the bound.
  static constexpr int kBoundedSearchPlies = 15;

  Answered Bounded(int allowed) {
    MateEngine engine(scratch_);
    engine.Solve(allowed, nullptr, stop_);
    switch (engine.outcome()) {
      case SolveOutcome::kMate:
      case SolveOutcome::kMatePartial:
        return {Reach::kMate, engine.mate_depth_limit()};
      case SolveOutcome::kNoMate:
      case SolveOutcome::kUndecided:  // no mate within the bound
        return {Reach::kTooLong, 0};
      case SolveOutcome::kInterrupted:
        result_.stopped = true;
        return {Reach::kStopped, 0};
      default:
        return {Reach::kUndecided, 0};
    }
  }

  static bool TakesOn(MoveWord move, MoveWord drop) {
    return move.IsCapture() && move.To().code() == drop.To().code();
  }

  bool MayBeUselessDrop(BoardIndex square, Side defender) const {
    scratch_.RefreshAttackMap();
    const BoardIndex king = scratch_.LocationOf(KingOf(defender)).square();
    return InterpositionMayBeUseless(scratch_.AttackCount(defender, square),
                                     scratch_.AttackCount(Opponent(defender), square), Adjacent(square, king));
  }

  int KingOf(Side side) const {
    for (int i = 0; i < 2; ++i) {
      if (scratch_.piece(i).on_board() && scratch_.SideOf(i) == side) return i;
    }
    return -1;
  }

  bool Apply(MoveWord w) {
    MoveNode n;
    n.move = w;
    return scratch_.ApplyFast(n, false) != 0;
  }

  std::vector<MoveWord> Moves(MoveList list) {
    std::vector<MoveWord> moves;
    for (MoveNode* m = list.head; m; m = m->next) moves.push_back(m->move);
    list.FreeAll(pool_);
    if (gen_.failed()) result_.complete = false;
    return moves;
  }

  // The milliseconds left: 0 without a limit, -1 past it.
  int64_t LeftMs() const {
    if (deadline_ms_ == 0) return 0;
    const int64_t left = deadline_ms_ - platform::SteadyMilliseconds();
    return left > 0 ? left : -1;
  }

  void Say(const char* format, int ply, const char* text, int count) {
    if (!out_) return;
    char line[256];
    std::snprintf(line, sizeof line, format, ply, text, count);
    out_->Line(line);
  }

  RecordBoard& board_;
  TsumeCheckOptions options_;
  platform::AutoResetEvent* stop_;
  platform::ProgressSink* out_;
  PlainBoard scratch_;
  NodePool pool_;
  MoveGenerator gen_;
  int64_t deadline_ms_ = 0;
  TsumeCheckResult result_;
};

}  // namespace

TsumeCheckResult CheckTsume(RecordBoard& board, const TsumeCheckOptions& options, platform::AutoResetEvent* stop,
                            platform::ProgressSink* out) {
  // The scratch board and the generator are large: off the stack.
  auto checker = std::make_unique<Checker>(board, options, stop, out);
  return checker->Run();
}

TsumeCheckResult CheckProblem(RecordBoard& board, const EngineChoice& engine, const TsumeCheckOptions& options,
                              platform::AutoResetEvent* stop, platform::ProgressSink* out) {
  if (!board.root()->child) {
    PrepareForSolving(board);
    platform::RecordingProgressSink unseen;
    const SolveOutcome outcome = RunChosenSolveProcedure(board, out ? *out : unseen, stop, engine);
    board.GoToStart();
    if (!SolutionWritten(outcome) || !board.root()->child) {
      TsumeCheckResult result;
      result.solved = false;
      result.stopped = outcome == SolveOutcome::kInterrupted;
      result.complete = outcome != SolveOutcome::kInterrupted && outcome != SolveOutcome::kUndecided;
      return result;
    }
  }
  return CheckTsume(board, options, stop, out);
}

std::string FindingText(const TsumeFinding& f) {
  char line[512];
  switch (f.kind) {
    case TsumeFindingKind::kAlternative:
      std::snprintf(line, sizeof line, "余詰 %d手目 作意 %s 別手 %s (%d手で詰み)", f.move_number, f.intended.c_str(),
                    f.other.c_str(), f.length);
      break;
    case TsumeFindingKind::kShorter:
      std::snprintf(line, sizeof line, "早詰 %d手目 %s から%d手で詰み (作意 %s)", f.move_number, f.other.c_str(),
                    f.length, f.intended.c_str());
      break;
    case TsumeFindingKind::kFails:
      if (f.other.empty()) {
        std::snprintf(line, sizeof line, "不詰 %d手目 作意 %s は王手ではありません", f.move_number, f.intended.c_str());
      } else {
        std::snprintf(line, sizeof line, "不詰 %d手目 作意 %s に %s で逃れ", f.move_number, f.intended.c_str(),
                      f.other.c_str());
      }
      break;
    case TsumeFindingKind::kUndecided:
      std::snprintf(line, sizeof line, "判定不能 %d手目 %s (時間内に決まりません)", f.move_number, f.other.c_str());
      break;
  }
  return line;
}

std::string SummaryText(const TsumeCheckResult& r) {
  if (!r.solved) {
    return r.stopped ? "余詰検討: 中断されました"
           : r.complete ? "余詰検討: 詰みがありません"
                        : "余詰検討: 時間内に詰みを判定できませんでした";
  }
  int counts[4] = {};
  for (const TsumeFinding& f : r.findings) ++counts[static_cast<int>(f.kind)];
  char line[256];
  std::snprintf(line, sizeof line, "余詰検討 (作意 %d手): 余詰 %d件, 早詰 %d件, 不詰 %d件%s", r.stated_length, counts[0],
                counts[1], counts[2],
                r.stopped ? " (中断されました)" : !r.complete ? " (判定できない手があります)" : "");
  return line;
}

}  // namespace solver
