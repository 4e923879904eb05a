// A position as the mate search keeps it in its table and on its path: the board and one side's hand.
//
//   board[0..88]  one byte per board index 21..109, in increasing order: the occupant's piece code
//                 (bits 0-2 kind, bit 3 promoted, bit 4 side), or 255 for an empty cell and for the cells
//                 of that range that lie outside the board (30, 40, ..., 100)
//   hand[0..7]    counts of OU, HI, KA, KI, GI, KE, KY, FU in one side's hand: the attacker's at attack
//                 nodes, the defender's at defence nodes
//
// Hash: the XOR of the 22 little-endian 32-bit words of board[0..87], modulo 20011 (neither the last
// board byte nor the hand takes part). Records are compared bytewise.
#pragma once
#include <cstdint>
#include <cstring>

#include "rules/position.h"

namespace solver {

struct PositionRecord {
  static constexpr int kBoardBytes = 89;
  static constexpr uint32_t kHashModulus = 20011;
  static constexpr int kHashedWords = 22;  // board[0..87]

  uint8_t board[kBoardBytes];
  uint8_t hand[rules::kKindCount];

  bool SameBoard(const PositionRecord& other) const {
    return std::memcmp(board, other.board, kBoardBytes) == 0;
  }
};

// The record of the position with `hand_side`'s hand.
void BuildRecord(const rules::Position& position, rules::Side hand_side, PositionRecord* out);
uint32_t RecordHash(const PositionRecord& record);

// Whether `a` covers `b`: identical boards and at least as many pieces of every kind in hand.
// 0 not covered, 1 identical hands, 2 `a` holds strictly more of some kind.
int Covers(const PositionRecord& a, const PositionRecord& b);
// Whether every kind count of `hand` is at most that of `than`.
bool HandNotGreater(const uint8_t* hand, const uint8_t* than);

}  // namespace solver
