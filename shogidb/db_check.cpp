#include "shogidb/db_check.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <set>

#include "dbengine/check.h"
#include "dbengine/table.h"
#include "platform/text_scan.h"
#include "shogidb/annotation_table.h"
#include "shogidb/header_rows.h"
#include "shogidb/joseki_database.h"
#include "shogidb/move_block_table.h"
#include "shogidb/position_key.h"
#include "shogidb/position_table.h"
#include "shogidb/schema.h"

using namespace rules;

namespace shogidb {
namespace {

struct Row {
  int32_t number;
  std::vector<uint8_t> bytes;
};

// What a change to a record is: a deletion (no bytes) or new contents.
struct Fix {
  int32_t number;
  std::vector<uint8_t> old_bytes;
  std::optional<std::vector<uint8_t>> new_bytes;
};

struct Tables {
  std::vector<Row> rows[kTableCount];
  bool loaded[kTableCount] = {};
};

std::string Name(TableId t) { return Table(t).name; }

std::string Text(const uint8_t* at, int width) {
  std::string s(reinterpret_cast<const char*>(at), static_cast<size_t>(width));
  for (char& c : s) {
    if (c == '\0') c = ' ';
  }
  return s;
}

bool LoadTable(std::string_view directory, TableId id, std::vector<Row>& rows) {
  dbengine::TableHandle t(dbengine::OpenTable(TablePathIn(directory, id)));
  if (!t || t->RecordLength() != Table(id).record_length) return false;
  std::vector<uint8_t> record(static_cast<size_t>(t->RecordLength()));
  for (int32_t r = 0; dbengine::ScanRecord(t->table, r, record.data(), &r) == dbengine::kOk; ++r) {
    rows.push_back({r, record});
  }
  return true;
}

bool IsDigits(const uint8_t* at, int width) {
  return platform::AllDigits(std::string_view(reinterpret_cast<const char*>(at), static_cast<size_t>(width)));
}

// The number in a column of digits, maybe right-aligned with spaces ("%6ld"); -1 when it is not one.
long NumberIn(const uint8_t* at, int width) {
  long value = 0;
  bool any = false;
  for (int i = 0; i < width; ++i) {
    if (at[i] == ' ' && !any) continue;
    if (at[i] < '0' || at[i] > '9') return -1;
    value = value * 10 + (at[i] - '0');
    any = true;
  }
  return any ? value : -1;
}

class Analysis {
 public:
  Analysis(const Tables& tables, DatabaseCheck& report) : t_(tables), report_(report) {}

  void Run() {
    Positions();
    Owners(kTableB, GameRowLayout::kNumber, GameRowLayout::kStartPosition, games_);
    Owners(kTableC, ProblemRowLayout::kNumber, ProblemRowLayout::kProblemPosition, problems_);
    Joseki();
    Blocks();
    Pieces();
    References();
  }

  std::vector<Fix> fixes[kTableCount];

 private:
  void Problem(TableId t, const std::string& text) { report_.problems.push_back(Name(t) + ": " + text); }
  void Delete(TableId t, const Row& row) { fixes[t].push_back({row.number, row.bytes, std::nullopt}); }

  void Positions() {
    for (const Row& row : t_.rows[kTableA]) {
      const long hash = NumberIn(row.bytes.data() + PositionTable::kHashOffset, 6);
      const long synonym = NumberIn(row.bytes.data() + PositionTable::kSynonymOffset, 2);
      BoardForm form;
      std::memcpy(form.data(), row.bytes.data() + PositionTable::kFormOffset, BoardForm::kSize);
      if (hash < 0 || synonym < 0 || !form.IsValid() || PositionHash(form) != hash) {
        Problem(kTableA, "record " + std::to_string(row.number) + " holds a damaged position");
        continue;
      }
      positions_[static_cast<int32_t>(hash * 100 + synonym)] = &row;
    }
  }

