// kzb csa FILE [-o OUT] [--game K]: any record the program reads, as its own CSA text (PCL for a
// problem): to OUT in CP932, or to standard output in UTF-8.
#include "cli/command.h"
#include "cli/console.h"
#include "cli/record_io.h"
#include "cli/usage.h"
#include "platform/message_sink.h"

using namespace record;

namespace kzb {

extern const Usage kCsaUsage = {
    .usage = "kzb csa FILE [-o OUT] [--game K]",
    .summary = "any record as CSA text (PCL for a problem)",
    .about = "Reads a record of any kind kzb knows (.csa .pcl .skb .kif .kifu .ki2) and writes it as CSA\n"
             "text, or PCL for a problem: to OUT in CP932 with CRLF, or to standard output in UTF-8.",
    .options = "  -o OUT       write to OUT (never over FILE itself)\n"
               "  --game K     game or problem K of the file (0 the first; kzb list numbers them)",
    .failed = "FILE could not be read, or only in part (what was read is still written), or OUT not written",
};

int RunCsa(const Args& args) {
  std::string file_name, output;
  int game = 0;
  bool ok = true;
  for (size_t i = 0; i < args.size() && ok; ++i) {
    const std::string& a = args[i];
    if (a == "-o" && i + 1 < args.size()) {
      output = args[++i];
    } else if (a == "--game" && i + 1 < args.size()) {
      ok = ParseCount(args[++i], 10000000, game);
    } else if (!a.empty() && a[0] != '-' && file_name.empty()) {
      file_name = a;
    } else {
      ok = false;
    }
  }
  if (!ok || file_name.empty()) {
    return UsageError(kCsaUsage);
  }
  if (!output.empty() && OutputIsInput("csa", file_name, output)) return kFailed;
  platform::ConsoleMessageSink messages;
  RecordFile file(&messages);
  bool opened = false;
  const int status = LoadRecordFile("csa", file_name, game, file, opened);
  if (!opened) return kFailed;
  const std::string text = file.Text();
  if (output.empty()) {
    PrintText(text);
  } else if (!WriteOutputFile("csa", output, text)) {
    return kFailed;
  }
  return status;
}

}  // namespace kzb
