// The composer's check of a tsume problem's intended solution (作意): the main line of the record's
// solution tree is walked, and at every attacker move every other check is tried against the remaining
// length, with the proof-number engine answering for each defence.
//
// What is reported, each with the move number (the ply of the attacker move, from 1):
//  - 余詰: another check also mates within the remaining plies (a mate of the same length through a
//    different move counts). The last move is left out: several mating last moves are no flaw under
//    the composition conventions.
//  - 早詰: some check (the intended one or another) mates in fewer plies than remain.
//  - 不詰: the intended check does not mate within the remaining plies: a defence escapes or lasts longer.
//  - 判定不能: a defence could not be decided in time (the check is then incomplete).
//
// Lengths follow the conventions the engines keep: the attacker's shortest against the defender's
// longest, and an interposing drop on a square no defender but the king guards (and that one only when
// the attacker guards it twice) costs no plies when the attacker's mate starts by taking it (無駄合).
//
// Cost: one engine search per defence of every check at every attacker move, each with a table of
// `memory_mb`; short problems take well under a second, long ones want a time limit.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/progress_sink.h"
#include "record/record_board.h"
#include "solver/engine_choice.h"

namespace solver {

enum class TsumeFindingKind { kAlternative, kShorter, kFails, kUndecided };

struct TsumeFinding {
  TsumeFindingKind kind;
  int move_number = 0;   // the attacker move's ply, from 1
  std::string intended;  // the main line's move there (CP932, as 「先手２三金」)
  // 余詰: the other mating move; 早詰: the first move of the shorter mate; 不詰: the defence that escapes
  // (after the intended move); 判定不能: the check whose defence went undecided.
  std::string other;
  int length = 0;  // 余詰 and 早詰: the plies the other line mates in
};

struct TsumeCheckOptions {
  size_t memory_mb = 16;       // each defence's search table
  int64_t time_limit_ms = 0;   // the whole check; 0: none
};

struct TsumeCheckResult {
  int stated_length = 0;  // the main line's plies
  std::vector<TsumeFinding> findings;
  bool solved = true;     // false: there was no solution tree and none could be found
  bool complete = true;   // false: stopped, out of time, or a defence undecided
  bool stopped = false;
  bool sound() const { return solved && complete && findings.empty(); }
};

// Checks the main line of the board's record (its selected line from the start). The board is left at
// its start. Progress lines (one per attacker move) go to `out`; both `out` and `stop` may be null.
TsumeCheckResult CheckTsume(record::RecordBoard& board, const TsumeCheckOptions& options,
                            platform::AutoResetEvent* stop, platform::ProgressSink* out);

// The same for a problem that may have no solution yet: with no moves in its record, it is solved first
// with the chosen engine (its lines go to `out`, the tree into the record), then checked.
TsumeCheckResult CheckProblem(record::RecordBoard& board, const EngineChoice& engine, const TsumeCheckOptions& options,
                              platform::AutoResetEvent* stop, platform::ProgressSink* out);

// One line per finding, e.g. 「余詰 1手目 作意 先手２三金 別手 先手１二金 (3手で詰み)」, and the summary line.
std::string FindingText(const TsumeFinding& finding);
std::string SummaryText(const TsumeCheckResult& result);

}  // namespace solver
