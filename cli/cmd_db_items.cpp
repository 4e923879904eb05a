// kzb db create, import, search, duplicates, dedupe, export, delete and solve.
#include <signal.h>

#include <cstdio>
#include <memory>

#include "cli/console.h"
#include "cli/db_cli.h"
#include "cli/usage.h"
#include "platform/db_lock.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "record/archive.h"
#include "record/kakinoki_converter.h"
#include "record/plain_board.h"
#include "record/record_file.h"
#include "record/summary_line.h"
#include "cli/engine_options.h"
#include "shogidb/batch_solve.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"
#include "shogidb/schema.h"

using namespace rules;
using namespace record;

namespace kzb {

extern const Usage kDbCreateUsage = {
    .usage = "kzb db create DIR",
    .summary = "a new shogi database",
    .about = "Makes DIR a new, empty shogi database.",
    .failed = "the database could not be made (the reason is said)",
};

extern const Usage kDbImportUsage = {
    .usage = "kzb db import DIR FILE [--tsume] [--new] [--yes]",
    .summary = "register the games or problems of a file",
    .about = "Registers every game of a .csa or Kakinoki file (every problem of a .pcl file) in the database:\n"
             "as a new item, or in place of the item whose number the record carries.",
    .options = "  --tsume      into the tsume problems (a .pcl file always goes there)\n"
               "  --new        every record as a new item, whatever number it carries",
    .asks = true,
    .failed = "FILE could not be read, or a record could not be read or stored (those before it stay)",
};

extern const Usage kDbSearchUsage = {
    .usage = "kzb db search DIR [--tsume] [CONDITION] [--position FILE|--sfen TEXT [--ply N] --match whole|board\n"
             "              [--side sente|gote|any] [--reversed] [--from F --count C]]",
    .summary = "list the items a condition or a position finds",
    .about = "Lists the games (or problems) that meet CONDITION, a condition of the query language, and that\n"
             "reach the position after N moves of FILE when --position is given.",
    .options = "  --tsume             search the tsume problems\n"
               "  --position FILE     the position to find, after --ply N moves of FILE (default 0)\n"
               "  --sfen TEXT         the position as an SFEN or a USI line (\"position startpos moves ...\")\n"
               "  --match whole|board  the whole position, or the board without the pieces in hand\n"
               "  --side sente|gote|any   the side to move of the position (default: FILE's)\n"
               "  --reversed          the position turned around as well\n"
               "  --from F --count C  only positions from move F on, C moves of them",
    .asks = true,
    .failed = "the search failed or was stopped (the list is incomplete)",
};

extern const Usage kDbDuplicatesUsage = {
    .usage = "kzb db duplicates DIR [CONDITION] --by moves|final",
    .summary = "list games registered twice",
    .about = "Lists the groups of games that meet CONDITION and have the same moves (--by moves) or the same\n"
             "final position (--by final), a blank line after each group.",
    .options = "  --by moves|final   what makes two games the same",
    .failed = "the search failed or was stopped (the list is incomplete)",
};

extern const Usage kDbDedupeUsage = {
    .usage = "kzb db dedupe DIR [CONDITION] --by moves|final [--merge-annotations] --yes",
    .summary = "delete games registered twice",
    .about = "Deletes all but one game of each group kzb db duplicates lists.",
    .options = "  --by moves|final      what makes two games the same\n"
               "  --merge-annotations   the kept game takes the annotations of the deleted ones",
    .asks = true,
    .failed = "a game could not be deleted, a question was declined, or the job was stopped",
};

extern const Usage kDbExportUsage = {
    .usage = "kzb db export DIR [--tsume] NUMBER... -o FILE [--yes]",
    .summary = "write items to a record file",
    .about = "Writes the games (or problems) with the numbers given to FILE as CSA (PCL) text.",
    .options = "  --tsume      the tsume problems\n"
               "  -o FILE      the file to write (asked before it is replaced)",
    .asks = true,
    .failed = "an item could not be read or FILE not written",
};

extern const Usage kDbDeleteUsage = {
    .usage = "kzb db delete DIR [--tsume] NUMBER... --yes",
    .summary = "delete items",
    .about = "Deletes the games (or problems) with the numbers given.",
    .options = "  --tsume      the tsume problems",
    .asks = true,
    .failed = "an item is not there or could not be deleted, or a question was declined",
};

extern const Usage kDbSolveUsage = {
    .usage = "kzb db solve DIR [NUMBER...] [--engine mate|pn] [--time-limit S] [--memory MB] [--yes]",
    .summary = "solve stored problems",
    .about = "Runs the mate search on the tsume problems with the numbers given (all of them without a number)\n"
             "and stores each solution found. Ctrl-C stops the batch.",
    .options = kEngineOptionsHelp,
    .asks = true,
    .failed = "a problem could not be read or stored, or the batch was stopped",
};

namespace {

std::unique_ptr<shogidb::ItemDatabase> Database(bool tsume, DbSession& session) {
  std::unique_ptr<shogidb::ItemDatabase> db;
  if (tsume) {
    db = std::make_unique<shogidb::ProblemDatabase>();
  } else {
    db = std::make_unique<shogidb::GameDatabase>();
  }
  db->SetDatabase(session.directory());
  db->SetJob(session.job());
  return db;
}

// The numbers named on the command line (at least one).
bool Numbers(const std::vector<std::string>& words, size_t first, std::vector<int32_t>& numbers) {
  for (size_t i = first; i < words.size(); ++i) {
    long n;
    if (!ParseNumber(words[i], 999999, n)) return false;
    numbers.push_back(static_cast<int32_t>(n));
  }
  return true;
}

}  // namespace

int RunDbCreate(const Args& args) {
  DbOptions o;
  if (!ParseDbOptions(args, 1, {}, {}, o) || o.positional.size() != 1) return kUsage;
  CountingMessages messages(false);
  ConsoleProgress progress;
  return shogidb::CreateDatabase(o.positional[0], progress, messages) ? kOk : kFailed;
}

int RunDbImport(const Args& args) {
  DbOptions o;
  if (!ParseDbOptions(args, 1, {}, {"--tsume", "--new", "--yes"}, o) || o.positional.size() != 2) return kUsage;
  DbSession session(o.positional[0], o.Has("--yes"));
  if (!session.Begin()) return kFailed;
  const std::string& path = o.positional[1];
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) {
    session.messages().Show("ファイル(" + path + ")がオープンできません。");
    return kFailed;
  }
  std::string text = platform::InputTextToCp932(bytes);
  const RecordFileKind kind = RecordFileKindOf(path);
  if (kind == RecordFileKind::kKif || kind == RecordFileKind::kKi2) {
    // Kakinoki records are converted to CSA text on the way in.
    Archive converted = Archive::ToMemory();
    bool separator_due = false;
    const KakinokiStats stats = ConvertKakinokiText(text, path, KakinokiOptions{}, converted, separator_due);
    // A game the converter refused (its start position unknown) is said, and the others registered.
    for (const std::string& problem : stats.problems) session.messages().Show(problem);
    if (stats.games == 0 && !stats.problems.empty()) return session.Status(false);
    text = converted.text();
  }
  auto db = Database(o.Has("--tsume") || kind == RecordFileKind::kPcl, session);
  session.messages().source = path;  // a record that does not read is told with its file
  db->RegisterFromCsa(text, o.Has("--new"));
  return session.Status();
}

