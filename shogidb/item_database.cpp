#include "shogidb/item_database.h"

#include <algorithm>
#include <cstring>

#include "dbengine/index.h"
#include "platform/files.h"
#include "record/archive.h"
#include "shogidb/header_rows.h"
#include "shogidb/position_key.h"

namespace shogidb {

ItemDatabase::ItemDatabase(TableId header_table, char owner_kind, char note_kind, ItemKind item_kind)
    : owner_kind_(owner_kind), note_kind_(note_kind), item_kind_(item_kind), header_table_(header_table) {}

ItemDatabase::~ItemDatabase() {
  notes_.Close();
  moves_.Close();
  header_table_.Close();
}

void ItemDatabase::SetDatabase(std::string_view directory) {
  SetDirectory(directory);
  header_table_.SetDirectory(directory);
  moves_.SetDirectory(directory);
  notes_.SetDirectory(directory);
}

void ItemDatabase::SetJob(const DbJob& job) {
  job_ = job.Complete();
  SetMessageSink(job.messages);
  header_table_.SetMessageSink(job.messages);
  moves_.SetMessageSink(job.messages);
  notes_.SetMessageSink(job.messages);
}

int ItemDatabase::OpenAll(OpenTables& open) {
  for (TableObject* t : std::initializer_list<TableObject*>{this, &moves_, &notes_, &header_table_}) {
    if (int rc = open.Add(*t); rc != dbengine::kOk) return rc;
  }
  return dbengine::kOk;
}

int ItemDatabase::FlushContent() {
  int rc = dbengine::kOk;
  for (TableObject* t : std::initializer_list<TableObject*>{&moves_, &notes_, this}) {
    if (int r = t->Flush(); r != dbengine::kOk && rc == dbengine::kOk) rc = r;
  }
  return rc;
}

int ItemDatabase::FlushTables(bool header_first) {
  // The header row decides whether an item exists: written last when an item comes, first when it goes,
  // so that a process dying between the two writes leaves only parts the repair removes.
  int rc = header_first ? header_table_.Flush() : dbengine::kOk;
  if (int r = FlushContent(); r != dbengine::kOk && rc == dbengine::kOk) rc = r;
  if (!header_first) {
    if (int r = header_table_.Flush(); r != dbengine::kOk && rc == dbengine::kOk) rc = r;
  }
  return rc;
}

int32_t ItemDatabase::RowPosition(const uint8_t* row) const {
  return ParsePositionId(GetText(row + position_offset(), 8));
}

std::string ItemDatabase::NotesPrefix(int32_t number) const { return MoveNoteKeyPrefix(number); }

int ItemDatabase::DeleteNotes(int32_t number) {
  std::vector<std::pair<std::string, std::string>> notes;
  if (int rc = notes_.ListAnnotations(note_kind_, NotesPrefix(number), notes); rc != dbengine::kOk) return rc;
  for (const auto& [key, text] : notes) {
    // Keys of other numbers share the prefix only when they are longer ("%06ld%03d" is 9 or 10 bytes).
    if (MoveNoteKeyPlyText(key).empty()) continue;
    if (int rc = notes_.DeleteAnnotation(note_kind_, key); rc != dbengine::kOk) return rc;
  }
  return dbengine::kOk;
}

int ItemDatabase::WriteNotes(int32_t number, const ParsedItem& item, std::string* failed_key) {
  std::string start = item_kind_ == ItemKind::kGame ? item.game.Annotation() : item.problem.Annotation();
  // The header keeps CRLF-terminated lines; the table keeps the lines joined.
  if (start.size() >= 2 && start.compare(start.size() - 2, 2, "\r\n") == 0) start.resize(start.size() - 2);
  for (size_t ply = 0; ply < item.notes.size() || ply == 0; ++ply) {
    const std::string& text = ply == 0 ? start : item.notes[ply];
    if (text.empty()) continue;
    const std::string key = MoveNoteKey(number, static_cast<int>(ply));
    if (int rc = notes_.WriteAnnotation(note_kind_, key, text); rc != dbengine::kOk) {
      *failed_key = key;
      return rc;
    }
  }
  return dbengine::kOk;
}

void ItemDatabase::Unstore(int32_t number, const uint8_t* row, int32_t position) {
  if (row) dbengine::DeleteRecord(header_table_.schema(), row, number);
  moves_.DeleteMoves(owner_kind_, number);
  DeleteNotes(number);
  if (position >= 0) DropReference(position);
}

bool ItemDatabase::StoreItem(ParsedItem& item, bool force_new, RecordTextReader& reader) {
  SetCounts(item);
  const std::string number_text = NumberField(item);
  if (number_text.empty() || force_new) return StoreNew(item, reader);
  const long number = DecimalValue(number_text);
  if (number < 0) return StoreNew(item, reader);  // not a number this database gave
  std::vector<uint8_t> row;
  const int rc = ReadRow(static_cast<int32_t>(number), row);
  if (rc != dbengine::kOk) {
    job_.Line(NotRegistered(number, rc));
    return StoreNew(item, reader);
  }
  return StoreUpdate(item, static_cast<int32_t>(number), row, reader);
}

bool ItemDatabase::StoreNew(ParsedItem& item, RecordTextReader& reader) {
  int32_t position = FindPosition(item.start);
  const bool added = position < 0;
  if (added) {
    position = AddPosition(item.start, 1);
    if (position < 0) {
      job_.Show(RegisterError(last_code(), item, ~PositionHash(item.start)));
      return false;
    }
  }
  std::vector<uint8_t> row(static_cast<size_t>(header_table_.record_length()));
  MakeRow(item, position, kUnfinishedNumber, row.data());
  int32_t number = -1;
  int rc = dbengine::InsertRecord(header_table_.schema(), row.data(), &number);
  if (rc != dbengine::kOk) {
    if (added) DropReference(position);
    job_.Show(RegisterError(rc, item, position));
    return false;
  }
  if (!added && (rc = AddReference(position)) != dbengine::kOk) {
    Unstore(number, row.data(), -1);
    job_.Show(RegisterError(rc, item, position));
    return false;
  }
  if (!WriteContent(item, number, row, position, true)) return false;
  FlushTables(false);
  if (!AfterStore(item, number, reader)) {
    Unstore(number, row.data(), position);
    FlushTables(true);
    return false;
  }
  last_number_ = number;
  job_.Line(Registered(item, position, ZeroPadded(number, 6), true));
  return true;
}

bool ItemDatabase::StoreUpdate(ParsedItem& item, int32_t number, const std::vector<uint8_t>& old_row,
                       RecordTextReader& reader) {
  const int32_t old_position = RowPosition(old_row.data());
  int32_t position = FindPosition(item.start);
  bool gained = false;  // the new position took a reference for this item
  int rc = dbengine::kOk;
  if (position != old_position) {
    if (position < 0) {
      position = AddPosition(item.start, 1);
      rc = position < 0 ? last_code() : dbengine::kOk;
    } else {
      rc = AddReference(position);
    }
    if (rc != dbengine::kOk) {
      job_.Show(UpdateError(rc, item, old_position));
      return false;
    }
    gained = true;
  }
  // The new header goes in first, marked unfinished: a refusal (a problem position stored already) loses
  // nothing, and a process dying while the moves are replaced leaves a row the repair recognises.
  std::vector<uint8_t> row(old_row.size());
  MakeRow(item, position, kUnfinishedNumber, row.data());
  rc = dbengine::UpdateRecord(header_table_.schema(), row.data(), number);
  if (rc == dbengine::kOk) rc = header_table_.Flush();
  if (rc != dbengine::kOk) {
    if (gained) DropReference(position);
    job_.Show(UpdateError(rc, item, position));
    return false;
  }
  if (gained && old_position >= 0) DropReference(old_position);
  if (!ReplaceContent(item, number, row, position)) return false;
  FlushTables(false);
  const bool stored = AfterStore(item, number, reader);
  // The old item's own files go, unless the new item has just written over them under the same name.
  const int at = position_offset();
  if (!stored || !std::equal(row.begin() + at, row.begin() + at + 8, old_row.begin() + at)) {
    AfterDelete(old_row.data());
  }
  if (!stored) {
    Unstore(number, row.data(), position);
    FlushTables(true);
    return false;
  }
  last_number_ = number;
  job_.Line(Registered(item, position, ZeroPadded(number, 6), false));
  return true;
}

bool ItemDatabase::ReplaceContent(const ParsedItem& item, int32_t number, std::vector<uint8_t>& row, int32_t position) {
  int rc = DeleteNotes(number);
  if (rc == dbengine::kOk) rc = moves_.DeleteMoves(owner_kind_, number);
  if (rc != dbengine::kOk) {
    Unstore(number, row.data(), position);
    job_.Show(UpdateError(rc, item, position));
    return false;
  }
  return WriteContent(item, number, row, position, false);
}

bool ItemDatabase::WriteContent(const ParsedItem& item, int32_t number, std::vector<uint8_t>& row, int32_t position,
                        bool is_new) {
  int rc = moves_.WriteMoves(owner_kind_, number, item.moves);
  if (rc != dbengine::kOk) {
    Unstore(number, row.data(), position);
    job_.Show(Format("指し手登録に失敗しました。(%d)", rc));
    return false;
  }
  std::string key;
  if (rc = WriteNotes(number, item, &key); rc != dbengine::kOk) {
    Unstore(number, row.data(), position);
    job_.Show(Format("SHGDB_F(%s) 指し手注釈登録エラー(%d,ckey=%s)", notes_.path().c_str(), rc, key.c_str()));
    return false;
  }
  // The number goes in last, once the moves and annotations are on disk (a row is written at once, the
  // tables' bitmaps and indexes when flushed): a row still holding "999999" did not finish. The seal is
  // made from what the tables hold, read back, so that a reader compares like with like.
  SetRowNumber(row.data(), number_offset(), ZeroPadded(number, 6));
  rc = FlushContent();
  ItemParts parts;
  if (rc == dbengine::kOk) rc = ReadParts(number, row, parts);
  if (rc == dbengine::kOk) {
    SealRow(row_layout(), parts, row.data());
    rc = dbengine::UpdateRecord(header_table_.schema(), row.data(), number);
  }
  if (rc != dbengine::kOk) {
    Unstore(number, row.data(), position);
    job_.Show(is_new ? RegisterError(rc, item, position) : UpdateError(rc, item, position));
    return false;
  }
  return true;
}

int ItemDatabase::RegisterFromCsa(std::string_view text, bool force_new) {
  OpenTables open;
  int count = 0;
  if (OpenAll(open) == dbengine::kOk) {
    RecordTextReader reader(text, item_kind_, *job_.messages);
    ParsedItem item;
    for (;;) {
      if (job_.Stopped()) {
        job_.Line(stopped_registration());
        break;
      }
      if (reader.Next(item) != RecordTextReader::kItem) break;
      const bool stored = StoreItem(item, force_new, reader);
      FlushTables(false);  // what a failure took back is written too
      if (!stored) break;
      ++count;
    }
  }
  open.CloseAll();
  job_.Line(Format("%d 件登録しました(%s)。", count, NowText().c_str()));
  return count;
}

int ItemDatabase::ReadRow(int32_t number, std::vector<uint8_t>& row) {
  OpenTables open;
  if (int rc = open.Add(header_table_); rc != dbengine::kOk) return rc;
  row.assign(static_cast<size_t>(header_table_.record_length()), 0);
  if (number < 0) return dbengine::kNotFound;
  int rc = dbengine::ReadRecord(header_table_.table(), number, row.data());
  if (rc != dbengine::kOk) return rc;
  if (RowNumber(row.data(), number_offset()) != ZeroPadded(number, 6)) return dbengine::kNotFound;
  return dbengine::kOk;
}

int ItemDatabase::ListEntryOf(int32_t number, ListEntry& entry) {
  entry = ListEntry{};
  if (int rc = ReadRow(number, entry.row); rc != dbengine::kOk) return rc;
  entry.number = number;
  entry.line = ListLine(entry.row.data());
  return dbengine::kOk;
}

int ItemDatabase::ReadParts(int32_t number, const std::vector<uint8_t>& row, ItemParts& parts) {
  parts = ItemParts{};
  parts.row = row;
  rules::BoardForm form;
  int rc = ReadPosition(RowPosition(row.data()), form);
  if (rc == dbengine::kOk) parts.start = form;
  if (rc != dbengine::kOk && rc != dbengine::kNotFound) return rc;
  if (rc = moves_.ReadMoves(owner_kind_, number, parts.moves); rc != dbengine::kOk) return rc;
  std::vector<std::pair<std::string, std::string>> notes;
  if (rc = notes_.ListAnnotations(note_kind_, NotesPrefix(number), notes); rc != dbengine::kOk) return rc;
  for (auto& [key, text] : notes) {
    int32_t owner = -1;
    long ply = -1;
    if (ParseMoveNoteKey(key, &owner, &ply) && owner == number) parts.notes.emplace_back(ply, std::move(text));
  }
  // Keys sort as text ("000012100" after "0000121000"); the seal takes the plies in order.
  std::stable_sort(parts.notes.begin(), parts.notes.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  return dbengine::kOk;
}

int ItemDatabase::ReadRowAndParts(int32_t number, std::vector<uint8_t>& row, ItemParts& parts) {
  const int rc = ReadRow(number, row);
  return rc == dbengine::kOk ? ReadParts(number, row, parts) : rc;
}

int ItemDatabase::ReadStored(int32_t number, StoredItem& item) {
  OpenTables open;
  if (int rc = OpenAll(open); rc != dbengine::kOk) return rc;
  ItemParts parts;
  if (int rc = ReadRowAndParts(number, item.row, parts); rc != dbengine::kOk) return rc;
  if (!FindItemDamage(row_layout(), parts).whole()) {
    // A short game written as if it were the game would be worse than none.
    job_.Show(DamagedText(number));
    return kDamagedItem;
  }
  item.start = *parts.start;
  item.moves = std::move(parts.moves);
  item.side = side_of(item.row.data(), item.moves);
  item.notes.assign(item.moves.size() + 1, std::string());
  for (auto& [ply, text] : parts.notes) {
    if (static_cast<size_t>(ply) < item.notes.size()) item.notes[static_cast<size_t>(ply)] = std::move(text);
  }
  return dbengine::kOk;
}

int ItemDatabase::VerifyItem(int32_t number) {
  OpenTables open;
  if (int rc = OpenAll(open); rc != dbengine::kOk) return rc;
  std::vector<uint8_t> row;
  ItemParts parts;
  if (int rc = ReadRowAndParts(number, row, parts); rc != dbengine::kOk) return rc;
  return FindItemDamage(row_layout(), parts).whole() ? dbengine::kOk : kDamagedItem;
}

int ItemDatabase::Reseal(int32_t number) {
  OpenTables open;
  if (int rc = OpenAll(open); rc != dbengine::kOk) return rc;
  std::vector<uint8_t> row;
  ItemParts parts;
  if (int rc = ReadRowAndParts(number, row, parts); rc != dbengine::kOk) return rc;
  if (!parts.start) return kDamagedItem;
  SealRow(row_layout(), parts, row.data());
  if (int rc = dbengine::UpdateRecord(header_table_.schema(), row.data(), number); rc != dbengine::kOk) return rc;
  return header_table_.Flush();
}

int ItemDatabase::DeleteItem(int32_t number) {
  OpenTables open;
  if (int rc = OpenAll(open); rc != dbengine::kOk) return rc;
  std::vector<uint8_t> row;
  if (int rc = ReadRow(number, row); rc != dbengine::kOk) return rc;
  int rc = dbengine::DeleteRecord(header_table_.schema(), row.data(), number);
  if (rc == dbengine::kOk) rc = header_table_.Flush();
  if (rc != dbengine::kOk) {
    job_.Show(Format("見出しレコードが削除できません(%d,recno=%06ld)。", rc, static_cast<long>(number)));
    return rc;
  }
  if (rc = moves_.DeleteMoves(owner_kind_, number); rc != dbengine::kOk) {
    job_.Show(Format("棋譜DBが削除できません(%d,recno=%06ld)。", rc, static_cast<long>(number)));
    return rc;
  }
  if (rc = DeleteNotes(number); rc != dbengine::kOk) return rc;
  rc = DropReference(RowPosition(row.data()));
  if (rc == dbengine::kNotFound) rc = dbengine::kOk;  // the position went missing already
  AfterDelete(row.data());
  FlushTables(true);
  return rc;
}

int ItemDatabase::DeleteItems(const std::vector<ListEntry>& items) {
  if (!job_.Confirm(Format(delete_question(), static_cast<int>(items.size())))) return 0;
  int deleted = 0;
  for (const ListEntry& item : items) {
    if (job_.Stopped()) {
      job_.Line(delete_stopped());
      break;
    }
    const int rc = DeleteItem(item.number);
    if (rc == dbengine::kOk) {
      ++deleted;
      job_.Line(item.line + "を削除しました。");
    } else {
      job_.Line(Format("%sの削除に失敗しました(rc=%d)。", item.line.c_str(), rc));
    }
  }
  job_.Line(Format("%d 件削除しました(%s)。", deleted, NowText().c_str()));
  return deleted;
}

int ItemDatabase::ExportItems(const std::vector<int32_t>& numbers, const std::string& path) {
  if (platform::FileExists(path) && !job_.Confirm(Format(export_question(), path.c_str()))) return 0;
  std::string out;
  int written = 0;
  for (int32_t number : numbers) {
    if (job_.Stopped()) {
      job_.Line(export_stopped());
      break;
    }
    std::vector<uint8_t> row;
    std::string text;
    int rc = ReadRow(number, row);
    if (rc == dbengine::kOk) rc = ExportItem(number, text);
    const std::string line = rc == dbengine::kOk ? ListLine(row.data()) : ZeroPadded(number, 6);
    if (rc != dbengine::kOk) {
      job_.Line(Format("%sの出力に失敗しました(rc=%d)。", line.c_str(), rc));
      continue;
    }
    if (written > 0) out += "/\r\n";
    out += text;
    ++written;
    job_.Line(line + "を出力しました。");
  }
  // With nothing to write, a file that exists is left as it was.
  if (written > 0 && !platform::WriteWholeFile(path, out)) {
    job_.Show("ファイル(" + path + ")がオープンできません。");
    return 0;
  }
  job_.Line(Format("%d 件出力しました(%s)。", written, NowText().c_str()));
  return written;
}

}  // namespace shogidb
