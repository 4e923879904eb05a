#include "rules/board.h"

namespace rules {

Board::Board() {
  for (int i = 0; i < kBoardCells; ++i) cells_[i] = BoardIndex(i).IsSquare() ? kEmptyCell : kOutsideCell;
}

int Board::Place(BoardIndex at, int piece_index) {
  if (at.value() < kFirstSquare || at.value() > kLastSquare || cell(at) == kOutsideCell) return -1;
  cells_[at.value()] = static_cast<uint8_t>(piece_index);
  return 1;
}

int Board::Clear(BoardIndex at) { return Place(at, kEmptyCell); }

}  // namespace rules
