// The standard start position by piece index, and the two set-ups that are tables rather than layouts.
#pragma once
#include <cstdint>

namespace rules {

struct PlacedPiece {
  uint8_t kind;
  uint8_t side;
  uint8_t square;  // square number; 0 means the piece box
};

// Piece i of the even game: kings 59/51, rooks 28/82, bishops 88/22, golds 49 69 61 41, silvers 39 79 31
// 71, knights 29 89 81 21, lances 19 99 11 91, sente pawns 17..97, gote pawns 13..93.
extern const PlacedPiece kStartPosition[40];

// The start position with some of gote's pieces in the box (side 0): set-up 9 removes the rook and the
// lance on 1一 (pieces 3 and 20), set-up 10 the bishop and that lance (pieces 5 and 20).
void StartPositionWithout(int removed_a, int removed_b, PlacedPiece out[40]);

}  // namespace rules
