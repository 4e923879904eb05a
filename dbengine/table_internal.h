// The open table behind a DbSchema handle (engine-internal).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "dbengine/btree.h"
#include "dbengine/db_file.h"
#include "dbengine/index_file.h"
#include "dbengine/schema.h"

namespace dbengine {

struct TableIndex {
  IndexFile file;
  IndexEntry key_buffer;  // the entry the cursor last landed on
};

struct DbTable {
  std::string path;
  DbSchema* schema = nullptr;
  DbFile bitmap;
  DbFile data;
  bool read_only = false;  // a file could only be opened for reading: every change is refused
  int record_length = 0;   // from the bitmap header
  uint16_t bitmap_bytes = 0;  // N
  // Bitmap bytes before this one are known to be full, so insertion starts its search for a free slot
  // here; it finds the same first free slot as a search from byte 0.
  uint32_t free_hint = 0;
  int index_count = 0;
  TableIndex indexes[kMaxIndexes];
  // Data read ahead by ScanRecord, so that a scan reads the data file in large pieces rather than a
  // record at a time. Every write to the data file through this table drops it.
  std::vector<uint8_t> scan_window;
  uint64_t scan_window_start = 0;

  bool FilesOpen() const { return bitmap.IsOpen() && data.IsOpen(); }
};

// Adds / removes the keys of a record in indexes [0, count). InsertKeys stops at the first failure and
// tells where; RemoveKeys goes through all and returns the first failure, and tells whether every key
// had an entry of the record.
int InsertKeys(DbTable* t, const uint8_t* record, int32_t number, int count, int* failed_at);
int RemoveKeys(DbTable* t, const uint8_t* record, int32_t number, int count, bool* all_found = nullptr);

}  // namespace dbengine
