// Registering, exporting and deleting lines of joseki: the walks over a record tree or over the joseki
// moves stored below a position, and the text of joseki files.
//
// A joseki file is PCL (or CSA) text in which annotation lines after a move line carry the joseki data:
//   '属性:V          the value of the move just read (digits only)
//   '形勢評価値:E    the evaluation of the positions before the moves read from here on (when E <= 256)
//   '手数目:N        the next move line is move N (a line branching off an earlier one), N >= 1
//   '注釈:text       annotation of the move just read; before the first move, of the start position
// Export writes a block "'============= 定跡局面 ============" with the position, the side, its
// evaluation and annotation, then depth first each joseki move as "'手数目:N", the move line, "'属性:V"
// and its annotation lines, with a "'形勢評価値:E" line before a move whose position's evaluation differs
// from the last one written.
#pragma once
#include <string>
#include <string_view>

#include "record/record_board.h"
#include "shogidb/joseki_database.h"

namespace shogidb {

// Where the joseki dialogs remember their files (profile section and keys), and the files they offer
// first: "Jsout.pcl" and "JsBackup.pcl" in the database directory.
constexpr char kJosekiSection[] = "JS_Section";
constexpr char kJosekiOutFileKey[] = "JS_OutFileName";
constexpr char kJosekiBackupFileKey[] = "JS_BakFileName";
std::string DefaultJosekiOutPath(std::string_view database_directory);
std::string DefaultJosekiBackupPath(std::string_view database_directory);

struct JosekiOptions {
  int evaluation = 100;      // default position evaluation
  int value = 100;           // default move value
  int depth = 30;            // moves up to this ply are registered
  bool annotations = false;  // 注釈文の登録をする
  bool details = false;      // 登録状況の詳細を表示する
};

// 現対局棋譜の定跡登録: every line of the record (all alternatives) from its start, down to the depth.
// Returns the moves registered or updated, or -1 when the database could not be used.
long RegisterJosekiFromRecord(JosekiDatabase& db, record::RecordBoard& record, const JosekiOptions& options);
// ファイルからの定跡登録: every game or problem of a CSA or PCL text (separated by "/").
long RegisterJosekiFromText(JosekiDatabase& db, std::string_view text, const JosekiOptions& options);

// 定跡のファイル出力: the joseki moves below a position down to `depth` plies into a PCL file (asking
// before overwriting it). Returns the moves written, or -1 on failure.
long ExportJoseki(JosekiDatabase& db, const rules::BoardForm& form, rules::Side side, int depth, const std::string& path, bool annotations);
// The same text, without the file.
long JosekiText(JosekiDatabase& db, const rules::BoardForm& form, rules::Side side, int depth, bool annotations, std::string& text);
// 定跡の一括削除: after asking, the joseki moves below a position down to `depth` plies are written to
// the backup file (overwritten) and deleted with their annotations; positions left without moves go
// too. Returns the moves deleted, or -1.
long DeleteJosekiBelow(JosekiDatabase& db, const rules::BoardForm& form, rules::Side side, int depth, const std::string& backup_path);

// Single edits of the joseki browser (each takes the lock without waiting).
// 定跡手の登録: the move played on the board from a position.
int RegisterJosekiMove(JosekiDatabase& db, const rules::BoardForm& form, rules::Side side, BoardMove move, const JosekiOptions& options);
int DeleteJosekiMoveAt(JosekiDatabase& db, const rules::BoardForm& form, rules::Side side, BoardMove move);
// 定跡手の特性: the evaluations before and after the move and the move's value.
int SetJosekiMoveProperties(JosekiDatabase& db, const rules::BoardForm& form, rules::Side side, BoardMove move, int evaluation_before,
                            int evaluation_after, int value);
// 形勢評価値の設定.
int SetJosekiEvaluation(JosekiDatabase& db, const rules::BoardForm& form, rules::Side side, int evaluation);

}  // namespace shogidb
