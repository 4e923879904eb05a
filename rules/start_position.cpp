#include "rules/start_position.h"

#include "rules/piece_code.h"

namespace rules {

namespace {
constexpr PlacedPiece P(int kind, int side, int square) {
  return {static_cast<uint8_t>(kind), static_cast<uint8_t>(side), static_cast<uint8_t>(square)};
}
}  // namespace

const PlacedPiece kStartPosition[40] = {
    P(OU, 0, 59), P(OU, 1, 51), P(HI, 0, 28), P(HI, 1, 82), P(KA, 0, 88), P(KA, 1, 22),
    P(KI, 0, 49), P(KI, 0, 69), P(KI, 1, 61), P(KI, 1, 41),
    P(GI, 0, 39), P(GI, 0, 79), P(GI, 1, 31), P(GI, 1, 71),
    P(KE, 0, 29), P(KE, 0, 89), P(KE, 1, 81), P(KE, 1, 21),
    P(KY, 0, 19), P(KY, 0, 99), P(KY, 1, 11), P(KY, 1, 91),
    P(FU, 0, 17), P(FU, 0, 27), P(FU, 0, 37), P(FU, 0, 47), P(FU, 0, 57), P(FU, 0, 67), P(FU, 0, 77),
    P(FU, 0, 87), P(FU, 0, 97),
    P(FU, 1, 13), P(FU, 1, 23), P(FU, 1, 33), P(FU, 1, 43), P(FU, 1, 53), P(FU, 1, 63), P(FU, 1, 73),
    P(FU, 1, 83), P(FU, 1, 93),
};

void StartPositionWithout(int removed_a, int removed_b, PlacedPiece out[40]) {
  for (int i = 0; i < 40; ++i) {
    out[i] = kStartPosition[i];
    if (i == removed_a || i == removed_b) out[i] = P(kStartPosition[i].kind, 0, 0);
  }
}

}  // namespace rules
