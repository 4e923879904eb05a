// kzb convert [--to csa|kif|kifu|ki2|ki2u|sfen] --outdir DIR [--bulk NAME] [--overwrite] [--event NAME]
//             [--date YYYYMMDD] [--fullwidth-names] FILE...
// To CSA (the default): the batch conversion of Kakinoki records (KIF, KI2) to CSA files: one per input
// (個別; an output that exists is left alone unless --overwrite), or all games into DIR/NAME (一括),
// appended (追加) unless --overwrite (上書). To another format: any game record, one output per input
// (convert_records.h). Nothing is replaced without --overwrite.
#include <optional>

#include "cli/command.h"
#include "cli/console.h"
#include "cli/convert_records.h"
#include "cli/usage.h"
#include "platform/message_sink.h"
#include "record/kakinoki_converter.h"

using namespace record;

namespace kzb {

extern const Usage kConvertUsage = {
    .usage = "kzb convert [--to FORMAT] --outdir DIR [--bulk NAME] [--overwrite] [--event NAME]\n"
             "            [--date YYYYMMDD] [--fullwidth-names] FILE...",
    .summary = "game records between CSA, KIF, KI2 and SFEN",
    .about = "Converts Kakinoki records (.kif .kifu .ki2) to CSA files in DIR: one file per input, or all\n"
             "games into one. With --to kif, kifu, ki2, ki2u or sfen, converts game records of any of these\n"
             "kinds (.csa and .sfen too) into that format, one file per input (the first game of each).\n"
             "Nothing that exists is replaced without --overwrite.",
    .options = "  --to FORMAT         csa (the default), kif, ki2 (Shift_JIS), kifu, ki2u (UTF-8), sfen (the\n"
               "                      main line as one USI position line)\n"
               "  --outdir DIR        the folder the files go to (it must exist)\n"
               "  --bulk NAME         CSA only: all games into DIR/NAME, added after what it holds\n"
               "  --overwrite         replace outputs that exist (with --bulk: write NAME anew)\n"
               "  --event NAME        the event of games that name none\n"
               "  --date YYYYMMDD     the date of games that name none\n"
               "  --fullwidth-names   CSA only: the special characters of player names in full width",
    .failed = "a file or game was not converted whole, or an output was not written (each is said)",
};

int RunConvert(const Args& args) {
  KakinokiBatch batch;
  std::optional<GameFileFormat> to = GameFileFormat::kCsa;
  bool ok = true;
  for (size_t i = 0; i < args.size() && ok; ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--to" && has_value) {
      to = GameFileFormatNamed(args[++i]);
      ok = to.has_value();
    } else if (a == "--outdir" && has_value) {
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
  if (*to != GameFileFormat::kCsa) {
    // One game per output: the CSA batch's 一括 and its name conversion have no meaning here.
    if (batch.bulk || batch.options.full_width_names) return UsageError(kConvertUsage);
    return ConvertRecords({batch.inputs, batch.out_dir, *to, batch.overwrite, batch.options.event, batch.options.date});
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
