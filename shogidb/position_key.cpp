#include "shogidb/position_key.h"

#include <cstdio>

#include "rules/notation.h"
#include "rules/piece_code.h"
#include "shogidb/board_move.h"
#include "shogidb/header_rows.h"

using namespace rules;

namespace shogidb {

int32_t PositionHash(const uint8_t* b) {
  uint32_t sum = 0;
  for (int w = 0; w < BoardForm::kSize / 4; ++w) {
    sum += b[4 * w] | b[4 * w + 1] << 8 | b[4 * w + 2] << 16 | static_cast<uint32_t>(b[4 * w + 3]) << 24;
  }
  return static_cast<int32_t>(sum % static_cast<uint32_t>(kHashModulus));
}

int32_t PositionHash(const BoardForm& form) { return PositionHash(form.data()); }

std::string PositionIdText(int32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "%08ld", static_cast<long>(id));
  return text;
}

int32_t ParsePositionId(std::string_view text) {
  return text.size() == 8 ? static_cast<int32_t>(DecimalValue(text)) : -1;
}

BoardPattern PatternOf(const BoardForm& target) {
  BoardPattern pattern;
  const BoardForm::Expanded entries = target.Decode();
  for (int i = 0; i < kPieceCount; ++i) {
    const BoardForm::Entry& e = entries[i];
    if (!IsSquareNumber(e.location)) continue;
    pattern.squares.push_back({e.location, MakeCode(KindOfIndex(i), e.promoted != 0, SideOfBit(e.owner))});
  }
  return pattern;
}

bool MatchesBoard(const BoardPattern& pattern, const FormBoard& position) {
  for (const BoardPattern::Square& s : pattern.squares) {
    const int index = position.At(s.square);
    if (index < 0 || position.CodeOf(index) != s.code) return false;
  }
  return true;
}

}  // namespace shogidb
