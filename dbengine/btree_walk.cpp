// Searching and stepping through a B-tree.
#include "dbengine/btree.h"
#include "dbengine/btree_internal.h"
#include "dbengine/result_codes.h"

namespace dbengine {

int ReadTreeNode(IndexFile* ix, uint32_t address, int level, const Node** node) {
  if (level >= ix->height) return kIndexRead;
  if (int rc = ReadNode(ix, address, node); rc != kOk) return rc;
  // Leaves are exactly the nodes at the bottom level; anything else is a damaged link.
  return (*node)->IsLeaf() == (level == ix->height - 1) ? kOk : kIndexRead;
}

int ReadTreeNodeCopy(IndexFile* ix, uint32_t address, int level, Node* out) {
  const Node* n;
  if (int rc = ReadTreeNode(ix, address, level, &n); rc != kOk) return rc;
  *out = *n;
  return kOk;
}

void CopyEntry(const uint8_t* e, IndexEntry* out) {
  out->child = EntryChild(e);
  out->record = EntryRecord(e);
  out->key_length = EntryKeyLength(e);
  std::memcpy(out->key, EntryKey(e), static_cast<size_t>(out->key_length) + 1);
}

int Descend(IndexFile* ix, const uint8_t* key, int length, bool stop_at_equal, bool* found) {
  *found = false;
  uint32_t address = 0;
  for (int level = 0;; ++level) {
    const Node* n;
    if (int rc = ReadTreeNode(ix, address, level, &n); rc != kOk) return rc;
    const uint8_t* e = n->Entries();
    int used = n->Used(), pos = -1;
    bool equal = false;
    for (int o = 0; o < used;) {
      int c = CompareWithEntryKey(key, length, EntryKey(e + o));
      if (c < 0) break;
      pos = o;
      if (c == 0) {
        equal = true;
        break;
      }
      o = NextEntry(*n, o);
    }
    ix->path[level] = {address, pos};
    ix->level = level;
    if (equal) *found = true;
    if ((equal && stop_at_equal) || n->IsLeaf()) return kOk;
    int32_t child = pos < 0 ? n->Leftmost() : EntryChild(e + pos);
    address = static_cast<uint32_t>(child);
  }
}

void CursorFirst(IndexFile* ix) {
  ix->level = 0;
  ix->path[0] = {0, -1};
}

int CursorCurrent(IndexFile* ix, IndexEntry* out) {
  const Node* n;
  if (int rc = ReadTreeNode(ix, ix->path[ix->level].node, ix->level, &n); rc != kOk) return rc;
  int pos = ix->path[ix->level].pos;
  if (pos < 0 || pos >= n->Used()) return kNotFound;
  CopyEntry(n->Entries() + pos, out);
  return kOk;
}

namespace {

int Land(IndexFile* ix, int level, const Node* n, int pos, IndexEntry* out) {
  ix->level = level;
  ix->path[level].pos = pos;
  CopyEntry(n->Entries() + pos, out);
  return kOk;
}

}  // namespace

int CursorNext(IndexFile* ix, IndexEntry* out) {
  int level = ix->level;
  const Node* n;
  if (int rc = ReadTreeNode(ix, ix->path[level].node, level, &n); rc != kOk) return rc;
  int pos = ix->path[level].pos;
  if (pos < n->Used() && !n->IsLeaf()) {
    // The subtree after the current entry comes next: down to its leftmost leaf.
    uint32_t child = static_cast<uint32_t>(pos < 0 ? n->Leftmost() : EntryChild(n->Entries() + pos));
    do {
      ++level;
      ix->path[level] = {child, -1};
      if (int rc = ReadTreeNode(ix, child, level, &n); rc != kOk) return rc;
      child = static_cast<uint32_t>(n->Leftmost());
    } while (!n->IsLeaf());
    pos = -1;
  }
  int next = pos < 0 ? 0 : (pos < n->Used() ? NextEntry(*n, pos) : n->Used());
  while (next >= n->Used()) {
    if (level == 0) {
      ix->level = 0;
      ix->path[0].pos = ix->root.Used();  // after the last entry
      return kNotFound;
    }
    --level;
    if (int rc = ReadTreeNode(ix, ix->path[level].node, level, &n); rc != kOk) return rc;
    pos = ix->path[level].pos;
    next = pos < 0 ? 0 : NextEntry(*n, pos);
  }
  return Land(ix, level, n, next, out);
}

int CursorPrev(IndexFile* ix, IndexEntry* out) {
  int level = ix->level;
  const Node* n;
  if (int rc = ReadTreeNode(ix, ix->path[level].node, level, &n); rc != kOk) return rc;
  int pos = ix->path[level].pos;
  if (pos >= 0) {
    int before = PreviousEntry(*n, std::min(pos, n->Used()));
    if (n->IsLeaf()) {
      if (before >= 0) return Land(ix, level, n, before, out);
    } else {
      // The subtree before the current entry comes first: down to its rightmost leaf.
      ix->path[level].pos = before;
      uint32_t child = static_cast<uint32_t>(before < 0 ? n->Leftmost() : EntryChild(n->Entries() + before));
      int last;
      do {
        ++level;
        if (int rc = ReadTreeNode(ix, child, level, &n); rc != kOk) return rc;
        last = LastEntry(*n);
        ix->path[level] = {child, last};
        child = static_cast<uint32_t>(last < 0 ? n->Leftmost() : EntryChild(n->Entries() + last));
      } while (!n->IsLeaf());
      if (last >= 0) return Land(ix, level, n, last, out);
    }
  }
  // Up to the first ancestor entry the path passed to the right of.
  while (true) {
    if (level == 0) {
      CursorFirst(ix);
      return kNotFound;
    }
    --level;
    pos = ix->path[level].pos;
    if (pos >= 0) {
      if (int rc = ReadTreeNode(ix, ix->path[level].node, level, &n); rc != kOk) return rc;
      return Land(ix, level, n, pos, out);
    }
  }
}

}  // namespace dbengine

namespace dbengine {

int CursorBefore(IndexFile* ix, const uint8_t* key, int length) {
  // At each level the path goes down before the first entry not less than the key (equal keys may lie
  // in the subtree before an equal entry), so it ends on the last entry less than the key.
  uint32_t address = 0;
  for (int level = 0;; ++level) {
    const Node* n;
    if (int rc = ReadTreeNode(ix, address, level, &n); rc != kOk) return rc;
    const uint8_t* e = n->Entries();
    int pos = -1;
    for (int o = 0; o < n->Used(); o = NextEntry(*n, o)) {
      if (CompareWithEntryKey(key, length, EntryKey(e + o)) <= 0) break;
      pos = o;
    }
    ix->path[level] = {address, pos};
    ix->level = level;
    if (n->IsLeaf()) return kOk;
    address = static_cast<uint32_t>(pos < 0 ? n->Leftmost() : EntryChild(e + pos));
  }
}

}  // namespace dbengine
