// kzb: the non-interactive jobs of 駒楽工房 (show, convert, solve, database work) for scripts and terminals.
#include <cstring>
#include <string>

#include "cli/command.h"
#include "cli/console.h"
#include "platform/text_codec.h"

namespace kzb {

int RunConvert(const Args& args);
int RunDb(const Args& args);
int RunCsa(const Args& args);
int RunDemo(const Args& args);
int RunKif2Csa(const Args& args);
int RunList(const Args& args);
int RunShow(const Args& args);
int RunSolve(const Args& args);
int RunSql(const Args& args);
int RunTable(const Args& args);

namespace {

int RunHelp(const Args& args);

const Command kCommands[] = {
    {"demo", "kzb demo                 the even position and a short opening, as board diagrams", RunDemo},
    {"show", "kzb show FILE [--diagram | --mail] [--ply N] [--game K]   print text, diagram or mail text", RunShow},
    {"csa", "kzb csa FILE [-o OUT] [--game K]   any record as CSA text (PCL for a problem)", RunCsa},
    {"list", "kzb list FILE            the games of a .csa file or the problems of a .pcl file", RunList},
    {"convert", "kzb convert --outdir DIR [--bulk NAME] [--overwrite] [--event NAME] [--date YYYYMMDD] "
                "[--fullwidth-names] FILE...   Kakinoki records to CSA files", RunConvert},
    {"kif2csa", "kzb kif2csa FILE [-o OUT]   the simple KIF reader (even games or a diagram)", RunKif2Csa},
    {"solve", "kzb solve FILE [--max-depth N] [-o OUT.pcl]   mate search on a record's start position", RunSolve},
    {"sql", "kzb sql DIR STATEMENT    create table, create index or select on the tables in DIR", RunSql},
    {"table", "kzb table load|dump|check|rebuild DIR TABLE [FILE.tsv]   records in and out, check, repair", RunTable},
    {"db", "kzb db create|import|search|duplicates|dedupe|export|delete|joseki|solve|check|repair DIR ...   "
           "the shogi databases (kzb db for the details)", RunDb},
    {"help", "kzb help                 this list", RunHelp},
};

// "--help" or "-h" anywhere after the subcommand: its usage line, and nothing done.
bool AsksForHelp(const Args& args) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

int RunHelp(const Args&) {
  OutLine("kzb: 駒楽工房 command-line tool");
  for (const Command& c : kCommands) OutLine(std::string("  ") + c.synopsis);
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
  Args args;
  // Arguments arrive in UTF-8 (file names, conditions); the core reads CP932.
  for (int i = 2; i < argc; ++i) args.push_back(platform::Utf8ToCp932(argv[i]));
  for (const Command& c : kCommands) {
    if (std::strcmp(argv[1], c.name) != 0) continue;
    if (AsksForHelp(args)) {
      // kzb db has a page of usage of its own, which it prints when given no words.
      if (c.run == RunDb) return RunDb({});
      Err(std::string("usage: ") + c.synopsis);
      return kUsage;
    }
    return FinishOutput(c.run(args));
  }
  Err("kzb: unknown command: " + platform::Utf8ToCp932(argv[1]) + " (try: kzb help)");
  return kUsage;
}
