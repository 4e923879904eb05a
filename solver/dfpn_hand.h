// The attacker's hand packed into one word, for the proof-number search's table: counts of HI, KA, KI,
// GI, KE, KY, FU in fields with a spare bit above each, so that "holds at least as much of every kind"
// is one subtraction and one mask test.
//
// Only the attacker's hand is kept: pieces never go to the box during a search, so for a given board the
// attacker's hand fixes the defender's.
#pragma once
#include <algorithm>
#include <cstdint>

#include "rules/position.h"

namespace solver {

class PackedHand {
 public:
  constexpr PackedHand() = default;
  constexpr explicit PackedHand(uint32_t bits) : bits_(bits) {}

  static PackedHand Of(const rules::Position& position, rules::Side side) {
    uint32_t bits = 0;
    for (int kind = rules::HI; kind <= rules::FU; ++kind) {
      bits |= static_cast<uint32_t>(position.HandCount(side, kind)) << kShift[kind];
    }
    return PackedHand(bits);
  }

  int Count(int kind) const { return static_cast<int>((bits_ >> kShift[kind]) & kFieldMask[kind]); }
  uint32_t bits() const { return bits_; }

  // At least as many of every kind as `other`.
  bool Covers(PackedHand other) const { return ((bits_ - other.bits_) & kGuards) == 0; }
  bool operator==(const PackedHand&) const = default;

  // One more or one fewer of a kind (HI..FU); the count stays within its field.
  PackedHand Plus(int kind) const { return PackedHand(bits_ + (1u << kShift[kind])); }
  PackedHand Minus(int kind) const { return PackedHand(bits_ - (1u << kShift[kind])); }
  // One more, at most every piece of the kind; one fewer, at least none.
  PackedHand PlusAtMost(int kind) const { return Count(kind) < kAll[kind] ? Plus(kind) : *this; }
  PackedHand MinusAtLeast(int kind) const { return Count(kind) > 0 ? Minus(kind) : *this; }
  PackedHand With(int kind, int count) const {
    return PackedHand((bits_ & ~(kFieldMask[kind] << kShift[kind])) | static_cast<uint32_t>(count) << kShift[kind]);
  }

  // Every piece of every kind.
  static PackedHand All() {
    PackedHand h;
    for (int kind = rules::HI; kind <= rules::FU; ++kind) h = h.With(kind, kAll[kind]);
    return h;
  }
  // Per kind, the larger or the smaller count.
  static PackedHand Max(PackedHand a, PackedHand b) { return Combine(a, b, true); }
  static PackedHand Min(PackedHand a, PackedHand b) { return Combine(a, b, false); }

 private:
  static PackedHand Combine(PackedHand a, PackedHand b, bool larger) {
    PackedHand h;
    for (int kind = rules::HI; kind <= rules::FU; ++kind) {
      h = h.With(kind, larger ? std::max(a.Count(kind), b.Count(kind)) : std::min(a.Count(kind), b.Count(kind)));
    }
    return h;
  }

  static constexpr int kAll[rules::kKindCount] = {0, 2, 2, 4, 4, 4, 4, 18};
  // Field widths: FU 5 bits (18 pawns), HI and KA 2 bits, the others 3; one guard bit above each.
  static constexpr int kShift[rules::kKindCount] = {0, 25, 22, 18, 14, 10, 6, 0};
  static constexpr uint32_t kFieldMask[rules::kKindCount] = {0, 3, 3, 7, 7, 7, 7, 31};
  static constexpr uint32_t kGuards = 1u << 5 | 1u << 9 | 1u << 13 | 1u << 17 | 1u << 21 | 1u << 24 | 1u << 27;

  uint32_t bits_ = 0;
};

}  // namespace solver
