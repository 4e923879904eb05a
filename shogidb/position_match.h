// The position condition of a search, tested against one stored item: its start position and side to
// move and its moves. The moves are played up to ply F - 1; the position there is compared with the
// target (and with the reversed target when asked), and again after each further move, until the
// position after ply F + C has been compared or the moves end. An item shorter than F - 1 plies is
// compared once, at its last position. A position with the other side to move never matches (unless the
// target's side is "either").
#pragma once
#include <vector>

#include "shogidb/board_move.h"
#include "shogidb/item_database.h"
#include "shogidb/position_key.h"

namespace shogidb {

class PositionMatcher {
 public:
  explicit PositionMatcher(const PositionSpec& spec);
  // The ply at which the item matches first, or -1 (also for moves that do not fit the position).
  int Match(const rules::BoardForm& start, rules::Side start_side, const std::vector<BoardMove>& moves) const;

 private:
  bool Compares(const FormBoard& board, rules::Side side) const;

  PositionSpec spec_;
  rules::BoardForm reversed_;
  BoardPattern pattern_, reversed_pattern_;
};

}  // namespace shogidb
