#include "tests/support/small_fs.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/support/scratch_dir.h"

namespace {

TEST(SmallFileSystem, FillsUpAndFreesAgain) {
  test_support::SmallFileSystem fs(test_support::ScratchPath("smallfs", "fill"));
  SKIP_UNLESS_MOUNTED(fs);
  ASSERT_TRUE(fs.Fill());
  std::FILE* f = platform::OpenFile(fs.path() + "/more", "wb");
  ASSERT_NE(f, nullptr);  // an empty file still fits
  std::fputs("x", f);
  EXPECT_NE(std::fclose(f), 0);
  fs.Unfill();
  EXPECT_TRUE(platform::WriteWholeFile(fs.path() + "/more", "x"));
}

}  // namespace
