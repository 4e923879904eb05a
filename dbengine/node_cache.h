// The engine-wide cache of index nodes, shared by every open index file. A node is found by its file and
// address; a miss takes the least recently used buffer, writing it back first when dirty. Closing or
// flushing an index writes back its dirty nodes, so the files come out the same whatever the number of
// buffers: it only trades memory for reads. 4096 buffers are 4 MiB, little beside what a machine running
// the workbench has, and keep an index of some tens of thousands of short keys wholly in memory.
#pragma once
#include <cstdint>
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

// Buffer numbers by (file id, address): open addressing with linear probing, kept under a quarter full
// so that a lookup is one or two probes.
class NodeIndex {
 public:
  int Find(uint64_t key) const;
  void Insert(uint64_t key, int buffer);
  void Erase(uint64_t key);

 private:
  static constexpr int kBits = 14;
  static constexpr size_t kSlots = size_t{1} << kBits;
  static size_t Home(uint64_t key) { return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - kBits)); }
  void Allocate();
  std::vector<uint64_t> keys_;
  std::vector<int32_t> buffers_;  // -1: empty slot
};

struct NodeCache {
  size_t capacity = kNodeCacheBuffers;  // buffers in use at most (tests lower it to force evictions)
  size_t in_use = 0;
  std::vector<NodeBuffer> buffers;
  NodeIndex where;  // (file id, address) -> buffer
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
// Sets how many buffers the cache may use (1 .. kNodeCacheBuffers); the files come out the same.
void SetNodeCacheCapacity(size_t buffers);

}  // namespace dbengine
