#include "dbengine/node_cache.h"

#include <algorithm>

#include "dbengine/engine_state.h"
#include "dbengine/index_file.h"
#include "dbengine/result_codes.h"

namespace dbengine {
namespace {

NodeCache& Cache() { return Engine().node_cache; }

uint64_t Key(const IndexFile* ix, uint32_t address) {
  return (static_cast<uint64_t>(ix->id) << 32) | address;
}

void Unlink(NodeCache& c, int i) {
  NodeBuffer& b = c.buffers[i];
  if (b.newer >= 0) c.buffers[b.newer].older = b.older;
  else c.newest = b.older;
  if (b.older >= 0) c.buffers[b.older].newer = b.newer;
  else c.oldest = b.newer;
  b.newer = b.older = -1;
}

void PushNewest(NodeCache& c, int i) {
  NodeBuffer& b = c.buffers[i];
  b.older = c.newest;
  b.newer = -1;
  if (c.newest >= 0) c.buffers[c.newest].newer = i;
  c.newest = i;
  if (c.oldest < 0) c.oldest = i;
}

bool WriteOut(NodeBuffer& b) {
  if (!b.dirty) return true;
  if (!b.owner->file.WriteAt(b.address, b.node.bytes, kNodeBytes)) return false;
  b.dirty = false;
  return true;
}

}  // namespace

void NodeIndex::Allocate() {
  keys_.assign(kSlots, 0);
  buffers_.assign(kSlots, -1);
}

int NodeIndex::Find(uint64_t key) const {
  if (buffers_.empty()) return -1;
  for (size_t i = Home(key);; i = (i + 1) & (kSlots - 1)) {
    if (buffers_[i] < 0) return -1;
    if (keys_[i] == key) return buffers_[i];
  }
}

void NodeIndex::Insert(uint64_t key, int buffer) {
  if (buffers_.empty()) Allocate();
  size_t i = Home(key);
  while (buffers_[i] >= 0 && keys_[i] != key) i = (i + 1) & (kSlots - 1);
  keys_[i] = key;
  buffers_[i] = buffer;
}

void NodeIndex::Erase(uint64_t key) {
  if (buffers_.empty()) return;
  size_t i = Home(key);
  while (true) {
    if (buffers_[i] < 0) return;
    if (keys_[i] == key) break;
    i = (i + 1) & (kSlots - 1);
  }
  // Backward shift: later entries of the probe run move into the hole when that keeps them reachable.
  for (size_t j = (i + 1) & (kSlots - 1); buffers_[j] >= 0; j = (j + 1) & (kSlots - 1)) {
    size_t home = Home(keys_[j]);
    bool movable = i <= j ? (home <= i || home > j) : (home <= i && home > j);
    if (!movable) continue;
    keys_[i] = keys_[j];
    buffers_[i] = buffers_[j];
    i = j;
  }
  buffers_[i] = -1;
}

NodeBuffer* FindNode(const IndexFile* ix, uint32_t address) {
  NodeCache& c = Cache();
  int i = c.where.Find(Key(ix, address));
  if (i < 0) return nullptr;
  if (c.newest != i) {
    Unlink(c, i);
    PushNewest(c, i);
  }
  return &c.buffers[i];
}

int ClaimNode(IndexFile* ix, uint32_t address, NodeBuffer** out) {
  NodeCache& c = Cache();
  int i;
  if (c.in_use >= c.capacity) {
    i = c.oldest;
    NodeBuffer& victim = c.buffers[i];
    if (!WriteOut(victim)) return kIndexWrite;
    c.where.Erase(Key(victim.owner, victim.address));
    Unlink(c, i);
  } else if (!c.free_buffers.empty()) {
    i = c.free_buffers.back();
    c.free_buffers.pop_back();
    ++c.in_use;
  } else {
    // Grown on demand: a program that never touches an index pays nothing.
    if (c.buffers.capacity() == 0) c.buffers.reserve(kNodeCacheBuffers);
    c.buffers.emplace_back();
    i = static_cast<int>(c.buffers.size()) - 1;
    ++c.in_use;
  }
  NodeBuffer& b = c.buffers[i];
  b.owner = ix;
  b.address = address;
  b.dirty = false;
  c.where.Insert(Key(ix, address), i);
  PushNewest(c, i);
  *out = &b;
  return kOk;
}

void ForgetNode(NodeBuffer* b) {
  NodeCache& c = Cache();
  int i = static_cast<int>(b - c.buffers.data());
  c.where.Erase(Key(b->owner, b->address));
  Unlink(c, i);
  b->owner = nullptr;
  b->dirty = false;
  c.free_buffers.push_back(i);
  --c.in_use;
}

void SetNodeCacheCapacity(size_t buffers) {
  NodeCache& c = Cache();
  c.capacity = std::clamp<size_t>(buffers, 1, kNodeCacheBuffers);
  // Give up the least recently used buffers beyond the new size (their nodes written back first).
  while (c.in_use > c.capacity) {
    NodeBuffer& victim = c.buffers[c.oldest];
    WriteOut(victim);
    ForgetNode(&victim);
  }
}

int WriteBackNodes(IndexFile* ix, bool forget) {
  NodeCache& c = Cache();
  std::vector<NodeBuffer*> mine;
  for (NodeBuffer& b : c.buffers) {
    if (b.owner == ix) mine.push_back(&b);
  }
  // In address order, so the file is written front to back.
  std::sort(mine.begin(), mine.end(), [](const NodeBuffer* a, const NodeBuffer* b) { return a->address < b->address; });
  int rc = kOk;
  for (NodeBuffer* b : mine) {
    if (!WriteOut(*b)) rc = kIndexWrite;
    if (forget) ForgetNode(b);
  }
  return rc;
}

}  // namespace dbengine
