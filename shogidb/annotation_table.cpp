#include "shogidb/annotation_table.h"

#include <cstdio>
#include <cstring>

#include "dbengine/index.h"
#include "platform/sjis.h"
#include "platform/text_scan.h"
#include "shogidb/header_rows.h"
#include "shogidb/position_key.h"

namespace shogidb {
namespace {

constexpr size_t kPositionIdDigits = 8;  // joseki keys begin with the position id
constexpr int kOwnerDigits = 6;          // move annotation keys with the game's or problem's number

}  // namespace

std::string JosekiPositionKey(int32_t position_id, rules::Side side) {
  char key[24];
  std::snprintf(key, sizeof key, "%08ld%d", static_cast<long>(position_id), rules::SideIndex(side));
  return key;
}

std::string JosekiMoveKey(int32_t position_id, BoardMove move) {
  char key[24];
  std::snprintf(key, sizeof key, "%08ld%04x", static_cast<long>(position_id), static_cast<unsigned>(move));
  return key;
}

std::string MoveNoteKey(int32_t owner, int ply) {
  char key[24];
  std::snprintf(key, sizeof key, "%06ld%03d", static_cast<long>(owner), ply);
  return key;
}

std::string MoveNoteKeyPrefix(int32_t owner) { return ZeroPadded(owner, kOwnerDigits); }

bool ParseJosekiPositionKey(std::string_view key, int32_t* position_id, rules::Side* side) {
  if (key.size() != kPositionIdDigits + 1 || (key.back() != '0' && key.back() != '1')) return false;
  const int32_t id = ParsePositionId(key.substr(0, kPositionIdDigits));
  if (id < 0) return false;
  *position_id = id;
  *side = rules::SideOfBit(key.back() - '0');
  return true;
}

bool ParseJosekiMoveKey(std::string_view key, int32_t* position_id, BoardMove* move) {
  constexpr size_t kMoveDigits = 4;  // "%04x"
  if (key.size() != kPositionIdDigits + kMoveDigits) return false;
  const int32_t id = ParsePositionId(key.substr(0, kPositionIdDigits));
  unsigned value = 0;
  for (char c : key.substr(kPositionIdDigits)) {
    const int d = platform::IsDigit(c) ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return false;
    value = value * 16 + static_cast<unsigned>(d);
  }
  if (id < 0) return false;
  *position_id = id;
  *move = static_cast<BoardMove>(value);
  return true;
}

bool ParseMoveNoteKey(std::string_view key, int32_t* owner, long* ply) {
  const std::string_view ply_text = MoveNoteKeyPlyText(key);
  if (ply_text.size() > 4) return false;
  const long owner_value = DecimalValue(key.substr(0, kOwnerDigits));
  const long ply_value = DecimalValue(ply_text);
  if (owner_value < 0 || ply_value < 0) return false;
  if (owner) *owner = static_cast<int32_t>(owner_value);
  if (ply) *ply = ply_value;
  return true;
}

std::string_view MoveNoteKeyPlyText(std::string_view key) {
  constexpr size_t kLeastPlyDigits = 3;
  return key.size() >= kOwnerDigits + kLeastPlyDigits ? key.substr(kOwnerDigits) : std::string_view();
}

void AnnotationTable::MakeKey(char kind, std::string_view key, int piece, uint8_t* record) {
  record[kIdOffset] = static_cast<uint8_t>(kind);
  PutText(record + kKeyOffset, kKeyWidth, key);
  std::memcpy(record + kPieceOffset, ZeroPadded(piece, 2).data(), 2);
}

int AnnotationTable::WriteAnnotation(char kind, std::string_view key, std::string_view text) {
  if (!IsOpen()) return dbengine::kNotOpen;
  uint8_t record[kRecordLength] = {};
  MakeKey(kind, key, 0, record);
  int rc = dbengine::ReadByKey(table(), 0, record);
  if (rc == dbengine::kOk) return dbengine::kDuplicateKey;
  if (rc != dbengine::kNotFound) return rc;
  std::string kept;
  if (text.size() > kMaxTextBytes) {
    kept = platform::CutToWidth(text, kMaxTextBytes);
    text = kept;
  }
  int written = 0;
  for (size_t at = 0; at < text.size(); at += kPieceBytes, ++written) {
    const size_t n = std::min(text.size() - at, static_cast<size_t>(kPieceBytes));
    std::memset(record, 0, sizeof record);
    MakeKey(kind, key, written, record);
    std::memcpy(record + kTextOffset, text.data() + at, n);
    int32_t number;
    rc = dbengine::InsertRecord(schema(), record, &number);
    if (rc != dbengine::kOk) {
      DeleteAnnotation(kind, key);
      return rc;
    }
  }
  return dbengine::kOk;
}

int AnnotationTable::ReadAnnotation(char kind, std::string_view key, std::string& text) {
  text.clear();
  if (!IsOpen()) return dbengine::kNotOpen;
  uint8_t record[kRecordLength];
  for (int piece = 0; piece < kMaxPieces; ++piece) {
    std::memset(record, 0, sizeof record);
    MakeKey(kind, key, piece, record);
    const int rc = dbengine::ReadByKey(table(), 0, record);
    if (rc == dbengine::kNotFound) return piece == 0 ? dbengine::kNotFound : dbengine::kOk;
    if (rc != dbengine::kOk) return rc;
    text += GetText(record + kTextOffset, kPieceBytes);
  }
  return dbengine::kOk;
}

int AnnotationTable::DeleteAnnotation(char kind, std::string_view key) {
  if (!IsOpen()) return dbengine::kNotOpen;
  uint8_t record[kRecordLength];
  for (int piece = 0; piece < kMaxPieces; ++piece) {
    std::memset(record, 0, sizeof record);
    MakeKey(kind, key, piece, record);
    int rc = dbengine::ReadByKey(table(), 0, record);
    if (rc == dbengine::kNotFound) return dbengine::kOk;
    if (rc != dbengine::kOk) return rc;
    const int32_t number = dbengine::IndexKeyBuffer(table(), 0)->record;
    if (rc = dbengine::DeleteRecord(schema(), record, number); rc != dbengine::kOk) return rc;
  }
  return dbengine::kOk;
}

int AnnotationTable::ReplaceAnnotation(char kind, std::string_view key, std::string_view text) {
  std::string old;
  int rc = ReadAnnotation(kind, key, old);
  if (rc != dbengine::kOk && rc != dbengine::kNotFound) return rc;
  if (rc = DeleteAnnotation(kind, key); rc != dbengine::kOk) return rc;
  if (rc = WriteAnnotation(kind, key, text); rc != dbengine::kOk) {
    // The pieces the failed write took are gone again; the old text is the better thing to keep.
    WriteAnnotation(kind, key, old);
  }
  return rc;
}

int AnnotationTable::ListAnnotations(char kind, std::string_view key_prefix,
                          std::vector<std::pair<std::string, std::string>>& out) {
  out.clear();
  if (!IsOpen()) return dbengine::kNotOpen;
  // Index keys are the 12 key bytes (NULs padded with 0x01), the kind and the piece number.
  int rc = dbengine::IndexSeek(table(), 0, key_prefix);
  std::vector<std::pair<std::string, int32_t>> pieces;  // key and record of each piece, in key order
  while (rc == dbengine::kOk || rc == dbengine::kSeekPrefix) {
    const dbengine::IndexEntry* entry = dbengine::IndexKeyBuffer(table(), 0);
    if (entry->key_length < kKeyWidth + 1 ||
        std::memcmp(entry->key, key_prefix.data(), key_prefix.size()) != 0) {
      break;
    }
    if (entry->key[kKeyWidth] == static_cast<uint8_t>(kind)) {
      std::string key(reinterpret_cast<const char*>(entry->key), kKeyWidth);
      while (!key.empty() && key.back() == '\x01') key.pop_back();
      pieces.emplace_back(std::move(key), entry->record);
    }
    rc = dbengine::IndexNext(table(), 0);
  }
  if (rc != dbengine::kOk && rc != dbengine::kSeekPrefix && rc != dbengine::kSeekGreater && rc != dbengine::kSeekEnd &&
      rc != dbengine::kNotFound) {
    return rc;
  }
  uint8_t record[kRecordLength];
  for (const auto& [key, number] : pieces) {
    if (int r = dbengine::ReadRecord(table(), number, record); r != dbengine::kOk) return r;
    if (out.empty() || out.back().first != key) out.emplace_back(key, std::string());
    out.back().second += GetText(record + kTextOffset, kPieceBytes);
  }
  return dbengine::kOk;
}

}  // namespace shogidb
