// The B-tree of one index file: search, cursor steps, insertion with splits, removal with borrowing and
// merging. Node layout in index_node.h. Every node read is bounds-checked; a damaged file gives
// kIndexRead (or kIndexWrite when the cache cannot write back), never a crash or an endless walk: a walk
// never goes deeper than the height, and every node's leaf flag must agree with its level.
#pragma once
#include <cstdint>

#include "dbengine/index_file.h"

namespace dbengine {

// An entry copied out of the tree (the key buffer of an index).
struct IndexEntry {
  int32_t child = -1;
  int32_t record = -1;
  int key_length = 0;
  uint8_t key[kMaxKeyLength + 1] = {};  // NUL-terminated
};

// Descends from the root comparing the key with the entries of each node, recording the path. With
// `stop_at_equal` the walk ends at the first equal key met (the cursor is on it); otherwise it goes on to
// a leaf, where the cursor is on the last entry not greater than the key (or before the first). *found
// tells whether an equal key was met on the way.
int Descend(IndexFile* ix, const uint8_t* key, int length, bool stop_at_equal, bool* found);

// The cursor. First: before the first entry. Next / Prev: the following / preceding entry in key order,
// copied to *out; kNotFound at the end, leaving the cursor after the last / before the first entry.
void CursorFirst(IndexFile* ix);
int CursorNext(IndexFile* ix, IndexEntry* out);
int CursorPrev(IndexFile* ix, IndexEntry* out);
// The entry under the cursor; kNotFound when it is before the first or after the last.
int CursorCurrent(IndexFile* ix, IndexEntry* out);

// Inserts {record, key}; kDuplicateKey when the index is unique and holds the key. Afterwards the cursor
// is on the first entry with the key met from the root.
int BtreeInsert(IndexFile* ix, const uint8_t* key, int length, int32_t record);
// Removes the entry with the key and the record number (kOk also when there is none; *removed tells).
// Afterwards the cursor is where a search for the key leaves it.
int BtreeRemove(IndexFile* ix, const uint8_t* key, int length, int32_t record, bool* removed = nullptr);

}  // namespace dbengine

namespace dbengine {

// Places the cursor so that CursorNext gives the first entry (in key order) whose key is not less than
// the given one.
int CursorBefore(IndexFile* ix, const uint8_t* key, int length);

}  // namespace dbengine
