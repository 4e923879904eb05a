// Tables of fixed-length records: the public record-level interface of the database engine.
//
// A table whose path is P (the database directory joined with the table name, without extension) is the
// files P.scm (schema, schema.h), P.bmp (record-use bitmap, bitmap_cache.h), P.dat (records) and one
// index file P.ix0 .. P.ix9 per index (index.h). A record is the columns laid end to end, no padding;
// record number r (0-based slot) lies at offset r * record length of P.dat, which always holds 8 * N
// records for a bitmap of N bytes. A table holds at most 65535 * 8 = 524,280 records.
//
// Conventions of this interface:
// - The engine is single-threaded and not re-entrant: one call at a time, from one thread (SetQueryStop
//   is the only exception). Callers that share a database between threads or windows serialize it.
// - Every operation returns a result code (result_codes.h); nothing throws, nothing is shown. Functions
//   that return a handle return null on failure, with the code in LastResult().
// - A handle is a DbSchema* from OpenTable or InitTableFiles; its `table` member is the open table that
//   the record and index operations take. CloseTable releases both. A table must not be open twice at
//   the same time (two handles would each cache the same bitmap).
// - Record buffers are at least RecordLength bytes; paths are CP932.
// - Changes to the bitmap and the index nodes stay in the engine's caches until CloseTable (or
//   FlushTable); a process that dies with a table open may leave the index files and the bitmap behind
//   the data file. CheckTable finds that, RebuildTable repairs it (check.h).
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

#include "dbengine/result_codes.h"
#include "dbengine/schema.h"

namespace dbengine {

// The result of the last table-level operation (open, close, insert, update, delete, select run, ...).
int LastResult();

// Creates or empties the table's bitmap and data files (N = 1, 8 zero records) and its index files, and
// opens the table. Null with 1 (schema missing or invalid, files not created), 3 (no space; the new files
// are deleted), 4 (record length 0) or 100 + cause (an index file).
DbSchema* InitTableFiles(std::string_view path);

// Opens a table: schema, bitmap and data files (read-write), every index file. Null with 1 (schema
// missing or invalid, a file missing, a bitmap header that does not match the schema) or 100 + cause.
// Files that cannot be written (a read-only medium, no write permission) are opened for reading: the
// table is then read-only, and insert, update and delete give kReadOnly without changing anything.
DbSchema* OpenTable(std::string_view path);

// Whether an open table was opened read-only (above).
bool OpenedReadOnly(const DbTable* table);

// Writes back the cached bitmap and index nodes, closes every file and frees the handle (also when a
// write fails: the first failure is returned). 4 for a null handle.
int CloseTable(DbSchema* schema);

// Writes back what the caches hold for the table, keeping it open. kOk, 1 or 103.
int FlushTable(DbSchema* schema);

// The record length from the bitmap header (0 for a null table).
int RecordLength(const DbTable* table);

// The record `number` into `buffer`: kOk; kNotFound when it is beyond the bitmap or not in use; kNotOpen;
// kCannotOpen when the files cannot be read.
int ReadRecord(DbTable* table, int32_t number, uint8_t* buffer);

// The first record in use at or after `from`: kOk with *found and the record in `buffer`; kNotFound when
// there is none; kNotOpen.
int ScanRecord(DbTable* table, int32_t from, uint8_t* buffer, int32_t* found);

// Stores a record in the first free slot (growing the files by one bitmap byte and 8 records when every
// slot is in use) and adds its keys to every index, in index order. kOk with *number; 3 no disk space;
// 6 table full; 7 a read-only table (also for update and delete); 11 a unique index holds one of its keys; 100 + cause an index file failed. On failure the
// slot is freed again and the keys already added are removed.
int InsertRecord(DbSchema* schema, const uint8_t* record, int32_t* number);

// Replaces record `number`, which must be in use (kNotFound otherwise), moving its index keys. On an index
// failure (11, 100 + cause) the old keys are restored and the record is not written.
int UpdateRecord(DbSchema* schema, const uint8_t* record, int32_t number);

// Frees record `number` and removes its index entries. The keys are built from `record`, which should be
// the record as stored; when one of them names no entry of this record, the stored record is read and
// its keys are removed instead. kOk, also when the record is not in use (nothing is done then).
int DeleteRecord(DbSchema* schema, const uint8_t* record, int32_t number);

// Closes the table when the handle goes out of scope.
struct TableCloser {
  void operator()(DbSchema* schema) const { CloseTable(schema); }
};
using TableHandle = std::unique_ptr<DbSchema, TableCloser>;

}  // namespace dbengine
