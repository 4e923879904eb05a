// kzb kif2csa FILE [-o OUT]: the simple KIF reader (柿木棋譜の読込: even games, or a position diagram) to
// CSA text, to OUT in CP932 or to standard output in UTF-8. What was converted before a failure is
// written as well, and the exit status says the conversion failed; a file that is no KIF record gives
// nothing to write.
#include "cli/command.h"
#include "cli/console.h"
#include "cli/record_io.h"
#include "cli/usage.h"
#include "platform/files.h"
#include "platform/message_sink.h"
#include "platform/text_codec.h"
#include "record/kif_reader.h"

using namespace record;

namespace kzb {

extern const Usage kKif2CsaUsage = {
    .usage = "kzb kif2csa FILE [-o OUT]",
    .summary = "the simple KIF reader (even games or a diagram)",
    .about = "Converts a KIF record (an even game, or a position diagram) with the simple KIF reader to CSA\n"
             "text: to OUT in CP932 with CRLF, or to standard output in UTF-8. kzb convert reads more.",
    .options = "  -o OUT       write to OUT (never over FILE itself)",
    .failed = "FILE is no KIF record or could not be read, or was converted only in part (that part is written)",
};

int RunKif2Csa(const Args& args) {
  std::string file_name, output;
  bool ok = true;
  for (size_t i = 0; i < args.size() && ok; ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      output = args[++i];
    } else if (!args[i].empty() && args[i][0] != '-' && file_name.empty()) {
      file_name = args[i];
    } else {
      ok = false;
    }
  }
  if (!ok || file_name.empty()) {
    return UsageError(kKif2CsaUsage);
  }
  if (!output.empty() && OutputIsInput("kif2csa", file_name, output)) return kFailed;
  std::string bytes;
  if (!platform::ReadWholeFile(file_name, bytes)) {
    Err("ファイル " + file_name + " がオープンできません。");
    return kFailed;
  }
  platform::ConsoleMessageSink messages;
  KifReader reader(&messages);
  std::string csa;
  const bool converted = reader.Convert(platform::InputTextToCp932(bytes), csa);
  if (csa.empty()) {  // the reader said why, but for an empty file
    if (bytes.empty()) Err("kzb kif2csa: " + file_name + " is empty");
    return kFailed;
  }
  if (output.empty()) {
    PrintText(csa);
  } else if (!WriteOutputFile("kif2csa", output, csa)) {
    return kFailed;
  }
  return converted ? kOk : kFailed;
}

}  // namespace kzb
