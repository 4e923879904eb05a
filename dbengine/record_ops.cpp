// Reading, scanning, inserting, updating and deleting records, with their index keys.
#include <algorithm>
#include <cstring>
#include <vector>

#include "dbengine/bitmap_cache.h"
#include "dbengine/disk_space.h"
#include "dbengine/engine_state.h"
#include "dbengine/index_key.h"
#include "dbengine/table.h"
#include "dbengine/table_internal.h"

namespace dbengine {
namespace {

int SetLast(int code) {
  Engine().last_result = code;
  return code;
}

uint8_t Bit(int32_t number) { return static_cast<uint8_t>(0x80 >> (number % 8)); }
uint64_t Offset(const DbTable* t, int32_t number) {
  return static_cast<uint64_t>(number) * static_cast<uint64_t>(t->record_length);
}

constexpr size_t kScanWindowBytes = 64 * 1024;

bool WriteData(DbTable* t, uint64_t offset, const uint8_t* bytes, size_t n) {
  t->scan_window.clear();
  return t->data.WriteAt(offset, bytes, n);
}

// A record for a scan, through the read-ahead window.
bool ScanRead(DbTable* t, uint64_t offset, uint8_t* out, size_t n) {
  std::vector<uint8_t>& w = t->scan_window;
  if (offset < t->scan_window_start || offset + n > t->scan_window_start + w.size()) {
    w.resize(std::max(kScanWindowBytes, n));
    long got = t->data.ReadUpTo(offset, w.data(), w.size());
    w.resize(got < 0 ? 0 : static_cast<size_t>(got));
    t->scan_window_start = offset;
    if (w.size() < n) return false;
  }
  std::memcpy(out, w.data() + (offset - t->scan_window_start), n);
  return true;
}

DbTable* OpenTableOf(DbSchema* schema) {
  DbTable* t = schema ? schema->table : nullptr;
  return t && t->FilesOpen() ? t : nullptr;
}

// The open table a change may be made to: kOk, kNotOpen or kReadOnly.
int ChangeableTable(DbSchema* schema, DbTable** out) {
  *out = OpenTableOf(schema);
  if (!*out) return kNotOpen;
  return (*out)->read_only ? kReadOnly : kOk;
}

// Whether record `number` is in use: kOk, kNotFound, or the bitmap's failure.
int InUse(DbTable* t, int32_t number) {
  if (number < 0 || static_cast<uint32_t>(number / 8) >= t->bitmap_bytes) return kNotFound;
  uint8_t byte;
  if (int rc = BitmapGetByte(&t->bitmap, static_cast<uint32_t>(number / 8), &byte); rc != kOk) return rc;
  return (byte & Bit(number)) ? kOk : kNotFound;
}

int SetBit(DbTable* t, int32_t number, bool on) {
  uint32_t b = static_cast<uint32_t>(number / 8);
  uint8_t byte;
  if (int rc = BitmapGetByte(&t->bitmap, b, &byte); rc != kOk) return rc;
  byte = on ? (byte | Bit(number)) : (byte & ~Bit(number));
  if (!on && b < t->free_hint) t->free_hint = b;
  return BitmapPutByte(&t->bitmap, b, byte);
}

// Takes the first free slot, writing the record there. kOk with *number, or a failure code.
int TakeFreeSlot(DbTable* t, const uint8_t* record, int32_t* number) {
  for (uint32_t b = t->free_hint; b < t->bitmap_bytes; ++b) {
    uint8_t byte;
    if (int rc = BitmapGetByte(&t->bitmap, b, &byte); rc != kOk) return rc;
    if (byte == 0xFF) continue;
    t->free_hint = b;
    int bit = 0;
    while (byte & (0x80 >> bit)) ++bit;
    int32_t r = static_cast<int32_t>(b * 8 + bit);
    if (int rc = BitmapPutByte(&t->bitmap, b, static_cast<uint8_t>(byte | (0x80 >> bit))); rc != kOk) return rc;
    if (!WriteData(t, Offset(t, r), record, static_cast<size_t>(t->record_length))) {
      SetBit(t, r, false);
      return kCannotOpen;
    }
    *number = r;
    return kOk;
  }
  t->free_hint = t->bitmap_bytes;
  return kNotFound;
}

// Adds one bitmap byte (its first slot in use) and 8 records, the first of them the new record.
int Grow(DbTable* t, const uint8_t* record, int32_t* number) {
  if (int rc = CheckDiskSpace(t->bitmap, t->data, t->record_length); rc != kOk) return rc;
  if (t->bitmap_bytes >= kMaxBitmapBytes) return kTableFull;
  uint16_t count = static_cast<uint16_t>(t->bitmap_bytes + 1);
  if (int rc = BitmapAppendByte(&t->bitmap, count, 0x80); rc != kOk) return rc;
  t->bitmap_bytes = count;
  int32_t r = 8 * (count - 1);
  size_t length = static_cast<size_t>(t->record_length);
  std::vector<uint8_t> slots(8 * length, 0);
  std::copy(record, record + length, slots.begin());
  if (!WriteData(t, Offset(t, r), slots.data(), slots.size())) {
    SetBit(t, r, false);
    return kCannotOpen;
  }
  t->free_hint = count - 1u;
  *number = r;
  return kOk;
}

}  // namespace

int InsertKeys(DbTable* t, const uint8_t* record, int32_t number, int count, int* failed_at) {
  for (int k = 0; k < count; ++k) {
    uint8_t key[kMaxKeyLength + 1];
    int length;
    int rc = BuildKey(*t->schema, k, record, key, &length);
    if (rc == kOk) rc = BtreeInsert(&t->indexes[k].file, key, length, number);
    if (rc != kOk) {
      *failed_at = k;
      return rc;
    }
  }
  *failed_at = count;
  return kOk;
}

int RemoveKeys(DbTable* t, const uint8_t* record, int32_t number, int count, bool* all_found) {
  int result = kOk;
  bool all = true;
  for (int k = 0; k < count; ++k) {
    uint8_t key[kMaxKeyLength + 1];
    int length;
    if (BuildKey(*t->schema, k, record, key, &length) != kOk) continue;  // such a key was never added
    bool found = false;
    int rc = BtreeRemove(&t->indexes[k].file, key, length, number, &found);
    if (rc != kOk && result == kOk) result = rc;
    all = all && found;
  }
  if (all_found) *all_found = all;
  return result;
}

int ReadRecord(DbTable* table, int32_t number, uint8_t* buffer) {
  if (!table || !table->FilesOpen()) return kNotOpen;
  if (int rc = InUse(table, number); rc != kOk) return rc;
  return table->data.ReadAt(Offset(table, number), buffer, static_cast<size_t>(table->record_length)) ? kOk
                                                                                                      : kCannotOpen;
}

int ScanRecord(DbTable* table, int32_t from, uint8_t* buffer, int32_t* found) {
  if (!table || !table->FilesOpen()) return kNotOpen;
  if (from < 0) from = 0;
  for (uint32_t b = static_cast<uint32_t>(from) / 8; b < table->bitmap_bytes; ++b) {
    uint8_t byte;
    if (int rc = BitmapGetByte(&table->bitmap, b, &byte); rc != kOk) return rc;
    if (b == static_cast<uint32_t>(from) / 8) byte &= static_cast<uint8_t>(0xFF >> (from % 8));
    if (byte == 0) continue;
    int bit = 0;
    while (!(byte & (0x80 >> bit))) ++bit;
    int32_t r = static_cast<int32_t>(b * 8 + bit);
    if (!ScanRead(table, Offset(table, r), buffer, static_cast<size_t>(table->record_length))) return kCannotOpen;
    *found = r;
    return kOk;
  }
  return kNotFound;
}

int InsertRecord(DbSchema* schema, const uint8_t* record, int32_t* number) {
  DbTable* t;
  if (int rc = ChangeableTable(schema, &t); rc != kOk) return SetLast(rc);
  int32_t r;
  int rc = TakeFreeSlot(t, record, &r);
  if (rc == kNotFound) rc = Grow(t, record, &r);
  if (rc != kOk) return SetLast(rc);
  int failed_at;
  rc = InsertKeys(t, record, r, t->index_count, &failed_at);
  if (rc != kOk) {
    RemoveKeys(t, record, r, failed_at);
    SetBit(t, r, false);
    return SetLast(rc);
  }
  *number = r;
  return SetLast(kOk);
}

int UpdateRecord(DbSchema* schema, const uint8_t* record, int32_t number) {
  DbTable* t;
  if (int rc = ChangeableTable(schema, &t); rc != kOk) return SetLast(rc);
  if (t->index_count > 0) {
    std::vector<uint8_t> old(static_cast<size_t>(t->record_length));
    if (int rc = ReadRecord(t, number, old.data()); rc != kOk) return SetLast(rc);
    if (int rc = RemoveKeys(t, old.data(), number, t->index_count); rc != kOk) return SetLast(rc);
    int failed_at;
    if (int rc = InsertKeys(t, record, number, t->index_count, &failed_at); rc != kOk) {
      // Take out the new keys already in, then put the old ones back.
      RemoveKeys(t, record, number, failed_at);
      InsertKeys(t, old.data(), number, t->index_count, &failed_at);
      return SetLast(rc);
    }
  } else if (int rc = InUse(t, number); rc != kOk) {
    return SetLast(rc);
  }
  if (!WriteData(t, Offset(t, number), record, static_cast<size_t>(t->record_length))) return SetLast(kCannotOpen);
  return SetLast(kOk);
}

int DeleteRecord(DbSchema* schema, const uint8_t* record, int32_t number) {
  DbTable* t;
  if (int rc = ChangeableTable(schema, &t); rc != kOk) return SetLast(rc);
  int rc = InUse(t, number);
  if (rc == kNotFound) return SetLast(kOk);
  if (rc == kOk) rc = SetBit(t, number, false);
  if (rc != kOk) return SetLast(rc);
  if (t->index_count == 0) return SetLast(kOk);
  // The keys come from the image the caller passes; when one of them names no entry of this record (an
  // image that is not the stored record), the stored record is read and its keys are removed instead.
  bool all_found;
  rc = RemoveKeys(t, record, number, t->index_count, &all_found);
  if (rc == kOk && !all_found) {
    std::vector<uint8_t> stored(static_cast<size_t>(t->record_length));
    if (t->data.ReadAt(Offset(t, number), stored.data(), stored.size())) {
      rc = RemoveKeys(t, stored.data(), number, t->index_count, &all_found);
    }
  }
  return SetLast(rc);
}

}  // namespace dbengine