  // Games or problems: finished rows numbered by their record, referring to a stored position.
  void Owners(TableId t, int number_at, int position_at, std::set<int32_t>& owners) {
    for (const Row& row : t_.rows[t]) {
      const std::string where = "record " + std::to_string(row.number);
      const std::string number = GetText(row.bytes.data() + number_at, 6);
      if (number == kUnfinishedNumber) {
        Problem(t, where + " is a registration that did not finish (number 999999)");
        Delete(t, row);
        continue;
      }
      if (number != ZeroPadded(row.number, 6)) {
        Problem(t, where + " holds the number \"" + number + "\"");
        std::vector<uint8_t> fixed = row.bytes;
        SetRowNumber(fixed.data(), number_at, ZeroPadded(row.number, 6));
        fixes[t].push_back({row.number, row.bytes, fixed});
      }
      owners.insert(row.number);
      const int32_t id = ParsePositionId(GetText(row.bytes.data() + position_at, 8));
      if (positions_.count(id) == 0) {
        Problem(t, where + " refers to the missing position " + Text(row.bytes.data() + position_at, 8) +
                       " (cannot be repaired)");
        continue;
      }
      ++references_[id];
    }
  }

  void Joseki() {
    std::set<std::pair<int32_t, rules::Side>> keys;
    for (const Row& row : t_.rows[kTableE]) {
      const int32_t id = ParsePositionId(GetText(row.bytes.data() + JosekiDatabase::kKeyOffset, 8));
      const uint8_t side = row.bytes[JosekiDatabase::kSideOffset];
      if (positions_.count(id) == 0 || (side != '0' && side != '1')) {
        Problem(kTableE, "record " + std::to_string(row.number) + " refers to the missing position " +
                             Text(row.bytes.data(), 8));
        Delete(kTableE, row);
        continue;
      }
      keys.insert({id, rules::SideOfBit(side - '0')});
      for (int s = 0; s < JosekiDatabase::kSlots; ++s) {
        const uint8_t* slot = row.bytes.data() + JosekiDatabase::kMovesOffset + 4 * s;
        if (GetU16(slot) != 0xFFFF) joseki_moves_.insert({id, GetU16(slot + 2)});
      }
    }
    for (const auto& key : keys) {
      ++references_[key.first];
      joseki_keys_.insert(key);
    }
  }

  void Blocks() {
    std::map<std::pair<char, long>, std::vector<std::pair<int, const Row*>>> lists;
    for (const Row& row : t_.rows[kTableD]) {
      const char kind = static_cast<char>(row.bytes[MoveBlockTable::kRecIdOffset]);
      const long owner = NumberIn(row.bytes.data() + MoveBlockTable::kRecNoOffset, 6);
      const long block = IsDigits(row.bytes.data() + MoveBlockTable::kBlockOffset, 2)
                             ? NumberIn(row.bytes.data() + MoveBlockTable::kBlockOffset, 2) : -1;
      const std::string where = "block \"" + Text(row.bytes.data(), 9) + "\" (record " + std::to_string(row.number) + ")";
      const std::set<int32_t>* owners = kind == kGameOwner ? &games_ : kind == kProblemOwner ? &problems_ : nullptr;
      if (!owners || owner < 0 || block < 0 || owners->count(static_cast<int32_t>(owner)) == 0) {
        Problem(kTableD, where + " belongs to no " + (kind == kProblemOwner ? "problem" : "game"));
        Delete(kTableD, row);
        continue;
      }
      lists[{kind, owner}].emplace_back(static_cast<int>(block), &row);
    }
    for (auto& [owner, blocks] : lists) {
      std::sort(blocks.begin(), blocks.end());
      for (size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].first == static_cast<int>(i)) continue;
        const Row& row = *blocks[i].second;
        Problem(kTableD, "block \"" + Text(row.bytes.data(), 9) + "\" (record " + std::to_string(row.number) +
                             ") follows a missing block");
        Delete(kTableD, row);
      }
    }
  }

  bool PieceOwnerExists(char kind, const std::string& key) {
    int32_t id = -1;
    if (kind == kGameMoveNote || kind == kProblemMoveNote) {
      const std::set<int32_t>& owners = kind == kGameMoveNote ? games_ : problems_;
      return ParseMoveNoteKey(key, &id, nullptr) && owners.count(id) > 0;
    }
    if (kind == kJosekiPositionNote) {
      rules::Side side;
      return ParseJosekiPositionKey(key, &id, &side) && joseki_keys_.count({id, side}) > 0;
    }
    BoardMove move;
    return kind == kJosekiMoveNote && ParseJosekiMoveKey(key, &id, &move) && joseki_moves_.count({id, move}) > 0;
  }

