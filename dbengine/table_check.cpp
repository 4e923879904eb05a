// The integrity check of a table: file sizes, index trees, and index entries against the records.
#include <algorithm>

#include "dbengine/bitmap_cache.h"
#include "dbengine/bytes.h"
#include "dbengine/check.h"
#include "dbengine/index_check.h"
#include "dbengine/index_key.h"
#include "dbengine/read_only.h"
#include "dbengine/table.h"
#include "dbengine/table_internal.h"

namespace dbengine {
namespace {

// What the check needs of a table, opened either way.
struct CheckSubject {
  const DbSchema* schema;
  std::vector<uint8_t> bitmap;   // N bytes
  const DbFile* data;
  int64_t data_size;
  IndexFile* indexes[kMaxIndexes] = {};
};

void CheckIndexes(CheckSubject& s, TableCheck* out) {
  int length = s.schema->RecordLength();
  std::vector<int32_t> in_use;
  for (size_t b = 0; b < s.bitmap.size(); ++b) {
    for (int bit = 0; bit < 8; ++bit) {
      if (s.bitmap[b] & (0x80 >> bit)) in_use.push_back(static_cast<int32_t>(b * 8 + bit));
    }
  }
  out->records_in_use = static_cast<int64_t>(in_use.size());
  int count = static_cast<int>(s.schema->indexes.size());
  std::vector<std::vector<KeyedEntry>> expected(static_cast<size_t>(count));
  std::vector<uint8_t> record(static_cast<size_t>(length));
  for (int32_t r : in_use) {
    uint64_t at = static_cast<uint64_t>(r) * static_cast<uint64_t>(length);
    if (at + static_cast<uint64_t>(length) > static_cast<uint64_t>(s.data_size) ||
        !s.data->ReadAt(at, record.data(), record.size())) {
      continue;  // reported with the data file's size
    }
    for (int k = 0; k < count; ++k) {
      uint8_t key[kMaxKeyLength + 1];
      int key_length;
      if (BuildKey(*s.schema, k, record.data(), key, &key_length) != kOk) continue;
      expected[k].push_back({std::string(reinterpret_cast<const char*>(key), static_cast<size_t>(key_length)), r});
    }
  }
  out->index_entries.assign(static_cast<size_t>(count), 0);
  for (int k = 0; k < count; ++k) {
    if (!s.indexes[k]) continue;
    std::vector<KeyedEntry> actual = CheckIndexTree(s.indexes[k], k, &out->problems);
    out->index_entries[k] = static_cast<int64_t>(actual.size());
    std::vector<KeyedEntry>& want = expected[k];
    std::sort(want.begin(), want.end());
    std::sort(actual.begin(), actual.end());
    if (s.schema->indexes[k].duplicates == 0) {
      for (size_t i = 1; i < want.size(); ++i) {
        if (want[i].key == want[i - 1].key) out->problems.push_back({CheckProblem::kIndexDuplicate, k, want[i].record});
      }
    }
    std::vector<KeyedEntry> missing, extra;
    std::set_difference(want.begin(), want.end(), actual.begin(), actual.end(), std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), want.begin(), want.end(), std::back_inserter(extra));
    for (const KeyedEntry& e : missing) out->problems.push_back({CheckProblem::kMissingEntry, k, e.record});
    for (const KeyedEntry& e : extra) out->problems.push_back({CheckProblem::kExtraEntry, k, e.record});
  }
}

}  // namespace

std::string DescribeProblem(const CheckProblem& p) {
  std::string index = p.index >= 0 ? "index " + std::to_string(p.index) + ": " : "";
  std::string w = std::to_string(p.where);
  switch (p.kind) {
    case CheckProblem::kSchema: return "schema file missing or invalid";
    case CheckProblem::kBitmapFile: return "bitmap file missing, or its header short or not of this schema";
    case CheckProblem::kBitmapSize: return "bitmap file is " + w + " bytes, not 4 + N";
    case CheckProblem::kDataFile: return "data file missing";
    case CheckProblem::kDataSize: return "data file is " + w + " bytes, not 8 * N records";
    case CheckProblem::kIndexFile: return index + "index file missing, damaged or cut short";
    case CheckProblem::kIndexNode: return index + "node at " + w + " damaged, misplaced or reached twice";
    case CheckProblem::kIndexOrder: return index + "keys out of order in the node at " + w;
    case CheckProblem::kIndexDuplicate: return index + "record " + w + " repeats a key of a unique index";
    case CheckProblem::kFreeList: return index + "free-node list damaged at " + w;
    case CheckProblem::kLostNodes: return index + w + " nodes neither in the tree nor free";
    case CheckProblem::kMissingEntry: return index + "record " + w + " has no entry";
    case CheckProblem::kExtraEntry: return index + "entry for record " + w + " that is free or has another key";
  }
  return "unknown problem";
}

