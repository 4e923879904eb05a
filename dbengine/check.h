// Integrity check and repair of a table.
//
// The check verifies the schema, the sizes of the bitmap and data files against each other (bitmap
// 4 + N bytes with the schema's record length, data 8 * N records), and every index against the records
// in use: the tree structure (nodes well formed, leaves exactly at the bottom level, keys in order within
// their parents' bounds, no node reached twice, a free list of freed nodes, no node lost), and exactly
// one entry per record in use, with the record's key and number, and none for a free slot.
//
// A process that dies with a table open can leave the bitmap and the indexes behind the data; opening
// such a table still works, the check reports what is wrong and the rebuild repairs it: it fits the
// bitmap and data files to N (missing bitmap bytes and records become free slots) and builds every index
// afresh from the records in use, in record-number order, exactly as "create index" would.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbengine/schema.h"

namespace dbengine {

struct CheckProblem {
  enum Kind {
    kSchema,          // schema file missing or invalid (nothing else is checked)
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
  int64_t records_in_use = 0;
  std::vector<int64_t> index_entries;  // entries found per index
  bool Ok() const { return problems.empty(); }
};

// A line of English describing a problem ("index 1: record 42 has no entry").
std::string DescribeProblem(const CheckProblem& problem);

// Checks a closed table's files without writing to them. kOk when the check ran (the problems are in
// *out); the table must not be open.
int CheckTable(std::string_view path, TableCheck* out);

// Checks an open table through the engine's caches (what the files will hold once closed).
int CheckOpenTable(DbSchema* schema, TableCheck* out);

struct RebuildReport {
  int64_t records = 0;                // records in use after the repair
  int64_t slots_freed = 0;            // slots in use whose record lay beyond the data file
  std::vector<int32_t> left_out;      // records left out of a unique index for a duplicate key
};

// Repairs a closed table: fits the bitmap and data files to the bitmap's N and rebuilds every index.
// kOk; kCannotOpen when the schema or the bitmap header is unusable (nothing is changed then);
// kDuplicateKey when records had to be left out of a unique index (listed in the report); or the
// failure of a file operation.
int RebuildTable(std::string_view path, RebuildReport* report);

}  // namespace dbengine
