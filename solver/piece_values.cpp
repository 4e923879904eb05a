#include "solver/piece_values.h"

using namespace rules;

namespace solver {

namespace {

// Sente's king, rank 1..9 (top to bottom), file 1..9; gote's king reads the table with the ranks turned
// round.
constexpr int8_t kSenteKingTable[9][9] = {
    {1, 2, 2, 2, 2, 2, 2, 2, 1},         {1, 2, 2, 2, 2, 2, 2, 2, 1},
    {1, 2, 2, 2, 2, 2, 2, 2, 1},         {0, 0, 1, 1, 1, 1, 1, 0, 0},
    {-1, 0, 1, 1, 1, 1, 1, 0, -1},       {-1, 0, 1, 1, 1, 1, 1, 0, -1},
    {-1, 0, 0, 0, 0, 0, 0, 0, -1},       {-2, -2, 0, 0, 0, 0, 0, -2, -2},
    {-3, -3, -2, -1, -1, -1, -2, -3, -3},
};

}  // namespace

int KingSquareValue(Side side, BoardIndex square) {
  const int file = square.file(), rank = square.rank();
  const int row = side == kSente ? rank : 10 - rank;
  return kSenteKingTable[row - 1][file - 1];
}

}  // namespace solver
