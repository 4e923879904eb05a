#include "rules/hbox.h"

#include "rules/piece.h"

int HBOX::Add(const PIECE& piece) {
  Group& g = groups_[piece.kind()];
  ++total_;
  if (g.count >= kGroupCapacity) return 0;
  g.slots[g.count++] = static_cast<uint32_t>(piece.index());
  return 1;
}

int HBOX::Remove(const PIECE& piece) {
  int before = static_cast<int>(groups_[piece.kind()].count);
  RemoveIndex(piece.kind(), piece.index());
  return static_cast<int>(groups_[piece.kind()].count) < before ? 1 : 0;
}

void HBOX::RemoveIndex(int kind, int index) {
  --total_;
  Group& g = groups_[kind];
  for (int i = static_cast<int>(g.count) - 1; i >= 0; --i) {
    if (g.slots[i] != static_cast<uint32_t>(index)) continue;
    for (uint32_t j = i; j + 1 < g.count; ++j) g.slots[j] = g.slots[j + 1];
    --g.count;
    return;
  }
}
