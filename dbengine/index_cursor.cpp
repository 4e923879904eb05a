// The cursor interface over a table's indexes.
#include "dbengine/index.h"
#include "dbengine/index_key.h"
#include "dbengine/table.h"
#include "dbengine/table_internal.h"

namespace dbengine {
namespace {

// The index of an open table, or null with *code set.
TableIndex* Index(DbTable* t, int index, int* code) {
  if (!t || !t->FilesOpen()) {
    *code = kNotOpen;
    return nullptr;
  }
  if (index < 0 || index >= t->index_count) {
    *code = kInvalid;
    return nullptr;
  }
  return &t->indexes[index];
}

int Seek(DbTable* t, int index, std::string_view key, bool exact_only) {
  int rc;
  TableIndex* x = Index(t, index, &rc);
  if (!x) return rc;
  if (key.empty()) return kInvalid;
  if (key.size() > kMaxKeyLength) key = key.substr(0, kMaxKeyLength + 1);
  const auto* k = reinterpret_cast<const uint8_t*>(key.data());
  int length = static_cast<int>(key.size());
  bool found;
  if (int r = Descend(&x->file, k, length, true, &found); r != kOk) return r;
  if (found) return CursorCurrent(&x->file, &x->key_buffer);
  if (exact_only) return kNotFound;
  rc = CursorNext(&x->file, &x->key_buffer);
  if (rc == kNotFound) return kSeekEnd;
  if (rc != kOk) return rc;
  bool prefix = x->key_buffer.key_length >= length && std::memcmp(x->key_buffer.key, k, key.size()) == 0;
  return prefix ? kSeekPrefix : kSeekGreater;
}

std::string ImageKey(DbTable* t, int index, const uint8_t* image, int* code) {
  uint8_t key[kMaxKeyLength + 1];
  int length;
  *code = BuildKey(*t->schema, index, image, key, &length);
  return std::string(reinterpret_cast<const char*>(key), *code == kOk ? length : 0);
}

}  // namespace

const IndexEntry* IndexKeyBuffer(const DbTable* table, int index) {
  if (!table || index < 0 || index >= table->index_count) return nullptr;
  return &table->indexes[index].key_buffer;
}

std::string RecordKey(const DbSchema& schema, int index, const uint8_t* record) {
  uint8_t key[kMaxKeyLength + 1];
  int length;
  if (BuildKey(schema, index, record, key, &length) != kOk) return {};
  return std::string(reinterpret_cast<const char*>(key), static_cast<size_t>(length));
}

int IndexFirst(DbTable* table, int index) {
  int rc;
  TableIndex* x = Index(table, index, &rc);
  if (!x) return rc;
  CursorFirst(&x->file);
  return kOk;
}

int IndexNext(DbTable* table, int index) {
  int rc;
  TableIndex* x = Index(table, index, &rc);
  return x ? CursorNext(&x->file, &x->key_buffer) : rc;
}

int IndexPrev(DbTable* table, int index) {
  int rc;
  TableIndex* x = Index(table, index, &rc);
  return x ? CursorPrev(&x->file, &x->key_buffer) : rc;
}

int IndexSeekExact(DbTable* table, int index, std::string_view key) { return Seek(table, index, key, true); }

int IndexSeek(DbTable* table, int index, std::string_view key) { return Seek(table, index, key, false); }

int ReadAtNext(DbTable* table, int index, uint8_t* record) {
  if (int rc = IndexNext(table, index); rc != kOk) return rc;
  return ReadRecord(table, table->indexes[index].key_buffer.record, record);
}

int ReadByKey(DbTable* table, int index, uint8_t* image) {
  int rc;
  if (!Index(table, index, &rc)) return rc;
  std::string key = ImageKey(table, index, image, &rc);
  if (rc != kOk) return rc;
  if (rc = IndexSeekExact(table, index, key); rc != kOk) return rc;
  return ReadRecord(table, table->indexes[index].key_buffer.record, image);
}

int SeekByImage(DbTable* table, int index, uint8_t* image) {
  int rc;
  if (!Index(table, index, &rc)) return rc;
  std::string key = ImageKey(table, index, image, &rc);
  if (rc != kOk) return rc;
  rc = IndexSeek(table, index, key);
  if (rc == kOk || rc == kSeekGreater || rc == kSeekPrefix) {
    const IndexEntry& e = table->indexes[index].key_buffer;
    DecodeKey(*table->schema, index, e.key, e.key_length, image);
  }
  return rc;
}

int StepAndDecode(DbTable* table, int index, bool forward, uint8_t* image) {
  int rc = forward ? IndexNext(table, index) : IndexPrev(table, index);
  if (rc != kOk) return rc;
  const IndexEntry& e = table->indexes[index].key_buffer;
  DecodeKey(*table->schema, index, e.key, e.key_length, image);
  return kOk;
}

}  // namespace dbengine
