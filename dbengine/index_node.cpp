#include "dbengine/index_node.h"

namespace dbengine {

int PreviousEntry(const Node& n, int offset) {
  int prev = -1;
  for (int o = 0; o < offset; o = NextEntry(n, o)) prev = o;
  return prev;
}

int LastEntry(const Node& n) { return PreviousEntry(n, n.Used()); }

void InsertEntryBytes(Node& n, int offset, const uint8_t* entry, int size) {
  uint8_t* e = n.Entries();
  int used = n.Used();
  std::memmove(e + offset + size, e + offset, static_cast<size_t>(used - offset));
  std::memcpy(e + offset, entry, static_cast<size_t>(size));
  n.SetUsed(used + size);
}

void RemoveEntryBytes(Node& n, int offset, int size) {
  uint8_t* e = n.Entries();
  int used = n.Used();
  std::memmove(e + offset, e + offset + size, static_cast<size_t>(used - offset - size));
  n.SetUsed(used - size);
}

bool IsNodeAddress(int64_t address, uint64_t file_end) {
  return address >= kIndexHeaderBytes && (address - kIndexHeaderBytes) % kNodeBytes == 0 &&
         static_cast<uint64_t>(address) + kNodeBytes <= file_end;
}

bool NodeIsWellFormed(const Node& n, uint32_t address, uint64_t file_end) {
  if (n.Address() != address) return false;
  int used = n.Used();
  if (used < 0 || used > kNodeCapacity) return false;
  int32_t leftmost = n.Leftmost();
  bool leaf = leftmost == kNoChild;
  if (!leaf && !IsNodeAddress(leftmost, file_end)) return false;
  const uint8_t* e = n.Entries();
  int o = 0;
  while (o < used) {
    if (used - o < kEntryOverhead) return false;
    const uint8_t* key = EntryKey(e + o);
    const void* nul = std::memchr(key, 0, static_cast<size_t>(used - o - kEntryKeyOffset));
    if (!nul) return false;
    int key_length = static_cast<int>(static_cast<const uint8_t*>(nul) - key);
    if (key_length > kMaxKeyLength) return false;
    int32_t child = EntryChild(e + o);
    if (leaf ? child != kNoChild : !IsNodeAddress(child, file_end)) return false;
    o += kEntryOverhead + key_length;
  }
  return o == used;
}

}  // namespace dbengine
