// The check of one index tree, used by the table check and by the tests after every change they make.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "dbengine/check.h"
#include "dbengine/index_file.h"

namespace dbengine {

// An entry found by the check: its key bytes and record number, ordered by key, then record.
struct KeyedEntry {
  std::string key;
  int32_t record;
  bool operator<(const KeyedEntry& o) const { return key != o.key ? key < o.key : record < o.record; }
  bool operator==(const KeyedEntry& o) const { return key == o.key && record == o.record; }
};

// Walks an open index in key order through the node cache, leaving the tree as it is, and checks its
// structure: every node well formed and at its level (leaves exactly at the bottom), no node reached
// twice, keys strictly ascending in a unique index and never descending in one with duplicates, both
// within each node and against the separators above it (so across leaves too), a free list of freed
// nodes, no node lost. Problems go to *problems under the index number given (keys out of order once per
// node). Returns the entries met, in the order of the walk: key order when the tree is sound.
std::vector<KeyedEntry> CheckIndexTree(IndexFile* ix, int number, std::vector<CheckProblem>* problems);

}  // namespace dbengine
