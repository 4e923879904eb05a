// The two sides. A piece always belongs to sente or gote; a side to move may also be unset (手番未設定),
// when a set-up position lets either side move.
#pragma once
#include <cstdint>

namespace rules {

enum class Side : uint8_t { kSente = 0, kGote = 1, kSideUnset = 2 };
using enum Side;

// The side's number as files store it: 0 sente, 1 gote, 2 unset. For sente and gote it is the index of
// per-side tables and the side bit of codes and move words.
constexpr int SideIndex(Side side) { return static_cast<int>(side); }
// The side of a stored bit (0 sente, 1 gote).
constexpr Side SideOfBit(int bit) { return static_cast<Side>(bit & 1); }
constexpr Side Opponent(Side side) { return side == kSente ? kGote : kSente; }

}  // namespace rules
