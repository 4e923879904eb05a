// The mate search's table of proved and estimated positions: 20011 entries, direct-mapped by the record
// hash (one entry per hash value, no chaining), shared by attack and defence nodes. An entry does not say
// which kind of node stored it: a board with the defender in check (defence node) never equals one
// without (attack node), so the two kinds never meet on one board.
//
// Values: 120 mate (attack nodes), 10 no mate (defence nodes), 11..119 an estimate (attack nodes);
// -1 marks an empty entry. The remaining depth is the depth limit minus the ply where it was stored.
#pragma once
#include <cstdint>
#include <vector>

#include "solver/position_record.h"

namespace solver {

class MateTable {
 public:
  static constexpr int kEntries = static_cast<int>(PositionRecord::kHashModulus);
  static constexpr int32_t kEmpty = -1;

  struct Entry {
    PositionRecord record;
    int32_t value = kEmpty;
    int32_t remaining = 0;
  };

  MateTable() : entries_(kEntries) {}

  void Clear();
  const Entry& at(uint32_t hash) const { return entries_[hash]; }
  int UsedCount() const;

  // Stores the record when the entry is empty or was stored with no more remaining depth.
  // Returns whether it did.
  bool Store(uint32_t hash, const PositionRecord& record, int32_t value, int32_t remaining);
  // A proof (120) or disproof (10): stored as above; otherwise, when the entry holds the same verdict for
  // the same board with strictly more in hand, the entry takes the smaller hand, which says more.
  void StoreVerdict(uint32_t hash, const PositionRecord& record, int32_t value, int32_t remaining);

 private:
  std::vector<Entry> entries_;
};

}  // namespace solver
