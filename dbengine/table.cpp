// Opening, creating and closing tables.
#include <algorithm>
#include <vector>

#include "dbengine/bitmap_cache.h"
#include "dbengine/bytes.h"
#include "dbengine/disk_space.h"
#include "dbengine/engine_state.h"
#include "dbengine/table.h"
#include "dbengine/table_internal.h"
#include "platform/files.h"

namespace dbengine {
namespace {

int SetLast(int code) {
  Engine().last_result = code;
  return code;
}

// Opens the bitmap and data files and reads the bitmap header.
int OpenRecordFiles(DbTable* t) {
  if (!t->bitmap.Open(t->path + ".bmp", DbFile::Mode::kReadWriteOrRead) ||
      !t->data.Open(t->path + ".dat", DbFile::Mode::kReadWriteOrRead)) {
    t->bitmap.Close();
    t->data.Close();
    return kCannotOpen;
  }
  uint8_t header[kBitmapHeaderBytes];
  bool ok = t->bitmap.ReadAt(0, header, sizeof header);
  if (ok) {
    t->record_length = GetU16(header);
    t->bitmap_bytes = GetU16(header + 2);
    // A header of another table (or none) would make every record offset wrong.
    ok = t->record_length == t->schema->RecordLength() && t->bitmap_bytes >= 1;
  }
  if (!ok) {
    t->bitmap.Close();
    t->data.Close();
    return kCannotOpen;
  }
  return kOk;
}

void CloseIndexes(DbTable* t, int count) {
  for (int k = 0; k < count; ++k) FlushIndexFile(&t->indexes[k].file, true);
}

int OpenIndexes(DbTable* t) {
  const DbSchema& s = *t->schema;
  for (int k = 0; k < static_cast<int>(s.indexes.size()); ++k) {
    int rc = OpenIndexFile(IndexFilePath(t->path, k), s.indexes[k].duplicates, &t->indexes[k].file);
    if (rc != kOk) {
      CloseIndexes(t, k);
      return rc;
    }
  }
  t->index_count = static_cast<int>(s.indexes.size());
  return kOk;
}

// A table with any file that cannot be written is only read: changing some of its files and not the
// others would leave it inconsistent.
bool AnyFileReadOnly(const DbTable* t) {
  bool read_only = !t->bitmap.Writable() || !t->data.Writable();
  for (int k = 0; k < t->index_count; ++k) read_only = read_only || !t->indexes[k].file.file.Writable();
  return read_only;
}

DbSchema* NewHandle(std::string_view path, DbSchema&& schema) {
  auto* s = new DbSchema(std::move(schema));
  auto* t = new DbTable;
  t->path.assign(path);
  t->schema = s;
  s->table = t;
  return s;
}

void FreeHandle(DbSchema* s) {
  delete s->table;
  delete s;
}

// Writes an empty bitmap (N = 1) and 8 zero records into freshly created files.
int WriteEmptyTable(DbFile& bitmap, DbFile& data, int record_length) {
  uint8_t bytes[kBitmapHeaderBytes + 1] = {};
  PutU16(bytes, static_cast<uint16_t>(record_length));
  PutU16(bytes + 2, 1);
  std::vector<uint8_t> zeros(8u * static_cast<size_t>(record_length), 0);
  if (!bitmap.WriteAt(0, bytes, sizeof bytes) || !data.WriteAt(0, zeros.data(), zeros.size())) return kCannotOpen;
  return kOk;
}

// Another handle of the same table writes back its cached changes, so this one reads them from the files.
void FlushOtherHandles(std::string_view path) {
  for (DbTable* other : Engine().open_tables) {
    if (other->path == path) FlushTable(other->schema);
  }
}

DbSchema* Registered(DbSchema* s) {
  Engine().open_tables.push_back(s->table);
  Engine().last_result = kOk;
  return s;
}

}  // namespace

int LastResult() { return Engine().last_result; }

int RecordLength(const DbTable* table) { return table ? table->record_length : 0; }

bool OpenedReadOnly(const DbTable* table) { return table && table->read_only; }

DbSchema* OpenTable(std::string_view path) {
  FlushOtherHandles(path);
  std::optional<DbSchema> schema = ReadSchema(path);
  if (!schema) return SetLast(kCannotOpen), nullptr;
  DbSchema* s = NewHandle(path, std::move(*schema));
  DbTable* t = s->table;
  int rc = OpenRecordFiles(t);
  if (rc == kOk) {
    rc = OpenIndexes(t);
    if (rc != kOk) {
      t->bitmap.Close();
      t->data.Close();
    }
  }
  if (rc != kOk) {
    FreeHandle(s);
    return SetLast(rc), nullptr;
  }
  t->read_only = AnyFileReadOnly(t);
  BitmapAttach(&t->bitmap);
  return Registered(s);
}

DbSchema* InitTableFiles(std::string_view path) {
  std::optional<DbSchema> schema = ReadSchema(path);
  if (!schema) return SetLast(kCannotOpen), nullptr;
  int record_length = schema->RecordLength();
  if (record_length <= 0) return SetLast(kInvalid), nullptr;
  std::string p(path);
  int space;
  {
    DbFile bitmap, data;
    if (!bitmap.Open(p + ".bmp", DbFile::Mode::kCreateTruncate) || !data.Open(p + ".dat", DbFile::Mode::kCreateTruncate)) {
      return SetLast(kCannotOpen), nullptr;
    }
    space = CheckDiskSpace(bitmap, data, record_length);
    if (int rc = WriteEmptyTable(bitmap, data, record_length); rc != kOk && space == kOk) space = rc;
  }
  if (space != kOk) {
    platform::RemoveFile(p + ".bmp");
    platform::RemoveFile(p + ".dat");
    return SetLast(space), nullptr;
  }
  DbSchema* s = NewHandle(path, std::move(*schema));
  DbTable* t = s->table;
  int rc = OpenRecordFiles(t);
  for (int k = 0; rc == kOk && k < kMaxIndexes; ++k) {
    std::string ix = IndexFilePath(p, k);
    if (platform::FileExists(ix)) platform::RemoveFile(ix);
  }
  for (size_t k = 0; rc == kOk && k < s->indexes.size(); ++k) rc = CreateIndexFile(IndexFilePath(p, static_cast<int>(k)));
  if (rc == kOk) rc = OpenIndexes(t);
  if (rc != kOk) {
    t->bitmap.Close();
    t->data.Close();
    FreeHandle(s);
    return SetLast(rc), nullptr;
  }
  BitmapAttach(&t->bitmap);
  return Registered(s);
}

int FlushTable(DbSchema* schema) {
  if (!schema || !schema->table) return SetLast(kInvalid);
  DbTable* t = schema->table;
  int rc = kOk;
  for (int k = 0; k < t->index_count; ++k) {
    if (int r = FlushIndexFile(&t->indexes[k].file, false); r != kOk && rc == kOk) rc = r;
  }
  if (int r = BitmapFlush(&t->bitmap); r != kOk && rc == kOk) rc = r;
  return SetLast(rc);
}

int CloseTable(DbSchema* schema) {
  if (!schema || !schema->table) return SetLast(kInvalid);
  DbTable* t = schema->table;
  int rc = kOk;
  for (int k = 0; k < t->index_count; ++k) {
    if (int r = FlushIndexFile(&t->indexes[k].file, true); r != kOk && rc == kOk) rc = r;
  }
  if (int r = BitmapDetach(&t->bitmap); r != kOk && rc == kOk) rc = r;
  t->bitmap.Close();
  t->data.Close();
  EngineState& e = Engine();
  if (e.prefix_search.table == t) e.prefix_search = PrefixSearch{};
  std::erase(e.open_tables, t);
  FreeHandle(schema);
  return SetLast(rc);
}

}  // namespace dbengine
