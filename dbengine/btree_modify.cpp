// Insertion and removal in a B-tree. Nodes split on bytes, not entry counts; removal takes the in-order
// successor for an inner entry, then borrows from or merges with a sibling while a node is under half
// full, and collapses an empty root. The steps are fixed so that the same operations always give the
// same file.
#include <cassert>
#include <string>

#include "dbengine/btree.h"
#include "dbengine/btree_internal.h"
#include "dbengine/result_codes.h"

namespace dbengine {
namespace {

// A full node splits at its first entry whose end lies this many bytes or more past the middle of its
// used bytes; that entry goes up as the separator. It decides where every split falls, so a change to it
// changes the files that the same operations write.
constexpr int kSplitPastMiddle = 4;

struct EntryBytes {
  uint8_t bytes[kMaxEntryBytes];
  int size = 0;

  void From(const uint8_t* e) {
    size = EntrySize(e);
    std::memcpy(bytes, e, static_cast<size_t>(size));
  }
  void SetChild(int32_t c) { SetEntryChild(bytes, c); }
};

// The record numbers and keys of a run of entries, children left out. A split or a rebalance rewires
// children but must keep this sequence over the nodes it touches; debug builds assert that it does (the
// order of keys then holds whenever it held before, even in a damaged file).
[[maybe_unused]] std::string EntrySequence(const uint8_t* entries, int used) {
  std::string out;
  for (int o = 0; o < used; o += EntrySize(entries + o)) {
    out.append(reinterpret_cast<const char*>(entries + o + kEntryRecordOffset),
               static_cast<size_t>(EntrySize(entries + o) - kEntryRecordOffset));
  }
  return out;
}
[[maybe_unused]] std::string EntrySequence(const Node& n) { return EntrySequence(n.Entries(), n.Used()); }
[[maybe_unused]] std::string EntrySequence(const EntryBytes& e) { return EntrySequence(e.bytes, e.size); }
[[maybe_unused]] std::string EntrySequence(const Node& left, const EntryBytes& middle, const Node& right) {
  return EntrySequence(left) + EntrySequence(middle) + EntrySequence(right);
}

// Whether a split of `before`, with `pending` going in at offset `at`, kept every entry in its place.
[[maybe_unused]] bool SplitKeepsEntries(const Node& before, int at, const EntryBytes& pending, const Node& left,
                                        const EntryBytes& separator, const Node& right) {
  return EntrySequence(before.Entries(), at) + EntrySequence(pending) +
             EntrySequence(before.Entries() + at, before.Used() - at) ==
         EntrySequence(left, separator, right);
}

// Inserts `pending` after the cursor position at `level` (path[level].pos), splitting full nodes and
// carrying the separator up the recorded path; a root split grows the tree by one level.
int InsertAt(IndexFile* ix, int level, EntryBytes pending) {
  while (true) {
    uint32_t address = ix->path[level].node;
    Node n;
    if (int rc = ReadTreeNodeCopy(ix, address, level, &n); rc != kOk) return rc;
    int pos = ix->path[level].pos;
    int at = pos < 0 ? 0 : NextEntry(n, pos);
    int used = n.Used();
    if (used + pending.size <= kNodeCapacity) {
      InsertEntryBytes(n, at, pending.bytes, pending.size);
      return WriteNode(ix, address, n);
    }
    [[maybe_unused]] const Node before = n;
    int split = 0;
    while (split + EntrySize(n.Entries() + split) < used / 2 + kSplitPastMiddle) split = NextEntry(n, split);
    uint32_t right_address;
    if (int rc = AllocateNode(ix, &right_address); rc != kOk) return rc;
    Node right;
    std::memset(right.bytes, 0, sizeof right.bytes);
    right.SetAddress(right_address);
    right.SetUsed(0);
    EntryBytes separator;
    if (at == split) {
      separator = pending;
      std::memcpy(right.Entries(), n.Entries() + split, static_cast<size_t>(used - split));
      right.SetUsed(used - split);
      n.SetUsed(split);
    } else {
      separator.From(n.Entries() + split);
      int moved_from = split + separator.size;
      std::memcpy(right.Entries(), n.Entries() + moved_from, static_cast<size_t>(used - moved_from));
      right.SetUsed(used - moved_from);
      n.SetUsed(split);
      if (at < split) InsertEntryBytes(n, at, pending.bytes, pending.size);
      else InsertEntryBytes(right, at - moved_from, pending.bytes, pending.size);
    }
    assert(SplitKeepsEntries(before, at, pending, n, separator, right));
    right.SetLeftmost(EntryChild(separator.bytes));
    separator.SetChild(static_cast<int32_t>(right_address));
    if (int rc = WriteNode(ix, right_address, right); rc != kOk) return rc;
    if (level == 0) {
      // The root stays at offset 0: its remaining content moves to a new node under it.
      uint32_t left_address;
      if (int rc = AllocateNode(ix, &left_address); rc != kOk) return rc;
      n.SetAddress(left_address);
      if (int rc = WriteNode(ix, left_address, n); rc != kOk) return rc;
      Node root;
      std::memset(root.bytes, 0, sizeof root.bytes);
      root.SetAddress(0);
      root.SetUsed(0);
      root.SetLeftmost(static_cast<int32_t>(left_address));
      InsertEntryBytes(root, 0, separator.bytes, separator.size);
      ix->root = root;
      ++ix->height;
      return kOk;
    }
    if (int rc = WriteNode(ix, address, n); rc != kOk) return rc;
    pending = separator;
    --level;
  }
}

// Puts `entry` in place of the entry at `offset` of the node at `level` (on the cursor path). A larger
// entry may overflow the node, which then splits as on insertion; *split tells whether it did.
int ReplaceEntry(IndexFile* ix, int level, int offset, const EntryBytes& entry, bool* split) {
  uint32_t address = ix->path[level].node;
  Node n;
  if (int rc = ReadTreeNodeCopy(ix, address, level, &n); rc != kOk) return rc;
  int old_size = EntrySize(n.Entries() + offset);
  RemoveEntryBytes(n, offset, old_size);
  *split = n.Used() + entry.size > kNodeCapacity;
  if (!*split) {
    InsertEntryBytes(n, offset, entry.bytes, entry.size);
    return WriteNode(ix, address, n);
  }
  if (int rc = WriteNode(ix, address, n); rc != kOk) return rc;
  ix->path[level].pos = PreviousEntry(n, offset);
  return InsertAt(ix, level, entry);
}

// Puts the cursor on the entry with the key and the record number (in a leaf when `leaf_only`), looking
// through every subtree whose key range may hold the key; with duplicates they may be many, and this
// scans them front to back without stepping backwards. Recursion is bounded by the height.
int FindInSubtree(IndexFile* ix, uint32_t address, int level, const uint8_t* key, int length, int32_t record,
                  bool leaf_only, bool* found) {
  Node n;
  if (int rc = ReadTreeNodeCopy(ix, address, level, &n); rc != kOk) return rc;
  bool leaf = n.IsLeaf();
  int previous = -1;
  for (int o = 0; o < n.Used(); o = NextEntry(n, o)) {
    const uint8_t* e = n.Entries() + o;
    int c = CompareWithEntryKey(key, length, EntryKey(e));
    if (c <= 0 && !leaf) {  // the keys before this entry may still be equal to the key
      ix->path[level] = {address, previous};
      uint32_t child = static_cast<uint32_t>(previous < 0 ? n.Leftmost() : EntryChild(n.Entries() + previous));
      if (int rc = FindInSubtree(ix, child, level + 1, key, length, record, leaf_only, found); rc != kOk || *found) {
        return rc;
      }
    }
    if (c < 0) return kOk;
    if (c == 0 && EntryRecord(e) == record && (leaf || !leaf_only)) {
      ix->path[level] = {address, o};
      ix->level = level;
      *found = true;
      return kOk;
    }
    previous = o;
  }
  if (leaf) return kOk;
  ix->path[level] = {address, previous};
  uint32_t child = static_cast<uint32_t>(previous < 0 ? n.Leftmost() : EntryChild(n.Entries() + previous));
  return FindInSubtree(ix, child, level + 1, key, length, record, leaf_only, found);
}

int FindEntry(IndexFile* ix, const uint8_t* key, int length, int32_t record, bool leaf_only, bool* found) {
  *found = false;
  return FindInSubtree(ix, 0, 0, key, length, record, leaf_only, found);
}

// After an entry left the node at `level`: borrow from or merge with a sibling while the node is under
// half full, up the path; an empty root with a child gives way to that child.
int Rebalance(IndexFile* ix, int level) {
  while (level > 0) {
    Node n;
    uint32_t address = ix->path[level].node;
    if (int rc = ReadTreeNodeCopy(ix, address, level, &n); rc != kOk) return rc;
    if (n.Used() >= kNodeUnderflow) return kOk;
    Node parent;
    uint32_t parent_address = ix->path[level - 1].node;
    if (int rc = ReadTreeNodeCopy(ix, parent_address, level - 1, &parent); rc != kOk) return rc;
    int pos = ix->path[level - 1].pos;
    // The right sibling unless the node is its parent's last child.
    bool node_is_left = pos != LastEntry(parent);
    int separator_at = node_is_left ? (pos < 0 ? 0 : NextEntry(parent, pos)) : pos;
    if (separator_at < 0 || separator_at >= parent.Used()) return kIndexRead;
    uint32_t sibling_address;
    if (node_is_left) {
      sibling_address = static_cast<uint32_t>(EntryChild(parent.Entries() + separator_at));
    } else {
      int before = PreviousEntry(parent, pos);
      sibling_address = static_cast<uint32_t>(before < 0 ? parent.Leftmost() : EntryChild(parent.Entries() + before));
    }
    Node sibling;
    if (int rc = ReadTreeNodeCopy(ix, sibling_address, level, &sibling); rc != kOk) return rc;
    EntryBytes separator;
    separator.From(parent.Entries() + separator_at);
    if (n.Used() + separator.size >= kNodeCapacity) return kOk;
    if (sibling.Used() + n.Used() + separator.size >= kNodeCapacity &&
        sibling.Used() <= n.Used() + separator.size) {
      return kOk;
    }
    Node& left = node_is_left ? n : sibling;
    Node& right = node_is_left ? sibling : n;
    uint32_t left_address = node_is_left ? address : sibling_address;
    uint32_t right_address = node_is_left ? sibling_address : address;
    [[maybe_unused]] const Node left_before = left, right_before = right;
    separator.SetChild(right.Leftmost());
    if (left.Used() + separator.size + right.Used() < kNodeCapacity) {
      // Merge: separator and right node into the left one; the parent loses the separator.
      InsertEntryBytes(left, left.Used(), separator.bytes, separator.size);
      InsertEntryBytes(left, left.Used(), right.Entries(), right.Used());
      assert(EntrySequence(left) == EntrySequence(left_before, separator, right_before));
      if (int rc = WriteNode(ix, left_address, left); rc != kOk) return rc;
      if (int rc = FreeNode(ix, right_address); rc != kOk) return rc;
      RemoveEntryBytes(parent, separator_at, separator.size);
      if (int rc = WriteNode(ix, parent_address, parent); rc != kOk) return rc;
      --level;
      continue;
    }
    // Borrow one entry through the parent. From a right sibling: the separator comes down to the end of
    // the node and the sibling's first entry goes up. From a left sibling it is the mirror image: the
    // separator comes down to the front of the node and the sibling's last entry goes up (taking the
    // separator into the left sibling instead could overfill it and would empty the node).
    EntryBytes up;
    if (node_is_left) {
      InsertEntryBytes(left, left.Used(), separator.bytes, separator.size);
      up.From(right.Entries());
      right.SetLeftmost(EntryChild(up.bytes));
      RemoveEntryBytes(right, 0, up.size);
    } else {
      InsertEntryBytes(right, 0, separator.bytes, separator.size);
      int last = LastEntry(left);
      up.From(left.Entries() + last);
      right.SetLeftmost(EntryChild(up.bytes));
      RemoveEntryBytes(left, last, up.size);
    }
    assert(EntrySequence(left, up, right) == EntrySequence(left_before, separator, right_before));
    up.SetChild(static_cast<int32_t>(right_address));
    if (int rc = WriteNode(ix, left_address, left); rc != kOk) return rc;
    if (int rc = WriteNode(ix, right_address, right); rc != kOk) return rc;
    bool split;
    return ReplaceEntry(ix, level - 1, separator_at, up, &split);
  }
  if (ix->root.Used() == 0 && !ix->root.IsLeaf()) {
    uint32_t child = static_cast<uint32_t>(ix->root.Leftmost());
    Node c;
    if (int rc = ReadTreeNodeCopy(ix, child, 1, &c); rc != kOk) return rc;
    c.SetAddress(0);
    ix->root = c;
    --ix->height;
    return FreeNode(ix, child);
  }
  return kOk;
}

}  // namespace

int BtreeInsert(IndexFile* ix, const uint8_t* key, int length, int32_t record) {
  if (length > kMaxKeyLength) return kIndexState;
  bool found;
  if (int rc = Descend(ix, key, length, false, &found); rc != kOk) return rc;
  if (found && !ix->duplicates) return kDuplicateKey;
  EntryBytes e;
  SetEntryChild(e.bytes, kNoChild);
  SetEntryRecord(e.bytes, record);
  std::memcpy(e.bytes + kEntryKeyOffset, key, static_cast<size_t>(length));
  e.bytes[kEntryKeyOffset + length] = 0;
  e.size = kEntryOverhead + length;
  if (int rc = InsertAt(ix, ix->level, e); rc != kOk) return rc;
  return Descend(ix, key, length, true, &found);
}

int BtreeRemove(IndexFile* ix, const uint8_t* key, int length, int32_t record, bool* removed) {
  if (removed) *removed = false;
  if (length > kMaxKeyLength) return kOk;  // no such key can be in the tree
  bool found;
  if (int rc = FindEntry(ix, key, length, record, false, &found); rc != kOk) return rc;
  if (removed) *removed = found;
  if (found) {
    int level = ix->level;
    int pos = ix->path[level].pos;
    Node n;
    if (int rc = ReadTreeNodeCopy(ix, ix->path[level].node, level, &n); rc != kOk) return rc;
    if (!n.IsLeaf()) {
      // An inner entry gives way to its in-order successor, which then leaves its leaf instead.
      uint32_t child = static_cast<uint32_t>(EntryChild(n.Entries() + pos));
      int leaf = level;
      const Node* c;
      do {
        ++leaf;
        ix->path[leaf] = {child, -1};
        if (int rc = ReadTreeNode(ix, child, leaf, &c); rc != kOk) return rc;
        child = static_cast<uint32_t>(c->Leftmost());
      } while (!c->IsLeaf());
      if (c->Used() == 0) return kIndexRead;
      EntryBytes successor;
      successor.From(c->Entries());
      EntryBytes replacement = successor;
      replacement.SetChild(EntryChild(n.Entries() + pos));
      bool split;
      if (int rc = ReplaceEntry(ix, level, pos, replacement, &split); rc != kOk) return rc;
      if (split) {
        // The path changed above the leaf; find the leaf copy again (it follows its inner copy).
        bool again;
        if (int rc = FindEntry(ix, EntryKey(successor.bytes), EntryKeyLength(successor.bytes),
                               EntryRecord(successor.bytes), true, &again);
            rc != kOk) {
          return rc;
        }
        if (!again) return kIndexState;
      } else {
        ix->path[level].pos = pos;
        ix->path[leaf].pos = 0;
        ix->level = leaf;
      }
      level = ix->level;
      pos = ix->path[level].pos;
      if (int rc = ReadTreeNodeCopy(ix, ix->path[level].node, level, &n); rc != kOk) return rc;
    }
    RemoveEntryBytes(n, pos, EntrySize(n.Entries() + pos));
    if (int rc = WriteNode(ix, ix->path[level].node, n); rc != kOk) return rc;
    if (int rc = Rebalance(ix, level); rc != kOk) return rc;
  }
  return Descend(ix, key, length, true, &found);
}

}  // namespace dbengine
