// A hand (sente's or gote's) or the piece box: per unpromoted kind, the indices of the pieces held.
#pragma once
#include <cstdint>

#include "rules/piece_code.h"

namespace rules {

class Piece;

class PieceStore {
 public:
  static constexpr int kGroupCapacity = 18;  // the number of pawns

  struct Group {
    uint32_t count = 0;
    uint32_t slots[kGroupCapacity] = {};
  };

  virtual ~PieceStore() = default;

  // Appends the piece to its kind's group; a full group refuses it (0) while the total still counts it.
  virtual int Add(const Piece& piece);
  // Removes the piece from its kind's group, searching from the last slot; 0 when it is not there.
  virtual int Remove(const Piece& piece);

  int Count(int kind) const { return static_cast<int>(groups_[kind].count); }
  // The piece a drop of this kind takes: the last one in the group, or -1 when there is none.
  int LastOfKind(int kind) const {
    return groups_[kind].count ? static_cast<int>(groups_[kind].slots[groups_[kind].count - 1]) : -1;
  }
  int PieceAt(int kind, int slot) const { return static_cast<int>(groups_[kind].slots[slot]); }
  int total() const { return static_cast<int>(total_); }

  // Fast forms for the mate search (no virtual call, same effect as Add/Remove).
  void AddIndex(int kind, int index) {
    ++total_;
    Group& g = groups_[kind];
    if (g.count < kGroupCapacity) g.slots[g.count++] = static_cast<uint32_t>(index);
  }
  void RemoveIndex(int kind, int index);

 private:
  Group groups_[kKindCount];
  uint32_t total_ = 0;
};

}  // namespace rules
