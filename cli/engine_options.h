// The options that choose a mate engine, shared by the commands that solve (kzb db solve, kzb
// check-tsume): --engine mate|pn, --time-limit S and --memory MB (the last two the pn engine's).
#pragma once
#include <set>
#include <string>

#include "cli/db_cli.h"
#include "solver/engine_choice.h"

namespace kzb {

// The names, for ParseDbOptions's options with a value.
const std::set<std::string>& EngineOptionNames();
// The lines of a usage's option list that describe them.
inline constexpr const char* kEngineOptionsHelp =
    "  --engine E      mate (the default) or pn: proof-number search, for long problems\n"
    "  --time-limit S  give up on a problem after S seconds (pn; default: no limit)\n"
    "  --memory MB     the pn engine's table size (default 256)";

// Sets `choice` from the options given; false when a value is not understood.
bool EngineChoiceFromOptions(const DbOptions& options, solver::EngineChoice& choice);

}  // namespace kzb
