// kzb db check DIR and kzb db repair DIR: the six tables and the references between them.
#include "cli/console.h"
#include "cli/db_cli.h"
#include "shogidb/db_check.h"

namespace kzb {

int RunDbCheck(const Args& args, bool repair) {
  DbOptions o;
  if (!ParseDbOptions(args, 1, {}, {}, o) || o.positional.size() != 1) return kUsage;
  DbSession session(o.positional[0], false);
  if (!session.Begin()) return kFailed;
  shogidb::DatabaseCheck check;
  const int rc = repair ? shogidb::RepairDatabase(session.directory(), &check)
                        : shogidb::CheckDatabase(session.directory(), &check);
  for (const std::string& line : check.notes) OutLine(line);
  for (const std::string& line : check.problems) OutLine(line);
  if (rc != 0) return kFailed;
  OutLine(check.ok() ? (repair ? "repaired; no problems" : "no problems")
                     : std::to_string(check.problems.size()) + " problems");
  return check.ok() ? kOk : kFailed;
}

}  // namespace kzb
