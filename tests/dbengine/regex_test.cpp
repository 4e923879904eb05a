// The regular expressions of "matches": a behaviour table, Shift-JIS characters, and the work bound.
#include <gtest/gtest.h>

#include "dbengine/engine_state.h"
#include "dbengine/regex.h"
#include "dbengine/result_codes.h"
#include "platform/clock.h"

namespace dbengine {
namespace {

enum Expect { kYes, kNo, kBad };

int Match(const std::string& pattern, const std::string& text) {
  Regex re;
  if (re.Compile(pattern) != kOk) return kBad;
  bool matched = false;
  int rc = re.Search(text, &matched);
  if (rc != kOk) return -rc;
  return matched ? kYes : kNo;
}

struct Row {
  const char* pattern;
  const char* text;
  Expect expect;
};

TEST(Regex, BehaviourTable) {
  const Row rows[] = {
      {"abc", "xxabcxx", kYes}, {"abc", "ab", kNo}, {"ABC", "abc", kNo},
      {"a.c", "abc", kYes}, {"a.c", "ac", kNo}, {"a.c", "a将c", kYes},  // "." is one double-byte character
      {"^ab", "abc", kYes}, {"^ab", "cab", kNo}, {"bc$", "abc", kYes}, {"bc$", "bcd", kNo},
      {"a^b", "a^b", kYes}, {"a$b", "a$b", kYes}, {"^$", "", kYes}, {"^$", "x", kNo},
      {"ab*c", "ac", kYes}, {"ab*c", "abbbc", kYes}, {"ab+c", "ac", kNo}, {"ab+c", "abbc", kYes},
      {"ab?c", "abc", kYes}, {"ab?c", "abbc", kNo}, {"*a", "*a", kYes}, {"a**", "a*", kYes},
      {"[abc]x", "bx", kYes}, {"[abc]x", "dx", kNo}, {"[^abc]x", "dx", kYes}, {"[^abc]x", "ax", kNo},
      {"[a-c]+z", "abcz", kYes}, {"[a-c]z", "dz", kNo}, {"[]a]", "a", kNo}, {"[^]x", "yx", kYes},
      {"[\\]]", "]", kYes}, {"[a\\-z]", "-", kYes}, {"[a-]", "-", kYes},
      {"[ぁ-ん]+", "ひらがな", kYes}, {"[ぁ-ん]", "カタカナ", kNo}, {"[^ぁ-ん]", "ひ", kNo},
      {"\\(ab\\)*c", "ababc", kYes}, {"\\(ab\\)+c", "c", kNo}, {"x\\(ab\\)?y", "xy", kYes},
      {"\\(a\\|b\\)c", "bc", kYes}, {"\\(a\\|b\\)c", "cc", kNo}, {"cat\\|dog", "hotdog", kYes},
      {"^cat\\|dog$", "dogs", kNo}, {"^cat\\|^dog", "^dog", kYes},  // "^" only as the first character
      {"\\(a*\\)b\\1", "aabaa", kYes}, {"^\\(a*\\)b\\1$", "aaba", kNo}, {"\\(.\\)\\1", "xyzzy", kYes},
      {"\\(将\\)棋\\1", "将棋将", kYes}, {"\\1", "a", kBad}, {"\\(a\\)\\2", "aa", kBad},
      {"\\<word", "a word", kYes}, {"\\<word", "sword", kNo}, {"word\\>", "words", kNo},
      {"word\\>", "word.", kYes}, {"\\<ab_", "ab_", kYes}, {"_\\<ab", "_ab", kYes},  // "_" is not a word character
      {"\\<将棋\\>", "この将棋、", kNo}, {"\\<将棋", "将棋", kYes},
      {"a\\tb", "a\tb", kYes}, {"a\\nb", "a\nb", kYes}, {"\\x41", "A", kYes}, {"\\0101", "A", kYes},
      {"\\b", "\b", kYes}, {"\\f", "\f", kYes}, {"\\.", "x", kNo}, {"\\.", ".", kYes}, {"\\*", "*", kYes},
      {"[abc", "a", kBad}, {"\\(ab", "ab", kBad}, {"[z-a]", "a", kBad},
      {"ab\\)cd", "ab", kYes},  // a close without an open group ends the expression
      {"表", "表示", kYes}, {"\\\\", "表", kNo},  // 表 ends in the byte of "\", which is not a character
      {"ソ", "ソフト", kYes}, {"[ソ]", "ソ", kYes}, {"x[\\\\]", "x\\", kYes},
  };
  for (const Row& r : rows) EXPECT_EQ(Match(r.pattern, r.text), r.expect) << r.pattern << " / " << r.text;
}

TEST(Regex, TenthGroupAndTheRestAreIgnored) {
  std::string nine;
  for (int i = 0; i < 9; ++i) nine += "\\(a\\)";
  EXPECT_EQ(Match(nine + "\\(zzz\\)", std::string(9, 'a')), kYes);
  EXPECT_EQ(Match(nine + "\\9", std::string(10, 'a')), kYes);
}

TEST(Regex, HostilePatternsHitTheBoundQuickly) {
  int64_t start = platform::SteadyMilliseconds();
  EXPECT_EQ(Match("\\(a*\\)*b", std::string(40, 'a')), -kRegexLimit);
  EXPECT_EQ(Match("\\(\\(a*\\)*\\)*\\1\\2c", std::string(30, 'a')), -kRegexLimit);
  EXPECT_EQ(Match("\\(.*\\)\\1\\1x", std::string(3000, 'a')), -kRegexLimit);
  // Many pending alternatives: the stack bound, not the machine's stack.
  std::string ab;
  for (int i = 0; i < 150000; ++i) ab += "ab";
  EXPECT_EQ(Match("\\(a\\|b\\)*c", ab), -kRegexLimit);
  EXPECT_LT(platform::SteadyMilliseconds() - start, 5000);
  // Ordinary patterns on long texts stay well inside it.
  EXPECT_EQ(Match("x[0-9]+y$", std::string(50000, 'q') + "x123y"), kYes);
  EXPECT_EQ(Match("\\(ab\\)*c", ab.substr(0, 20000) + "c"), kYes);
}

TEST(Regex, EngineCacheReusesThePreviousExpression) {
  Engine().regex = RegexCache{};
  bool m;
  EXPECT_EQ(MatchExpression("", "abc", &m), kInvalid);  // no previous expression
  EXPECT_EQ(MatchExpression("b", "abc", &m), kOk);
  EXPECT_TRUE(m);
  EXPECT_EQ(MatchExpression("", "xyz", &m), kOk);  // "b" again
  EXPECT_FALSE(m);
  EXPECT_EQ(MatchExpression("[", "abc", &m), kInvalid);
  EXPECT_EQ(MatchExpression("", "abc", &m), kInvalid);
}

}  // namespace
}  // namespace dbengine
