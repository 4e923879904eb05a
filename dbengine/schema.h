// Table schema: the columns and indexes of a table, as held in its schema file P + ".scm".
//
// Schema file layout (all integers little-endian):
//   offset 0   i16  column count C (>= 1)
//   offset 2   i16  index count X (0..10)
//   offset 4   C x ColumnDesc, 46 bytes each, in column order:
//                name   40 bytes, NUL-terminated and NUL-padded (a full 40-byte name has no NUL)
//                type   i16, 0 "char", 1 "time", 2 "date", 3 "bin"
//                offset i16, byte offset of the column in the record = sum of the earlier widths
//                width  i16, >= 1
//   then       X x IndexDesc, 24 bytes each, in index-number order:
//                duplicates   i16, 0 unique, 1 duplicate keys allowed
//                column count i16, 1..10
//                columns      10 x i16, column numbers (0-based) of the key, in key order; unused 0
// The file is exactly 4 + 46*C + 24*X bytes long. The record length is the sum of the widths.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dbengine {

enum ColumnType : int16_t { kChar = 0, kTime = 1, kDate = 2, kBin = 3 };

constexpr int kColumnNameBytes = 40;
constexpr int kColumnDescBytes = 46;
constexpr int kIndexDescBytes = 24;
constexpr int kSchemaHeaderBytes = 4;
constexpr int kMaxIndexes = 10;
constexpr int kMaxIndexColumns = 10;
constexpr int kMaxKeyBytes = 99;  // the widths of an index's columns add up to at most this
constexpr int kTimeDateWidth = 6;

struct ColumnDesc {
  std::string name;  // CP932, 1..40 bytes
  int16_t type = kChar;
  int16_t offset = 0;
  int16_t width = 1;
};

struct IndexDesc {
  int16_t duplicates = 0;  // 0 unique, 1 duplicates allowed
  int16_t column_count = 1;
  int16_t columns[kMaxIndexColumns] = {};
};

struct DbTable;  // an open table; see table.h

// A table's schema; while the table is open it also carries the open table (OpenTable returns it,
// CloseTable frees both).
struct DbSchema {
  std::vector<ColumnDesc> columns;
  std::vector<IndexDesc> indexes;
  DbTable* table = nullptr;

  int RecordLength() const;
  // Column number of a column name, or -1.
  int FindColumn(std::string_view name) const;
  // Sum of the widths of an index's columns.
  int KeyWidth(int index) const;
};

// True when the schema satisfies every rule of the layout above (count limits, names, types, running
// offsets, widths, index flags and columns, no "bin" column in an index).
bool ValidateSchema(const DbSchema& schema);

// The same columns and indexes. Bytes a schema file may hold beyond them (after a name's NUL, unused
// index columns) do not count: a file another program wrote is not taken for a different schema.
bool SameSchema(const DbSchema& a, const DbSchema& b);

// The exact bytes of a schema file, and back. DecodeSchema checks the length rule and validates.
std::string EncodeSchema(const DbSchema& schema);
std::optional<DbSchema> DecodeSchema(std::string_view bytes);

// Reads and validates P + ".scm"; nothing when it is missing, short, long or invalid.
std::optional<DbSchema> ReadSchema(std::string_view path);

}  // namespace dbengine
