#include "platform/files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/environment.h"
#include "platform/text_codec.h"

namespace platform {
namespace {

TEST(Files, Cp932PathsAreUtf8OnDisk) {
  const std::string unique = "棋譜テスト" + std::to_string(::getpid());
  std::string dir = CorePath(testing::TempDir()) + unique;
  RemoveFile(dir + "/表.csa");
  RemoveDirectory(dir);
  ASSERT_TRUE(MakeDirectory(dir));
  std::string path = dir + "/表.csa";
  ASSERT_TRUE(WriteWholeFile(path, "V2.2\r\n"));
  std::string native = testing::TempDir() + Cp932ToUtf8(unique + "/表.csa");
  std::FILE* f = std::fopen(native.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  std::string back;
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_EQ(back, "V2.2\r\n");
  EXPECT_TRUE(FreeDiskBytes(dir).has_value());
  EXPECT_TRUE(RemoveFile(path));
  EXPECT_FALSE(ReadWholeFile(path, back));
  EXPECT_TRUE(RemoveDirectory(dir));
}

TEST(Files, AnEmptyFileCanBeWritten) {
  std::string path = CorePath(testing::TempDir()) + "empty" + std::to_string(::getpid()) + ".txt";
  ASSERT_TRUE(WriteWholeFile(path, ""));
  std::string back = "x";
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_TRUE(back.empty());
  RemoveFile(path);
}

TEST(Environment, ValuesCrossAsCp932) {
  ASSERT_TRUE(SetEnv("KOMARAKU_TEST_VAR", "将棋"));
  EXPECT_EQ(std::string(std::getenv("KOMARAKU_TEST_VAR")), Cp932ToUtf8("将棋"));
  EXPECT_EQ(GetEnv("KOMARAKU_TEST_VAR").value_or(""), "将棋");
  EXPECT_FALSE(GetEnv("KOMARAKU_SURELY_UNSET_VAR").has_value());
}

}  // namespace
}  // namespace platform
