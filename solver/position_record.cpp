#include "solver/position_record.h"

using namespace rules;

namespace solver {

void BuildRecord(const Position& position, Side hand_side, PositionRecord* out) {
  // Codes by cell content: the 40 pieces, then 255 for an empty cell (40) and for outside cells (255).
  uint8_t code_of[256];
  std::memset(code_of, 255, sizeof code_of);
  for (int i = 0; i < kPieceCount; ++i) code_of[i] = position.CodeOf(i);
  const uint8_t* cells = position.board().cells() + kFirstSquare;
  for (int i = 0; i < PositionRecord::kBoardBytes; ++i) out->board[i] = code_of[cells[i]];
  for (int k = 0; k < kKindCount; ++k) out->hand[k] = static_cast<uint8_t>(position.HandCount(hand_side, k));
}

uint32_t RecordHash(const PositionRecord& record) {
  uint32_t h = 0;
  for (int w = 0; w < PositionRecord::kHashedWords; ++w) {
    const uint8_t* b = record.board + 4 * w;
    h ^= static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
         static_cast<uint32_t>(b[3]) << 24;
  }
  return h % PositionRecord::kHashModulus;
}

int Covers(const PositionRecord& a, const PositionRecord& b) {
  if (!a.SameBoard(b)) return 0;
  bool more = false;
  for (int k = 0; k < kKindCount; ++k) {
    if (a.hand[k] < b.hand[k]) return 0;
    more = more || a.hand[k] > b.hand[k];
  }
  return more ? 2 : 1;
}

bool HandNotGreater(const uint8_t* hand, const uint8_t* than) {
  for (int k = 0; k < kKindCount; ++k) {
    if (hand[k] > than[k]) return false;
  }
  return true;
}

}  // namespace solver
