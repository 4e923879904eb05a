// Integrity check and repair of a table.
//
// The check verifies the schema, the sizes of the bitmap and data files against each other (bitmap
// 4 + N bytes with the schema's record length, data 8 * N records), and every index against the records
// in use: the tree structure (nodes well formed, leaves exactly at the bottom level, keys in order within
// their parents' bounds, no node reached twice, a free list of freed nodes, no node lost), and exactly
// one entry per record in use, with the record's key and number, and none for a free slot.
//
// A process that dies with a table open can leave the bitmap and the indexes behind the data; opening
// such a table still works, the check reports what is wrong and the rebuild repairs it (RebuildTable).
//
// Which records are in use is not written in the data file: a free slot keeps the bytes last written
// there (zero bytes when the slot was made), so a deleted record looks like a live one. The rebuild
// therefore takes a record to be in use when any of these says so, and never drops one that may be:
//   - its bit, where the bitmap can be trusted (its header names the schema's record length, or its N
//     matches the bitmap file's length: one damaged field leaves the other);
//   - an index entry naming it with the key its bytes give (the indexes are written apart from the
//     bitmap, so this restores a bit lost to damage, or to a process killed before writing the bitmap);
//   - where the bitmap bytes are lost (file missing, short, or its header unusable), bytes other than
//     zero in its slot. A record deleted before the loss comes back this way.
// A record in use is confirmed when an index entry names it with the key its bytes give and every
// index read without a problem does so. The others, where such an index exists (or whose bit was lost
// too), are unconfirmed: the files disagree about them. Each is a deleted record come back, a record
// whose bytes or whose index entry were damaged, or one written just before a process died; the files
// cannot tell which. The rebuild keeps them and lists them for the caller to judge.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbengine/schema.h"

namespace dbengine {

struct CheckProblem {
  enum Kind {
    kSchema,          // schema file missing, invalid, or not the expected one
    kBitmapFile,      // bitmap file missing, or its header short or of another record length
    kBitmapSize,      // bitmap file size is not 4 + N (where: the size)
    kDataFile,        // data file missing
    kDataSize,        // data file size is not 8 * N * record length (where: the size)
    kIndexFile,       // index file missing, or its header damaged
    kIndexNode,       // node damaged, misplaced or reached twice (where: its address)
    kIndexOrder,      // keys out of order, or outside their parent's bounds (where: node address)
    kIndexDuplicate,  // a key twice in a unique index (where: record number)
    kFreeList,        // free list damaged (where: the node address)
    kLostNodes,       // nodes neither in the tree nor free (where: how many)
    kMissingEntry,    // a record in use without its entry (where: record number)
    kExtraEntry,      // an entry for a free slot or with a key the record does not have (where: record)
  };
  Kind kind;
  int index = -1;     // index number, or -1
  int64_t where = 0;
};

struct TableCheck {
  std::vector<CheckProblem> problems;
  // The directory or a file of the table cannot be written (a read-only medium, no write permission):
  // the table can be read and searched, but not changed or repaired. Not a problem in itself.
  bool read_only = false;
  int64_t records_in_use = 0;
  std::vector<int64_t> index_entries;  // entries found per index
  bool Ok() const { return problems.empty(); }
};

// A line of English describing a problem ("index 1: record 42 has no entry").
std::string DescribeProblem(const CheckProblem& problem);

// Checks a closed table's files without writing to them (they are opened for reading only, so a table
// on a read-only medium is checked like any other). kOk when the check ran (the problems are in *out);
// the table must not be open. With `expected_schema` (the schema the table was created with, as for
// RebuildTable), a schema file that is missing, invalid or different is a kSchema problem and the rest
// is checked against the expected schema; without it, such a schema file ends the check. kInvalid for
// an expected schema that is not valid itself.
int CheckTable(std::string_view path, TableCheck* out, const DbSchema* expected_schema = nullptr);

// Checks an open table through the engine's caches (what the files will hold once closed).
int CheckOpenTable(DbSchema* schema, TableCheck* out);

struct RebuildReport {
  int64_t records = 0;                // records in use after the repair
  int64_t slots_freed = 0;            // slots in use whose record lay beyond the data file
  std::vector<int32_t> left_out;      // records left out of a unique index for a duplicate key
  bool schema_restored = false;       // the schema file was written from the expected schema
  bool bitmap_restored = false;       // the bitmap header was rewritten, or its bytes were lost and derived
  std::vector<int32_t> restored;      // records in use whose bit was clear or lost, in number order
  std::vector<int32_t> unconfirmed;   // records in use that are unconfirmed (above), in number order
  std::vector<int32_t> duplicates_freed;  // unconfirmed records freed: another record holds their unique key
};

// Repairs a closed table:
// 1. With `expected_schema` (the schema the table was created with; SchemaFromStatements in query.h
//    builds it from the create statements), a schema file that is missing, invalid or different is
//    written afresh from it, unless the bitmap header shows the files were made with the present schema
//    file's record length and not the expected one (then kInvalid: another table, not a damaged one;
//    nothing is changed). Without it, an unusable schema file gives kCannotOpen, nothing changed.
// 2. The bitmap is rewritten whole: N becomes the larger of what the trusted bitmap file and the data
//    file hold (so neither is cut), the record length the schema's, and the records in use those the
//    rules above give. The data file is fitted to 8 * N records; slots whose bit was set but whose record
//    lay beyond the end of the data file are freed (their bytes are gone).
// 3. Every index is built afresh from the records in use, in record-number order as "create index"
//    would, the unconfirmed records last. An unconfirmed record whose unique key another record holds
//    is freed (the two cannot both be in use, and the other one is vouched for or came first); its
//    bytes stay in its slot.
// Returns kOk; kReadOnly when the table's directory or a file cannot be written (nothing changed);
// kDuplicateKey when other records had to be left out of a unique index (they stay in use, listed in
// the report; the check then reports them); or the failure of a file operation (the rebuild can be run
// again).
int RebuildTable(std::string_view path, RebuildReport* report, const DbSchema* expected_schema = nullptr);

}  // namespace dbengine
