#include "shogidb/db_check.h"

#include <cassert>
#include <cstdio>

#include "dbengine/check.h"
#include "dbengine/query.h"
#include "dbengine/read_only.h"
#include "dbengine/schema.h"
#include "dbengine/table.h"
#include "platform/files.h"
#include "record/move_space_file.h"
#include "shogidb/db_analysis.h"
#include "shogidb/schema.h"
#include "shogidb/table_object.h"

namespace shogidb {
namespace {

std::string Name(TableId t) { return Table(t).name; }

// The schema a table was created with: what restores a damaged schema file.
dbengine::DbSchema ExpectedSchema(TableId t) {
  dbengine::DbSchema schema;
  const int rc = dbengine::SchemaFromStatements(Table(t).create_statement, {Table(t).index_statement}, &schema);
  (void)rc;
  assert(rc == dbengine::kOk);
  return schema;
}

bool LoadTable(std::string_view directory, TableId id, std::vector<TableRow>& rows) {
  dbengine::TableHandle t(dbengine::OpenTable(TablePathIn(directory, id)));
  if (!t || t->RecordLength() != Table(id).record_length) return false;
  std::vector<uint8_t> record(static_cast<size_t>(t->RecordLength()));
  for (int32_t r = 0; dbengine::ScanRecord(t->table, r, record.data(), &r) == dbengine::kOk; ++r) {
    rows.push_back({r, record});
  }
  return true;
}

// The engine's checks; false when a table is beyond use (its schema or bitmap missing).
bool CheckTables(std::string_view directory, DatabaseCheck& report, TableRows& tables) {
  bool usable = true;
  for (int i = 0; i < kTableCount; ++i) {
    const TableId t = static_cast<TableId>(i);
    dbengine::TableCheck check;
    const dbengine::DbSchema expected = ExpectedSchema(t);
    const int rc = dbengine::CheckTable(TablePathIn(directory, t), &check, &expected);
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
    report.notes.push_back(Name(t) + ": " + std::to_string(check.records_in_use) + " records" +
                           (check.read_only ? " (read-only)" : ""));
  }
  if (!usable) return false;
  for (int i = 0; i < kTableCount; ++i) usable = LoadTable(directory, static_cast<TableId>(i), tables.rows[i]) && usable;
  return usable;
}

}  // namespace

int CheckDatabase(std::string_view directory, DatabaseCheck* out) {
  *out = DatabaseCheck{};
  TableRows tables;
  // Cross-table findings mean little while a table itself is damaged: they follow a clean table check.
  if (dbengine::DirectoryReadOnly(directory)) {
    out->notes.push_back("read-only: the database is checked where it is, and cannot be repaired there");
  }
  if (!CheckTables(directory, *out, tables) || !out->ok()) {
    // Said, so that no one takes the table problems for all there is.
    out->notes.push_back("games and problems are checked once the tables are whole (the repair names the damaged ones)");
    return dbengine::kOk;
  }
  DatabaseAnalysis analysis(tables, std::string(directory), false, *out);
  analysis.Run();
  return dbengine::kOk;
}

namespace {

// Writes one table's fixes; false when the table cannot be opened.
bool ApplyFixes(std::string_view directory, TableId id, const std::vector<RecordFix>& fixes, int& deleted, int& changed) {
  dbengine::TableHandle table(dbengine::OpenTable(TablePathIn(directory, id)));
  if (!table) return false;
  for (const RecordFix& fix : fixes) {
    if (fix.new_bytes) {
      if (dbengine::UpdateRecord(table.get(), fix.new_bytes->data(), fix.number) == dbengine::kOk) ++changed;
    } else if (dbengine::DeleteRecord(table.get(), fix.old_bytes.data(), fix.number) == dbengine::kOk) {
      ++deleted;
    }
  }
  return true;
}

// Rebuilds each table; false (with the problem) when one cannot be rebuilt.
bool RebuildTables(std::string_view directory, DatabaseCheck& done, int& rc_out) {
  for (int i = 0; i < kTableCount; ++i) {
    const TableId t = static_cast<TableId>(i);
    dbengine::RebuildReport report;
    const dbengine::DbSchema expected = ExpectedSchema(t);
    const int rc = dbengine::RebuildTable(TablePathIn(directory, t), &report, &expected);
    if (report.schema_restored) done.notes.push_back(Name(t) + ": schema file written anew");
    if (report.bitmap_restored) done.notes.push_back(Name(t) + ": bitmap written anew from the data file");
    if (!report.restored.empty()) {
      done.notes.push_back(Name(t) + ": " + std::to_string(report.restored.size()) + " records in use found again");
    }
    for (int32_t r : report.left_out) {
      done.notes.push_back(Name(t) + ": record " + std::to_string(r) + " left out of its unique index, deleted");
    }
    if (report.slots_freed > 0) {
      done.notes.push_back(Name(t) + ": " + std::to_string(report.slots_freed) + " records beyond the data file freed");
    }
    if (rc == dbengine::kReadOnly) {
      done.problems.push_back("read-only: the database cannot be repaired where it is (copy it to a writable place)");
      rc_out = rc;
      return false;
    }
    if (rc != dbengine::kOk && rc != dbengine::kDuplicateKey) {
      done.problems.push_back(Name(t) + ": cannot be rebuilt (" + dbengine::ResultCodeText(rc) + ")");
      rc_out = rc;
      return false;
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
  return true;
}

// One round of the cross-table fixes: false when there was nothing more to do or the tables are beyond
// use.
bool FixRound(std::string_view directory, bool remove_damaged, DatabaseCheck& done, bool note) {
  TableRows tables;
  DatabaseCheck found;
  if (!CheckTables(directory, found, tables)) return false;
  DatabaseAnalysis analysis(tables, std::string(directory), remove_damaged, found);
  analysis.Run();
  // What was found is what the fixes below answer: the user sees both.
  if (note) {
    for (const std::string& line : found.problems) done.notes.push_back("found: " + line);
  }
  bool any = false;
  for (int i = 0; i < kTableCount; ++i) {
    if (analysis.fixes[i].empty()) continue;
    int deleted = 0, changed = 0;
    if (!ApplyFixes(directory, static_cast<TableId>(i), analysis.fixes[i], deleted, changed)) continue;
    any = any || deleted + changed > 0;
    if (note) {
      done.notes.push_back(Name(static_cast<TableId>(i)) + ": " + std::to_string(deleted) + " records removed, " +
                           std::to_string(changed) + " corrected");
    }
  }
  // A solution file that does not hold its problem is kept for a person to look at, out of the way.
  for (const auto& [number, name] : analysis.bad_solution_files) {
    const std::string path = record::MoveSpaceFilePath(std::string(directory), name);
    const std::string sum = record::MoveSpaceSumPath(path);
    bool moved = false;
    for (const std::string& file : {path, sum}) {
      if (platform::FileExists(file) &&
          std::rename(platform::NativePath(file).c_str(), platform::NativePath(file + ".damaged").c_str()) == 0) {
        moved = true;
      }
    }
    if (moved) {
      done.notes.push_back("problem " + ZeroPadded(number, 6) + ": pcl/" + name + ".pcl set aside as " + name +
                           ".pcl.damaged; the problem keeps its stored main line and annotations, its other branches "
                           "are lost");
      any = true;
    }
  }
  return any;
}

}  // namespace

int RepairDatabase(std::string_view directory, DatabaseCheck* out, bool remove_damaged) {
  DatabaseCheck done;
  int rc = dbengine::kOk;
  if (!RebuildTables(directory, done, rc)) {
    *out = done;
    return rc;
  }
  {
    TableRows tables;
    DatabaseCheck found;
    if (!CheckTables(directory, found, tables)) {
      *out = found;
      return dbengine::kCannotOpen;
    }
  }
  // Removing rows can leave further things without owners (a position only they referred to): again,
  // until nothing more is found.
  for (int round = 0; round < 4 && FixRound(directory, remove_damaged, done, round == 0); ++round) {
  }
  DatabaseCheck final_check;
  CheckDatabase(directory, &final_check);
  done.problems = final_check.problems;
  done.damaged = final_check.damaged;
  for (const std::string& n : final_check.notes) done.notes.push_back(n);
  *out = done;
  return dbengine::kOk;
}

}  // namespace shogidb
