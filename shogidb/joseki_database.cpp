#include "shogidb/joseki_database.h"

#include <algorithm>
#include <cstring>

#include "dbengine/index.h"
#include "platform/db_lock.h"
#include "record/plain_board.h"
#include "rules/notation.h"
#include "shogidb/position_key.h"

using namespace rules;
using namespace record;

namespace shogidb {
namespace {

int16_t GetI16(const uint8_t* at) { return static_cast<int16_t>(GetU16(at)); }
void PutI16(uint8_t* at, int value) { PutU16(at, static_cast<uint16_t>(static_cast<int16_t>(value))); }

uint8_t* SlotAt(uint8_t* record, int slot) { return record + JosekiDatabase::kMovesOffset + 4 * slot; }
const uint8_t* SlotAt(const uint8_t* record, int slot) { return record + JosekiDatabase::kMovesOffset + 4 * slot; }
bool SlotFree(const uint8_t* record, int slot) { return GetI16(SlotAt(record, slot)) == -1; }

void MakeRecord(int32_t id, Side side, int evaluation, uint8_t* record) {
  std::memset(record, 0, JosekiDatabase::kRecordLength);
  std::memcpy(record + JosekiDatabase::kKeyOffset, PositionIdText(id).data(), 8);
  record[JosekiDatabase::kSideOffset] = static_cast<uint8_t>('0' + SideIndex(side));
  PutI16(record + JosekiDatabase::kEvalOffset, evaluation);
  for (int s = 0; s < JosekiDatabase::kSlots; ++s) {
    PutI16(SlotAt(record, s), -1);
    PutU16(SlotAt(record, s) + 2, 0);
  }
}

}  // namespace

BoardForm JosekiPosition::StoredForm() const {
  BoardForm stored = form;
  if (reversed) stored.Reverse();
  return stored;
}

BoardMove JosekiPosition::ToStored(BoardMove move) const {
  if (!reversed) return move;
  return ReverseBoardMove(FormBoard(form), FormBoard(StoredForm()), move);
}

BoardMove JosekiPosition::FromStored(BoardMove move) const {
  if (!reversed) return move;
  return ReverseBoardMove(FormBoard(StoredForm()), FormBoard(form), move);
}

std::string JosekiMoveText(const BoardForm& form, Side side, BoardMove move) {
  PlainBoard board;
  board.SetTurnOrder(0);
  board.ApplyBoardForm(form);
  board.SetSideToMove(side);
  board.SetTurnOrder(1);
  board.BeginRecord();
  MoveWord w;
  if (!MoveWordOf(board, move, w)) return FormBoard(form).CsaText(move);
  return StandardMoveText(board, board.piece(w.Piece()), w);
}

JosekiDatabase::JosekiDatabase() : TableObject(kTableE) {}

JosekiDatabase::~JosekiDatabase() {
  notes_.Close();
  positions_.Close();
  Close();
}

void JosekiDatabase::SetDatabase(std::string_view directory) {
  SetDirectory(directory);
  positions_.SetDirectory(directory);
  notes_.SetDirectory(directory);
}

void JosekiDatabase::SetJob(const DbJob& job) {
  job_ = job.Complete();
  SetMessageSink(job_.messages);
  positions_.SetMessageSink(job_.messages);
  notes_.SetMessageSink(job_.messages);
}

JosekiLock::JosekiLock(JosekiDatabase& db, bool property_dialog)
    : guard_(db.directory(), platform::DatabaseLockGuard::Mode::kTry) {
  if (!guard_.held()) db.job().Show(property_dialog ? "データベースは使用中です" : "データベースが使用中です");
}

int JosekiDatabase::OpenAll(OpenTables& open) {
  for (TableObject* t : std::initializer_list<TableObject*>{&positions_, this, &notes_}) {
    if (int rc = open.Add(*t); rc != dbengine::kOk) return rc;
  }
  return dbengine::kOk;
}

int JosekiDatabase::RecordsOf(int32_t id, Side side, std::vector<int32_t>& records) {
  records.clear();
  if (!IsOpen()) return dbengine::kNotOpen;
  const std::string prefix = PositionIdText(id);
  int rc = dbengine::IndexSeek(table(), 0, prefix);
  while (rc == dbengine::kOk || rc == dbengine::kSeekPrefix) {
    const dbengine::IndexEntry* entry = dbengine::IndexKeyBuffer(table(), 0);
    if (entry->key_length < 8 || std::memcmp(entry->key, prefix.data(), 8) != 0) break;
    if (entry->key_length == 9 && entry->key[8] == '0' + SideIndex(side)) records.push_back(entry->record);
    rc = dbengine::IndexNext(table(), 0);
  }
  if (rc == dbengine::kIndexRead || rc == dbengine::kIndexState || rc == dbengine::kNotOpen) return rc;
  // Entries with equal keys move about in the index as records are updated; record numbers do not.
  std::sort(records.begin(), records.end());
  return dbengine::kOk;
}

int JosekiDatabase::FindJosekiPosition(const BoardForm& form, Side side, JosekiPosition& out) {
  out = JosekiPosition{};
  out.form = form;
  out.side = side;
  for (int turned = 0; turned < 2; ++turned) {
    BoardForm stored = form;
    if (turned) stored.Reverse();
    const Side stored_side = turned ? Opponent(side) : side;
    const int32_t id = positions_.FindPosition(stored);
    if (id < 0) {
      if (positions_.last_code() != dbengine::kOk) return positions_.last_code();
      continue;
    }
    std::vector<int32_t> records;
    if (int rc = RecordsOf(id, stored_side, records); rc != dbengine::kOk) return rc;
    if (records.empty()) continue;
    uint8_t record[kRecordLength];
    if (int rc = dbengine::ReadRecord(table(), records[0], record); rc != dbengine::kOk) return rc;
    out.found = true;
    out.reversed = turned != 0;
    out.id = id;
    out.stored_side = stored_side;
    out.evaluation = GetI16(record + kEvalOffset);
    return dbengine::kOk;
  }
  return dbengine::kNotFound;
}

int JosekiDatabase::RegisterJosekiPosition(const BoardForm& form, Side side, int evaluation, JosekiPosition& out) {
  int rc = FindJosekiPosition(form, side, out);
  if (rc == dbengine::kOk) return dbengine::kDuplicateKey;
  if (rc != dbengine::kNotFound) return rc;
  int32_t id = positions_.FindPosition(form);
  const bool added = id < 0;
  if (added) {
    id = positions_.AddPosition(form, 1);
    if (id < 0) return positions_.last_code();
  }
  uint8_t record[kRecordLength];
  MakeRecord(id, side, evaluation, record);
  int32_t number;
  rc = dbengine::InsertRecord(schema(), record, &number);
  if (rc != dbengine::kOk) {
    if (added) positions_.DropReference(id);
    return rc;
  }
  if (!added && (rc = positions_.AddReference(id)) != dbengine::kOk) {
    dbengine::DeleteRecord(schema(), record, number);
    return rc;
  }
  out.found = true;
  out.reversed = false;
  out.id = id;
  out.stored_side = side;
  out.evaluation = evaluation;
  return dbengine::kOk;
}

int JosekiDatabase::UpdateEvaluation(JosekiPosition& position, int evaluation) {
  std::vector<int32_t> records;
  if (int rc = RecordsOf(position.id, position.stored_side, records); rc != dbengine::kOk) return rc;
  if (records.empty()) return dbengine::kNotFound;
  uint8_t record[kRecordLength];
  for (int32_t number : records) {
    if (int rc = dbengine::ReadRecord(table(), number, record); rc != dbengine::kOk) return rc;
    PutI16(record + kEvalOffset, evaluation);
    if (int rc = dbengine::UpdateRecord(schema(), record, number); rc != dbengine::kOk) return rc;
  }
  position.evaluation = evaluation;
  return dbengine::kOk;
}

int JosekiDatabase::FindSlot(const JosekiPosition& position, BoardMove stored, Slot& slot, std::vector<uint8_t>& record) {
  std::vector<int32_t> records;
  if (int rc = RecordsOf(position.id, position.stored_side, records); rc != dbengine::kOk) return rc;
  record.resize(kRecordLength);
  for (int32_t number : records) {
    if (int rc = dbengine::ReadRecord(table(), number, record.data()); rc != dbengine::kOk) return rc;
    for (int s = 0; s < kSlots; ++s) {
      const bool free = SlotFree(record.data(), s);
      // A free slot is looked for with kNoMove.
      if ((stored == kNoMove && free) || (!free && GetU16(SlotAt(record.data(), s) + 2) == stored)) {
        slot = {number, s};
        return dbengine::kOk;
      }
    }
  }
  return dbengine::kNotFound;
}

int JosekiDatabase::AddJosekiMove(const JosekiPosition& position, int value, BoardMove move) {
  const BoardMove stored = position.ToStored(move);
  if (stored == kNoMove) return dbengine::kInvalid;
  Slot slot;
  std::vector<uint8_t> record;
  int rc = FindSlot(position, kNoMove, slot, record);
  if (rc == dbengine::kNotFound) {
    // Every slot is taken: a further record under the same key.
    record.resize(kRecordLength);
    MakeRecord(position.id, position.stored_side, position.evaluation, record.data());
    PutI16(SlotAt(record.data(), 0), value);
    PutU16(SlotAt(record.data(), 0) + 2, stored);
    int32_t number;
    return dbengine::InsertRecord(schema(), record.data(), &number);
  }
  if (rc != dbengine::kOk) return rc;
  PutI16(SlotAt(record.data(), slot.index), value);
  PutU16(SlotAt(record.data(), slot.index) + 2, stored);
  return dbengine::UpdateRecord(schema(), record.data(), slot.record);
}

int JosekiDatabase::UpdateMoveValue(const JosekiPosition& position, BoardMove move, int value) {
  Slot slot;
  std::vector<uint8_t> record;
  if (int rc = FindSlot(position, position.ToStored(move), slot, record); rc != dbengine::kOk) return rc;
  PutI16(SlotAt(record.data(), slot.index), value);
  return dbengine::UpdateRecord(schema(), record.data(), slot.record);
}

int JosekiDatabase::DeleteJosekiMove(const JosekiPosition& position, BoardMove move) {
  const BoardMove stored = position.ToStored(move);
  Slot slot;
  std::vector<uint8_t> record;
  if (int rc = FindSlot(position, stored, slot, record); rc != dbengine::kOk) return rc;
  PutI16(SlotAt(record.data(), slot.index), -1);
  PutU16(SlotAt(record.data(), slot.index) + 2, 0);
  bool empty = true;
  for (int s = 0; s < kSlots; ++s) empty = empty && SlotFree(record.data(), s);
  std::vector<int32_t> records;
  if (int rc = RecordsOf(position.id, position.stored_side, records); rc != dbengine::kOk) return rc;
  int rc = empty && records.size() > 1 ? dbengine::DeleteRecord(schema(), record.data(), slot.record)
                                       : dbengine::UpdateRecord(schema(), record.data(), slot.record);
  if (rc != dbengine::kOk) return rc;
  return notes_.DeleteAnnotation(kJosekiMoveNote, JosekiMoveKey(position.id, stored));
}

int JosekiDatabase::DeleteJosekiPosition(const JosekiPosition& position) {
  std::vector<int32_t> records;
  if (int rc = RecordsOf(position.id, position.stored_side, records); rc != dbengine::kOk) return rc;
  if (records.empty()) return dbengine::kNotFound;
  uint8_t record[kRecordLength];
  for (int32_t number : records) {
    if (int rc = dbengine::ReadRecord(table(), number, record); rc != dbengine::kOk) return rc;
    for (int s = 0; s < kSlots; ++s) {
      if (SlotFree(record, s)) continue;
      notes_.DeleteAnnotation(kJosekiMoveNote, JosekiMoveKey(position.id, GetU16(SlotAt(record, s) + 2)));
    }
    if (int rc = dbengine::DeleteRecord(schema(), record, number); rc != dbengine::kOk) return rc;
  }
  notes_.DeleteAnnotation(kJosekiPositionNote, JosekiPositionKey(position.id, position.stored_side));
  const int rc = positions_.DropReference(position.id);
  return rc == dbengine::kNotFound ? dbengine::kOk : rc;
}

int JosekiDatabase::ReadJosekiMoves(const JosekiPosition& position, std::vector<JosekiMove>& moves) {
  moves.clear();
  if (!position.found) return dbengine::kOk;
  std::vector<int32_t> records;
  if (int rc = RecordsOf(position.id, position.stored_side, records); rc != dbengine::kOk) return rc;
  uint8_t record[kRecordLength];
  for (int32_t number : records) {
    if (int rc = dbengine::ReadRecord(table(), number, record); rc != dbengine::kOk) return rc;
    for (int s = 0; s < kSlots; ++s) {
      if (SlotFree(record, s)) continue;
      JosekiMove m;
      m.stored = GetU16(SlotAt(record, s) + 2);
      m.value = GetI16(SlotAt(record, s));
      m.move = position.FromStored(m.stored);
      if (m.move != kNoMove) moves.push_back(m);  // a damaged slot names no move of the position
    }
  }
  return dbengine::kOk;
}

int JosekiDatabase::FirstJosekiMove(const BoardForm& form, Side side) {
  reading_ = Reading{};
  OpenTables open;
  if (int rc = OpenAll(open); rc != dbengine::kOk) return rc;
  if (int rc = FindJosekiPosition(form, side, reading_.position); rc != dbengine::kOk) return rc;
  return ReadJosekiMoves(reading_.position, reading_.moves);
}

int JosekiDatabase::NextJosekiMove(int* evaluation, BoardMove* move, int* value) {
  if (reading_.next >= reading_.moves.size()) return dbengine::kNotFound;
  const JosekiMove& m = reading_.moves[reading_.next++];
  *evaluation = reading_.position.evaluation;
  *move = m.move;
  *value = m.value;
  return dbengine::kOk;
}

std::string JosekiDatabase::PositionNote(const JosekiPosition& position) {
  std::string text;
  if (position.found) notes_.ReadAnnotation(kJosekiPositionNote, JosekiPositionKey(position.id, position.stored_side), text);
  return text;
}

std::string JosekiDatabase::MoveNote(const JosekiPosition& position, BoardMove move) {
  std::string text;
  if (position.found) notes_.ReadAnnotation(kJosekiMoveNote, JosekiMoveKey(position.id, position.ToStored(move)), text);
  return text;
}

int JosekiDatabase::ReplacePositionNote(const JosekiPosition& position, const std::string& text) {
  const std::string key = JosekiPositionKey(position.id, position.stored_side);
  return notes_.ReplaceAnnotation(kJosekiPositionNote, key, text);
}

int JosekiDatabase::ReplaceMoveNote(const JosekiPosition& position, BoardMove move, const std::string& text, bool* existed) {
  const std::string key = JosekiMoveKey(position.id, position.ToStored(move));
  std::string old;
  const int read = notes_.ReadAnnotation(kJosekiMoveNote, key, old);
  if (existed) *existed = read == dbengine::kOk;
  return notes_.ReplaceAnnotation(kJosekiMoveNote, key, text);
}

}  // namespace shogidb
