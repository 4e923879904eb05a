// The attack map: built in full, read, and carried through the mate search's direct moves.
//
// Each cell keeps per side the set of pieces attacking it (bit i for piece i). A move changes only the
// lines of the moving and the captured piece and the lines that pass through the squares it empties and
// fills, so ApplyFast and RetractFast update a fresh map in those places; the sets are what a full build
// would give, and so is the order of every attacker list made from them.
#include <cstring>

#include "rules/position.h"

namespace rules {

namespace {

// The line direction from a square to another on the same rank, file or diagonal, else 0 (a knight's
// jump included). Lines on the board are at most eight steps long, which keeps the four kinds apart.
constexpr int LineDirection(int delta) {
  const int sign = delta < 0 ? -1 : 1;
  const int size = delta * sign;
  if (size <= 8) return sign;
  if (size % 10 == 0) return 10 * sign;
  if (size % 9 == 0) return 9 * sign;
  if (size % 11 == 0) return 11 * sign;
  return 0;
}
static_assert(LineDirection(-80) == -10 && LineDirection(72) == 9 && LineDirection(-88) == -11 &&
              LineDirection(-8) == -1 && LineDirection(19) == 0 && LineDirection(-21) == 0);

bool SlidesAlong(uint8_t code, int direction) { return MovesAlong(code, direction) == 2; }

}  // namespace

const uint8_t* Position::Attackers(Side side, BoardIndex at) const {
  int count;
  return Attackers(side, at, count);
}

const uint8_t* Position::Attackers(Side side, BoardIndex at, int& count) const {
  assert(attack_valid_);
  uint64_t set = attack_bits_[SideIndex(side)][at.value()];
  uint8_t* list = attackers_[SideIndex(side)][at.value()];
  int n = 0;
  for (; set != 0 && n < kAttackListSize; ++n) {
    const int i = 63 - __builtin_clzll(set);
    list[n] = static_cast<uint8_t>(i);
    set &= ~(uint64_t{1} << i);
  }
  count = n;
  return list;
}

void Position::ComputeAttackMap() const {
  std::memset(attack_bits_, 0, sizeof attack_bits_);
  for (int i = 0; i < kPieceCount; ++i) {
    const Piece& p = *pieces_[i];
    if (p.location_ >= kFirstSquare) MarkAttacks(i, p.location_, p.code_, true);
  }
  attack_valid_ = true;
}

void Position::MarkAttacks(int index, int from, uint8_t code, bool on) const {
  const uint8_t* cells = board_->cells();
  uint64_t* sets = attack_bits_[SideIndex(CodeSide(code))];
  const uint64_t bit = uint64_t{1} << index;
  for (const MoveVector* v = MovementVectors(code); v->offset; ++v) {
    const int offset = v->offset;
    const bool slides = v->slides;
    for (int at = from + offset;; at += offset) {
      const uint8_t c = cells[at];
      if (c == kOutsideCell) break;
      sets[at] = on ? (sets[at] | bit) : (sets[at] & ~bit);
      if (c != kEmptyCell || !slides) break;
    }
  }
}

template <bool kOpen>
void Position::UpdateLinesThrough(int at) const {
  const uint8_t* cells = board_->cells();
  for (int side = 0; side < 2; ++side) {
    uint64_t* sets = attack_bits_[side];
    for (uint64_t set = sets[at]; set != 0; set &= set - 1) {
      const int i = __builtin_ctzll(set);
      const Piece& p = *pieces_[i];
      const int direction = LineDirection(at - p.location_);
      if (direction == 0 || !SlidesAlong(p.code_, direction)) continue;
      const uint64_t bit = uint64_t{1} << i;
      for (int next = at + direction; cells[next] != kOutsideCell; next += direction) {
        sets[next] = kOpen ? (sets[next] | bit) : (sets[next] & ~bit);
        if (cells[next] != kEmptyCell) break;
      }
    }
  }
}

void Position::OpenLinesThrough(int at) const { UpdateLinesThrough<true>(at); }
void Position::CloseLinesThrough(int at) const { UpdateLinesThrough<false>(at); }

std::string Position::CheckAttackMap() const {
  if (!attack_valid_) return "";
  uint64_t kept[2][kMapCells];
  std::memcpy(kept, attack_bits_, sizeof kept);
  ComputeAttackMap();
  const bool same = std::memcmp(kept, attack_bits_, sizeof kept) == 0;
  for (int at = 0; at < kMapCells && !same; ++at) {
    for (int side = 0; side < 2; ++side) {
      if (kept[side][at] != attack_bits_[side][at]) {
        std::memcpy(attack_bits_, kept, sizeof kept);
        return "attack map differs from a full build at cell " + std::to_string(at) + " side " +
               std::to_string(side);
      }
    }
  }
  return "";
}

}  // namespace rules
