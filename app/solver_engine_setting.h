// The mate engine the solving commands use, as the settings keep it (section SETTING, key SolverEngine:
// 0 the iterative-deepening engine, the default; 1 the proof-number engine; SolverMemory: the
// proof-number engine's table in MB, 256 when absent). The choice takes effect at the next solve.
#pragma once
#include "solver/engine_choice.h"

namespace app {

solver::SolverEngine StoredSolverEngine();
void StoreSolverEngine(solver::SolverEngine engine);
// The engine and its limits for a solve started now.
solver::EngineChoice SolverEngineChoice();

}  // namespace app
