// The solve procedure with the proof-number engine: the same start and end lines as RunSolveProcedure
// around the engine's own, and the solution tree written into the board's record when a mate is found.
#pragma once
#include "platform/events.h"
#include "platform/progress_sink.h"
#include "rules/position.h"
#include "solver/dfpn_engine.h"

namespace solver {

// Solves the board's current position with the side to move attacking. REQUIRES: the current node of
// the record has no children. `stop` may be null.
SolveOutcome RunDfpnSolveProcedure(rules::Position& position, platform::ProgressSink& out,
                                   platform::AutoResetEvent* stop, const DfpnOptions& options);

}  // namespace solver
