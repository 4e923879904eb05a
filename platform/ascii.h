// ASCII character tests for CP932 text. The standard <cctype> tests take the C locale's view of bytes
// 0x80..0xFF and are undefined for negative chars, and CP932 text is full of both.
#pragma once
#include <string_view>

namespace platform {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// At least one character, and digits only.
constexpr bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

}  // namespace platform
