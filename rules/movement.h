// How each piece code moves: (offset, slides) vectors in the order every generator walks them, and the
// kinds that can check along a line from a distance.
#pragma once
#include <cstdint>

#include "rules/side.h"

namespace rules {

struct MoveVector {
  int8_t offset;  // board-index step; 0 ends a list
  bool slides;
};

// The vector lists by side and code & 15 (inline below: the attack map and the generators ask for them
// at every piece they look at).
extern const MoveVector* const kMovementBySide[2][16];

// The vector list of a piece code (code & 31), terminated by offset 0. Codes 8 and 11 have empty lists.
inline const MoveVector* MovementVectors(uint8_t code) { return kMovementBySide[(code >> 4) & 1][code & 15]; }

// How a piece of `code` moves along the step `offset` (a UnitStep): 0 not at all, 1 one step, 2 sliding.
// A table by code & 31 and offset, read inline for the same reason.
constexpr int kMoveReach = 21;  // the longest step: a knight's jump
struct MovesAlongTable {
  int8_t how[32][2 * kMoveReach + 1];
};
extern const MovesAlongTable kMovesAlong;
inline int MovesAlong(uint8_t code, int offset) {
  if (offset < -kMoveReach || offset > kMoveReach) return 0;
  return kMovesAlong.how[code & 31][offset + kMoveReach];
}

// Whether an unpromoted piece of `kind` belonging to `attacker` can give check from a distance along the
// direction with index `dir` (0..11 of kDirections).
bool IsLineChecker(int dir, Side attacker, int kind);

}  // namespace rules
