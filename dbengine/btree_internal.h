// Helpers shared by the B-tree sources.
#pragma once
#include "dbengine/btree.h"

namespace dbengine {

// A node that must sit at the given level: leaf exactly at the bottom; kIndexRead otherwise.
int ReadTreeNode(IndexFile* ix, uint32_t address, int level, const Node** node);
int ReadTreeNodeCopy(IndexFile* ix, uint32_t address, int level, Node* out);
void CopyEntry(const uint8_t* entry, IndexEntry* out);

}  // namespace dbengine
