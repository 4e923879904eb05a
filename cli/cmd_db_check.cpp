// kzb db check DIR and kzb db repair DIR [--remove-damaged]: the six tables, the references between
// them and the items they hold.
#include <set>
#include <string>

#include "cli/console.h"
#include "cli/db_cli.h"
#include "cli/usage.h"
#include "shogidb/db_check.h"

namespace kzb {

extern const Usage kDbCheckUsage = {
    .usage = "kzb db check DIR",
    .summary = "check the tables and the references between them",
    .about = "Checks the six tables of the database, the references between them and the items they hold,\n"
             "and prints every problem found.",
    .failed = "problems were found, or the check could not run",
};

extern const Usage kDbRepairUsage = {
    .usage = "kzb db repair DIR [--remove-damaged]",
    .summary = "repair what kzb db check finds",
    .about = "Repairs the tables and the references between them; damaged items are kept unless told.",
    .options = "  --remove-damaged   remove the damaged items as well",
    .failed = "problems are left, or the repair could not run",
};

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