int RunDbSearch(const Args& args) {
  DbOptions o;
  if (!ParseDbOptions(args, 1, {"--position", "--sfen", "--ply", "--match", "--side", "--from", "--count"},
                      {"--tsume", "--reversed", "--yes"}, o) ||
      o.positional.empty() || o.positional.size() > 2) {
    return kUsage;
  }
  shogidb::PositionSpec spec;
  if (o.Value("--position") && o.Value("--sfen")) return kUsage;
  // An SFEN or USI line reads where a file name does (RecordFile takes either).
  if (auto file = o.Value("--position") ? o.Value("--position") : o.Value("--sfen")) {
    long ply = 0, from = 1, count = shogidb::MoveBlockTable::kMaxPlies;
    const std::string match = o.Value("--match").value_or("");
    const std::string side = o.Value("--side").value_or("");
    if ((match != "whole" && match != "board") || !ParseNumber(o.Value("--ply").value_or("0"), 2000, ply) ||
        !ParseNumber(o.Value("--from").value_or("1"), 2001, from) || from < 1 ||
        !ParseNumber(o.Value("--count").value_or("2000"), 2000, count) ||
        (!side.empty() && side != "sente" && side != "gote" && side != "any")) {
      return kUsage;
    }
    if (!PositionFromFile("search", *file, static_cast<int>(ply), spec.target, spec.side)) return kFailed;
    spec.mode = match == "whole" ? shogidb::PositionSpec::kWhole : shogidb::PositionSpec::kBoard;
    if (side == "sente") spec.side = kSente;
    if (side == "gote") spec.side = kGote;
    if (side == "any") spec.side = kSideUnset;
    spec.reversed = o.Has("--reversed");
    spec.first_ply = static_cast<int>(from);
    spec.ply_count = static_cast<int>(count);
  } else if (o.Value("--match") || o.Value("--ply") || o.Value("--side") || o.Has("--reversed") || o.Value("--from") ||
             o.Value("--count")) {
    return kUsage;
  }
  DbSession session(o.positional[0], o.Has("--yes"));
  if (!session.Begin()) return kFailed;
  const bool tsume = o.Has("--tsume");
  auto db = Database(tsume, session);
  std::vector<shogidb::ListEntry> found;
  const int rc = db->Search(o.positional.size() > 1 ? o.positional[1] : "", spec, found);
  if (rc != 0) return kFailed;
  OutLine(tsume ? kProblemListHeading : shogidb::kGameDbHeading);
  for (const shogidb::ListEntry& e : found) {
    OutLine(e.ply >= 0 ? e.line + "  " + std::to_string(e.ply) + "手目" : e.line);
  }
  OutLine("全 " + std::to_string(found.size()) + " 件");
  return session.ListingStatus();
}