int CheckOpenTable(DbSchema* schema, TableCheck* out) {
  *out = TableCheck{};
  DbTable* t = schema ? schema->table : nullptr;
  if (!t || !t->FilesOpen()) return kNotOpen;
  CheckSubject s{schema, {}, &t->data, t->data.Size()};
  int64_t bitmap_size = t->bitmap.Size();
  if (bitmap_size != kBitmapHeaderBytes + t->bitmap_bytes) out->problems.push_back({CheckProblem::kBitmapSize, -1, bitmap_size});
  int64_t want = 8ll * t->bitmap_bytes * t->record_length;
  if (s.data_size != want) out->problems.push_back({CheckProblem::kDataSize, -1, s.data_size});
  s.bitmap.resize(t->bitmap_bytes);
  for (uint32_t b = 0; b < t->bitmap_bytes; ++b) {
    if (int rc = BitmapGetByte(&t->bitmap, b, &s.bitmap[b]); rc != kOk) return rc;
  }
  for (int k = 0; k < t->index_count; ++k) s.indexes[k] = &t->indexes[k].file;
  CheckIndexes(s, out);
  return kOk;
}

int CheckTable(std::string_view path, TableCheck* out, const DbSchema* expected_schema) {
  *out = TableCheck{};
  if (expected_schema && !ValidateSchema(*expected_schema)) return kInvalid;
  std::string p(path);
  out->read_only = TableFilesReadOnly(p);
  std::optional<DbSchema> schema = ReadSchema(path);
  if (!schema || (expected_schema && !SameSchema(*schema, *expected_schema))) {
    out->problems.push_back({CheckProblem::kSchema, -1, 0});
    if (!expected_schema) return kOk;
    schema = *expected_schema;
  }
  DbFile bitmap, data;
  uint8_t header[kBitmapHeaderBytes];
  if (!bitmap.Open(p + ".bmp", DbFile::Mode::kReadOnly) || !bitmap.ReadAt(0, header, sizeof header) ||
      GetU16(header) != schema->RecordLength() || GetU16(header + 2) == 0) {
    out->problems.push_back({CheckProblem::kBitmapFile, -1, 0});
    return kOk;
  }
  uint32_t n = GetU16(header + 2);
  CheckSubject s{&*schema, std::vector<uint8_t>(n, 0), &data, 0};
  int64_t bitmap_size = bitmap.Size();
  if (bitmap_size != kBitmapHeaderBytes + n) out->problems.push_back({CheckProblem::kBitmapSize, -1, bitmap_size});
  bitmap.ReadUpTo(kBitmapHeaderBytes, s.bitmap.data(), n);
  if (!data.Open(p + ".dat", DbFile::Mode::kReadOnly)) {
    out->problems.push_back({CheckProblem::kDataFile, -1, 0});
  } else {
    s.data_size = data.Size();
    int64_t want = 8ll * n * schema->RecordLength();
    if (s.data_size != want) out->problems.push_back({CheckProblem::kDataSize, -1, s.data_size});
  }
  IndexFile files[kMaxIndexes];
  for (size_t k = 0; k < schema->indexes.size(); ++k) {
    int rc = OpenIndexFile(IndexFilePath(p, static_cast<int>(k)), schema->indexes[k].duplicates, &files[k]);
    if (rc != kOk) {
      out->problems.push_back({CheckProblem::kIndexFile, static_cast<int>(k), 0});
      continue;
    }
    int64_t size = files[k].file.Size();
    if ((size - kIndexHeaderBytes) % kNodeBytes != 0) out->problems.push_back({CheckProblem::kIndexFile, static_cast<int>(k), size});
    s.indexes[k] = &files[k];
  }
  CheckIndexes(s, out);
  for (IndexFile& f : files) {
    if (f.IsOpen()) DiscardIndexFile(&f);
  }
  return kOk;
}

}  // namespace dbengine
