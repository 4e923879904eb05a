// Export and bulk deletion of the joseki below a position, and the single edits of the browser.
#include <set>
#include <tuple>

#include "platform/files.h"
#include "record/csa_position_lines.h"
#include "shogidb/item_text.h"
#include "shogidb/joseki_lines.h"
#include "shogidb/position_key.h"

using namespace rules;
using namespace record;

namespace shogidb {
namespace {

struct Visited {
  JosekiPosition position;
  JosekiMove move;
};

// Depth first over the joseki moves below a position, writing the export text as it goes.
class JosekiWalk {
 public:
  JosekiWalk(JosekiDatabase& db, int depth, bool annotations) : db_(db), depth_(depth), annotations_(annotations) {}

  // False when stopped or when the tables failed.
  bool Run(const BoardForm& form, Side side, std::string& text) {
    text += "'============= 定跡局面 ============\r\n";
    for (const std::string& line : CsaPositionLines(form)) text += line + "\r\n";
    text += side == kGote ? "-\r\n" : "+\r\n";
    JosekiPosition start;
    if (db_.FindJosekiPosition(form, side, start) == dbengine::kOk) {
      text += Format("'形勢評価値:%d\r\n", start.evaluation);
      last_evaluation_ = start.evaluation;
      if (annotations_) AppendNoteLines(db_.PositionNote(start), text);
    }
    return Walk(FormBoard(form), side, 1, text);
  }

  long count() const { return count_; }
  bool stopped() const { return stopped_; }
  const std::vector<Visited>& visited() const { return visited_; }

 private:
  bool Walk(const FormBoard& board, Side side, int ply, std::string& text) {
    if (ply > depth_) return true;
    JosekiPosition position;
    if (db_.FindJosekiPosition(board.Form(), side, position) != dbengine::kOk) return true;
    std::vector<JosekiMove> moves;
    if (db_.ReadJosekiMoves(position, moves) != dbengine::kOk) return false;
    for (const JosekiMove& m : moves) {
      if (db_.job().Stopped()) {
        stopped_ = true;
        return false;
      }
      const std::string move_text = board.CsaText(m.move);
      if (move_text.empty()) continue;
      if (position.evaluation != last_evaluation_) {
        text += Format("'形勢評価値:%d\r\n", position.evaluation);
        last_evaluation_ = position.evaluation;
      }
      text += Format("'手数目:%d\r\n", ply) + move_text + Format("\r\n'属性:%d\r\n", m.value);
      if (annotations_) AppendNoteLines(db_.MoveNote(position, m.move), text);
      visited_.push_back({position, m});
      if (++count_ % 100 == 0) db_.job().Line(Format("%ld 手 処理しました。", count_));
      FormBoard next = board;
      if (next.Apply(m.move) && !Walk(next, Opponent(side), ply + 1, text)) return false;
    }
    return true;
  }

