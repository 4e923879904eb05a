#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// Core literals are CP932 at run time; these are the same texts spelled in UTF-8 bytes.
const char kUtf8Fu[] = "\xE6\xAD\xA9";        // 歩
const char kUtf8Hyo[] = "\xE8\xA1\xA8";       // 表 (CP932 0x95 0x5C: a backslash as second byte)

TEST(TextCodec, RoundTripsJapaneseBothWays) {
  std::string cp932 = "７六歩 表ソ";
  std::string utf8 = Cp932ToUtf8(cp932);
  EXPECT_NE(utf8.find(kUtf8Fu), std::string::npos);
  EXPECT_NE(utf8.find(kUtf8Hyo), std::string::npos);
  bool lossless = false;
  EXPECT_EQ(Utf8ToCp932(utf8, &lossless), cp932);
  EXPECT_TRUE(lossless);
}

TEST(TextCodec, BadBytesAreReplacedNotDropped) {
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");  // lone lead byte at the end
  bool lossless = true;
  EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80z", &lossless), "a?z");  // emoji has no CP932 form
  EXPECT_FALSE(lossless);
  EXPECT_EQ(Utf8ToCp932("a\xFFz", &lossless), "a?z");
}

TEST(TextCodec, DetectsUtf8InputWithAndWithoutBom) {
  std::string cp932 = "先手：羽生";
  std::string utf8 = Cp932ToUtf8(cp932);
  EXPECT_TRUE(LooksLikeUtf8(utf8));
  EXPECT_TRUE(LooksLikeUtf8("\xEF\xBB\xBF" "ascii"));
  EXPECT_FALSE(LooksLikeUtf8(cp932));
  EXPECT_FALSE(LooksLikeUtf8("plain ascii"));  // nothing to convert either way
  bool was_utf8 = false;
  EXPECT_EQ(InputTextToCp932("\xEF\xBB\xBF" + utf8, &was_utf8), cp932);
  EXPECT_TRUE(was_utf8);
  EXPECT_EQ(InputTextToCp932(cp932, &was_utf8), cp932);
  EXPECT_FALSE(was_utf8);
}

}  // namespace
}  // namespace platform
