#include "cli/engine_options.h"

namespace kzb {

const std::set<std::string>& EngineOptionNames() {
  static const std::set<std::string> names = {"--engine", "--time-limit", "--memory"};
  return names;
}

bool EngineChoiceFromOptions(const DbOptions& options, solver::EngineChoice& choice) {
  const std::string engine = options.Value("--engine").value_or("mate");
  if (engine != "mate" && engine != "pn") return false;
  choice.engine = engine == "pn" ? solver::SolverEngine::kProofNumber : solver::SolverEngine::kIterativeDeepening;
  long seconds = 0, megabytes = static_cast<long>(choice.dfpn.memory_mb);
  if (!ParseNumber(options.Value("--time-limit").value_or("0"), 1000000, seconds)) return false;
  if (!ParseNumber(options.Value("--memory").value_or(std::to_string(megabytes)), 1 << 20, megabytes) ||
      megabytes < 1) {
    return false;
  }
  choice.dfpn.time_limit_ms = seconds * 1000;
  choice.dfpn.memory_mb = static_cast<size_t>(megabytes);
  return true;
}

}  // namespace kzb
