#include "solver/dfpn_procedure.h"

#include "solver/solve_procedure.h"

namespace solver {

SolveOutcome RunDfpnSolveProcedure(rules::Position& position, platform::ProgressSink& out,
                                   platform::AutoResetEvent* stop, const DfpnOptions& options) {
  return RunFramedSolve(out, [&] {
    DfpnEngine engine(position, options);
    const SolveOutcome outcome = engine.Solve(&out, stop);
    if (outcome == SolveOutcome::kMate) engine.WriteSolution();
    return outcome;
  });
}

}  // namespace solver
