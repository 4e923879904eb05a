#include "solver/mate_table.h"

#include <cstring>

namespace solver {

void MateTable::Clear() {
  for (Entry& e : entries_) e.value = kEmpty;
}

int MateTable::UsedCount() const {
  int n = 0;
  for (const Entry& e : entries_) n += e.value != kEmpty;
  return n;
}

bool MateTable::Store(uint32_t hash, const PositionRecord& record, int32_t value, int32_t remaining) {
  Entry& e = entries_[hash];
  if (e.value != kEmpty && e.remaining > remaining) return false;
  e.record = record;
  e.value = value;
  e.remaining = remaining;
  return true;
}

void MateTable::StoreVerdict(uint32_t hash, const PositionRecord& record, int32_t value, int32_t remaining) {
  if (Store(hash, record, value, remaining)) return;
  Entry& e = entries_[hash];
  if (e.value == value && Covers(e.record, record) == 2) {
    std::memcpy(e.record.hand, record.hand, sizeof e.record.hand);
  }
}

}  // namespace solver
