// Instructions of a compiled regular expression (internal to regex_compile.cpp and regex_match.cpp).
#pragma once
#include <cstdint>

namespace dbengine::regex_op {

enum Op : uint8_t {
  kChar,       // x: character code
  kAny,        // any character
  kSet,        // x: set number
  kRepeat,     // x: item op (kChar, kAny, kSet), y: its operand; min..max times (max -1: no limit), greedy
  kSplit,      // try x, then y
  kJmp,        // x
  kSave,       // x: capture slot (2n start, 2n+1 end of group n)
  kBackref,    // x: group number
  kWordStart,
  kWordEnd,
  kBol,
  kEol,
  kMark,       // x: loop register, set to the position
  kProgress,   // x: loop register; fails when the loop body matched nothing
  kMatch,
};

constexpr int kCaptureSlots = 2 * (9 + 1);

}  // namespace dbengine::regex_op
