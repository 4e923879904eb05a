// Registering joseki from a record or from a file: a walk over every line of a record tree down to the
// registration depth, each move registered with the position before it.
#include <cstring>
#include <unordered_map>

#include "record/csa_body.h"
#include "record/csa_position_lines.h"
#include "record/plain_board.h"
#include "rules/notation.h"
#include "shogidb/joseki_lines.h"
#include "shogidb/position_key.h"
#include "shogidb/record_text_reader.h"

using namespace rules;
using namespace record;

namespace shogidb {
namespace {

// What a file says about a move beyond the move itself.
struct NodeData {
  int evaluation = 0;  // of the position before the move
  int value = 0;
};

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += (text.empty() ? "" : "\r\n") + l;
  return text;
}

class Registrar {
 public:
  Registrar(JosekiDatabase& db, const JosekiOptions& options) : db_(db), options_(options) {}

  // Registers every line of the record from its start; false when a failure stopped it.
  bool Walk(RecordBoard& board, const std::unordered_map<const MoveNode*, NodeData>* data) {
    data_ = data;
    board.SavePlace();  // goes to the start
    const bool ok = WalkFrom(board, 1);
    board.RestorePlace();
    return ok;
  }

  long count() const { return count_; }
  bool stopped() const { return stopped_; }

 private:
  bool WalkFrom(RecordBoard& board, int ply) {
    if (ply > options_.depth) return true;
    const int children = board.ChildCount();
    for (int i = 0; i < children; ++i) {
      if (db_.job().Stopped()) {
        stopped_ = true;
        return false;
      }
      const MoveNode* node = board.ChildAt(i);
      if (!RegisterMove(board, *node, ply)) return false;
      if (!board.ForwardToChild(i)) return false;
      const bool ok = WalkFrom(board, ply + 1);
      board.UndoMove();
      if (!ok) return false;
    }
    return true;
  }

  bool RegisterMove(RecordBoard& board, const MoveNode& node, int ply) {
    const DbJob& job = db_.job();
    NodeData d{options_.evaluation, options_.value};
    if (data_) {
      auto it = data_->find(&node);
      if (it != data_->end()) d = it->second;
    }
    const BoardForm form = board.CurrentBoardForm();
    const Side side = node.move.SideBefore();
    const BoardMove move = BoardMoveOf(board, node.move);
    JosekiPosition position;
    int rc = db_.FindJosekiPosition(form, side, position);
    std::string detail;
    if (rc == dbengine::kNotFound) {
      rc = db_.RegisterJosekiPosition(form, side, d.evaluation, position);
      detail = Format("局面(%08ld,評価値=%d)登録,", static_cast<long>(position.id), d.evaluation);
    } else if (rc == dbengine::kOk) {
      rc = db_.UpdateEvaluation(position, d.evaluation);
      detail = Format("局面(%08ld,評価値=%d)更新,", static_cast<long>(position.id), d.evaluation);
    }
    if (rc != dbengine::kOk || move == kNoMove) {
      const int32_t id = position.id >= 0 ? position.id : PositionHash(form) * 100;
      job.Show(Format("局面(%08ld)の登録に失敗しました。(rc=%d)", static_cast<long>(id), rc != 0 ? rc : 4));
      return false;
    }
    if (options_.annotations && ply == 1 && board.root()->note && !board.root()->note->lines.empty()) {
      if (int w = db_.ReplacePositionNote(position, JoinLines(board.root()->note->lines)); w != dbengine::kOk) {
        job.Show(Format("局面の注釈文の更新に失敗しました。(DBF.Write=%d)", w));
        return false;
      }
    }
    const std::string text = NodeMoveText(board, node);
    rc = db_.UpdateMoveValue(position, move, d.value);
    const char* done = "更新";
    if (rc == dbengine::kNotFound) {
      rc = db_.AddJosekiMove(position, d.value, move);
      done = "登録";
      if (rc != dbengine::kOk) {
        job.Show(Format("定跡手の登録に失敗しました。(DBE.WriteBplay=%d)", rc));
        return false;
      }
    } else if (rc != dbengine::kOk) {
      job.Show(Format("定跡手の登録に失敗しました。(DBE.WriteBplay=%d)", rc));
      return false;
    }
    ++count_;
    if (options_.details) {
      job.Line(detail + Format("定跡手%2d手目: %s(attr=%d)を%sしました。", ply, text.c_str(), d.value, done));
    } else if (count_ % 100 == 0) {
      job.Line(Format("定跡手 %ld 件を処理しました。", count_));
    }
    if (options_.annotations && node.note && !node.note->lines.empty()) {
      bool existed = false;
      if (int w = db_.ReplaceMoveNote(position, move, JoinLines(node.note->lines), &existed); w != dbengine::kOk) {
        job.Show(Format(existed ? "注釈文の更新に失敗しました。(DBF.Write=%d)" : "注釈文の登録に失敗しました。(DBF.Write=%d)", w));
        return false;
      }
    }
    return true;
  }

