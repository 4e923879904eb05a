// Lists of candidate moves: MoveNodes of the search pool linked through their `next` field, in the order
// the search will try them. Generators build such lists and concatenate them; the search attaches a list
// as the children of a node. Nothing here allocates.
#pragma once
#include "rules/move_node.h"
#include "rules/node_pool.h"

namespace solver {

struct MoveList {
  rules::MoveNode* head = nullptr;
  rules::MoveNode* tail = nullptr;

  bool empty() const { return head == nullptr; }
  int Count() const;

  void Append(rules::MoveNode* node);
  void Append(MoveList other);
  // Detaches the first `n` nodes (n >= 0) as a list of their own.
  MoveList TakeFront(int n);
  // Returns every node to the pool (nodes of a list have no children yet, or own subtrees that go too).
  void FreeAll(rules::NodePool& pool);
};

// The largest number of moves a generator ever lists at once: a side has at most 593 moves of play, and
// the check list may also hold moves that leave the attacker's own king attacked.
constexpr int kMaxListedMoves = 1024;

// Stable sort of a list by the nodes' keys, largest first (equal keys keep their order). Uses no heap
// memory.
void SortByKeyDescending(MoveList& list);

// Makes `list` hold its captures first, by the captured piece's value (largest first, the later-generated
// first among equals), then the non-captures in generation order.
void CapturesFirst(MoveList& list);

// Links the list as the children of `parent` (which has none), setting their parent.
void AttachChildren(rules::MoveNode* parent, MoveList list);

}  // namespace solver
