// What ties the six tables of a shogi database together, found from their rows read whole into memory
// (the engine's check of each table comes first, in db_check.cpp). The analysis reports what it finds
// and, for the repair, lists the fixes: records to delete or to rewrite.
//
// It keeps what it cannot place. A move block or annotation piece without its owner is deleted only
// when no item of that kind is damaged (it may be what a damaged item lost); a position nothing refers
// to is deleted only when every item's start position is known (it may be the start of an item whose
// reference was damaged). A damaged reference, move count or position key is mended where the item's
// seal, or for unsealed items its moves, tells the one right value.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "shogidb/db_check.h"
#include "shogidb/item_integrity.h"
#include "shogidb/schema.h"

namespace shogidb {

struct TableRow {
  int32_t number;
  std::vector<uint8_t> bytes;
};

// A change to a record: a deletion (no new bytes) or new contents.
struct RecordFix {
  int32_t number;
  std::vector<uint8_t> old_bytes;
  std::optional<std::vector<uint8_t>> new_bytes;
};

struct TableRows {
  std::vector<TableRow> rows[kTableCount];
};

class DatabaseAnalysis {
 public:
  // `directory` is where the problems' solution files are; with `remove_damaged` the fixes delete
  // damaged items instead of keeping them.
  DatabaseAnalysis(const TableRows& tables, std::string directory, bool remove_damaged, DatabaseCheck& report)
      : t_(tables), directory_(std::move(directory)), remove_damaged_(remove_damaged), report_(report) {}

  void Run();

  std::vector<RecordFix> fixes[kTableCount];
  // Problems whose solution file does not hold them: the problem's number and the file's name (出題図).
  std::vector<std::pair<int32_t, std::string>> bad_solution_files;

 private:
  using BlockList = std::vector<std::pair<int, const TableRow*>>;  // (block or piece number, record)
  struct ItemKind {
    TableId table;
    char owner_kind;  // of SHGDB_D
    char note_kind;   // of SHGDB_F
    const ItemRowLayout* layout;
    const char* noun;  // "game", "problem"
  };

  void Problem(TableId t, const std::string& text);
  void Delete(TableId t, const TableRow& row);
  void Rewrite(TableId t, const TableRow& row, std::vector<uint8_t> bytes);

  void Positions();
  void MendPositions();
  void Owners(const ItemKind& kind, std::set<int32_t>& owners);
  void Joseki();
  void Blocks();
  void BlockGaps();
  void Pieces();
  std::vector<const TableRow*> PiecesAfterGaps() const;
  void PieceGaps();
  void Reattach(const ItemKind& games, const ItemKind& problems);
  bool ReattachBlock(const TableRow& row, const ItemKind& games, const ItemKind& problems);
  bool ReattachPiece(const TableRow& row, const ItemKind& games, const ItemKind& problems);
  bool Completes(const ItemKind& kind, int32_t owner) const;
  void Items(const ItemKind& kind);
  void CheckItem(const ItemKind& kind, const TableRow& row);
  void Strays();
  void References();

  ItemParts PartsOf(const ItemKind& kind, const TableRow& row) const;
  std::optional<int32_t> StartOf(const ItemKind& kind, const ItemParts& parts) const;
  bool SealedWithCount(const ItemKind& kind, ItemParts& parts) const;
  bool PieceOwnerExists(char kind, const std::string& key) const;

  const TableRows& t_;
  std::string directory_;
  bool remove_damaged_;
  DatabaseCheck& report_;
  std::map<int32_t, const TableRow*> positions_;
  std::vector<const TableRow*> damaged_positions_;
  std::multiset<int32_t> named_ids_;  // the position ids item rows name, stored or not
  std::map<int32_t, const TableRow*> item_rows_[kTableCount];  // games and problems by number
  std::map<int32_t, uint32_t> references_;
  std::map<int32_t, uint32_t> rows_naming_;  // items and joseki keys naming each stored position
  std::set<int32_t> games_, problems_;
  std::set<std::pair<int32_t, rules::Side>> joseki_keys_;
  std::set<std::pair<int32_t, BoardMove>> joseki_moves_;
  std::map<std::pair<char, long>, BlockList> blocks_;           // by (owner kind, owner)
  std::map<std::pair<char, std::string>, BlockList> pieces_;    // by (note kind, key)
  std::vector<const TableRow*> stray_blocks_, stray_pieces_;    // owner unknown (blocks, at last: or after a gap)
  std::vector<const TableRow*> gap_pieces_;                     // pieces after a missing piece
  std::set<std::pair<char, long>> damaged_owners_;              // (owner kind of SHGDB_D, number)
  bool unknown_start_ = false;  // some item names a position that is not stored and was not found
};

}  // namespace shogidb
