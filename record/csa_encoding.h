// The encoding a CSA text declares. From version 3.0 of the standard format a file may say on its first
// line how it is encoded ("'CSA encoding=UTF-8" or "'CSA encoding=SHIFT_JIS"); without that line it is
// Shift_JIS, though files of other programs often come in UTF-8 without saying so.
#pragma once
#include <string>
#include <string_view>

namespace record {

enum class CsaEncoding { kUndeclared, kUtf8, kShiftJis, kUnknown };

// What a line declares: kUndeclared when it is no encoding line, kUnknown for an encoding this program
// does not read (the name matched without regard to case).
CsaEncoding CsaEncodingOfLine(std::string_view line);

// The bytes of a text as CP932: a first line declaring UTF-8 converts the text from UTF-8, one declaring
// SHIFT_JIS keeps it as it is; without a declaration (or with one unknown) UTF-8 is recognised by its
// bytes (platform::InputTextToCp932).
std::string CsaTextToCp932(std::string_view bytes);

}  // namespace record