int RunDbDuplicates(const Args& args, bool dedupe) {
  DbOptions o;
  if (!ParseDbOptions(args, 1, {"--by"}, {"--merge-annotations", "--yes"}, o) || o.positional.empty() ||
      o.positional.size() > 2) {
    return kUsage;
  }
  const std::string by = o.Value("--by").value_or("");
  if (by != "moves" && by != "final") return kUsage;
  const auto mode = by == "moves" ? shogidb::GameDatabase::DuplicateMode::kMoves : shogidb::GameDatabase::DuplicateMode::kFinalPosition;
  DbSession session(o.positional[0], o.Has("--yes"));
  if (!session.Begin()) return kFailed;
  shogidb::GameDatabase db;
  db.SetDatabase(session.directory());
  db.SetJob(session.job());
  std::vector<std::vector<shogidb::ListEntry>> groups;
  int searched = 0;
  if (db.FindDuplicates(o.positional.size() > 1 ? o.positional[1] : "", mode, groups, nullptr, &searched) != 0) {
    return kFailed;
  }
  if (!dedupe) {
    OutLine(shogidb::kGameDbHeading);
    for (const auto& group : groups) {
      for (const shogidb::ListEntry& e : group) OutLine(e.line);
      OutLine("");
    }
    size_t count = 0;
    for (const auto& g : groups) count += g.size();
    OutLine("全 " + std::to_string(count) + " 件");
    return session.ListingStatus();
  }
  // The notice that "order by" is ignored is no failure of the deletion.
  session.messages().shown = 0;
  db.DeleteDuplicates(groups, searched, o.Has("--merge-annotations"), mode);
  return session.Status();
}

