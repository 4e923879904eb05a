// The engine-wide cache of index nodes, shared by every open index file. A node is found by its file and
// address; a miss takes the least recently used buffer, writing it back first when dirty. Closing or
// flushing an index writes back its dirty nodes, so the files come out the same whatever the number of
// buffers (the original design had 8; more simply keep more of a large tree in memory).
#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "dbengine/index_node.h"

namespace dbengine {

struct IndexFile;

constexpr int kNodeCacheBuffers = 4096;

struct NodeBuffer {
  IndexFile* owner = nullptr;  // none: the buffer is free
  uint32_t address = 0;
  bool dirty = false;
  int newer = -1, older = -1;  // recency list
  Node node;
};

struct NodeCache {
  std::vector<NodeBuffer> buffers;
  std::unordered_map<uint64_t, int> where;  // (file id, address) -> buffer
  int newest = -1, oldest = -1;
  std::vector<int> free_buffers;
};

// The buffer holding a node, marked most recently used; null on a miss.
NodeBuffer* FindNode(const IndexFile* ix, uint32_t address);
// A buffer for a node not in the cache (contents undefined). kOk, or kIndexWrite when the buffer given
// up could not be written back.
int ClaimNode(IndexFile* ix, uint32_t address, NodeBuffer** out);
// Drops a buffer without writing it.
void ForgetNode(NodeBuffer* b);
// Writes back every dirty node of a file; with `forget`, also drops them. kOk or kIndexWrite.
int WriteBackNodes(IndexFile* ix, bool forget);

}  // namespace dbengine
