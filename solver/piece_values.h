// Values the mate search orders moves by, and the king-square table of its depth-limit estimate.
#pragma once
#include <cstdint>

#include "rules/piece_code.h"

namespace solver {

// Value of a piece by its code (kind and promotion; the side does not matter):
//   OU 0, HI 3, KA 3, KI 3, GI 3, KE 2, KY 1, FU 0; RY 5, UM 5, NG 3, NK 3, NY 3, TO 3.
constexpr int kPieceValueByCode[16] = {0, 3, 3, 3, 3, 2, 1, 0, 0, 5, 5, 3, 3, 3, 3, 3};
constexpr int PieceValue(uint8_t code) { return kPieceValueByCode[code & 15]; }
constexpr int PieceValue(int kind, bool promoted) { return kPieceValueByCode[(kind & 7) | (promoted ? 8 : 0)]; }

// How good a square is for a side's king, from that side's point of view: low where the king is boxed
// in at home, high where it has escaped towards the far ranks.
int KingSquareValue(rules::Side side, rules::BoardIndex square);

}  // namespace solver
