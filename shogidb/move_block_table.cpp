#include "shogidb/move_block_table.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "dbengine/index.h"
#include "platform/text_scan.h"

namespace shogidb {

void MoveBlockTable::MakeKey(char kind, int32_t owner, int block, uint8_t* record) {
  record[kRecIdOffset] = static_cast<uint8_t>(kind);
  std::memcpy(record + kRecNoOffset, SpacePadded(owner, 6).data(), 6);
  std::memcpy(record + kBlockOffset, ZeroPadded(block, 2).data(), 2);
}

BoardMove MoveBlockTable::SlotOf(const uint8_t* record, int slot) { return GetU16(record + kMovesOffset + 2 * slot); }

void MoveBlockTable::SetSlot(uint8_t* record, int slot, BoardMove move) { PutU16(record + kMovesOffset + 2 * slot, move); }

int MoveBlockTable::ReadBlock(char kind, int32_t owner, int block, uint8_t* record, int32_t* number) {
  if (!IsOpen()) return dbengine::kNotOpen;
  MakeKey(kind, owner, block, record);
  const int rc = dbengine::ReadByKey(table(), 0, record);
  if (rc == dbengine::kOk) *number = dbengine::IndexKeyBuffer(table(), 0)->record;
  return rc;
}

int MoveBlockTable::InsertBlock(char kind, int32_t owner, int block, uint8_t* record, int32_t* number) {
  if (!IsOpen()) return dbengine::kNotOpen;
  MakeKey(kind, owner, block, record);
  std::memset(record + kDummyOffset, 0, kRecordLength - kDummyOffset);
  return dbengine::InsertRecord(schema(), record, number);
}

int MoveBlockTable::AppendMove(char kind, int32_t owner, BoardMove move) {
  Cursor& c = last_;
  if (c.kind != kind || c.owner != owner) {
    c = Cursor{};
    int32_t number;
    uint8_t record[kRecordLength];
    for (int block = 0; block < kMaxBlocks; ++block) {
      const int rc = ReadBlock(kind, owner, block, record, &number);
      if (rc == dbengine::kNotFound) break;
      if (rc != dbengine::kOk) return rc;
      c.block = block;
      c.number = number;
      std::memcpy(c.record, record, kRecordLength);
    }
    if (c.block < 0) {
      std::memset(c.record + kMovesOffset, 0xFF, 2 * kSlots);
      if (int rc = InsertBlock(kind, owner, 0, c.record, &c.number); rc != dbengine::kOk) return rc;
      c.block = 0;
    }
    c.kind = kind;
    c.owner = owner;
  }
  int slot = 0;
  while (slot < kSlots && !IsNoMove(SlotOf(c.record, slot))) ++slot;
  if (slot == kSlots) {
    if (c.block + 1 >= kMaxBlocks) return kTooManyMoves;
    uint8_t record[kRecordLength];
    std::memset(record + kMovesOffset, 0xFF, 2 * kSlots);
    int32_t number;
    if (int rc = InsertBlock(kind, owner, c.block + 1, record, &number); rc != dbengine::kOk) return rc;
    ++c.block;
    c.number = number;
    std::memcpy(c.record, record, kRecordLength);
    slot = 0;
  }
  SetSlot(c.record, slot, move);
  const int rc = dbengine::UpdateRecord(schema(), c.record, c.number);
  if (rc != dbengine::kOk) SetSlot(c.record, slot, kNoMove);
  return rc;
}

BoardMove MoveBlockTable::ReadMove(char kind, int32_t owner, int ply) {
  if (ply < 1 || ply > kMaxPlies) return kNoMove;
  uint8_t record[kRecordLength];
  int32_t number;
  if (ReadBlock(kind, owner, (ply - 1) / kSlots, record, &number) != dbengine::kOk) return kNoMove;
  return SlotOf(record, (ply - 1) % kSlots);
}

int MoveBlockTable::TruncateMoves(char kind, int32_t owner, int ply) {
  if (ply < 1) ply = 1;
  last_ = Cursor{};
  uint8_t record[kRecordLength];
  int32_t number;
  const int first_block = (ply - 1) / kSlots;
  int rc = ReadBlock(kind, owner, first_block, record, &number);
  if (rc == dbengine::kOk) {
    for (int slot = (ply - 1) % kSlots; slot < kSlots; ++slot) SetSlot(record, slot, kNoMove);
    if (rc = dbengine::UpdateRecord(schema(), record, number); rc != dbengine::kOk) return rc;
  } else if (rc != dbengine::kNotFound) {
    return rc;
  }
  for (int block = first_block + 1; block < kMaxBlocks; ++block) {
    rc = ReadBlock(kind, owner, block, record, &number);
    if (rc == dbengine::kNotFound) break;
    if (rc != dbengine::kOk) return rc;
    if (rc = dbengine::DeleteRecord(schema(), record, number); rc != dbengine::kOk) return rc;
  }
  return dbengine::kOk;
}

int MoveBlockTable::ReadMoves(char kind, int32_t owner, std::vector<BoardMove>& moves) {
  moves.clear();
  uint8_t record[kRecordLength];
  int32_t number;
  for (int block = 0; block < kMaxBlocks; ++block) {
    const int rc = ReadBlock(kind, owner, block, record, &number);
    if (rc == dbengine::kNotFound) break;
    if (rc != dbengine::kOk) return rc;
    for (int slot = 0; slot < kSlots; ++slot) {
      const BoardMove m = SlotOf(record, slot);
      if (IsNoMove(m)) return dbengine::kOk;
      moves.push_back(m);
    }
  }
  return dbengine::kOk;
}

int MoveBlockTable::WriteMoves(char kind, int32_t owner, const std::vector<BoardMove>& moves) {
  last_ = Cursor{};
  uint8_t record[kRecordLength];
  const size_t count = std::min(moves.size(), static_cast<size_t>(kMaxPlies));
  for (size_t first = 0; first < count; first += kSlots) {
    std::memset(record + kMovesOffset, 0xFF, 2 * kSlots);
    for (size_t i = first; i < count && i < first + kSlots; ++i) SetSlot(record, static_cast<int>(i - first), moves[i]);
    int32_t number;
    if (int rc = InsertBlock(kind, owner, static_cast<int>(first / kSlots), record, &number); rc != dbengine::kOk) {
      return rc;
    }
  }
  return moves.size() > static_cast<size_t>(kMaxPlies) ? kTooManyMoves : dbengine::kOk;
}

int MoveBlockTable::ListBlocks(char kind, int32_t owner, std::vector<std::pair<int, int32_t>>& blocks) {
  blocks.clear();
  if (!IsOpen()) return dbengine::kNotOpen;
  uint8_t key[kRecordLength];
  MakeKey(kind, owner, 0, key);
  const std::string_view prefix(reinterpret_cast<const char*>(key), kBlockOffset);
  int rc = dbengine::IndexSeek(table(), 0, prefix);
  while (rc == dbengine::kOk || rc == dbengine::kSeekPrefix) {
    const dbengine::IndexEntry* entry = dbengine::IndexKeyBuffer(table(), 0);
    if (entry->key_length != kBlockOffset + 2 || std::memcmp(entry->key, prefix.data(), prefix.size()) != 0) break;
    const uint8_t* sno = entry->key + kBlockOffset;
    if (platform::AllDigits(std::string_view(reinterpret_cast<const char*>(sno), 2))) {
      blocks.emplace_back((sno[0] - '0') * 10 + (sno[1] - '0'), entry->record);
    }
    rc = dbengine::IndexNext(table(), 0);
  }
  if (rc == dbengine::kOk || rc == dbengine::kSeekPrefix || rc == dbengine::kSeekGreater || rc == dbengine::kSeekEnd ||
      rc == dbengine::kNotFound) {
    return dbengine::kOk;
  }
  return rc;
}

int MoveBlockTable::DeleteMoves(char kind, int32_t owner) {
  if (last_.kind == kind && last_.owner == owner) last_ = Cursor{};
  // Every block under the owner's key, also blocks a damaged list holds beyond a gap.
  std::vector<std::pair<int, int32_t>> blocks;
  if (int rc = ListBlocks(kind, owner, blocks); rc != dbengine::kOk) return rc;
  uint8_t record[kRecordLength] = {};
  for (const auto& [block, number] : blocks) {
    MakeKey(kind, owner, block, record);
    if (int rc = dbengine::DeleteRecord(schema(), record, number); rc != dbengine::kOk) return rc;
  }
  return dbengine::kOk;
}

}  // namespace shogidb
