// Tokens of the create statements. Blanks (tab, newline, carriage return, space) separate tokens; each of
//   ! " # Q $ % & ' ( ) = - ` ^ | { } [ ] ~ @ * + ; ? . , < >
// is a token by itself (the capital Q too, so a Q inside a name splits it); any other run of characters
// up to a blank or one of those is a word. Characters are Shift-JIS: the second byte of a double-byte
// character never ends a word, even when it equals one of the token characters (as in 戦型, whose second
// character ends in the byte of "^"). A double quote opens a quoted run up to the next double quote,
// which is one token, quotes included.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace dbengine {

std::vector<std::string> TokenizeCreate(std::string_view statement);

bool IsBlank(char c);

}  // namespace dbengine
