// What a kzb command says about itself: the usage line(s) a usage error repeats and the page `--help`
// prints, kept together so that the two never disagree.
#pragma once
#include "cli/command.h"

namespace kzb {

struct Usage {
  const char* usage;    // the command line; forms separated by "\n"
  const char* summary;  // a few words for the list of `kzb help`
  const char* about;    // a line or two of what it does
  const char* options = nullptr;  // "  --word VALUE   what it does" lines separated by "\n"; none when null
  bool asks = false;  // it may ask questions, which --yes answers
  const char* failed = "a failure the operation reported";  // what exit status 1 means here
};

// The help page on standard output: usage, what it does, options (with -h, --help), exit statuses.
int PrintHelp(const Usage& usage);
// "usage: ..." on standard error; returns kUsage.
int UsageError(const Usage& usage);
// The usage lines, "usage: " before the first and the others aligned under it.
std::string UsageLines(const Usage& usage);

}  // namespace kzb
