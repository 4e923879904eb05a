// kzb db check DIR and kzb db repair DIR [--remove-damaged]: the six tables, the references between
// them and the items they hold.
#include <set>
#include <string>

#include "cli/console.h"
#include "cli/db_cli.h"
#include "shogidb/db_check.h"

namespace kzb {

int RunDbCheck(const Args& args, bool repair) {
  DbOptions o;
  const std::set<std::string> flags = repair ? std::set<std::string>{"--remove-damaged"} : std::set<std::string>{};
  if (!ParseDbOptions(args, 1, {}, flags, o) || o.positional.size() != 1) return kUsage;
  DbSession session(o.positional[0], false);
  if (!session.Begin()) return kFailed;
  shogidb::DatabaseCheck check;
  const int rc = repair ? shogidb::RepairDatabase(session.directory(), &check, o.Has("--remove-damaged"))
                        : shogidb::CheckDatabase(session.directory(), &check);
  for (const std::string& line : check.notes) OutLine(line);
  for (const std::string& line : check.problems) OutLine(line);
  if (rc != 0) return kFailed;
  if (check.ok()) {
    OutLine(repair ? "repaired; no problems" : "no problems");
    return kOk;
  }
  std::string summary = std::to_string(check.problems.size()) + " problems";
  if (!check.damaged.empty()) {
    summary += "; " + std::to_string(check.damaged.size()) + " damaged items kept (kzb db repair DIR " +
               "--remove-damaged removes them)";
  }
  OutLine(summary);
  return kFailed;
}

}  // namespace kzb
