// ItemDatabase: what the game database (GameDatabase, SHGDB_B) and the tsume database (ProblemDatabase,
// SHGDB_C) share. An item (a game or a problem) is a header row whose record number is its number, its
// start position in SHGDB_A, its moves in SHGDB_D and its move annotations in SHGDB_F (ply 0: the game's
// or problem's annotation).
//
// Every operation opens the tables it needs and closes them when it ends. Registration writes an item
// in this order, so that a process that dies in between leaves nothing the repair cannot mend: the start
// position (found, or added with one reference), the header row with the number "999999", the reference,
// the moves, the annotations, then the number; the tables' cached changes are written after each item.
// Deletion removes the header first, then the moves and annotations, then the reference.
//
// These classes are the databases; the header records they hold are the record layer's GameHeader and
// ProblemHeader, which the documents use as well.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "record/record_document.h"
#include "shogidb/annotation_table.h"
#include "shogidb/db_job.h"
#include "shogidb/item_integrity.h"
#include "shogidb/move_block_table.h"
#include "shogidb/position_table.h"
#include "shogidb/record_text_reader.h"

namespace shogidb {

// One line of a result list.
struct ListEntry {
  int32_t number = -1;       // the record number: the game or problem number
  std::string line;          // the list line
  int ply = -1;              // where the position condition matched (-1 without one)
  std::vector<uint8_t> row;  // the header row as stored
};

// The position condition of a search.
struct PositionSpec {
  enum Mode { kNone = 0, kWhole = 1, kBoard = 2 };
  int mode = kNone;          // 1 "局面一致" (whole position, hands included), 2 "盤上駒の一致"
  rules::Side side = rules::kSideUnset;  // side to move of the target; unset: either side
  bool reversed = false;     // also the target turned round, with the other side to move
  rules::BoardForm target;
  int first_ply = 1;         // F: compared from the position after ply F - 1 ...
  int ply_count = MoveBlockTable::kMaxPlies;  // C: ... to the position after ply F + C
};

class ItemDatabase : public PositionTable {
 public:
  ~ItemDatabase() override;

  // The database directory of every table.
  void SetDatabase(std::string_view directory);
  const std::string& database() const { return directory(); }
  void SetJob(const DbJob& job);
  const DbJob& job() const { return job_; }

  // Registers every game (or problem) of a CSA (PCL) text: as new when its number field is empty or
  // `force_new`, otherwise in place of the item with that number. Stops at the first item that cannot
  // be read or stored (the items before it stay registered) and when the stop flag is raised. Returns
  // how many items were registered; the progress gets a line per item and a closing line.
  int RegisterFromCsa(std::string_view text, bool force_new);
  // The number of the item registered last (-1 when none).
  int32_t last_number() const { return last_number_; }

  // Runs a search (condition text with comments; an "order by" sorts the list and turns the position
  // condition off). Returns kOk, or a failure that has been shown.
  int Search(std::string_view condition, const PositionSpec& spec, std::vector<ListEntry>& out);

  // Deletes one item with its moves, annotations (and move-space file): kOk or the engine's code.
  int DeleteItem(int32_t number);
  // Deletes the items of a list after asking; returns how many were deleted.
  int DeleteItems(const std::vector<ListEntry>& items);

  // Writes the items into one file, separated by "/" lines, after asking before overwriting an existing
  // file. Returns how many were written.
  int ExportItems(const std::vector<int32_t>& numbers, const std::string& path);
  // The text of one item (CSA for a game, PCL for a problem): kOk or a code.
  virtual int ExportItem(int32_t number, std::string& text) = 0;

  // The list entry of one item (its line and row): kOk, kNotFound, or a code.
  int ListEntryOf(int32_t number, ListEntry& entry);
  // The stored header row of an item: kOk, kNotFound (also for an unfinished registration), or a code.
  int ReadRow(int32_t number, std::vector<uint8_t>& row);
  // An item's moves and annotations, its start position and side: kOk, kDamagedItem (shown: its parts
  // are not whole), or a code. Opens what it needs.
  struct StoredItem {
    std::vector<uint8_t> row;
    rules::BoardForm start;
    rules::Side side = rules::kSente;
    std::vector<BoardMove> moves;
    std::vector<std::string> notes;  // by ply; "" for none
  };
  int ReadStored(int32_t number, StoredItem& item);
  // An item's parts as the tables hold them, for its row: kOk or the engine's code (a missing start
  // position is no error: parts.start stays empty). The tables must be open.
  int ReadParts(int32_t number, const std::vector<uint8_t>& row, ItemParts& parts);
  // ReadRow, then ReadParts. The tables must be open.
  int ReadRowAndParts(int32_t number, std::vector<uint8_t>& row, ItemParts& parts);
  // kOk when an item's parts are whole, kDamagedItem (not shown) when not, or the engine's code.
  int VerifyItem(int32_t number);
  // Seals an item's row anew after a change to its parts. REQUIRES: the item was whole before the change
  // (VerifyItem), or the seal would bless its damage.
  int Reseal(int32_t number);
  virtual const ItemRowLayout& row_layout() const = 0;

