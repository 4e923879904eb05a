#include "rules/board.h"

namespace rules {

Board::Board() {
  for (int i = 0; i < kBoardCells; ++i) cells_[i] = IsBoardIndex(i) ? kEmptyCell : kOutsideCell;
}

int Board::Place(int board_index, int piece_index) {
  if (board_index < kFirstSquare || board_index > kLastSquare || cells_[board_index] == kOutsideCell) {
    return -1;
  }
  cells_[board_index] = static_cast<uint8_t>(piece_index);
  return 1;
}

int Board::Clear(int board_index) { return Place(board_index, kEmptyCell); }

}  // namespace rules
