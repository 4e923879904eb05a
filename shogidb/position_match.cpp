#include "shogidb/position_match.h"

#include <cstring>

using namespace rules;

namespace shogidb {
namespace {

// Unset asks for either side.
bool SideFits(Side wanted, Side side) { return wanted == kSideUnset || wanted == side; }

Side Other(Side side) { return side == kSideUnset ? side : Opponent(side); }

}  // namespace

PositionMatcher::PositionMatcher(const PositionSpec& spec) : spec_(spec), reversed_(spec.target) {
  reversed_.Reverse();
  if (spec_.mode == PositionSpec::kBoard) {
    pattern_ = PatternOf(spec_.target);
    reversed_pattern_ = PatternOf(reversed_);
  }
}

bool PositionMatcher::Compares(const FormBoard& board, Side side) const {
  if (spec_.mode == PositionSpec::kWhole) {
    uint8_t bytes[BoardForm::kSize];
    board.WriteBytes(bytes);
    if (SideFits(spec_.side, side) && std::memcmp(bytes, spec_.target.data(), BoardForm::kSize) == 0) return true;
    return spec_.reversed && SideFits(Other(spec_.side), side) &&
           std::memcmp(bytes, reversed_.data(), BoardForm::kSize) == 0;
  }
  if (SideFits(spec_.side, side) && MatchesBoard(pattern_, board)) return true;
  return spec_.reversed && SideFits(Other(spec_.side), side) && MatchesBoard(reversed_pattern_, board);
}

int PositionMatcher::Match(const BoardForm& start, Side start_side, const std::vector<BoardMove>& moves) const {
  if (spec_.mode != PositionSpec::kWhole && spec_.mode != PositionSpec::kBoard) return -1;
  FormBoard board(start);
  const int first = std::max(spec_.first_ply, 1) - 1;
  const long last = static_cast<long>(first) + 1 + std::max(spec_.ply_count, 0);
  const int count = static_cast<int>(moves.size());
  int ply = 0;
  while (ply < first && ply < count) {
    if (!board.Apply(moves[ply])) return -1;
    ++ply;
  }
  for (;;) {
    if (Compares(board, ply % 2 == 0 ? start_side : Opponent(start_side))) return ply;
    if (ply >= last || ply >= count) return -1;
    if (!board.Apply(moves[ply])) return -1;
    ++ply;
  }
}

}  // namespace shogidb
