// Which mate engine a solve runs, with that engine's limits: the iterative-deepening MateEngine (the
// default, depth-bounded) or the proof-number DfpnEngine (for long problems; a table size and a time
// limit). Every caller that solves (a tsume window, the database batch, kzb) passes one of these, so
// adding a choice to a caller is one field.
#pragma once
#include "platform/events.h"
#include "platform/progress_sink.h"
#include "rules/position.h"
#include "solver/dfpn_engine.h"
#include "solver/mate_engine.h"
#include "solver/solve_procedure.h"

namespace solver {

// The stored values of the choice (a setting keeps the number): keep them as they are.
enum class SolverEngine { kIterativeDeepening = 0, kProofNumber = 1 };

struct EngineChoice {
  SolverEngine engine = SolverEngine::kIterativeDeepening;
  int max_depth = MateEngine::kDefaultMaxDepth;  // the iterative-deepening engine's
  DfpnOptions dfpn;                              // the proof-number engine's
};

// The engine of a stored number; anything unknown is the default.
SolverEngine SolverEngineFromNumber(long number);

// The solve procedure of the chosen engine: the start and end lines around the engine's, and the
// solution tree written into the board's record on a mate. REQUIRES: the current node has no children.
SolveOutcome RunChosenSolveProcedure(rules::Position& position, platform::ProgressSink& out,
                                     platform::AutoResetEvent* stop, const EngineChoice& choice);

// Starts the chosen procedure on the worker; false while it runs a solve.
bool StartChosenSolve(SolveWorker& worker, rules::Position& position, platform::ProgressSink& out,
                      SolveWorker::Finished finished, const EngineChoice& choice);

}  // namespace solver
