// kzb convert --outdir DIR [--bulk NAME] [--overwrite] [--event NAME] [--date YYYYMMDD]
//             [--fullwidth-names] FILE...
// The batch conversion of Kakinoki records (KIF, KI2) to CSA files: one per input (個別; an output that
// exists is left alone unless --overwrite), or all games into DIR/NAME (一括), appended (追加) unless
// --overwrite (上書). Nothing is replaced without --overwrite.
#include "cli/command.h"
#include "cli/console.h"
#include "cli/usage.h"
#include "platform/message_sink.h"
#include "record/kakinoki_converter.h"

using namespace record;

namespace kzb {

extern const Usage kConvertUsage = {
    .usage = "kzb convert --outdir DIR [--bulk NAME] [--overwrite] [--event NAME] [--date YYYYMMDD]\n"
             "            [--fullwidth-names] FILE...",
    .summary = "Kakinoki records (KIF, KI2) to CSA files",
    .about = "Converts Kakinoki records (.kif .kifu .ki2) to CSA files in DIR: one file per input, or all\n"
             "games into one. Nothing that exists is replaced without --overwrite.",
    .options = "  --outdir DIR        the folder the CSA files go to (it must exist)\n"
               "  --bulk NAME         all games into DIR/NAME, added after what it holds\n"
               "  --overwrite         replace outputs that exist (with --bulk: write NAME anew)\n"
               "  --event NAME        the event of games that name none\n"
               "  --date YYYYMMDD     the date of games that name none\n"
               "  --fullwidth-names   the special characters of player names in full width",
    .failed = "a file or game was not converted whole, or an output was not written (each is said)",
};

int RunConvert(const Args& args) {
  KakinokiBatch batch;
  bool ok = true;
  for (size_t i = 0; i < args.size() && ok; ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--outdir" && has_value) {
      batch.out_dir = args[++i];
    } else if (a == "--bulk" && has_value) {
      batch.bulk = true;
      batch.out_file = args[++i];
    } else if (a == "--overwrite") {
      batch.overwrite = true;
    } else if (a == "--event" && has_value) {
      batch.options.event = args[++i];
    } else if (a == "--date" && has_value) {
      batch.options.date = args[++i];
      ok = batch.options.date.size() == 8 && batch.options.date.find_first_not_of("0123456789") == std::string::npos;
    } else if (a == "--fullwidth-names") {
      batch.options.full_width_names = true;
    } else if (!a.empty() && a[0] != '-') {
      batch.inputs.push_back(a);
    } else {
      ok = false;
    }
  }
  if (!ok || batch.inputs.empty() || batch.out_dir.empty()) {
    return UsageError(kConvertUsage);
  }
  platform::ConsoleMessageSink messages;
  const KakinokiBatchResult r = RunKakinokiBatch(batch, messages);
  if (!r.ran) return kUsage;
  Err(std::to_string(r.stats.games) + " games converted from " + std::to_string(r.files_converted) +
      " files; " + std::to_string(r.files_written) + " files written");
  if (r.files_skipped > 0) {
    Err(std::to_string(r.files_skipped) + " files not written: the output exists (--overwrite replaces it)");
  }
  if (r.stats.refused_games > 0) {
    Err(std::to_string(r.stats.refused_games) + " games not converted: their start position could not be read");
  }
  if (r.stats.failed_games > 0 || r.stats.failed_variations > 0) {
    Err(std::to_string(r.stats.failed_games) + " games and " + std::to_string(r.stats.failed_variations) +
        " variations could not be read whole (marked in the output)");
  }
  const bool complete = r.files_failed == 0 && r.files_skipped == 0 && r.stats.refused_games == 0 &&
                        r.stats.failed_games == 0 && r.stats.failed_variations == 0;
  return complete ? kOk : kFailed;
}

}  // namespace kzb
