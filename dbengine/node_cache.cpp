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

NodeBuffer* FindNode(const IndexFile* ix, uint32_t address) {
  NodeCache& c = Cache();
  auto it = c.where.find(Key(ix, address));
  if (it == c.where.end()) return nullptr;
  if (c.newest != it->second) {
    Unlink(c, it->second);
    PushNewest(c, it->second);
  }
  return &c.buffers[it->second];
}

int ClaimNode(IndexFile* ix, uint32_t address, NodeBuffer** out) {
  NodeCache& c = Cache();
  int i;
  if (!c.free_buffers.empty()) {
    i = c.free_buffers.back();
    c.free_buffers.pop_back();
  } else if (c.buffers.size() < kNodeCacheBuffers) {
    // Grown on demand: a program that never touches an index pays nothing.
    if (c.buffers.capacity() == 0) c.buffers.reserve(kNodeCacheBuffers);
    c.buffers.emplace_back();
    i = static_cast<int>(c.buffers.size()) - 1;
  } else {
    i = c.oldest;
    NodeBuffer& victim = c.buffers[i];
    if (!WriteOut(victim)) return kIndexWrite;
    c.where.erase(Key(victim.owner, victim.address));
    Unlink(c, i);
  }
  NodeBuffer& b = c.buffers[i];
  b.owner = ix;
  b.address = address;
  b.dirty = false;
  c.where[Key(ix, address)] = i;
  PushNewest(c, i);
  *out = &b;
  return kOk;
}

void ForgetNode(NodeBuffer* b) {
  NodeCache& c = Cache();
  int i = static_cast<int>(b - c.buffers.data());
  c.where.erase(Key(b->owner, b->address));
  Unlink(c, i);
  b->owner = nullptr;
  b->dirty = false;
  c.free_buffers.push_back(i);
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
