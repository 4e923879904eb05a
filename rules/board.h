// The 131 board cells. A cell holds a piece index 0..39, 40 when empty, 255 outside the 9x9 squares.
#pragma once
#include <cstdint>

#include "rules/piece_code.h"

namespace rules {

class Position;

class Board {
 public:
  Board();
  virtual ~Board() = default;

  // Stores the piece's index at the board index; -1 for an index that is not a square.
  virtual int Place(int board_index, int piece_index);
  virtual int Clear(int board_index);

  uint8_t cell(int board_index) const { return cells_[board_index]; }
  const uint8_t* cells() const { return cells_; }
  void SetOwner(Position* owner) { owner_ = owner; }

 private:
  uint8_t cells_[kBoardCells];
  Position* owner_ = nullptr;
};

}  // namespace rules
