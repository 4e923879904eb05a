// The allocator of a record's MoveNodes: a list of chunks and a free list. No heap allocation per node.
//
// The pool counts as low when its total has reached the limit or fewer than 3000 nodes are free; the mate
// search releases subtrees on that test. The limit does not stop growth: a chunk fails only when memory
// does, because a search or a record that silently lost nodes would give wrong answers, while the low
// test already keeps the search's own pool small.
#pragma once
#include <memory>
#include <vector>

#include "platform/message_sink.h"
#include "rules/move_node.h"

namespace rules {

class NodePool {
 public:
  static constexpr int kLowFreeNodes = 3000;

  // Sizes of the first and of later chunks, and the limit of the low test.
  NodePool(int first_chunk, int growth, int limit, platform::MessageSink* messages);
  ~NodePool();
  NodePool(const NodePool&) = delete;
  NodePool& operator=(const NodePool&) = delete;

  // A cleared node, or nullptr when no chunk could be added (the failure message is shown once).
  MoveNode* Allocate();
  // Returns one node (not its children) to the free list; its MoveNote is deleted.
  void Free(MoveNode* node);
  // Returns a node and its whole subtree (children, their siblings and so on), without recursion. The
  // node's own siblings are left alone; unlink it from its parent first.
  void FreeSubtree(MoveNode* node);

  bool IsLow() const { return total_ >= limit_ || free_ < kLowFreeNodes; }
  int total() const { return total_; }
  int free_count() const { return free_; }
  int in_use() const { return total_ - free_; }
  int limit() const { return limit_; }

  void SetMessageSink(platform::MessageSink* messages) { messages_ = messages; }
  // Tests: let only this many more chunks be added, as if memory ran out after them.
  void LimitChunksForTesting(int chunks) { chunks_left_for_testing_ = chunks; }

 private:
  bool AddChunk();

  std::vector<std::unique_ptr<MoveNode[]>> chunks_;
  std::vector<int> chunk_sizes_;
  MoveNode* free_list_ = nullptr;
  int first_chunk_, growth_, limit_;
  int total_ = 0, free_ = 0;
  bool failure_shown_ = false;
  int chunks_left_for_testing_ = -1;
  platform::MessageSink* messages_;
};

}  // namespace rules
