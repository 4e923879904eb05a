// Repair of a table: the schema from what the caller knows, the bitmap from every file that tells which
// records are in use, every index built afresh from the records.
#include <algorithm>
#include <vector>

#include "dbengine/bitmap_cache.h"
#include "dbengine/bitmap_rebuild.h"
#include "dbengine/bytes.h"
#include "dbengine/check.h"
#include "dbengine/index_key.h"
#include "dbengine/read_only.h"
#include "dbengine/table.h"
#include "dbengine/table_internal.h"

namespace dbengine {
namespace {

// The record length the bitmap header names, or -1.
int BitmapRecordLength(const std::string& path) {
  DbFile bitmap;
  uint8_t header[kBitmapHeaderBytes];
  if (!bitmap.Open(path + ".bmp", DbFile::Mode::kReadOnly) || !bitmap.ReadAt(0, header, sizeof header)) return -1;
  return GetU16(header);
}

int RestoreSchema(const std::string& path, const DbSchema& expected, bool* restored) {
  if (!ValidateSchema(expected)) return kInvalid;
  std::optional<DbSchema> current = ReadSchema(path);
  if (current && SameSchema(*current, expected)) return kOk;
  // A valid schema of another record length that the bitmap agrees with is another table's.
  if (current && current->RecordLength() != expected.RecordLength() &&
      BitmapRecordLength(path) == current->RecordLength()) {
    return kInvalid;
  }
  std::string bytes = EncodeSchema(expected);
  DbFile file;
  if (!file.Open(path + ".scm", DbFile::Mode::kCreateTruncate)) return kSchemaOpen;
  if (!file.WriteAt(0, bytes.data(), bytes.size())) return kSchemaIo;
  *restored = true;
  return kOk;
}

// Adds a record's keys to every index; a key refused for a duplicate (or one too long) leaves the record
// out of that index and in the report.
int IndexRecord(DbSchema* table, const uint8_t* record, int32_t r, RebuildReport* report) {
  DbTable* t = table->table;
  int result = kOk;
  for (int k = 0; k < t->index_count; ++k) {
    uint8_t key[kMaxKeyLength + 1];
    int length;
    int code = BuildKey(*table, k, record, key, &length);
    if (code == kOk) code = BtreeInsert(&t->indexes[k].file, key, length, r);
    if (code == kDuplicateKey || code == kIndexState) {
      if (report->left_out.empty() || report->left_out.back() != r) report->left_out.push_back(r);
      result = kDuplicateKey;
    } else if (code != kOk) {
      return code;
    }
  }
  return result;
}

void Erase(std::vector<int32_t>& sorted, int32_t r) {
  auto it = std::lower_bound(sorted.begin(), sorted.end(), r);
  if (it != sorted.end() && *it == r) sorted.erase(it);
}

// An unconfirmed record whose unique key another record holds cannot be in use beside it: it is freed
// (keys and bit) and reported, rather than left in use outside the index.
int FreeDuplicate(DbSchema* table, const uint8_t* record, int32_t r, RebuildReport* report) {
  report->left_out.pop_back();
  Erase(report->restored, r);
  report->duplicates_freed.push_back(r);
  return DeleteRecord(table, record, r);
}

// Builds every index from the records in use: the unconfirmed ones after the others, so that a record
// an index vouched for keeps its key in a unique index.
int BuildIndexes(const std::string& path, const DbSchema& schema, RebuildReport* report) {
  for (size_t k = 0; k < schema.indexes.size(); ++k) {
    if (int rc = CreateIndexFile(IndexFilePath(path, static_cast<int>(k))); rc != kOk) return rc;
  }
  TableHandle table(OpenTable(path));
  if (!table) return LastResult();
  std::vector<uint8_t> record(static_cast<size_t>(table->table->record_length));
  const std::vector<int32_t> later = report->unconfirmed;
  int result = kOk;
  for (bool unconfirmed : {false, true}) {
    int32_t r = 0;
    for (int rc; (rc = ScanRecord(table->table, r, record.data(), &r)) != kNotFound; ++r) {
      if (rc != kOk) return rc;
      if (std::binary_search(later.begin(), later.end(), r) != unconfirmed) continue;
      int code = IndexRecord(table.get(), record.data(), r, report);
      if (code == kDuplicateKey && unconfirmed) {
        Erase(report->unconfirmed, r);
        code = FreeDuplicate(table.get(), record.data(), r, report);
        if (code != kOk) return code;
        continue;
      }
      ++report->records;
      if (code == kDuplicateKey) result = code;
      else if (code != kOk) return code;
    }
  }
  std::sort(report->left_out.begin(), report->left_out.end());
  int rc = CloseTable(table.release());
  return rc != kOk ? rc : result;
}

}  // namespace

int RebuildTable(std::string_view path, RebuildReport* report, const DbSchema* expected_schema) {
  *report = RebuildReport{};
  std::string p(path);
  if (TableFilesReadOnly(p)) return kReadOnly;
  if (expected_schema) {
    if (int rc = RestoreSchema(p, *expected_schema, &report->schema_restored); rc != kOk) return rc;
  }
  std::optional<DbSchema> schema = ReadSchema(path);
  if (!schema) return kCannotOpen;
  if (int rc = RebuildRecordUse(p, *schema, report); rc != kOk) return rc;
  return BuildIndexes(p, *schema, report);
}

}  // namespace dbengine
