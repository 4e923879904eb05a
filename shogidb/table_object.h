// Table objects: one per SHGDB table (PositionTable positions, MoveBlockTable move blocks, AnnotationTable
// annotation pieces, and the header tables inside the game and tsume databases). Each opens its table by path
// when an operation starts and closes it when the operation ends; the database objects built on them do the
// same with every table they use.
//
// The engine allows one open handle per table, so two table objects of the same table must not be open
// at the same time.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "dbengine/schema.h"
#include "dbengine/table.h"
#include "platform/message_sink.h"
#include "shogidb/schema.h"

namespace shogidb {

class TableObject {
 public:
  explicit TableObject(TableId id) : id_(id) {}
  virtual ~TableObject() { Close(); }
  TableObject(const TableObject&) = delete;
  TableObject& operator=(const TableObject&) = delete;

  void SetDirectory(std::string_view directory) { directory_ = NormalizeDirectory(directory); }
  const std::string& directory() const { return directory_; }
  std::string path() const { return TablePathIn(directory_, id_); }
  void SetMessageSink(platform::MessageSink* messages);
  platform::MessageSink& messages() const { return *messages_; }

  // Opens the table (nothing to do when it is open). On failure shows "データベース %s のオープンに失敗
  // しました。" with the table's path and returns the engine's code.
  int Open();
  // Re-creates the table's files empty and closes them; on failure "データベース %s の作成に失敗しました。".
  int Empty();
  // Writes back the engine's cached changes of the table (bitmap and index nodes), keeping it open, so
  // that what has been done so far survives the process.
  int Flush();
  int Close();
  bool IsOpen() const { return schema_ != nullptr; }

  dbengine::DbSchema* schema() const { return schema_; }
  dbengine::DbTable* table() const { return schema_ ? schema_->table : nullptr; }
  int record_length() const { return Table(id_).record_length; }
  TableId id() const { return id_; }

 protected:
  TableId id_;

 private:
  std::string directory_;
  dbengine::DbSchema* schema_ = nullptr;
  platform::MessageSink* messages_ = &platform::NullMessageSink::Instance();
};

// Opens table objects for the length of a scope and closes them at its end.
class OpenTables {
 public:
  OpenTables() = default;
  ~OpenTables() { CloseAll(); }
  OpenTables(const OpenTables&) = delete;
  OpenTables& operator=(const OpenTables&) = delete;

  // Opens the table (kept when it was open already); the engine's code.
  int Add(TableObject& table);
  int FlushAll();
  void CloseAll();

 private:
  TableObject* opened_[kTableCount] = {};
  int count_ = 0;
};

// Fixed-width text columns: a value is written NUL-padded (cut to the width), read up to its first NUL.
void PutText(uint8_t* column, int width, std::string_view text);
std::string GetText(const uint8_t* column, int width);
void PutU16(uint8_t* at, uint16_t value);
uint16_t GetU16(const uint8_t* at);
void PutU32(uint8_t* at, uint32_t value);
uint32_t GetU32(const uint8_t* at);
// A whole number written with "%0*ld" / "%*ld" into a column of that width.
std::string ZeroPadded(long value, int width);
std::string SpacePadded(long value, int width);

}  // namespace shogidb
