// The engine-wide state of the database engine, gathered in one place. The engine is single-threaded and
// not re-entrant: one table or query operation runs at a time, and everything here is shared by all open
// tables. Only `stop_requested` may be touched from another thread (SetQueryStop).
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "dbengine/bitmap_cache.h"
#include "dbengine/node_cache.h"
#include "dbengine/regex.h"

namespace dbengine {

struct DbTable;
struct CompiledQuery;

// The single prefix search that FindByPrefix starts and FindNextByPrefix continues.
struct PrefixSearch {
  DbTable* table = nullptr;  // none: no active search
  int index = 0;
  std::string text;  // the search string as given
};

// Test hooks: make file operations fail after a number of successes, or fake the free disk space.
struct FaultInjection {
  long reads_left = -1;   // -1: never fail; otherwise reads allowed before every read fails
  long writes_left = -1;  // likewise for writes
  bool fake_disk = false;
  uint64_t cluster_bytes = 4096;
  uint64_t free_clusters = 0;

  bool FailRead() { return Spend(reads_left); }
  bool FailWrite() { return Spend(writes_left); }

 private:
  // True (a failure) once the allowance is used up; it then stays used up.
  static bool Spend(long& left) {
    if (left < 0) return false;
    if (left == 0) return true;
    --left;
    return false;
  }
};

struct EngineState {
  int last_result = 0;          // result of the last table-level operation
  BitmapCache bitmap_cache;     // record-use bitmap pages
  NodeCache node_cache;         // index nodes other than the roots
  PrefixSearch prefix_search;   // FindByPrefix / FindNextByPrefix
  RegexCache regex;             // the last compiled "matches" expression
  CompiledQuery* active_query = nullptr;  // the query QueryNext continues
  std::atomic<bool> stop_requested{false};  // SetQueryStop, read by SelectToFile between rows and steps
  uint32_t next_file_id = 1;    // identities of index files in the node cache
  std::vector<DbTable*> open_tables;  // every open table, so a second handle can see the first's changes
  FaultInjection faults;
};

// The one instance.
EngineState& Engine();

}  // namespace dbengine
