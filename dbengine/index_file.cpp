#include "dbengine/index_file.h"

#include <cassert>

#include "dbengine/engine_state.h"
#include "dbengine/node_cache.h"
#include "dbengine/result_codes.h"

namespace dbengine {
namespace {

void EncodeHeader(const IndexFile& ix, uint8_t* out) {
  std::memcpy(out, ix.root.bytes, kNodeBytes);
  PutI32(out + kNodeBytes, ix.free_head);
  PutI16(out + kNodeBytes + 4, static_cast<int16_t>(ix.height));
}

// A freed node read back from the free list: marked freed, and its link ends the list or is a node.
bool FreedNodeIsWellFormed(const Node& n, uint64_t file_end) {
  int32_t next = static_cast<int32_t>(n.Address());
  return n.Leftmost() == kFreedNode && (next == kNoNode || IsNodeAddress(next, file_end));
}

}  // namespace

std::string IndexFilePath(std::string_view table_path, int index) {
  return std::string(table_path) + ".ix" + std::to_string(index);
}

int CreateIndexFile(std::string_view file_path) {
  DbFile f;
  if (!f.Open(file_path, DbFile::Mode::kCreateTruncate)) return kIndexOpen;
  IndexFile empty;
  empty.root.SetAddress(0);
  empty.root.SetUsed(0);
  empty.root.SetLeftmost(kNoChild);
  uint8_t header[kIndexHeaderBytes];
  EncodeHeader(empty, header);
  return f.WriteAt(0, header, sizeof header) ? kOk : kIndexWrite;
}

int OpenIndexFile(std::string_view file_path, int duplicates, IndexFile* ix) {
  if (!ix->file.Open(file_path, DbFile::Mode::kReadWriteOrRead)) return kIndexOpen;
  uint8_t header[kIndexHeaderBytes];
  int64_t size = ix->file.Size();
  if (size < kIndexHeaderBytes || !ix->file.ReadAt(0, header, sizeof header)) {
    ix->file.Close();
    return kIndexRead;
  }
  // A node cut short at the end (a write that did not finish) is not part of the file.
  ix->end = kIndexHeaderBytes + (static_cast<uint64_t>(size) - kIndexHeaderBytes) / kNodeBytes * kNodeBytes;
  std::memcpy(ix->on_disk, header, sizeof header);
  std::memcpy(ix->root.bytes, header, kNodeBytes);
  ix->free_head = GetI32(header + kNodeBytes);
  ix->height = GetI16(header + kNodeBytes + 4);
  bool ok = NodeIsWellFormed(ix->root, 0, ix->end) && ix->height >= 1 && ix->height <= kMaxLevels &&
            ix->root.IsLeaf() == (ix->height == 1) &&
            (ix->free_head == kNoNode || IsNodeAddress(ix->free_head, ix->end));
  if (!ok) {
    ix->file.Close();
    return kIndexRead;
  }
  ix->duplicates = duplicates;
  ix->id = Engine().next_file_id++;
  ix->level = 0;
  ix->path[0] = {0, -1};
  return kOk;
}

int FlushIndexFile(IndexFile* ix, bool close) {
  int rc = WriteBackNodes(ix, close);
  uint8_t header[kIndexHeaderBytes];
  EncodeHeader(*ix, header);
  if (std::memcmp(header, ix->on_disk, sizeof header) != 0) {
    if (ix->file.WriteAt(0, header, sizeof header)) std::memcpy(ix->on_disk, header, sizeof header);
    else rc = kIndexWrite;
  }
  if (close) ix->file.Close();
  return rc;
}

int ReadNode(IndexFile* ix, uint32_t address, const Node** node) {
  if (address == 0) {
    *node = &ix->root;
    return kOk;
  }
  if (NodeBuffer* b = FindNode(ix, address)) {
    // A node of ours that was freed is not part of the tree; only a damaged link leads here.
    if (b->node.Leftmost() == kFreedNode || b->node.Address() != address) return kIndexRead;
    *node = &b->node;
    return kOk;
  }
  if (!IsNodeAddress(address, ix->end)) return kIndexRead;
  NodeBuffer* b;
  if (int rc = ClaimNode(ix, address, &b); rc != kOk) return rc;
  if (!ix->file.ReadAt(address, b->node.bytes, kNodeBytes) ||
      !NodeIsWellFormed(b->node, address, ix->end)) {
    ForgetNode(b);
    return kIndexRead;
  }
  *node = &b->node;
  return kOk;
}

int WriteNode(IndexFile* ix, uint32_t address, const Node& node) {
  // Every node put into the tree comes from nodes that passed this check when read, so a node that
  // fails it here is the engine's own mistake, not damage in the file.
  assert(node.Leftmost() == kFreedNode || NodeIsWellFormed(node, address, ix->end));
  if (address == 0) {
    if (&node != &ix->root) ix->root = node;
    return kOk;
  }
  NodeBuffer* b = FindNode(ix, address);
  if (!b) {
    if (int rc = ClaimNode(ix, address, &b); rc != kOk) return rc;
  }
  if (&b->node != &node) b->node = node;
  b->dirty = true;
  return kOk;
}

int AllocateNode(IndexFile* ix, uint32_t* address) {
  if (ix->free_head == kNoNode) {
    *address = static_cast<uint32_t>(ix->end);
    ix->end += kNodeBytes;
    return kOk;
  }
  uint32_t a = static_cast<uint32_t>(ix->free_head);
  NodeBuffer* b = FindNode(ix, a);
  if (!b) {
    if (int rc = ClaimNode(ix, a, &b); rc != kOk) return rc;
    if (!ix->file.ReadAt(a, b->node.bytes, kNodeBytes)) {
      ForgetNode(b);
      return kIndexRead;
    }
  }
  if (!FreedNodeIsWellFormed(b->node, ix->end)) {
    if (!b->dirty) ForgetNode(b);
    return kIndexRead;
  }
  ix->free_head = static_cast<int32_t>(b->node.Address());
  *address = a;
  return kOk;
}

int FreeNode(IndexFile* ix, uint32_t address) {
  const Node* current;
  Node n;
  if (ReadNode(ix, address, &current) == kOk) {
    n = *current;
  } else {
    std::memset(n.bytes, 0, sizeof n.bytes);
  }
  n.SetAddress(static_cast<uint32_t>(ix->free_head));
  n.SetLeftmost(kFreedNode);
  ix->free_head = static_cast<int32_t>(address);
  return WriteNode(ix, address, n);
}

}  // namespace dbengine

namespace dbengine {

int ReadRawNode(IndexFile* ix, uint32_t address, Node* out) {
  if (address == 0) {
    *out = ix->root;
    return kOk;
  }
  if (NodeBuffer* b = FindNode(ix, address)) {
    *out = b->node;
    return kOk;
  }
  if (!IsNodeAddress(address, ix->end)) return kIndexRead;
  return ix->file.ReadAt(address, out->bytes, kNodeBytes) ? kOk : kIndexRead;
}

void DiscardIndexFile(IndexFile* ix) {
  NodeCache& c = Engine().node_cache;
  for (NodeBuffer& b : c.buffers) {
    if (b.owner == ix) ForgetNode(&b);
  }
  ix->file.Close();
}

}  // namespace dbengine
