// kzb csa FILE [-o OUT] [--game K]: any record the program reads, as its own CSA text (PCL for a
// problem): to OUT in CP932, or to standard output in UTF-8.
#include "cli/command.h"
#include "cli/console.h"
#include "cli/record_io.h"
#include "platform/message_sink.h"

using namespace record;

namespace kzb {

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
    Err("usage: kzb csa FILE [-o OUT] [--game K]");
    return kUsage;
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
