// The lines around a king, as the evasion generator sees them: for each of the twelve directions, the
// attacker piece that gives check along it and the defender piece pinned on it.
#pragma once
#include <cstdint>

#include "rules/piece_code.h"

namespace solver {

// Entry i describes the line that starts next to the king at K - kDirections[i] and runs away from the
// king by -kDirections[i] (for the knight directions only that one square).
struct LineEntry {
  uint8_t checker = rules::kEmptyCell;  // piece index of the attacker piece checking along the line, or 40
  uint8_t sliding = 0;           // 1 when that checker slides along the line
  uint8_t pinned = rules::kEmptyCell;  // piece index of a defender piece pinned on the line, or 40
  int8_t pin_direction = 0;      // the offset along which the pinned piece may still move (and its negation)
};

struct LineTable {
  LineEntry entry[12];

  // The lowest direction index whose entry has a checker, or -1.
  int FirstChecker() const {
    for (int i = 0; i < 12; ++i) {
      if (entry[i].checker != rules::kEmptyCell) return i;
    }
    return -1;
  }
};

}  // namespace solver
