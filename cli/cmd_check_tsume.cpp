// kzb check-tsume FILE [--game K] [--engine mate|pn] [--time-limit S] [--memory MB]: the composer's
// check of a problem's intended solution: 余詰 (another mating move), 早詰 (a shorter mate) and 不詰 (a
// defence escapes), one line each, then a summary. A problem without a solution tree is solved first
// with the chosen engine. Exit status 0 when the problem is sound, 1 with findings, when the check could
// not finish or the file was not read, 2 for a usage error.
#include <algorithm>
#include <string>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/engine_options.h"
#include "cli/record_io.h"
#include "cli/usage.h"
#include "platform/message_sink.h"
#include "record/record_file.h"
#include "solver/tsume_check.h"

using namespace record;
using namespace solver;

namespace kzb {

extern const Usage kCheckTsumeUsage = {
    .usage = "kzb check-tsume FILE [--game K] [--engine mate|pn] [--time-limit S] [--memory MB]",
    .summary = "余詰, 早詰 and 不詰 of a tsume problem",
    .about = "Checks the intended solution (the main line) of a tsume problem: at every attacker move, whether\n"
             "another check also mates within the remaining moves (余詰), whether a shorter mate exists (早詰)\n"
             "and whether a defence escapes the intended move (不詰). One line per finding, then a summary.\n"
             "A problem without a solution is solved first with the chosen engine. Several mating last moves\n"
             "are not reported.",
    .options = "  --game K        problem K of the file (0 the first)\n"
               "  --engine E      the engine that solves a problem without a solution: mate (the default) or pn\n"
               "  --time-limit S  give up after S seconds (the whole check; default: no limit)\n"
               "  --memory MB     the solving engine's table size (default 256; each defence's search takes\n"
               "                  at most 16)",
    .failed = "findings, a check that could not finish, or a file not read",
};

namespace {

// Each defence's search is short: a small table is quicker to set up and enough.
constexpr size_t kDefenceTableMb = 16;

}  // namespace

int RunCheckTsume(const Args& args) {
  DbOptions o;
  std::set<std::string> with_value = EngineOptionNames();
  with_value.insert("--game");
  EngineChoice engine;
  int game = 0;
  if (!ParseDbOptions(args, 0, with_value, {}, o) || o.positional.size() != 1 || !EngineChoiceFromOptions(o, engine) ||
      !ParseCount(o.Value("--game").value_or("0"), 10000000, game)) {
    return UsageError(kCheckTsumeUsage);
  }
  const std::string& path = o.positional[0];
  platform::ConsoleMessageSink messages;
  RecordFile file(&messages);
  bool opened = false;
  const int status = LoadRecordFile("check-tsume", path, game, file, opened);
  if (!opened || status != kOk) return kFailed;

  TsumeCheckOptions options;
  options.memory_mb = std::min(engine.dfpn.memory_mb, kDefenceTableMb);
  options.time_limit_ms = engine.dfpn.time_limit_ms;
  const TsumeCheckResult result = CheckProblem(file.board(), engine, options, nullptr, nullptr);
  for (const TsumeFinding& f : result.findings) OutLine(FindingText(f));
  OutLine(SummaryText(result));
  return result.sound() ? kOk : kFailed;
}

}  // namespace kzb
