#include "shogidb/table_object.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/sjis.h"

namespace shogidb {

void TableObject::SetMessageSink(platform::MessageSink* messages) {
  messages_ = messages ? messages : &platform::NullMessageSink::Instance();
}

int TableObject::Open() {
  if (schema_) return dbengine::kOk;
  schema_ = dbengine::OpenTable(path());
  if (!schema_) {
    const int rc = dbengine::LastResult();
    messages().Show("データベース " + path() + " のオープンに失敗しました。");
    return rc != dbengine::kOk ? rc : dbengine::kCannotOpen;
  }
  return dbengine::kOk;
}

int TableObject::Empty() {
  Close();
  dbengine::DbSchema* fresh = dbengine::InitTableFiles(path());
  if (!fresh) {
    const int rc = dbengine::LastResult();
    messages().Show("データベース " + path() + " の作成に失敗しました。");
    return rc != dbengine::kOk ? rc : dbengine::kCannotOpen;
  }
  return dbengine::CloseTable(fresh);
}

int TableObject::Flush() { return schema_ ? dbengine::FlushTable(schema_) : dbengine::kOk; }

int TableObject::Close() {
  if (!schema_) return dbengine::kOk;
  const int rc = dbengine::CloseTable(schema_);
  schema_ = nullptr;
  return rc;
}

int OpenTables::Add(TableObject& table) {
  if (table.IsOpen()) return dbengine::kOk;
  const int rc = table.Open();
  if (rc == dbengine::kOk && count_ < kTableCount) opened_[count_++] = &table;
  return rc;
}

int OpenTables::FlushAll() {
  int rc = dbengine::kOk;
  for (int i = 0; i < count_; ++i) {
    if (int r = opened_[i]->Flush(); r != dbengine::kOk && rc == dbengine::kOk) rc = r;
  }
  return rc;
}

void OpenTables::CloseAll() {
  for (int i = count_; i-- > 0;) opened_[i]->Close();
  count_ = 0;
}

void PutText(uint8_t* column, int width, std::string_view text) {
  // A text longer than its column is cut there, never inside a character.
  const std::string kept = platform::CutToWidth(text, static_cast<size_t>(width));
  std::memcpy(column, kept.data(), kept.size());
  std::memset(column + kept.size(), 0, static_cast<size_t>(width) - kept.size());
}

std::string GetText(const uint8_t* column, int width) {
  const void* nul = std::memchr(column, 0, static_cast<size_t>(width));
  const size_t n = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - column) : static_cast<size_t>(width);
  return std::string(reinterpret_cast<const char*>(column), n);
}

void PutU16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t GetU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

void PutU32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetU32(const uint8_t* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
}

std::string ZeroPadded(long value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*ld", width, value);
  return text;
}

std::string SpacePadded(long value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%*ld", width, value);
  return text;
}

}  // namespace shogidb
