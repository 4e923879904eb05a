// What the joseki browser shows and edits, without any window: the items of its tree (a position and the
// joseki move played from it), read from the joseki database one level at a time, the annotation a
// command edits and its window title, and the database session every access goes through.
//
// Every access takes the database lock without waiting. The tree reads skip quietly when another window,
// worker or process holds it (the tree stays as it was); the edits say why they refused.
#pragma once
#include <string>
#include <vector>

#include "platform/db_lock.h"
#include "rules/position.h"
#include "shogidb/joseki_database.h"

namespace app {

// One item of the tree: the position before its move and the move. The root has no move and stands for
// the bound board's position. Items carry their positions, so a selection needs no record stepped to it.
struct JosekiCell {
  int depth = 0;                     // moves from the root
  std::string text;                  // CP932: the move's text, or the root's label
  rules::BoardForm form;             // the position before the move (the root: its own)
  rules::Side side = rules::kSente;  // the side to move there
  shogidb::BoardMove move = shogidb::kNoMove;
  int value = 0;                     // the move's value when it was read

  bool is_move() const { return move != shogidb::kNoMove; }
  // The position the item stands for: after its move (the root: its own) and the side to move there.
  rules::BoardForm FormAfter() const;
  rules::Side SideAfter() const;
};

// The root for a board's current position: labelled with the move that led there, or 初期局面 at the start.
JosekiCell RootCell(const rules::Position& board);

// One access to the joseki database: the lock taken without waiting, then the tables opened. Messages of
// the library's edits go to the job.
class JosekiSession {
 public:
  JosekiSession(const std::string& cp932_directory, const shogidb::DbJob& job);
  // The lock is ours and the tables are open.
  bool ready() const { return ready_; }
  bool busy() const { return !guard_.held(); }  // another holds the lock
  shogidb::JosekiDatabase& db() { return db_; }
  int Flush() { return open_.FlushAll(); }

 private:
  platform::DatabaseLockGuard guard_;
  shogidb::JosekiDatabase db_;
  shogidb::OpenTables open_;
  bool ready_ = false;
};

// The joseki moves stored for the position an item stands for, as its children (slot order). An engine
// code on failure; a position that is no joseki position has none.
int ReadChildCells(shogidb::JosekiDatabase& db, const JosekiCell& parent, std::vector<JosekiCell>& children);

// What a joseki annotation belongs to: the position an item stands for, or the item's move.
struct JosekiNoteTarget {
  JosekiCell cell;
  bool move = false;

  // The editor's title (UTF-8): "定跡局面(%sまで)の注釈" or "定跡手 %s の注釈".
  std::string Title() const;
};

// The stored annotation ("" when none). The tables must be open.
std::string ReadJosekiNote(shogidb::JosekiDatabase& db, const JosekiNoteTarget& target);
// Replaces the annotation (an empty text deletes it). A position that is not yet a joseki position is
// registered first (evaluation 100) so that its note has a key. kOk or the engine's code.
int WriteJosekiNote(shogidb::JosekiDatabase& db, const JosekiNoteTarget& target, const std::string& cp932_text);

// The values the two boxes show for an item: the evaluations of the positions before and after the move
// (100 where the position is no joseki position) and the move's value.
struct JosekiValues {
  int before = 100;
  int after = 100;
  int value = 0;
};
int ReadJosekiValues(shogidb::JosekiDatabase& db, const JosekiCell& cell, JosekiValues& out);

// The question before 定跡の削除 (CP932): "定跡 %s を削除します。よろしいですか？".
std::string JosekiDeleteQuestion(const JosekiCell& cell);

}  // namespace app
