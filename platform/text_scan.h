// Small scanning helpers the readers of CP932 text share. The <cctype> tests are not used on such text:
// they take the C locale's view of bytes 0x80..0xFF and are undefined for negative chars.
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

// Removes `prefix` from the front of `text` when the text starts with it. Both start at a character
// boundary, so a byte comparison cannot match half a double-byte character.
constexpr bool ConsumePrefix(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace platform