  void Pieces() {
    std::map<std::pair<char, std::string>, std::vector<std::pair<int, const Row*>>> texts;
    for (const Row& row : t_.rows[kTableF]) {
      const char kind = static_cast<char>(row.bytes[AnnotationTable::kIdOffset]);
      const std::string key = GetText(row.bytes.data() + AnnotationTable::kKeyOffset, AnnotationTable::kKeyWidth);
      const long piece = IsDigits(row.bytes.data() + AnnotationTable::kPieceOffset, 2)
                             ? NumberIn(row.bytes.data() + AnnotationTable::kPieceOffset, 2) : -1;
      if (piece < 0 || !PieceOwnerExists(kind, key)) {
        Problem(kTableF, "piece " + std::string(1, kind) + " \"" + key + "\" " + Text(row.bytes.data() + AnnotationTable::kPieceOffset, 2) +
                             " (record " + std::to_string(row.number) + ") belongs to nothing");
        Delete(kTableF, row);
        continue;
      }
      texts[{kind, key}].emplace_back(static_cast<int>(piece), &row);
    }
    for (auto& [key, pieces] : texts) {
      std::sort(pieces.begin(), pieces.end());
      for (size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].first == static_cast<int>(i)) continue;
        Problem(kTableF, "piece " + std::string(1, key.first) + " \"" + key.second + "\" " +
                             std::to_string(pieces[i].first) + " follows a missing piece");
        Delete(kTableF, *pieces[i].second);
      }
    }
  }

  void References() {
    for (const auto& [id, row] : positions_) {
      const uint32_t counted = GetU32(row->bytes.data() + PositionTable::kRefCountOffset);
      auto it = references_.find(id);
      const uint32_t referring = it == references_.end() ? 0 : it->second;
      if (counted == referring && referring > 0) continue;
      const std::string where = "position " + PositionIdText(id);
      if (referring == 0) {
        Problem(kTableA, where + " is referred to by nothing (count " + std::to_string(counted) + ")");
        Delete(kTableA, *row);
        continue;
      }
      Problem(kTableA, where + " counts " + std::to_string(counted) + " references, " + std::to_string(referring) +
                           " records refer to it");
      std::vector<uint8_t> fixed = row->bytes;
      PutU32(fixed.data() + PositionTable::kRefCountOffset, referring);
      fixes[kTableA].push_back({row->number, row->bytes, fixed});
    }
  }

  const Tables& t_;
  DatabaseCheck& report_;
  std::map<int32_t, const Row*> positions_;
  std::map<int32_t, uint32_t> references_;
  std::set<int32_t> games_, problems_;
  std::set<std::pair<int32_t, rules::Side>> joseki_keys_;
  std::set<std::pair<int32_t, BoardMove>> joseki_moves_;
};

// The engine's checks; false when a table is beyond use (its schema or bitmap missing).
bool CheckTables(std::string_view directory, DatabaseCheck& report, Tables& tables) {
  bool usable = true;
  for (int i = 0; i < kTableCount; ++i) {
    const TableId t = static_cast<TableId>(i);
    dbengine::TableCheck check;
    const int rc = dbengine::CheckTable(TablePathIn(directory, t), &check);
    if (rc != dbengine::kOk) {
      report.problems.push_back(Name(t) + ": cannot be checked (" + dbengine::ResultCodeText(rc) + ")");
      usable = false;
      continue;
    }
    for (const dbengine::CheckProblem& p : check.problems) {
      report.problems.push_back(Name(t) + ": " + dbengine::DescribeProblem(p));
      if (p.kind == dbengine::CheckProblem::kSchema || p.kind == dbengine::CheckProblem::kBitmapFile ||
          p.kind == dbengine::CheckProblem::kDataFile) {
        usable = false;
      }
    }
    report.notes.push_back(Name(t) + ": " + std::to_string(check.records_in_use) + " records");
  }
  if (!usable) return false;
  for (int i = 0; i < kTableCount; ++i) {
    tables.loaded[i] = LoadTable(directory, static_cast<TableId>(i), tables.rows[i]);
    usable = usable && tables.loaded[i];
  }
  return usable;
}

}  // namespace