  TableObject& header_table() { return header_table_; }
  MoveBlockTable& move_table() { return moves_; }
  AnnotationTable& note_table() { return notes_; }

 protected:
  ItemDatabase(TableId header_table, char owner_kind, char note_kind, ItemKind item_kind);

  // --- what differs between games and problems ------------------------------------------------------
  virtual int number_offset() const = 0;
  virtual int position_offset() const = 0;
  // The row of a parsed item with its position id and number text.
  virtual void MakeRow(const ParsedItem& item, int32_t position, const std::string& number, uint8_t* row) const = 0;
  virtual rules::Side side_of(const uint8_t* row, const std::vector<BoardMove>& moves) const = 0;
  virtual std::string NumberField(const ParsedItem& item) const = 0;
  virtual void SetCounts(ParsedItem& item) const = 0;
  virtual std::string ListLine(const uint8_t* row) const = 0;
  virtual std::string Registered(const ParsedItem& item, int32_t position, const std::string& number,
                                 bool is_new) const = 0;
  virtual std::string RegisterError(int code, const ParsedItem& item, int32_t position) const = 0;
  virtual std::string UpdateError(int code, const ParsedItem& item, int32_t position) const = 0;
  virtual std::string NotRegistered(long number, int code) const = 0;
  virtual const char* stopped_registration() const { return "CSA登録を中断終了しました"; }
  // The message of an item whose parts are not whole.
  virtual std::string DamagedText(int32_t number) const = 0;
  virtual const char* delete_question() const = 0;
  virtual const char* delete_stopped() const = 0;
  virtual const char* export_stopped() const = 0;
  virtual const char* export_question() const = 0;
  // After an item is stored (problems write their move-space file): false (shown) when what it writes
  // failed, and the item must not count as stored.
  virtual bool AfterStore(ParsedItem&, int32_t, RecordTextReader&) { return true; }
  virtual void AfterDelete(const uint8_t*) {}

  int OpenAll(OpenTables& open);
  // Writes back the engine's cached changes of the four tables: the header table last (an item stored)
  // or first (an item deleted).
  int FlushTables(bool header_first);
  // Writes back the cached changes of the moves, annotations and positions.
  int FlushContent();
  int32_t RowPosition(const uint8_t* row) const;
  std::string NotesPrefix(int32_t number) const;
  // Deletes the annotations of kind note_kind_ under an item's number.
  int DeleteNotes(int32_t number);
  int WriteNotes(int32_t number, const ParsedItem& item, std::string* failed_key);
  // Stores an item; false after a failure (shown).
  bool StoreItem(ParsedItem& item, bool force_new, RecordTextReader& reader);
  // Runs a select over the header table: as a cursor whose rows are tested against the position
  // condition, or sorted through a temporary file.
  int SearchRows(const std::string& statement, bool sorted, const PositionSpec& spec, std::vector<ListEntry>& out);

  char owner_kind_;
  char note_kind_;
  ItemKind item_kind_;
  TableObject header_table_;
  MoveBlockTable moves_;
  AnnotationTable notes_;
  DbJob job_;
  int32_t last_number_ = -1;

 private:
  bool StoreNew(ParsedItem& item, RecordTextReader& reader);
  bool StoreUpdate(ParsedItem& item, int32_t number, const std::vector<uint8_t>& old_row, RecordTextReader& reader);
  // The moves and annotations of an updated item replaced, then its number set: false (shown, the item
  // removed whole) when a write fails.
  bool ReplaceContent(const ParsedItem& item, int32_t number, std::vector<uint8_t>& row, int32_t position);
  // Writes an item's moves and annotations, then its number into its row: false (shown, the item removed
  // whole) when a write fails.
  bool WriteContent(const ParsedItem& item, int32_t number, std::vector<uint8_t>& row, int32_t position,
                    bool is_new);
  // Takes an item's stored parts away again after a failure while storing it.
  void Unstore(int32_t number, const uint8_t* row, int32_t position);
};

}  // namespace shogidb
