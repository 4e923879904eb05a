// The 131 board cells. A cell holds a piece index 0..39, 40 when empty, 255 outside the 9x9 squares.
#pragma once
#include <cstdint>

#include "rules/piece_code.h"

namespace rules {

class Board {
 public:
  Board();
  virtual ~Board() = default;

  // Stores the piece's index at the board index; -1 for an index that is not a square.
  virtual int Place(BoardIndex at, int piece_index);
  virtual int Clear(BoardIndex at);

  // Any of the 131 cells: a piece index, kEmptyCell or kOutsideCell.
  uint8_t cell(BoardIndex at) const { return cells_[at.value()]; }
  const uint8_t* cells() const { return cells_; }

 private:
  uint8_t cells_[kBoardCells];
};

}  // namespace rules