int RunDbExport(const Args& args) {
  DbOptions o;
  std::vector<int32_t> numbers;
  if (!ParseDbOptions(args, 1, {"-o"}, {"--tsume", "--yes"}, o) || o.positional.size() < 2 || !o.Value("-o") ||
      !Numbers(o.positional, 1, numbers)) {
    return kUsage;
  }
  DbSession session(o.positional[0], o.Has("--yes"));
  if (!session.Begin()) return kFailed;
  auto db = Database(o.Has("--tsume"), session);
  const int written = db->ExportItems(numbers, *o.Value("-o"));
  return session.Status(written == static_cast<int>(numbers.size()));
}

int RunDbDelete(const Args& args) {
  DbOptions o;
  std::vector<int32_t> numbers;
  if (!ParseDbOptions(args, 1, {}, {"--tsume", "--yes"}, o) || o.positional.size() < 2 ||
      !Numbers(o.positional, 1, numbers)) {
    return kUsage;
  }
  DbSession session(o.positional[0], o.Has("--yes"));
  if (!session.Begin()) return kFailed;
  auto db = Database(o.Has("--tsume"), session);
  std::vector<shogidb::ListEntry> items;
  bool all_found = true;
  for (int32_t n : numbers) {
    shogidb::ListEntry e;
    if (db->ListEntryOf(n, e) != 0) {
      Err("kzb db delete: no item numbered " + std::to_string(n));
      all_found = false;
      continue;
    }
    items.push_back(std::move(e));
  }
  if (items.empty()) return kFailed;
  const int deleted = db->DeleteItems(items);
  return session.Status(all_found && deleted == static_cast<int>(items.size()));
}

int RunDbSolve(const Args& args) {
  DbOptions o;
  std::vector<int32_t> numbers;
  solver::EngineChoice engine;
  if (!ParseDbOptions(args, 1, EngineOptionNames(), {"--yes"}, o) || o.positional.empty() ||
      !Numbers(o.positional, 1, numbers) || !EngineChoiceFromOptions(o, engine)) {
    return kUsage;
  }
  DbSession session(o.positional[0], o.Has("--yes"));
  // The batch takes the lock for each read and write-back, from its own thread, and lets it go while it
  // solves.
  if (!session.Begin(false)) return kFailed;
  if (numbers.empty()) {
    platform::DatabaseLockGuard lock(session.directory(), platform::DatabaseLockGuard::Mode::kWait);
    shogidb::ProblemDatabase db;
    db.SetDatabase(session.directory());
    db.SetJob(session.job());
    std::vector<shogidb::ListEntry> all;
    if (db.Search("", {}, all) != 0) return kFailed;
    for (const shogidb::ListEntry& e : all) numbers.push_back(e.number);
  }
  shogidb::BatchSolver batch(session.directory(), session.job(), engine);
  if (!batch.Confirm(numbers.size(), false)) return kFailed;
  // The solves run on the batch's thread; Ctrl-C here stops the search the way the stop button does.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  PlainBoard board;
  ProblemDocument doc(board, &session.messages());
  shogidb::BatchResult result;
  batch.Start(numbers, doc, [&result](shogidb::BatchResult r) { result = r; });
  const timespec tick{0, 100 * 1000 * 1000};
  while (batch.running()) {
    const int sig = sigtimedwait(&signals, nullptr, &tick);
    if (sig == SIGINT || sig == SIGTERM) batch.RequestStop();
  }
  batch.Wait();
  pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
  OutLine(std::to_string(result.solved) + " solved, " + std::to_string(result.unsolved) + " without a solution, " +
          std::to_string(result.failed) + " failed" + (result.stopped ? " (stopped)" : ""));
  return session.Status(result.failed == 0 && !result.stopped);
}

}  // namespace kzb
