// kzb db: the shogi databases from the terminal. Progress lines go to standard output, message boxes to
// standard error, questions are answered yes with --yes (otherwise asked on the terminal, or refused
// without one). Exit status: 0 success, 1 an operation reported a failure, 2 a usage error.
#include <string>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/db_cli.h"

namespace kzb {
namespace {

const char kDbUsageText[] =
    "usage: kzb db create DIR\n"
    "       kzb db import DIR FILE [--tsume] [--new] [--yes]\n"
    "       kzb db search DIR [--tsume] [CONDITION] [--position FILE [--ply N] --match whole|board\n"
    "                     [--side sente|gote|any] [--reversed] [--from F --count C]]\n"
    "       kzb db duplicates DIR [CONDITION] --by moves|final\n"
    "       kzb db dedupe DIR [CONDITION] --by moves|final [--merge-annotations] --yes\n"
    "       kzb db export DIR [--tsume] NUMBER... -o FILE [--yes]\n"
    "       kzb db delete DIR [--tsume] NUMBER... --yes\n"
    "       kzb db joseki add DIR FILE [--depth N] [--eval E] [--value V] [--annotations] [--details]\n"
    "       kzb db joseki show DIR FILE [--ply N]\n"
    "       kzb db joseki export DIR FILE [--ply N] --depth D -o OUT [--annotations] [--yes]\n"
    "       kzb db joseki delete DIR FILE [--ply N] --depth D --backup OUT --yes\n"
    "       kzb db solve DIR [NUMBER...] [--yes]\n"
    "       kzb db check DIR\n"
    "       kzb db repair DIR [--remove-damaged]";

}  // namespace

int DbUsage() {
  Err(kDbUsageText);
  return kUsage;
}

int RunDb(const Args& args) {
  if (args.empty()) return DbUsage();
  const std::string& verb = args[0];
  int rc = -1;
  if (verb == "create") rc = RunDbCreate(args);
  if (verb == "import") rc = RunDbImport(args);
  if (verb == "search") rc = RunDbSearch(args);
  if (verb == "duplicates") rc = RunDbDuplicates(args, false);
  if (verb == "dedupe") rc = RunDbDuplicates(args, true);
  if (verb == "export") rc = RunDbExport(args);
  if (verb == "delete") rc = RunDbDelete(args);
  if (verb == "solve") rc = RunDbSolve(args);
  if (verb == "joseki") rc = RunDbJoseki(args);
  if (verb == "check") rc = RunDbCheck(args, false);
  if (verb == "repair") rc = RunDbCheck(args, true);
  return rc == kUsage || rc < 0 ? DbUsage() : rc;
}

}  // namespace kzb
