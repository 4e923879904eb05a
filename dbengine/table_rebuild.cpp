// Repair of a table: file sizes fitted to the bitmap, every index built afresh from the records.
#include <vector>

#include "dbengine/bitmap_cache.h"
#include "dbengine/bytes.h"
#include "dbengine/check.h"
#include "dbengine/index_key.h"
#include "dbengine/table.h"
#include "dbengine/table_internal.h"

namespace dbengine {
namespace {

// Fits the bitmap file to 4 + N bytes and the data file to 8 * N records; slots in use whose record lay
// beyond the old end of the data file are freed (their bytes are gone).
int FitFiles(const std::string& path, int record_length, RebuildReport* report) {
  DbFile bitmap, data;
  uint8_t header[kBitmapHeaderBytes];
  if (!bitmap.Open(path + ".bmp", DbFile::Mode::kReadWrite) || !bitmap.ReadAt(0, header, sizeof header) ||
      GetU16(header) != record_length || GetU16(header + 2) == 0) {
    return kCannotOpen;
  }
  if (!data.Open(path + ".dat", DbFile::Mode::kReadWrite) &&
      !data.Open(path + ".dat", DbFile::Mode::kCreateTruncate)) {
    return kCannotOpen;
  }
  uint32_t n = GetU16(header + 2);
  int64_t data_size = data.Size();
  if (data_size < 0 || !bitmap.Truncate(kBitmapHeaderBytes + n) ||
      !data.Truncate(8ull * n * static_cast<uint64_t>(record_length))) {
    return kCannotOpen;
  }
  uint64_t whole_records = static_cast<uint64_t>(data_size) / static_cast<uint64_t>(record_length);
  std::vector<uint8_t> bits(n);
  if (!bitmap.ReadAt(kBitmapHeaderBytes, bits.data(), n)) return kCannotOpen;
  for (uint32_t b = 0; b < n; ++b) {
    uint8_t kept = bits[b];
    for (int bit = 0; bit < 8; ++bit) {
      if ((kept & (0x80 >> bit)) && b * 8ull + bit >= whole_records) {
        kept = static_cast<uint8_t>(kept & ~(0x80 >> bit));
        ++report->slots_freed;
      }
    }
    if (kept != bits[b] && !bitmap.WriteAt(kBitmapHeaderBytes + b, &kept, 1)) return kCannotOpen;
  }
  return kOk;
}

}  // namespace

int RebuildTable(std::string_view path, RebuildReport* report) {
  *report = RebuildReport{};
  std::optional<DbSchema> schema = ReadSchema(path);
  if (!schema) return kCannotOpen;
  std::string p(path);
  if (int rc = FitFiles(p, schema->RecordLength(), report); rc != kOk) return rc;
  for (size_t k = 0; k < schema->indexes.size(); ++k) {
    if (int rc = CreateIndexFile(IndexFilePath(p, static_cast<int>(k))); rc != kOk) return rc;
  }
  TableHandle table(OpenTable(path));
  if (!table) return LastResult();
  DbTable* t = table->table;
  std::vector<uint8_t> record(static_cast<size_t>(t->record_length));
  int result = kOk;
  int32_t r = 0;
  for (int rc; (rc = ScanRecord(t, r, record.data(), &r)) != kNotFound; ++r) {
    if (rc != kOk) return rc;
    ++report->records;
    for (int k = 0; k < t->index_count; ++k) {
      uint8_t key[kMaxKeyLength + 1];
      int length;
      int code = BuildKey(*table, k, record.data(), key, &length);
      if (code == kOk) code = BtreeInsert(&t->indexes[k].file, key, length, r);
      if (code == kDuplicateKey || code == kIndexState) {
        report->left_out.push_back(r);
        result = kDuplicateKey;
      } else if (code != kOk) {
        return code;
      }
    }
  }
  int rc = CloseTable(table.release());
  return rc != kOk ? rc : result;
}

}  // namespace dbengine
