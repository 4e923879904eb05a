#include "solver/engine_choice.h"

#include <utility>

#include "solver/dfpn_procedure.h"

namespace solver {

SolverEngine SolverEngineFromNumber(long number) {
  return number == static_cast<long>(SolverEngine::kProofNumber) ? SolverEngine::kProofNumber
                                                                 : SolverEngine::kIterativeDeepening;
}

SolveOutcome RunChosenSolveProcedure(rules::Position& position, platform::ProgressSink& out,
                                     platform::AutoResetEvent* stop, const EngineChoice& choice) {
  if (choice.engine == SolverEngine::kProofNumber) return RunDfpnSolveProcedure(position, out, stop, choice.dfpn);
  return RunSolveProcedure(position, out, stop, choice.max_depth);
}

bool StartChosenSolve(SolveWorker& worker, rules::Position& position, platform::ProgressSink& out,
                      SolveWorker::Finished finished, const EngineChoice& choice) {
  return worker.StartJob(
      [&position, &out, choice](platform::AutoResetEvent* stop) {
        return RunChosenSolveProcedure(position, out, stop, choice);
      },
      std::move(finished));
}

}  // namespace solver
