// kzb: the non-interactive jobs of 駒楽工房 (show, convert, solve, database work) for scripts and terminals.
#include <algorithm>
#include <cstring>
#include <string>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/usage.h"
#include "platform/text_codec.h"

namespace kzb {

int RunConvert(const Args& args);
int RunDb(const Args& args);
int HelpDb(const Args& args);
int RunCsa(const Args& args);
int RunDemo(const Args& args);
int RunDiagram(const Args& args);
int RunKif2Csa(const Args& args);
int RunList(const Args& args);
int RunShow(const Args& args);
int RunSolve(const Args& args);
int RunCheckTsume(const Args& args);
int RunSql(const Args& args);
int RunTable(const Args& args);

extern const Usage kDiagramUsage, kCheckTsumeUsage;
extern const Usage kDemoUsage, kShowUsage, kCsaUsage, kListUsage, kConvertUsage, kKif2CsaUsage, kSolveUsage,
    kSqlUsage, kTableUsage, kDbUsage;

namespace {

int RunHelp(const Args& args);

const Usage kHelpUsage = {
    .usage = "kzb help",
    .summary = "this list",
    .about = "Lists the commands of kzb; kzb COMMAND --help tells more of one.",
};

const Command kCommands[] = {
    {"demo", &kDemoUsage, RunDemo},
    {"show", &kShowUsage, RunShow},
    {"diagram", &kDiagramUsage, RunDiagram},
    {"csa", &kCsaUsage, RunCsa},
    {"list", &kListUsage, RunList},
    {"convert", &kConvertUsage, RunConvert},
    {"kif2csa", &kKif2CsaUsage, RunKif2Csa},
    {"solve", &kSolveUsage, RunSolve},
    {"check-tsume", &kCheckTsumeUsage, RunCheckTsume},
    {"sql", &kSqlUsage, RunSql},
    {"table", &kTableUsage, RunTable},
    {"db", &kDbUsage, RunDb, HelpDb},
    {"help", &kHelpUsage, RunHelp},
};

// "--help" or "-h" anywhere after the subcommand: its help page, and nothing done.
bool AsksForHelp(const Args& args) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

// A command's line of the list: its first usage line, then what it does (aligned while the line is short).
std::string ListLine(const Usage& usage) {
  std::string line(usage.usage, std::strcspn(usage.usage, "\n"));
  if (std::strchr(usage.usage, '\n')) line += " ...";
  line.resize(std::max<size_t>(line.size() + 3, 27), ' ');
  return "  " + line + usage.summary;
}

int RunHelp(const Args&) {
  OutLine("kzb: 駒楽工房 command-line tool (kzb COMMAND --help for one command; kzb --version)");
  for (const Command& c : kCommands) OutLine(ListLine(*c.usage));
  return kOk;
}

int PrintVersion() {
  OutLine("kzb (駒楽工房) " KOMARAKU_VERSION);
  return kOk;
}

}  // namespace
}  // namespace kzb

int main(int argc, char** argv) {
  using namespace kzb;
  if (argc < 2) {
    RunHelp({});
    return FinishOutput(kUsage);
  }
  const std::string first = argv[1];
  if (first == "--version") return FinishOutput(PrintVersion());
  if (first == "--help" || first == "-h") return FinishOutput(RunHelp({}));
  Args args;
  // Arguments arrive in UTF-8 (file names, conditions); the core reads CP932.
  for (int i = 2; i < argc; ++i) args.push_back(platform::Utf8ToCp932(argv[i]));
  for (const Command& c : kCommands) {
    if (first != c.name) continue;
    if (AsksForHelp(args)) return FinishOutput(c.help ? c.help(args) : PrintHelp(*c.usage));
    return FinishOutput(c.run(args));
  }
  Err("kzb: unknown command: " + platform::Utf8ToCp932(first) + " (try: kzb help)");
  return kUsage;
}
