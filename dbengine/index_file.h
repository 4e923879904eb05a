// An open index file: the root image kept in memory, the free-node list, the height, and the cursor.
// Other nodes are read and written through the engine-wide node cache (node_cache.h). The file layout is
// described in index_node.h.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "dbengine/db_file.h"
#include "dbengine/index_node.h"

namespace dbengine {

// The deepest tree the cursor can follow. A node other than the root keeps at least 4 entries even of
// the longest keys (a split leaves both halves over a third full; a node under half full borrows or
// merges unless it still holds 399 bytes), so the 524,280 entries of the largest table fit in 8 levels
// (9 would need 781,249). 16 leaves a wide margin; a header with a greater height is refused on opening.
constexpr int kMaxLevels = 16;

// One level of the cursor's path: the node, and the offset of the entry there (-1 before the first
// entry; at an inner level, the entry whose child the path continues into, -1 for the leftmost child).
struct CursorStep {
  uint32_t node = 0;
  int32_t pos = -1;
};

struct IndexFile {
  DbFile file;
  uint32_t id = 0;  // identity of the file in the node cache
  int duplicates = 0;
  Node root{};
  int32_t free_head = kNoNode;
  int height = 1;
  uint64_t end = kIndexHeaderBytes;  // file length, counting appended nodes not yet written back
  uint8_t on_disk[kIndexHeaderBytes] = {};  // the header as last read or written, to skip rewriting it
  // Cursor: the entry at path[level] is the current one.
  int level = 0;
  CursorStep path[kMaxLevels];

  bool IsOpen() const { return file.IsOpen(); }
};

std::string IndexFilePath(std::string_view table_path, int index);

// Creates (or empties) an index file: an empty root, free list -1, height 1, written at once.
// kOk, kIndexOpen or kIndexWrite.
int CreateIndexFile(std::string_view file_path);
// Opens an index file (for reading only where it cannot be written) and reads its 1030-byte header. kOk, kIndexOpen, or kIndexRead when the header is
// short or damaged (root not well formed, free head or height out of range).
int OpenIndexFile(std::string_view file_path, int duplicates, IndexFile* ix);
// Writes back the cached nodes and the header; with `close`, also forgets them and closes the file.
// kOk or kIndexWrite.
int FlushIndexFile(IndexFile* ix, bool close);

// A tree node (address 0 is the root): a view valid until the next node-cache call. kOk, or kIndexRead
// when the address is not a node of the file or the node read is not well formed.
int ReadNode(IndexFile* ix, uint32_t address, const Node** node);
// Stores a node image at an address (the root image for 0). kOk or kIndexWrite (evicting failed).
int WriteNode(IndexFile* ix, uint32_t address, const Node& node);
// Takes a node from the free list, or appends one at the end of the file.
int AllocateNode(IndexFile* ix, uint32_t* address);
// Puts a node on the free list: leftmost child -2, first word the old head.
int FreeNode(IndexFile* ix, uint32_t address);

}  // namespace dbengine

namespace dbengine {

// A node's bytes as they are, from the cache or the file, without any check (for the free list and the
// integrity check). kOk or kIndexRead.
int ReadRawNode(IndexFile* ix, uint32_t address, Node* out);
// Forgets the file's cached nodes without writing them and closes it (a check that only read).
void DiscardIndexFile(IndexFile* ix);

}  // namespace dbengine
