#include "rules/piece_store.h"

#include "rules/piece.h"

namespace rules {

int PieceStore::Add(const Piece& piece) {
  Group& g = groups_[piece.kind()];
  ++total_;
  if (g.count >= kGroupCapacity) return 0;
  g.slots[g.count++] = static_cast<uint32_t>(piece.index());
  return 1;
}

int PieceStore::Remove(const Piece& piece) {
  int before = static_cast<int>(groups_[piece.kind()].count);
  RemoveIndex(piece.kind(), piece.index());
  return static_cast<int>(groups_[piece.kind()].count) < before ? 1 : 0;
}

void PieceStore::RemoveIndex(int kind, int index) {
  --total_;
  Group& g = groups_[kind];
  for (int i = static_cast<int>(g.count) - 1; i >= 0; --i) {
    if (g.slots[i] != static_cast<uint32_t>(index)) continue;
    for (uint32_t j = i; j + 1 < g.count; ++j) g.slots[j] = g.slots[j + 1];
    --g.count;
    return;
  }
}

}  // namespace rules
