#include "platform/files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include <sys/stat.h>

#include "platform/environment.h"
#include "platform/text_codec.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/small_fs.h"

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

// The names in a folder, "." and ".." left out.
std::string Listing(const std::string& dir) {
  std::string command = "ls -A '" + NativePath(dir) + "'", names;
  std::FILE* ls = ::popen(command.c_str(), "r");
  char buffer[256];
  while (ls && std::fgets(buffer, sizeof buffer, ls)) names += buffer;
  if (ls) ::pclose(ls);
  return names;
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(NativePath(path).c_str(), &st);
  return st.st_mode & 07777;
}

TEST(ReplacementFile, ReplacesWholeKeepingTheModeAndLeavesNoTemporaryFile) {
  const std::string dir = test_support::ScratchPath("replace", "mode");
  test_support::RemoveAfterPassingTest(dir);
  ASSERT_TRUE(MakeDirectory(dir));
  const std::string path = dir + "/棋譜.csa";
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(WriteWholeFile(path, "old"));
  EXPECT_EQ(ModeOf(path), 0644u) << "a new file: 0666 less the umask";
  ::chmod(NativePath(path).c_str(), 0600);
  ASSERT_TRUE(WriteWholeFile(path, "new"));
  ::umask(mask);
  EXPECT_EQ(ModeOf(path), 0600u) << "a replaced file keeps its mode";
  std::string back;
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_EQ(back, "new");

  // Uncommitted, nothing changes; appending starts from the old bytes.
  {
    ReplacementFile f;
    ASSERT_TRUE(f.Open(path));
    ASSERT_TRUE(f.Write("lost"));
  }
  ReplacementFile append;
  ASSERT_TRUE(append.Open(path, true));
  ASSERT_TRUE(append.Write("+more"));
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_EQ(back, "new");
  ASSERT_TRUE(append.Commit());
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_EQ(back, "new+more");
  EXPECT_EQ(Listing(dir), Cp932ToUtf8("棋譜.csa\n"));
}

TEST(ReplacementFile, FollowsLinksAndWritesDevicesInPlace) {
  const std::string dir = test_support::ScratchPath("replace", "link");
  test_support::RemoveAfterPassingTest(dir);
  ASSERT_TRUE(MakeDirectory(dir));
  ASSERT_TRUE(WriteWholeFile(dir + "/real.csa", "old"));
  ASSERT_EQ(::symlink("real.csa", NativePath(dir + "/link.csa").c_str()), 0);
  ASSERT_TRUE(WriteWholeFile(dir + "/link.csa", "new"));
  struct stat st;
  ASSERT_EQ(::lstat(NativePath(dir + "/link.csa").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  std::string back;
  ASSERT_TRUE(ReadWholeFile(dir + "/real.csa", back));
  EXPECT_EQ(back, "new");
  EXPECT_TRUE(SameFile(dir + "/link.csa", dir + "/./real.csa"));
  EXPECT_FALSE(SameFile(dir + "/real.csa", dir + "/missing.csa"));
  ASSERT_TRUE(WriteWholeFile(dir + "/other.csa", "new"));
  EXPECT_FALSE(SameFile(dir + "/real.csa", dir + "/other.csa"));

  EXPECT_TRUE(WriteWholeFile("/dev/null", "x"));
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode)) << "a device is written, never replaced";
  EXPECT_FALSE(WriteWholeFile(dir, "x")) << "a folder is no file";
  EXPECT_FALSE(WriteWholeFile(dir + "/missing/x.csa", "x"));
}

// A failed write leaves the old file byte for byte and no temporary file beside it.
TEST(ReplacementFile, AFullOrReadOnlyDiskLeavesTheOldFile) {
  test_support::SmallFileSystem fs(test_support::ScratchPath("replace", "full"));
  SKIP_UNLESS_MOUNTED(fs);
  const std::string path = fs.path() + "/a.csa";
  const std::string old(5000, 'o');
  ASSERT_TRUE(WriteWholeFile(path, old));
  ASSERT_TRUE(fs.Fill());
  errno = 0;
  EXPECT_FALSE(WriteWholeFile(path, std::string(20000, 'n')));
  EXPECT_EQ(errno, ENOSPC);
  ReplacementFile append;
  EXPECT_FALSE(append.Open(path, true) && append.Write(std::string(8192, 'n')) && append.Commit());
  std::string back;
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_EQ(back, old);
  EXPECT_EQ(Listing(fs.path()), "a.csa\nfiller\n");

  fs.Unfill();
  ASSERT_TRUE(fs.SetReadOnly(true));
  EXPECT_FALSE(WriteWholeFile(path, "new"));
  ASSERT_TRUE(ReadWholeFile(path, back));
  EXPECT_EQ(back, old);
  ASSERT_TRUE(fs.SetReadOnly(false));
  EXPECT_TRUE(WriteWholeFile(path, "new"));
}

TEST(Environment, ValuesCrossAsCp932) {
  ASSERT_TRUE(SetEnv("KOMARAKU_TEST_VAR", "将棋"));
  EXPECT_EQ(std::string(std::getenv("KOMARAKU_TEST_VAR")), Cp932ToUtf8("将棋"));
  EXPECT_EQ(GetEnv("KOMARAKU_TEST_VAR").value_or(""), "将棋");
  EXPECT_FALSE(GetEnv("KOMARAKU_SURELY_UNSET_VAR").has_value());
}

}  // namespace
}  // namespace platform
