// Position keys: the hash of a board form, the eight-digit position id, the board-only comparison of the
// position search, and the CSA position lines of a board form.
//
//   hash  = (sum of the eleven little-endian u32 words of the form, modulo 2^32) modulo 999983
//   id    = hash * 100 + synonym number (0..99), written "%08ld": its first six digits are A_HASH
//           ("%06ld"), its last two A_SYNONYM ("%02d")
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rules/board_form.h"

namespace shogidb {

class FormBoard;

constexpr int32_t kHashModulus = 999983;
constexpr int kMaxSynonyms = 100;

int32_t PositionHash(const rules::BoardForm& form);
int32_t PositionHash(const uint8_t* form_bytes);

// "%08ld"; and back: -1 unless the text is exactly eight digits.
std::string PositionIdText(int32_t id);
int32_t ParsePositionId(std::string_view text);

// The target of the board-only comparison ("盤上駒の一致"): the pieces on the board of a position, each
// as (square number, code byte with kind, promotion and side).
struct BoardPattern {
  struct Square {
    uint8_t square;
    uint8_t code;
  };
  std::vector<Square> squares;
};
BoardPattern PatternOf(const rules::BoardForm& target);
// True when every square that holds a piece in the pattern holds the same piece (kind, owner and
// promotion) in the position; other squares and the hands may hold anything.
bool MatchesBoard(const BoardPattern& pattern, const FormBoard& position);

}  // namespace shogidb
