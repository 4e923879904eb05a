// The batch converter of Kakinoki records (KIF and KI2) to CSA text: the logic of the file-conversion
// dialog (棋譜→CSAファイル変換) without the dialog.
//
// Each game is replayed on a board of its own, which resolves relative notation and catches records
// that do not hold together. Variations (変化：N手) become branches, written after the main line with
// "'手数目:N" markers. A move that cannot be read or played ends the game with the error lines
// "'注釈: 本棋譜はこれ以降は正常に変換されませんでした。", "'注釈: 元棋譜に不整合の可能性があります。" and
// "%ERROR" (in a variation, only that variation is cut, with the two annotation lines; a variation whose
// header names no move it could branch from is said in the header's comments).
//
// The result and the last line come only from what the record states about its main line: an ending
// word (投了, 詰み, 反則勝ち ...) or the summary line after it ("まで77手で先手の勝ち"). Moves that just
// stop give neither. Where CSA has no word for the ending, or its word would be read as another result,
// the 試合結果 alone keeps it.
//
// A game whose start position cannot be known (a 手合割 name not known, a diagram that does not read) is
// not written: the reason is returned, never the even position in its place.
//
// Output of one game, CRLF lines:
//   /                                  when a game was written before it
//   '棋戦名:… '戦型:… '手数:… '手合:… '表題:… '対局日:… '試合結果:…   the non-empty slots
//   N+sente  N-gote
//   '注釈:…                           comments of the header
//   '注釈: 変換元ファイル[path]
//   PI82HI  -                          the handicap's position and first mover
//   +7776FU  '注釈:…  '手数目:2 …      the moves (see WriteCsaMoveTree)
//   %TORYO                             how the game ended, when the record says so
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_sink.h"

namespace record {

class Archive;

// Where the conversion dialog keeps its settings (private profile section and keys).
constexpr char kKif2CsaSection[] = "KIF2CSA";
constexpr char kKif2CsaInDir[] = "InDir";
constexpr char kKif2CsaOutDir[] = "OutDir";
constexpr char kKif2CsaOutFile[] = "OutFile";
constexpr char kKif2CsaWriteMode[] = "Wmode";  // 0 追加, 1 上書

struct KakinokiOptions {
  std::string event;              // 棋戦名 for games that name none
  std::string date;               // 対局日 (yyyymmdd) for games that give none
  bool full_width_names = false;  // 対局者名の特殊文字を全角に変換
};

struct KakinokiStats {
  int games = 0;              // games written
  int failed_games = 0;       // games whose main line stopped at a move that could not be read
  int failed_variations = 0;  // variations cut short or not placed (marked in the output)
  int refused_games = 0;      // games not written: their start position could not be known
  std::vector<std::string> problems;  // why, one message each: "入力[path]の局面図が読めません(...)"
};

// Converts every game of a Kakinoki text (CP932) and writes it to `out`. A "/" line goes before a game
// when `separator_due` is set, and it is set after every game written.
KakinokiStats ConvertKakinokiText(std::string_view text, std::string_view source_path,
                                  const KakinokiOptions& options, Archive& out, bool& separator_due);

struct KakinokiBatch {
  std::vector<std::string> inputs;  // CP932 paths
  std::string out_dir;
  bool bulk = false;        // 一括: every game into out_dir/out_file; otherwise 個別, one file per input
  std::string out_file;     // 一括 only; ".csa" is added when it does not end so
  // 一括: 上書 (create anew) rather than 追加 (append). 個別: replace an output that exists, which is
  // otherwise left alone.
  bool overwrite = false;
  KakinokiOptions options;
  // Told before each input is taken up (1-based, and the number of inputs), so a window can show how far
  // a long run has come. Called on the thread that runs the batch.
  std::function<void(int input, int inputs)> on_input;
};

struct KakinokiBatchResult {
  bool ran = false;        // the settings passed their checks
  int files_converted = 0; // inputs read and converted
  int files_written = 0;   // outputs written (一括: 1 when the file took new games)
  int files_skipped = 0;   // 個別: outputs that exist, left alone
  // Inputs or outputs that could not be opened or written, inputs without a game, outputs refused as
  // inputs, a missing output folder.
  int files_failed = 0;
  KakinokiStats stats;
  std::string csa_file;    // the file written last, when it ends in ".csa" (remembered for select-read)
};

// Runs the conversion (実行) and shows its messages: "入力ファイル未設定", "出力ディレクトリ未設定",
// "出力ファイル未設定", "出力ディレクトリ[%s]がありません", "入力[%s]が開けません", "出力[%s]が開けません",
// "出力[%s]に書き込めません", the problems of refused games, "入力[%s]に棋譜がありません",
// "出力[%s]は既にあるので書きませんでした", "出力[%s]は入力と同じファイルなので書きませんでした",
// "ディレクトリ %s に個別出力しました", "ファイル %s に一括出力しました" (the last two when a file was written).
//
// Every output is written whole or not at all: a failed run leaves the old files as they were, also the
// file 追加 appends to. No output is written over an input of the run (a 一括 run is then refused whole).
// 個別 names each output after its input (g.kif to g.csa); inputs of one run that share a base name get
// numbered outputs (g-2.csa, g-3.csa), so no game of the run replaces another.
KakinokiBatchResult RunKakinokiBatch(const KakinokiBatch& batch, platform::MessageSink& messages);

}  // namespace record