  JosekiDatabase& db_;
  int depth_;
  bool annotations_;
  long count_ = 0;
  bool stopped_ = false;
  int last_evaluation_ = -100000;
  std::vector<Visited> visited_;
};

}  // namespace

std::string DefaultJosekiOutPath(std::string_view directory) { return NormalizeDirectory(directory) + "Jsout.pcl"; }
std::string DefaultJosekiBackupPath(std::string_view directory) {
  return NormalizeDirectory(directory) + "JsBackup.pcl";
}

long JosekiText(JosekiDatabase& db, const BoardForm& form, Side side, int depth, bool annotations, std::string& text) {
  OpenTables open;
  if (db.OpenAll(open) != dbengine::kOk) return -1;
  JosekiWalk walk(db, depth, annotations);
  text.clear();
  walk.Run(form, side, text);
  return walk.count();
}

long ExportJoseki(JosekiDatabase& db, const BoardForm& form, Side side, int depth, const std::string& path, bool annotations) {
  JosekiLock lock(db);
  if (!lock.held()) return -1;
  const DbJob& job = db.job();
  if (platform::FileExists(path) && !job.Confirm("ファイル(" + path + ")に上書きしてもよろしいですか？")) return -1;
  OpenTables open;
  if (db.OpenAll(open) != dbengine::kOk) return -1;
  JosekiWalk walk(db, depth, annotations);
  std::string text;
  walk.Run(form, side, text);
  if (walk.stopped()) job.Line("定跡出力を中断終了しました。");
  if (!platform::WriteWholeFile(path, text)) {
    job.Show("ファイル(" + path + ")がオープンできません。");
    return -1;
  }
  job.Line(walk.count() > 0 ? Format("%ld 手 出力しました。", walk.count()) : std::string("指し手の出力はありません。"));
  return walk.count();
}

long DeleteJosekiBelow(JosekiDatabase& db, const BoardForm& form, Side side, int depth, const std::string& backup_path) {
  const DbJob& job = db.job();
  if (backup_path.empty()) {
    job.Show("バックアップファイル名を入力してください。");
    return -1;
  }
  JosekiLock lock(db);
  if (!lock.held()) return -1;
  if (!job.Confirm(Format("現在の局面から %d手の深さまで定跡を削除します。\r\n", depth) + "削除された内容はバックアップファイル(" +
                   backup_path + ")に上書きされます。\r\n" + "よろしいですか？")) {
    return -1;
  }
  OpenTables open;
  if (db.OpenAll(open) != dbengine::kOk) return -1;
  JosekiWalk walk(db, depth, true);
  std::string text;
  walk.Run(form, side, text);
  if (walk.stopped()) {
    job.Line("定跡削除を中断終了しました。");
    return 0;
  }
  if (!platform::WriteWholeFile(backup_path, text)) {
    job.Show("ファイル(" + backup_path + ")がオープンできません。");
    return -1;
  }
  // Deepest first, so a position's moves go before the position itself is looked at.
  long deleted = 0;
  std::set<std::tuple<int32_t, Side, BoardMove>> done;
  const std::vector<Visited>& visited = walk.visited();
  for (auto it = visited.rbegin(); it != visited.rend(); ++it) {
    if (job.Stopped()) {
      job.Line("定跡削除を中断終了しました。");
      break;
    }
    if (!done.insert({it->position.id, it->position.stored_side, it->move.stored}).second) continue;
    const int rc = db.DeleteJosekiMove(it->position, it->move.move);
    if (rc == dbengine::kNotFound) continue;
    if (rc != dbengine::kOk) {
      job.Show(Format("定跡手の削除に失敗しました。(%d)", rc));
      break;
    }
    ++deleted;
    std::vector<JosekiMove> left;
    if (db.ReadJosekiMoves(it->position, left) == dbengine::kOk && left.empty()) {
      if (int r = db.DeleteJosekiPosition(it->position); r != dbengine::kOk && r != dbengine::kNotFound) {
        job.Show(Format("定跡局面(%08ld)の削除に失敗しました。(%d)", static_cast<long>(it->position.id), r));
        break;
      }
    }
  }
  open.FlushAll();
  job.Line(deleted > 0 ? Format("%ld 手 削除しました。", deleted) : std::string("指し手の削除はありません。"));
  return deleted;
}

int RegisterJosekiMove(JosekiDatabase& db, const BoardForm& form, Side side, BoardMove move, const JosekiOptions& options) {
  JosekiLock lock(db);
  if (!lock.held()) return dbengine::kCannotOpen;
  const DbJob& job = db.job();
  OpenTables open;
  if (int rc = db.OpenAll(open); rc != dbengine::kOk) return rc;
  JosekiPosition position;
  int rc = db.FindJosekiPosition(form, side, position);
  std::string detail;
  if (rc == dbengine::kNotFound) {
    rc = db.RegisterJosekiPosition(form, side, options.evaluation, position);
    if (rc != dbengine::kOk) {
      job.Show(Format("局面(%08ld)の登録に失敗しました。(rc=%d)", static_cast<long>(PositionHash(form) * 100), rc));
      return rc;
    }
    detail = Format("局面(%08ld,評価値=%d)登録,", static_cast<long>(position.id), options.evaluation);
  } else if (rc != dbengine::kOk) {
    job.Show(Format("局面の検索に失敗しました。(rc=%d)", rc));
    return rc;
  }
  const std::string text = JosekiMoveText(form, side, move);
  const char* done = "更新";
  rc = db.UpdateMoveValue(position, move, options.value);
  if (rc == dbengine::kNotFound) {
    rc = db.AddJosekiMove(position, options.value, move);
    done = "登録";
  }
  if (rc != dbengine::kOk) {
    job.Show(Format("定跡手の登録に失敗しました。(DBE.WriteBplay=%d)", rc));
    return rc;
  }
  job.Line(detail + Format("定跡手 %s(attr=%d)を%sしました。", text.c_str(), options.value, done));
  return open.FlushAll();
}

int DeleteJosekiMoveAt(JosekiDatabase& db, const BoardForm& form, Side side, BoardMove move) {
  JosekiLock lock(db);
  if (!lock.held()) return dbengine::kCannotOpen;
  OpenTables open;
  int rc = db.OpenAll(open);
  JosekiPosition position;
  if (rc == dbengine::kOk) rc = db.FindJosekiPosition(form, side, position);
  if (rc == dbengine::kOk) rc = db.DeleteJosekiMove(position, move);
  if (rc != dbengine::kOk) {
    db.job().Show(Format("定跡削除エラー(%d)", rc));
    return rc;
  }
  db.job().Line("定跡手 " + JosekiMoveText(form, side, move) + " を削除しました。");
  return open.FlushAll();
}

namespace {

// The evaluation of a position, registering it when it is not a joseki position yet.
int SetEvaluation(JosekiDatabase& db, const BoardForm& form, Side side, int evaluation) {
  JosekiPosition position;
  int rc = db.FindJosekiPosition(form, side, position);
  if (rc == dbengine::kNotFound) return db.RegisterJosekiPosition(form, side, evaluation, position);
  return rc == dbengine::kOk ? db.UpdateEvaluation(position, evaluation) : rc;
}

}  // namespace

int SetJosekiMoveProperties(JosekiDatabase& db, const BoardForm& form, Side side, BoardMove move, int evaluation_before,
                            int evaluation_after, int value) {
  JosekiLock lock(db, true);
  if (!lock.held()) return dbengine::kCannotOpen;
  OpenTables open;
  int rc = db.OpenAll(open);
  JosekiPosition position;
  if (rc == dbengine::kOk) rc = db.FindJosekiPosition(form, side, position);
  if (rc == dbengine::kOk) rc = db.UpdateMoveValue(position, move, value);
  if (rc == dbengine::kOk) rc = db.UpdateEvaluation(position, evaluation_before);
  FormBoard after(form);
  if (rc == dbengine::kOk && !after.Apply(move)) rc = dbengine::kInvalid;
  if (rc == dbengine::kOk) rc = SetEvaluation(db, after.Form(), Opponent(side), evaluation_after);
  if (rc != dbengine::kOk) {
    db.job().Show(Format("定跡手特性の更新に失敗しました(%d)", rc));
    return rc;
  }
  return open.FlushAll();
}

int SetJosekiEvaluation(JosekiDatabase& db, const BoardForm& form, Side side, int evaluation) {
  JosekiLock lock(db, true);
  if (!lock.held()) return dbengine::kCannotOpen;
  OpenTables open;
  int rc = db.OpenAll(open);
  if (rc == dbengine::kOk) rc = SetEvaluation(db, form, side, evaluation);
  if (rc != dbengine::kOk) {
    db.job().Show(Format("形勢評価値の更新に失敗しました(%d)", rc));
    return rc;
  }
  return open.FlushAll();
}

}  // namespace shogidb
