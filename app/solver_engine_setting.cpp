#include "app/solver_engine_setting.h"

#include <algorithm>

#include "app/application.h"

namespace app {

namespace {

const char kSection[] = "SETTING";
const char kEngineKey[] = "SolverEngine";
const char kMemoryKey[] = "SolverMemory";
// A hand-edited size beyond this would fail to allocate rather than help.
constexpr long kMaxMemoryMb = 16384;

}  // namespace

solver::SolverEngine StoredSolverEngine() {
  return solver::SolverEngineFromNumber(Application::instance()->settings().GetInt(kSection, kEngineKey, 0));
}

void StoreSolverEngine(solver::SolverEngine engine) {
  Application::instance()->settings().WriteInt(kSection, kEngineKey, static_cast<int>(engine));
}

solver::EngineChoice SolverEngineChoice() {
  solver::EngineChoice choice;
  choice.engine = StoredSolverEngine();
  const long memory = Application::instance()->settings().GetInt(kSection, kMemoryKey, 256);
  choice.dfpn.memory_mb = static_cast<size_t>(std::clamp(memory, 1L, kMaxMemoryMb));
  return choice;
}

}  // namespace app
