// Index file layout (little-endian), one B-tree per file:
//
//   offset 0     the root node (1024 bytes, own address 0)
//   offset 1024  i32  head of the free-node list (-1 when empty)
//   offset 1028  i16  tree height (1 for a new index)
//   offset 1030  further nodes, 1024 bytes each, at the address they record (1030 + 1024 k)
//
// Node, 1024 bytes:
//   0   u32  own address; in a freed node, the address of the next free node (-1 ends the list)
//   4   i16  bytes used by entries (0..1014)
//   6   i32  leftmost child address: -1 in a leaf, -2 marks a freed node
//   10  entries, packed in ascending key order, `used` bytes in all
// Entry: i32 child address (-1 in a leaf), i32 record number, key bytes ended by a NUL (9 + key length
// bytes). The child of an entry leads to the keys between it and the next entry; the leftmost child to
// the keys before the first entry. Inner entries are real entries: every key lives in exactly one node.
// Keys compare as unsigned byte strings, a proper prefix first.
#pragma once
#include <cstdint>
#include <cstring>

#include "dbengine/bytes.h"

namespace dbengine {

constexpr int kNodeBytes = 1024;
constexpr int kNodeHeaderBytes = 10;
constexpr int kNodeCapacity = kNodeBytes - kNodeHeaderBytes;  // 1014
constexpr int kNodeUnderflow = kNodeCapacity / 2;              // 507: below this a node borrows or merges
constexpr int kIndexHeaderBytes = kNodeBytes + 6;             // 1030
constexpr int kEntryRecordOffset = 4;                         // an entry: child, record number, key
constexpr int kEntryKeyOffset = 8;
constexpr int kEntryOverhead = kEntryKeyOffset + 1;           // child, record number, NUL
constexpr int kMaxKeyLength = 99;
constexpr int kMaxEntryBytes = kEntryOverhead + kMaxKeyLength;
constexpr int32_t kNoChild = -1;
constexpr int32_t kFreedNode = -2;
constexpr int32_t kNoNode = -1;

// A node image: the 1024 bytes, with accessors.
struct Node {
  uint8_t bytes[kNodeBytes];

  uint32_t Address() const { return GetU32(bytes); }
  void SetAddress(uint32_t a) { PutU32(bytes, a); }
  int Used() const { return GetI16(bytes + 4); }
  void SetUsed(int u) { PutI16(bytes + 4, static_cast<int16_t>(u)); }
  int32_t Leftmost() const { return GetI32(bytes + 6); }
  void SetLeftmost(int32_t c) { PutI32(bytes + 6, c); }
  bool IsLeaf() const { return Leftmost() == kNoChild; }
  uint8_t* Entries() { return bytes + kNodeHeaderBytes; }
  const uint8_t* Entries() const { return bytes + kNodeHeaderBytes; }
};

// An entry in a node or a buffer.
inline int32_t EntryChild(const uint8_t* e) { return GetI32(e); }
inline int32_t EntryRecord(const uint8_t* e) { return GetI32(e + kEntryRecordOffset); }
inline const uint8_t* EntryKey(const uint8_t* e) { return e + kEntryKeyOffset; }
inline int EntryKeyLength(const uint8_t* e) { return static_cast<int>(std::strlen(reinterpret_cast<const char*>(EntryKey(e)))); }
inline int EntrySize(const uint8_t* e) { return kEntryOverhead + EntryKeyLength(e); }
inline void SetEntryChild(uint8_t* e, int32_t c) { PutI32(e, c); }
inline void SetEntryRecord(uint8_t* e, int32_t r) { PutI32(e + kEntryRecordOffset, r); }

// Offsets of entries inside a node's entry area (0 .. used).
inline int NextEntry(const Node& n, int offset) { return offset + EntrySize(n.Entries() + offset); }
// The entry before `offset` (offset may equal Used() for "after the last"), or -1.
int PreviousEntry(const Node& n, int offset);
int LastEntry(const Node& n);  // -1 when empty

// Byte-string comparison of keys (no NUL inside), a proper prefix first.
inline int CompareKeys(const uint8_t* a, int alen, const uint8_t* b, int blen) {
  int c = std::memcmp(a, b, static_cast<size_t>(alen < blen ? alen : blen));
  if (c != 0) return c;
  return alen < blen ? -1 : (alen > blen ? 1 : 0);
}

// Compares a search key with the NUL-ended key of an entry in one pass (the hot loop of every search).
inline int CompareWithEntryKey(const uint8_t* key, int length, const uint8_t* entry_key) {
  for (int i = 0;; ++i) {
    uint8_t e = entry_key[i];
    if (i == length) return e == 0 ? 0 : -1;
    if (e == 0) return 1;
    if (key[i] != e) return key[i] < e ? -1 : 1;
  }
}

// Inserts / removes bytes in the entry area, keeping the used count.
void InsertEntryBytes(Node& n, int offset, const uint8_t* entry, int size);
void RemoveEntryBytes(Node& n, int offset, int size);

// Structure of a node read from disk: header fields in range, entries that parse exactly to `used` with
// keys under 100 bytes, children of a leaf all -1, children of an inner node valid node addresses below
// `file_end`. `address` is where it was read from.
bool NodeIsWellFormed(const Node& n, uint32_t address, uint64_t file_end);
bool IsNodeAddress(int64_t address, uint64_t file_end);

}  // namespace dbengine
