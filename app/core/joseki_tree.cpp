#include "app/core/joseki_tree.h"

#include "platform/text_codec.h"
#include "rules/notation.h"
#include "shogidb/board_move.h"

using namespace rules;
using namespace shogidb;

namespace app {

BoardForm JosekiCell::FormAfter() const {
  if (!is_move()) return form;
  FormBoard after(form);
  after.Apply(move);
  return after.Form();
}

Side JosekiCell::SideAfter() const { return is_move() ? Opponent(side) : side; }

JosekiCell RootCell(const Position& board) {
  JosekiCell root;
  root.form = board.CurrentBoardForm();
  root.side = board.side_to_move();
  root.text = board.current() == board.root() ? platform::Utf8ToCp932("初期局面")
                                              : NodeMoveText(board, *board.current());
  return root;
}

JosekiSession::JosekiSession(const std::string& cp932_directory, const DbJob& job)
    : guard_(cp932_directory, platform::DatabaseLockGuard::Mode::kTry) {
  if (!guard_.held()) return;
  db_.SetDatabase(cp932_directory);
  db_.SetJob(job);
  ready_ = db_.OpenAll(open_) == dbengine::kOk;
}

int ReadChildCells(JosekiDatabase& db, const JosekiCell& parent, std::vector<JosekiCell>& children) {
  children.clear();
  const BoardForm form = parent.FormAfter();
  const Side side = parent.SideAfter();
  JosekiPosition position;
  const int rc = db.FindJosekiPosition(form, side, position);
  if (rc == dbengine::kNotFound) return dbengine::kOk;
  if (rc != dbengine::kOk) return rc;
  std::vector<JosekiMove> moves;
  if (int read = db.ReadJosekiMoves(position, moves); read != dbengine::kOk) return read;
  for (const JosekiMove& m : moves) {
    JosekiCell child;
    child.depth = parent.depth + 1;
    child.form = form;
    child.side = side;
    child.move = m.move;
    child.value = m.value;
    child.text = JosekiMoveText(form, side, m.move);
    children.push_back(std::move(child));
  }
  return dbengine::kOk;
}

std::string JosekiNoteTarget::Title() const {
  const std::string text = platform::Cp932ToUtf8(cell.text);
  return move ? "定跡手 " + text + " の注釈" : "定跡局面(" + text + "まで)の注釈";
}

namespace {

// The joseki position a note belongs to (the item's own for a move note), and the move.
int FindNotePosition(JosekiDatabase& db, const JosekiNoteTarget& target, JosekiPosition& position) {
  const BoardForm form = target.move ? target.cell.form : target.cell.FormAfter();
  const Side side = target.move ? target.cell.side : target.cell.SideAfter();
  return db.FindJosekiPosition(form, side, position);
}

}  // namespace

std::string ReadJosekiNote(JosekiDatabase& db, const JosekiNoteTarget& target) {
  JosekiPosition position;
  if (FindNotePosition(db, target, position) != dbengine::kOk) return {};
  return target.move ? db.MoveNote(position, target.cell.move) : db.PositionNote(position);
}

int WriteJosekiNote(JosekiDatabase& db, const JosekiNoteTarget& target, const std::string& cp932_text) {
  JosekiPosition position;
  int rc = FindNotePosition(db, target, position);
  if (rc == dbengine::kNotFound) {
    // A note without a joseki position would have no key to be found by.
    if (cp932_text.empty()) return dbengine::kOk;
    const BoardForm form = position.form;  // Register fills `position` afresh: not by reference
    const Side side = position.side;
    rc = db.RegisterJosekiPosition(form, side, 100, position);
  }
  if (rc != dbengine::kOk) return rc;
  return target.move ? db.ReplaceMoveNote(position, target.cell.move, cp932_text)
                     : db.ReplacePositionNote(position, cp932_text);
}

int ReadJosekiValues(JosekiDatabase& db, const JosekiCell& cell, JosekiValues& out) {
  out = JosekiValues{};
  JosekiPosition position;
  int rc = db.FindJosekiPosition(cell.form, cell.side, position);
  if (rc == dbengine::kOk) {
    out.before = position.evaluation;
    std::vector<JosekiMove> moves;
    if ((rc = db.ReadJosekiMoves(position, moves)) != dbengine::kOk) return rc;
    for (const JosekiMove& m : moves) {
      if (m.move == cell.move) out.value = m.value;
    }
  } else if (rc != dbengine::kNotFound) {
    return rc;
  }
  if (!cell.is_move()) {
    out.after = out.before;
    return dbengine::kOk;
  }
  rc = db.FindJosekiPosition(cell.FormAfter(), cell.SideAfter(), position);
  if (rc == dbengine::kOk) out.after = position.evaluation;
  return rc == dbengine::kNotFound ? dbengine::kOk : rc;
}

std::string JosekiDeleteQuestion(const JosekiCell& cell) {
  return platform::Utf8ToCp932("定跡 ") + cell.text + platform::Utf8ToCp932(" を削除します。よろしいですか？");
}

}  // namespace app
