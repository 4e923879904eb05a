// Conversion between the core's code page 932 text and UTF-8 at the edges (terminal, Qt, file names),
// and recognition of UTF-8 input files, which many real record files are.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// CP932 -> UTF-8. Bytes that are not valid CP932 become U+FFFD, so output never fails; `lossless` (when
// given) tells whether that happened.
std::string Cp932ToUtf8(std::string_view cp932, bool* lossless = nullptr);

// UTF-8 -> CP932. Characters without a CP932 form (and invalid UTF-8) become '?'; `lossless` (when given)
// tells whether that happened.
std::string Utf8ToCp932(std::string_view utf8, bool* lossless = nullptr);

// True when the bytes start with the UTF-8 byte order mark.
bool HasUtf8Bom(std::string_view bytes);

// True when the bytes are UTF-8: they start with a BOM, or they contain at least one multi-byte sequence
// and every byte sequence is valid UTF-8. CP932 Japanese text practically never passes the second test.
bool LooksLikeUtf8(std::string_view bytes);

// Text of an input file as CP932: UTF-8 input (with or without BOM) is converted, anything else is taken as
// CP932 already. `was_utf8` (when given) reports which.
std::string InputTextToCp932(std::string_view bytes, bool* was_utf8 = nullptr);

}  // namespace platform
