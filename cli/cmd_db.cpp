// kzb db: the shogi databases from the terminal. Progress lines go to standard output, message boxes to
// standard error, questions are answered yes with --yes (otherwise asked on the terminal, or refused
// without one). Exit status: 0 success, 1 an operation reported a failure, 2 a usage error.
#include <string>
#include <string_view>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/db_cli.h"
#include "cli/usage.h"

namespace kzb {

extern const Usage kDbCreateUsage, kDbImportUsage, kDbSearchUsage, kDbDuplicatesUsage, kDbDedupeUsage,
    kDbExportUsage, kDbDeleteUsage, kDbSolveUsage, kDbCheckUsage, kDbRepairUsage, kJosekiAddUsage,
    kJosekiShowUsage, kJosekiExportUsage, kJosekiDeleteUsage;

extern const Usage kDbUsage = {
    .usage = "kzb db VERB DIR ...",
    .summary = "the shogi databases (kzb db --help for the verbs)",
    .about = "The game, tsume and joseki databases. Database commands wait for the database lock, so they\n"
             "never write a database another program is writing; kzb db VERB --help tells more.",
    .failed = "an operation reported a failure (its message boxes go to standard error)",
};

namespace {

struct DbVerb {
  const char* words;  // "import", or two words: "joseki add"
  const Usage* usage;
  int (*run)(const Args& args);
};

const DbVerb kVerbs[] = {
    {"create", &kDbCreateUsage, RunDbCreate},
    {"import", &kDbImportUsage, RunDbImport},
    {"search", &kDbSearchUsage, RunDbSearch},
    {"duplicates", &kDbDuplicatesUsage, [](const Args& a) { return RunDbDuplicates(a, false); }},
    {"dedupe", &kDbDedupeUsage, [](const Args& a) { return RunDbDuplicates(a, true); }},
    {"export", &kDbExportUsage, RunDbExport},
    {"delete", &kDbDeleteUsage, RunDbDelete},
    {"joseki add", &kJosekiAddUsage, RunDbJoseki},
    {"joseki show", &kJosekiShowUsage, RunDbJoseki},
    {"joseki export", &kJosekiExportUsage, RunDbJoseki},
    {"joseki delete", &kJosekiDeleteUsage, RunDbJoseki},
    {"solve", &kDbSolveUsage, RunDbSolve},
    {"check", &kDbCheckUsage, [](const Args& a) { return RunDbCheck(a, false); }},
    {"repair", &kDbRepairUsage, [](const Args& a) { return RunDbCheck(a, true); }},
};

// The words of a verb as the command line gives them: "joseki add" is args[0] and args[1].
bool Names(const DbVerb& verb, const Args& args) {
  std::string_view words = verb.words;
  const size_t space = words.find(' ');
  if (space == std::string_view::npos) return !args.empty() && args[0] == words;
  return args.size() > 1 && args[0] == words.substr(0, space) && args[1] == words.substr(space + 1);
}

const DbVerb* VerbOf(const Args& args) {
  for (const DbVerb& v : kVerbs) {
    if (Names(v, args)) return &v;
  }
  return nullptr;
}

// The usage lines of the verbs whose words begin with `prefix` (all of them for "").
std::string VerbLines(std::string_view prefix) {
  std::string lines;
  for (const DbVerb& v : kVerbs) {
    if (!std::string_view(v.words).starts_with(prefix)) continue;
    if (!lines.empty()) lines += '\n';
    lines += v.usage->usage;
  }
  return lines;
}

// `kzb db` or `kzb db joseki` without a verb: the usage lines of every verb it could be.
int VerbsUsage(std::string_view prefix) {
  const std::string lines = VerbLines(prefix);
  Err(UsageLines(Usage{.usage = lines.c_str(), .summary = "", .about = ""}));
  return kUsage;
}

}  // namespace

int RunDb(const Args& args) {
  const DbVerb* verb = VerbOf(args);
  if (!verb) return VerbsUsage(!args.empty() && args[0] == "joseki" ? "joseki" : "");
  const int rc = verb->run(args);
  return rc == kUsage ? UsageError(*verb->usage) : rc;
}

int HelpDb(const Args& args) {
  if (const DbVerb* verb = VerbOf(args)) return PrintHelp(*verb->usage);
  const std::string prefix = !args.empty() && args[0] == "joseki" ? "joseki" : "";
  if (!args.empty() && prefix.empty() && !LooksLikeOption(args[0])) return VerbsUsage("");
  PrintHelp(kDbUsage);
  OutLine("");
  OutLine("verbs (each takes --help):");
  const std::string lines = VerbLines(prefix);
  std::string_view rest = lines;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    OutLine("  " + std::string(rest.substr(0, end)));
    rest = end == std::string_view::npos ? "" : rest.substr(end + 1);
  }
  return kOk;
}

}  // namespace kzb
