// The regular expressions of the "matches" operator, over Shift-JIS text (a double-byte character is one
// character everywhere).
//
//   c        a character; case-sensitive
//   .        any character
//   [set]    one character of the set; [^set] any other; a-b a range (by character code); \ escapes the
//            next character; a "]" right after "[" or "[^" ends the set
//   x* x+ x? zero or more, one or more, zero or one of the character, set, "." or group before; after
//            anything else the sign is an ordinary character
//   ^ $      start and end of the text, only as the first / last character of the expression; elsewhere
//            ordinary characters
//   \( \)    a group (at most 9; a tenth "\(" and everything after it are ignored; a "\)" without an open
//            group ends the expression; a group left open at the end is an error)
//   \1..\9   the text of a group again (a group that took no part in the match matches nothing)
//   \< \>    start and end of a word
//   \|       alternatives (lowest precedence; inside a group, alternatives of the group)
//   \b \f \n \t   codes 8, 12, 10, 9;  \0ooo octal;  \xhh hexadecimal (digits 0-9 a-f);  \c any other c
// A word character is any character but NUL, 8, 9, 10, 12, space and . , ! " # $ % & ' ( ) = ` | ~ @ [ ]
// { } < > - + * / ? _ \ . Matching is unanchored: the expression may match anywhere in the text.
//
// The matcher backtracks without recursion, and its work is bounded: a search that needs more than
// kRegexStepLimit steps or kRegexStackLimit pending alternatives gives up with kRegexLimit, so a hostile
// expression or a long text can neither hang the engine nor exhaust its stack.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dbengine {

constexpr long kRegexStepLimit = 2'000'000;
constexpr size_t kRegexStackLimit = 200'000;
constexpr int kRegexMaxGroups = 9;

class Regex {
 public:
  // kOk, or kInvalid for a malformed expression (open set or group, reference to a later group).
  int Compile(std::string_view pattern);
  // Whether the expression occurs in the text. kOk (with *matched set), or kRegexLimit.
  int Search(std::string_view text, bool* matched) const;

  struct Inst {
    uint8_t op;
    int32_t x = 0, y = 0;     // operands (character code, set, jump targets, slot, counts)
    int32_t min = 0, max = 0; // repetition of a single-character item
  };

 private:
  friend class RegexCompiler;
  friend class RegexMatcher;
  struct Set {
    bool negated = false;
    std::vector<std::pair<uint16_t, uint16_t>> ranges;
    bool Contains(uint16_t c) const;
  };
  std::vector<Inst> program_;
  std::vector<Set> sets_;
  int registers_ = 0;        // loop marks
  bool anchored_ = false;    // begins with "^" and has no top-level alternative
  int first_char_ = -1;      // a character every match must begin with, or -1
};

// The engine's last compiled expression: the expression is compiled once per condition test and kept;
// an empty expression reuses the previous one.
struct RegexCache {
  bool valid = false;
  std::string pattern;
  Regex regex;
};

// Searches text for a "matches" expression through the engine's cache. kOk (with *matched), kInvalid for
// a bad expression or an empty one with none before ("No previous regular expression"), or kRegexLimit.
int MatchExpression(std::string_view pattern, std::string_view text, bool* matched);

// Whether a character code is a word character (for \< and \>).
bool IsWordChar(uint16_t c);

}  // namespace dbengine
