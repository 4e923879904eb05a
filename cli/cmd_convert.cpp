// kzb convert --outdir DIR [--bulk NAME] [--overwrite] [--event NAME] [--date YYYYMMDD]
//             [--fullwidth-names] FILE...
// The batch conversion of Kakinoki records (KIF, KI2) to CSA files: one per input (個別; an output that
// exists is left alone unless --overwrite), or all games into DIR/NAME (一括), appended (追加) unless
// --overwrite (上書). Nothing is replaced without --overwrite.
#include "cli/command.h"
#include "cli/console.h"
#include "platform/message_sink.h"
#include "record/kakinoki_converter.h"

using namespace record;

namespace kzb {

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
    Err("usage: kzb convert --outdir DIR [--bulk NAME] [--overwrite] [--event NAME] [--date YYYYMMDD] "
        "[--fullwidth-names] FILE...");
    return kUsage;
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