  JosekiDatabase& db_;
  const JosekiOptions& options_;
  const std::unordered_map<const MoveNode*, NodeData>* data_ = nullptr;
  long count_ = 0;
  bool stopped_ = false;
};

std::string_view Blanked(std::string_view text) {
  while (!text.empty() && (text[0] == ' ' || text[0] == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A whole number with an optional sign; false when the text is anything else.
bool IntegerOf(std::string_view text, long& value) {
  text = Blanked(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (negative) value = -value;
  return true;
}

// Reads one game (or problem) of a joseki file into a record tree, with the file's data per move.
class JosekiFileReader {
 public:
  JosekiFileReader(std::string_view text, const JosekiOptions& options, const DbJob& job)
      : text_(text), options_(options), job_(job) {}

  enum Status { kGame, kEnd, kError };

  Status Next(PlainBoard& board, std::unordered_map<const MoveNode*, NodeData>& data) {
    data.clear();
    evaluation_ = options_.evaluation;
    BoardForm::Expanded entries;
    bool any = false, have_side = false;
    Side side = kSente;
    std::string line_buffer;
    std::vector<std::string> start_notes;
    while (ReadLine(line_buffer)) {
      std::string_view line = SkipCsaBlanks(line_buffer);
      if (line.empty()) continue;
      any = true;
      if (line[0] == '/') {
        if (!have_side) {
          any = false;  // an empty item
          continue;
        }
        break;
      }
      if (line[0] == '\'') {
        std::string_view body = SkipCsaBlanks(line.substr(1));
        if (body.starts_with("注釈:")) start_notes.emplace_back(body.substr(std::strlen("注釈:")));
        if (body.starts_with("形勢評価値:") && !Evaluation(body, line)) return kError;
        continue;
      }
      if (IsCsaPositionLine(line, CsaPolicy::kStrict)) {
        if (!ApplyCsaPositionLine(line, CsaPolicy::kStrict, entries)) return Fail("駒配置指定エラーです。(%s)", line);
        continue;
      }
      if ((line[0] == '+' || line[0] == '-') && line.size() == 1) {
        side = line[0] == '+' ? kSente : kGote;
        have_side = true;
        break;
      }
      if (line[0] == '+' || line[0] == '-') {
        job_.Show("手番指定がありません");
        return kError;
      }
      // Names, version and information lines: nothing for the joseki.
    }
    if (!any) return kEnd;
    if (!have_side) {
      job_.Show("手番指定がありません");
      return kError;
    }
    BoardForm start;
    start.Encode(entries);
    board.SetTurnOrder(0);
    board.ApplyBoardForm(start);
    board.SetSideToMove(side);
    board.SetTurnOrder(1);
    board.BeginRecord();
    for (const std::string& n : start_notes) board.AddAnnotation(board.root(), n);
    return ReadMoves(board, data) ? kGame : kError;
  }

 private:
  bool ReadLine(std::string& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line.assign(text_.substr(pos_, end - pos_));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos_ = end + 1;
    return true;
  }

  Status Fail(const char* format, std::string_view line) {
    std::string text(format);
    text.replace(text.find("%s"), 2, std::string(line));
    job_.Show(text);
    return kError;
  }

  bool Evaluation(std::string_view body, std::string_view line) {
    long value;
    if (!IntegerOf(body.substr(std::strlen("形勢評価値:")), value)) {
      Fail("形勢評価値の指定が間違っています(%s)。", line);
      return false;
    }
    if (value <= 256) evaluation_ = static_cast<int>(value);
    return true;
  }

  bool ReadMoves(PlainBoard& board, std::unordered_map<const MoveNode*, NodeData>& data) {
    int number = 1;  // of the next move
    std::string buffer;
    bool over = false;
    while (ReadLine(buffer)) {
      std::string_view line = SkipCsaBlanks(buffer);
      if (line.empty()) continue;
      if (line[0] == '/') break;
      if (over) continue;
      if (line[0] == '%') {
        over = true;
        continue;
      }
      if (line[0] == '\'') {
        std::string_view body = SkipCsaBlanks(line.substr(1));
        MoveNode* current = board.current();
        if (body.starts_with("注釈:")) {
          board.AddAnnotation(current, body.substr(std::strlen("注釈:")));
        } else if (body.starts_with("属性:")) {
          long value;
          std::string_view rest = Blanked(body.substr(std::strlen("属性:")));
          if (!IntegerOf(rest, value) || value < 0 || rest[0] == '-' || rest[0] == '+') {
            Fail("属性値の指定が間違っています(%s)。", line);
            return false;
          }
          if (current != board.root()) data[current].value = static_cast<int>(std::min<long>(value, JosekiDatabase::kMaxValue));
        } else if (body.starts_with("形勢評価値:")) {
          if (!Evaluation(body, line)) return false;
        } else if (body.starts_with("手数目:")) {
          long n;
          if (!IntegerOf(body.substr(std::strlen("手数目:")), n) || n < 1) {
            Fail("手数目の指定が間違っています(%s)。", line);
            return false;
          }
          while (number > n && board.StepBack() >= 0) --number;
        }
        continue;
      }
      if (line[0] != '+' && line[0] != '-') continue;
      CsaMove m;
      const Side side = line[0] == '+' ? kSente : kGote;
      if (side != board.side_to_move()) {
        Fail("定跡手の手番が間違っています。(%s)", line);
        return false;
      }
      if (!ParseCsaMoveLine(board, line, m)) {
        Fail("定跡手の駒指定が間違っています。(%s)", line);
        return false;
      }
      const int evaluation = evaluation_;
      if (board.piece(m.piece).MoveTo(m.to, PromotionTo(m.promote), m.side) == 0) {
        job_.Show(Format("定跡手の登録に失敗しました。(DBE.WriteBplay=%d)", dbengine::kNoMemory));
        return false;
      }
      NodeData& d = data[board.current()];
      d.evaluation = evaluation;
      d.value = options_.value;
      ++number;
    }
    return true;
  }

  std::string_view text_;
  size_t pos_ = 0;
  const JosekiOptions& options_;
  const DbJob& job_;
  int evaluation_ = 0;
};

}  // namespace

long RegisterJosekiFromRecord(JosekiDatabase& db, RecordBoard& record, const JosekiOptions& options) {
  JosekiLock lock(db);
  if (!lock.held()) return -1;
  OpenTables open;
  if (db.OpenAll(open) != dbengine::kOk) return -1;
  Registrar registrar(db, options);
  registrar.Walk(record, nullptr);
  open.FlushAll();
  if (registrar.stopped()) db.job().Line("定跡登録を中断終了しました");
  db.job().Line(Format("合計 %ld手 更新・登録しました。", registrar.count()));
  return registrar.count();
}

long RegisterJosekiFromText(JosekiDatabase& db, std::string_view text, const JosekiOptions& options) {
  JosekiLock lock(db);
  if (!lock.held()) return -1;
  OpenTables open;
  if (db.OpenAll(open) != dbengine::kOk) return -1;
  JosekiFileReader reader(text, options, db.job());
  PlainBoard board(PlainBoard::kCopyPool);
  std::unordered_map<const MoveNode*, NodeData> data;
  long total = 0;
  bool stopped = false;
  for (;;) {
    if (reader.Next(board, data) != JosekiFileReader::kGame) break;
    Registrar registrar(db, options);
    const bool ok = registrar.Walk(board, &data);
    total += registrar.count();
    open.FlushAll();
    if (registrar.stopped()) stopped = true;
    if (!ok) break;
  }
  if (stopped) db.job().Line("定跡登録を中断終了しました");
  db.job().Line(Format("合計 %ld手 更新・登録しました。", total));
  return total;
}

}  // namespace shogidb
