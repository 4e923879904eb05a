// The kings of a tsume position (pieces 0 and 1 are the kings): the defender's, which every check aims
// at, and the attacker's, which a problem may leave in the box. Both engines start from here.
#pragma once
#include "rules/position.h"

namespace solver {

struct ProblemKings {
  int defender = -1;       // piece index, -1 when the defender has none on the board
  int attacker = -1;       // piece index, -1 when the attacker has none on the board
  int defender_count = 0;  // an edited position may give the defender two: then there is no one target
};

inline ProblemKings FindProblemKings(const rules::Position& pos, rules::Side defender) {
  ProblemKings kings;
  for (int i = 0; i < 2; ++i) {
    if (!pos.piece(i).on_board()) continue;
    if (pos.SideOf(i) == defender) {
      kings.defender = i;
      ++kings.defender_count;
    } else {
      kings.attacker = i;
    }
  }
  return kings;
}

}  // namespace solver