int CheckDatabase(std::string_view directory, DatabaseCheck* out) {
  *out = DatabaseCheck{};
  Tables tables;
  // Cross-table findings mean little while a table itself is damaged: they follow a clean table check.
  if (!CheckTables(directory, *out, tables) || !out->ok()) return dbengine::kOk;
  Analysis analysis(tables, *out);
  analysis.Run();
  return dbengine::kOk;
}

namespace {

// Writes one table's fixes; false when the table cannot be opened.
bool ApplyFixes(std::string_view directory, TableId id, const std::vector<Fix>& fixes, int& deleted, int& changed) {
  dbengine::TableHandle table(dbengine::OpenTable(TablePathIn(directory, id)));
  if (!table) return false;
  for (const Fix& fix : fixes) {
    if (fix.new_bytes) {
      if (dbengine::UpdateRecord(table.get(), fix.new_bytes->data(), fix.number) == dbengine::kOk) ++changed;
    } else if (dbengine::DeleteRecord(table.get(), fix.old_bytes.data(), fix.number) == dbengine::kOk) {
      ++deleted;
    }
  }
  return true;
}

}  // namespace

int RepairDatabase(std::string_view directory, DatabaseCheck* out) {
  DatabaseCheck done;
  for (int i = 0; i < kTableCount; ++i) {
    const TableId t = static_cast<TableId>(i);
    dbengine::RebuildReport report;
    const int rc = dbengine::RebuildTable(TablePathIn(directory, t), &report);
    for (int32_t r : report.left_out) {
      done.notes.push_back(Name(t) + ": record " + std::to_string(r) + " left out of its unique index, deleted");
    }
    if (report.slots_freed > 0) {
      done.notes.push_back(Name(t) + ": " + std::to_string(report.slots_freed) + " records beyond the data file freed");
    }
    if (rc != dbengine::kOk && rc != dbengine::kDuplicateKey) {
      done.problems.push_back(Name(t) + ": cannot be rebuilt (" + dbengine::ResultCodeText(rc) + ")");
      *out = done;
      return rc;
    }
    // A record left out of a unique index duplicates another's key: it cannot be reached; free it.
    if (!report.left_out.empty()) {
      dbengine::TableHandle table(dbengine::OpenTable(TablePathIn(directory, t)));
      std::vector<uint8_t> record(static_cast<size_t>(Table(t).record_length));
      for (int32_t r : report.left_out) {
        if (table && dbengine::ReadRecord(table->table, r, record.data()) == dbengine::kOk) {
          dbengine::DeleteRecord(table.get(), record.data(), r);
        }
      }
    }
  }
  Tables tables;
  DatabaseCheck found;
  if (!CheckTables(directory, found, tables)) {
    *out = found;
    return dbengine::kCannotOpen;
  }
  Analysis analysis(tables, found);
  analysis.Run();
  for (int i = 0; i < kTableCount; ++i) {
    if (analysis.fixes[i].empty()) continue;
    int deleted = 0, changed = 0;
    if (!ApplyFixes(directory, static_cast<TableId>(i), analysis.fixes[i], deleted, changed)) continue;
    done.notes.push_back(Name(static_cast<TableId>(i)) + ": " + std::to_string(deleted) + " records removed, " +
                         std::to_string(changed) + " corrected");
  }
  // Removing rows can leave further things without owners (a position only they referred to): again,
  // until nothing more is found.
  for (int round = 0; round < 3; ++round) {
    DatabaseCheck again;
    CheckDatabase(directory, &again);
    if (again.ok()) break;
    Tables more;
    DatabaseCheck scratch;
    if (!CheckTables(directory, scratch, more)) break;
    Analysis next(more, scratch);
    next.Run();
    bool any = false;
    for (int i = 0; i < kTableCount; ++i) {
      int deleted = 0, changed = 0;
      if (next.fixes[i].empty() || !ApplyFixes(directory, static_cast<TableId>(i), next.fixes[i], deleted, changed)) {
        continue;
      }
      any = any || deleted + changed > 0;
    }
    if (!any) break;
  }
  DatabaseCheck final_check;
  CheckDatabase(directory, &final_check);
  done.problems = final_check.problems;
  for (const std::string& n : final_check.notes) done.notes.push_back(n);
  *out = done;
  return dbengine::kOk;
}

}  // namespace shogidb
