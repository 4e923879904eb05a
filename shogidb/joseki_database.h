// JosekiDatabase: the joseki database. For positions of opening play it keeps the moves known there with a
// value for each, an evaluation of the position, and annotation texts of positions (SHGDB_F kind 1) and moves
// (kind 2).
//
// SHGDB_E record (52 bytes): E_HASH_S 0/8 the position id, E_SIDE 8/1 the side to move ("0", "1"), E_EVAL
// 9/2 the evaluation (i16: below 100 the side stands worse, above 100 better), E_MOVE 11/40 ten slots of
// {i16 move value (0..16383), u16 board move}, a free slot {-1, 0}; E_DUMMY 51/1 zero. A position with
// more than ten moves has further records under the same key; they share the evaluation. A joseki
// position (id and side) holds one reference on its SHGDB_A position while it has records.
//
// A position and its reversed form (the board turned round, the side to move exchanged) are one joseki
// position: a lookup tries the position as it is, then reversed. Moves given and returned are in the
// orientation asked for; they are stored, and annotation keys made, in the stored orientation.
//
// Operations started by the user take the database lock without waiting and refuse with "データベースが
// 使用中です" when it is held elsewhere (the property edits say "データベースは使用中です").
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/db_lock.h"
#include "record/record_board.h"
#include "shogidb/annotation_table.h"
#include "shogidb/board_move.h"
#include "shogidb/db_job.h"
#include "shogidb/position_table.h"

namespace shogidb {

// A joseki position found (or to be registered) for a position asked about.
struct JosekiPosition {
  rules::BoardForm form;   // the position asked about
  rules::Side side = rules::kSente;  // its side to move
  bool found = false;      // stored in SHGDB_E
  bool reversed = false;   // stored as the reversed position
  int32_t id = -1;         // the stored position's id (valid when found)
  rules::Side stored_side = rules::kSente;
  int evaluation = 0;

  // A move of the asked orientation in the stored one, and back.
  BoardMove ToStored(BoardMove move) const;
  BoardMove FromStored(BoardMove move) const;
  rules::BoardForm StoredForm() const;
};

struct JosekiMove {
  BoardMove move = kNoMove;    // in the orientation asked for
  BoardMove stored = kNoMove;  // as stored
  int value = 0;
};

class JosekiDatabase : public TableObject {
 public:
  static constexpr int kKeyOffset = 0, kSideOffset = 8, kEvalOffset = 9, kMovesOffset = 11, kDummyOffset = 51;
  static constexpr int kRecordLength = 52;
  static constexpr int kSlots = 10;
  static constexpr int kMaxValue = 16383;

  JosekiDatabase();
  ~JosekiDatabase() override;

  void SetDatabase(std::string_view directory);
  void SetJob(const DbJob& job);
  const DbJob& job() const { return job_; }
  PositionTable& positions() { return positions_; }
  AnnotationTable& notes() { return notes_; }

  // --- the entries (the tables must be open: OpenAll) ------------------------------------------------
  int OpenAll(OpenTables& open);
  // kOk with the joseki position (found set), or kNotFound (the JosekiPosition tells the position asked
  // about); or an engine code.
  int FindJosekiPosition(const rules::BoardForm& form, rules::Side side, JosekiPosition& out);
  // Registers a new joseki position: adds the position to SHGDB_A when needed (one reference), and a
  // first record with the evaluation and free slots. kDuplicateKey when it exists (either orientation).
  int RegisterJosekiPosition(const rules::BoardForm& form, rules::Side side, int evaluation, JosekiPosition& out);
  int UpdateEvaluation(JosekiPosition& position, int evaluation);
  // Moves are in the orientation asked for.
  int AddJosekiMove(const JosekiPosition& position, int value, BoardMove move);
  // kOk, or kNotFound when the move is no joseki move of the position.
  int UpdateMoveValue(const JosekiPosition& position, BoardMove move, int value);
  // Frees the move's slot and deletes its annotation; a record left empty is deleted when another
  // record of the position remains. kNotFound when the move is not there.
  int DeleteJosekiMove(const JosekiPosition& position, BoardMove move);
  // Deletes every record of the position, its annotations, and its reference.
  int DeleteJosekiPosition(const JosekiPosition& position);
  // The moves of a position in slot order, its records in the order they were made; kOk (none for a
  // position that is not stored).
  int ReadJosekiMoves(const JosekiPosition& position, std::vector<JosekiMove>& moves);

  // The step-by-step form of ReadJosekiMoves: First finds the position (kNotFound when it is not a
  // joseki position); each Next gives the evaluation, the next move and its value, kNotFound at the end.
  int FirstJosekiMove(const rules::BoardForm& form, rules::Side side);
  int NextJosekiMove(int* evaluation, BoardMove* move, int* value);

  // Annotations in the stored keys: the position's (kind 1) and a move's (kind 2). "" when none.
  std::string PositionNote(const JosekiPosition& position);
  std::string MoveNote(const JosekiPosition& position, BoardMove move);
  // Replaces (or with empty text removes) an annotation: kOk or the code of the write.
  int ReplacePositionNote(const JosekiPosition& position, const std::string& text);
  int ReplaceMoveNote(const JosekiPosition& position, BoardMove move, const std::string& text, bool* existed = nullptr);

 protected:
  struct Slot {
    int32_t record = -1;  // record number
    int index = 0;        // slot 0..9
  };
  // The record numbers under a key, ascending (the order of the records of one position).
  int RecordsOf(int32_t id, rules::Side side, std::vector<int32_t>& records);
  int FindSlot(const JosekiPosition& position, BoardMove stored, Slot& slot, std::vector<uint8_t>& record);

  PositionTable positions_;
  AnnotationTable notes_;
  DbJob job_;
  // The step-by-step reader's state.
  struct Reading {
    JosekiPosition position;
    std::vector<JosekiMove> moves;
    size_t next = 0;
  } reading_;
};

// The database lock of a joseki operation, taken without waiting; when another thread or process holds
// it, "データベースが使用中です" (or, for the property dialogs, "データベースは使用中です") is shown.
class JosekiLock {
 public:
  explicit JosekiLock(JosekiDatabase& db, bool property_dialog = false);
  bool held() const { return guard_.held(); }

 private:
  platform::DatabaseLockGuard guard_;
};

// The Japanese text of a move in a position (「先手７六歩」).
std::string JosekiMoveText(const rules::BoardForm& form, rules::Side side, BoardMove move);

}  // namespace shogidb
