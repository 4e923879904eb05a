// kzb list FILE: the select-read list of a multi-game .csa or multi-problem .pcl file, each line after
// the number that `--game K` of the other commands takes.
#include <cstdio>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/usage.h"
#include "platform/files.h"
#include "record/archive.h"
#include "record/record_file.h"
#include "record/select_read.h"
#include "record/summary_line.h"

using namespace record;

namespace kzb {

extern const Usage kListUsage = {
    .usage = "kzb list FILE.csa|FILE.pcl",
    .summary = "the games of a .csa file or the problems of a .pcl file",
    .about = "Lists the games of a .csa file or the problems of a .pcl file, one line each after the number\n"
             "K that --game K of the other commands takes.",
    .failed = "FILE could not be read, or the list stops short",
};

int RunList(const Args& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    return UsageError(kListUsage);
  }
  const std::string& path = args[0];
  const RecordFileKind kind = RecordFileKindOf(path);
  if (kind != RecordFileKind::kCsa && kind != RecordFileKind::kPcl) {
    Err("kzb list: " + path + ": only .csa and .pcl files hold lists of records");
    return kUsage;
  }
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) {
    Err("kzb list: cannot read " + path);
    return kFailed;
  }
  Archive ar = Archive::FromText(bytes);
  const bool games = kind == RecordFileKind::kCsa;
  const SelectScan scan = games ? ScanGames(ar) : ScanProblems(ar);
  OutLine(std::string("   K  ") + (games ? kGameListHeading : kProblemListHeading));
  for (size_t k = 0; k < scan.entries.size(); ++k) {
    char number[32];
    std::snprintf(number, sizeof number, "%4zu  ", k);
    OutLine(number + scan.entries[k].line);
  }
  if (scan.no_memory) {
    Err("kzb list: " + path + ": the list stops where memory ran out");
    return kFailed;
  }
  return kOk;
}

}  // namespace kzb
