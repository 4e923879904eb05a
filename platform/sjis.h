// Shift-JIS (code page 932) byte classes. Core text is CP932 bytes; a double-byte character starts with a
// lead byte and its second byte may be any value 0x40..0xFC, so scans step over characters, not bytes.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

constexpr bool IsSjisLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length of the character starting at text[i]: 2 for a lead byte followed by another byte, else 1.
inline size_t SjisCharLength(std::string_view text, size_t i) {
  return (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

// True when byte position `end` (exclusive) would split a double-byte character, scanning from the start.
bool SplitsSjisChar(std::string_view text, size_t end);

// Cuts text to at most `width` bytes; when the cut falls inside a double-byte character, its lone lead byte
// goes too. The text is scanned from the start, so a second byte that happens to lie in the lead-byte range
// is never mistaken for a lead byte.
std::string CutToWidth(std::string_view text, size_t width);

}  // namespace platform
