#include "rules/node_pool.h"

#include <new>

namespace rules {

namespace {
const char kPoolFullMessage[] =
    "メモリが一杯で指し手領域を取得できないため、正しく動作しない可能性があります";
}

NodePool::NodePool(int first_chunk, int growth, int limit, platform::MessageSink* messages)
    : first_chunk_(first_chunk > 0 ? first_chunk : 1),
      growth_(growth > 0 ? growth : 1),
      limit_(limit),
      messages_(messages ? messages : &platform::NullMessageSink::Instance()) {}

NodePool::~NodePool() {
  // Nodes still in use may own notes; free nodes never do.
  for (size_t c = 0; c < chunks_.size(); ++c) {
    for (int i = 0; i < chunk_sizes_[c]; ++i) delete chunks_[c][i].note;
  }
}

bool NodePool::AddChunk() {
  if (chunks_left_for_testing_ == 0) return false;
  int n = chunks_.empty() ? first_chunk_ : growth_;
  MoveNode* chunk = new (std::nothrow) MoveNode[n];
  if (!chunk) return false;
  if (chunks_left_for_testing_ > 0) --chunks_left_for_testing_;
  chunks_.emplace_back(chunk);
  chunk_sizes_.push_back(n);
  for (int i = n - 1; i >= 0; --i) {
    chunk[i].next = free_list_;
    free_list_ = &chunk[i];
  }
  total_ += n;
  free_ += n;
  return true;
}

MoveNode* NodePool::Allocate() {
  if (!free_list_ && !AddChunk()) {
    if (!failure_shown_) {
      failure_shown_ = true;
      messages_->Show(kPoolFullMessage);
    }
    return nullptr;
  }
  MoveNode* node = free_list_;
  free_list_ = node->next;
  --free_;
  *node = MoveNode{};
  return node;
}

void NodePool::Free(MoveNode* node) {
  delete node->note;
  node->note = nullptr;
  node->parent = node->child = nullptr;
  node->next = free_list_;
  free_list_ = node;
  ++free_;
}

void NodePool::FreeSubtree(MoveNode* node) {
  if (!node) return;
  // Walk the subtree by its own links: descend to a first child; free a leaf and continue with its
  // sibling, or climb to its parent (whose child link is cleared, so it becomes a leaf).
  MoveNode* n = node;
  while (n) {
    if (n->child) {
      n = n->child;
      continue;
    }
    MoveNode* sibling = n->next;
    MoveNode* parent = n->parent;
    bool is_top = (n == node);
    Free(n);
    if (is_top) break;
    if (sibling) {
      n = sibling;
    } else {
      parent->child = nullptr;
      n = parent;
    }
  }
}

}  // namespace rules
