#include "shogidb/position_table.h"

#include <cstring>
#include <string>

#include "dbengine/index.h"
#include "shogidb/position_key.h"

using namespace rules;

namespace shogidb {
namespace {

// The id an index key of SHGDB_A names ("hhhhhhss"), or -1.
int32_t IdOfKey(const dbengine::IndexEntry& entry) {
  if (entry.key_length != 8) return -1;
  return ParsePositionId(std::string_view(reinterpret_cast<const char*>(entry.key), 8));
}

}  // namespace

int PositionTable::ReadById(int32_t id, uint8_t* record, int32_t* number) {
  if (!IsOpen()) return dbengine::kNotOpen;
  if (id < 0) return dbengine::kNotFound;
  const std::string key = PositionIdText(id);
  int rc = dbengine::IndexSeekExact(table(), 0, key);
  if (rc != dbengine::kOk) return rc;
  *number = dbengine::IndexKeyBuffer(table(), 0)->record;
  return dbengine::ReadRecord(table(), *number, record);
}

int32_t PositionTable::FindPosition(const BoardForm& form) {
  const int32_t hash = PositionHash(form);
  last_code_ = dbengine::kOk;
  if (!IsOpen()) {
    last_code_ = dbengine::kNotOpen;
    return ~hash;
  }
  const std::string prefix = ZeroPadded(hash, 6);
  int rc = dbengine::IndexSeek(table(), 0, prefix);
  uint8_t record[kRecordLength];
  while (rc == dbengine::kOk || rc == dbengine::kSeekPrefix) {
    const dbengine::IndexEntry* entry = dbengine::IndexKeyBuffer(table(), 0);
    if (entry->key_length < 6 || std::memcmp(entry->key, prefix.data(), 6) != 0) break;
    if (int r = dbengine::ReadRecord(table(), entry->record, record); r != dbengine::kOk) {
      last_code_ = r;
      return ~hash;
    }
    if (std::memcmp(record + kFormOffset, form.data(), BoardForm::kSize) == 0) return IdOfKey(*entry);
    rc = dbengine::IndexNext(table(), 0);
  }
  if (rc != dbengine::kOk && rc != dbengine::kSeekPrefix && rc != dbengine::kSeekGreater &&
      rc != dbengine::kSeekEnd && rc != dbengine::kNotFound) {
    last_code_ = rc;
  }
  return ~hash;
}

int32_t PositionTable::AddPosition(const BoardForm& form, uint32_t reference_count) {
  const int32_t hash = PositionHash(form);
  if (!IsOpen()) {
    last_code_ = dbengine::kNotOpen;
    return -1;
  }
  // The synonym numbers in use come in key order; the first gap is the number to take.
  const std::string prefix = ZeroPadded(hash, 6);
  int synonym = 0;
  int rc = dbengine::IndexSeek(table(), 0, prefix);
  while (rc == dbengine::kOk || rc == dbengine::kSeekPrefix) {
    const dbengine::IndexEntry* entry = dbengine::IndexKeyBuffer(table(), 0);
    if (entry->key_length < 6 || std::memcmp(entry->key, prefix.data(), 6) != 0) break;
    if (IdOfKey(*entry) != hash * 100 + synonym) break;
    ++synonym;
    rc = dbengine::IndexNext(table(), 0);
  }
  if (synonym >= kMaxSynonyms) {
    last_code_ = dbengine::kTableFull;
    return -1;
  }
  uint8_t record[kRecordLength] = {};
  std::memcpy(record + kHashOffset, prefix.data(), 6);
  std::memcpy(record + kSynonymOffset, ZeroPadded(synonym, 2).data(), 2);
  std::memcpy(record + kFormOffset, form.data(), BoardForm::kSize);
  PutU32(record + kRefCountOffset, reference_count);
  int32_t number;
  last_code_ = dbengine::InsertRecord(schema(), record, &number);
  if (last_code_ != dbengine::kOk) return -1;
  return hash * 100 + synonym;
}

int PositionTable::AddReference(int32_t id) {
  uint8_t record[kRecordLength];
  int32_t number;
  if (int rc = ReadById(id, record, &number); rc != dbengine::kOk) return last_code_ = rc;
  PutU32(record + kRefCountOffset, GetU32(record + kRefCountOffset) + 1);
  return last_code_ = dbengine::UpdateRecord(schema(), record, number);
}

int PositionTable::DropReference(int32_t id) {
  uint8_t record[kRecordLength];
  int32_t number;
  if (int rc = ReadById(id, record, &number); rc != dbengine::kOk) return last_code_ = rc;
  const uint32_t count = GetU32(record + kRefCountOffset);
  if (count <= 1) return last_code_ = dbengine::DeleteRecord(schema(), record, number);
  PutU32(record + kRefCountOffset, count - 1);
  return last_code_ = dbengine::UpdateRecord(schema(), record, number);
}

int PositionTable::ReadPosition(int32_t id, BoardForm& form, uint32_t* reference_count) {
  uint8_t record[kRecordLength];
  int32_t number;
  if (int rc = ReadById(id, record, &number); rc != dbengine::kOk) return last_code_ = rc;
  std::memcpy(form.data(), record + kFormOffset, BoardForm::kSize);
  if (reference_count) *reference_count = GetU32(record + kRefCountOffset);
  return last_code_ = form.IsValid() ? dbengine::kOk : dbengine::kInvalid;
}

int PositionTable::SetReferenceCount(int32_t id, uint32_t count) {
  uint8_t record[kRecordLength];
  int32_t number;
  if (int rc = ReadById(id, record, &number); rc != dbengine::kOk) return last_code_ = rc;
  PutU32(record + kRefCountOffset, count);
  return last_code_ = dbengine::UpdateRecord(schema(), record, number);
}

int PositionTable::DeletePosition(int32_t id) {
  uint8_t record[kRecordLength];
  int32_t number;
  if (int rc = ReadById(id, record, &number); rc != dbengine::kOk) return last_code_ = rc;
  return last_code_ = dbengine::DeleteRecord(schema(), record, number);
}

}  // namespace shogidb
