// Archive: the line ends a record text may have, and storing archives that replace their file only when
// committed whole.
#include "record/archive.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/small_fs.h"

namespace record {
namespace {

std::vector<std::string> ReadLines(std::string_view text) {
  Archive in = Archive::FromText(text);
  std::vector<std::string> lines;
  for (std::string line; in.ReadLine(line);) lines.push_back(line);
  return lines;
}

TEST(ArchiveLines, LfCrlfAndCrOnlyTextsGiveTheSameLines) {
  const std::vector<std::string> expected{"a", "", "b"};
  for (std::string_view text : {"a\n\nb\n", "a\r\n\r\nb", "a\r\rb\r"}) {
    EXPECT_EQ(ReadLines(text), expected) << text;
    const std::vector<std::string_view> split = SplitLines(text);
    EXPECT_EQ(std::vector<std::string>(split.begin(), split.end()), expected) << text;
  }
  // Where LF ends the lines, a lone CR is part of its line.
  EXPECT_EQ(ReadLines("a\rb\r\nc\n"), (std::vector<std::string>{"a\rb", "c"}));
}

std::string Contents(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(platform::ReadWholeFile(path, bytes)) << path;
  return bytes;
}

TEST(ArchiveLines, LineNumberCountsTheLineEndsBeforeTheLineLastRead) {
  for (std::string_view text : {"a\n\nb\n", "a\r\n\r\nb", "a\r\rb\r"}) {
    Archive in = Archive::FromText(text);
    EXPECT_EQ(in.LineNumber(), 0);
    std::string line;
    for (int n = 1; n <= 3; ++n) {
      ASSERT_TRUE(in.ReadLine(line));
      EXPECT_EQ(in.LineNumber(), n) << text;
    }
    // After a seek (the select-read offsets) the count still runs from the start of the text.
    in.Seek(0);
    in.ReadLine(line);
    EXPECT_EQ(in.LineNumber(), 1);
  }
}

TEST(ArchiveToFile, OnlyACommitReplacesTheFileAndAppendingKeepsItsBytes) {
  const std::string dir = test_support::ScratchPath("archive", "commit");
  test_support::RemoveAfterPassingTest(dir);
  ASSERT_TRUE(platform::MakeDirectory(dir));
  const std::string path = dir + "/games.csa";
  ASSERT_TRUE(platform::WriteWholeFile(path, "old\r\n"));
  {
    Archive dropped = Archive::ToFile(path, false);
    dropped.WriteLine("lost");
  }
  EXPECT_EQ(Contents(path), "old\r\n");
  Archive append = Archive::ToFile(path, true);
  append.WriteLine("new");
  EXPECT_EQ(Contents(path), "old\r\n") << "nothing shows before the commit";
  ASSERT_TRUE(append.Commit());
  EXPECT_EQ(Contents(path), "old\r\nnew\r\n");
  EXPECT_FALSE(Archive::ToFile(dir + "/missing/games.csa", false).ok());
}

TEST(ArchiveToFile, AFullDiskFailsTheCommitAndKeepsTheOldFile) {
  test_support::SmallFileSystem fs(test_support::ScratchPath("archive", "full"));
  SKIP_UNLESS_MOUNTED(fs);
  const std::string path = fs.path() + "/games.csa";
  const std::string old(3000, 'o');
  ASSERT_TRUE(platform::WriteWholeFile(path, old));
  ASSERT_TRUE(fs.Fill());
  for (bool append : {false, true}) {
    Archive out = Archive::ToFile(path, append);
    for (int i = 0; i < 2000 && out.ok(); ++i) out.WriteLine("+7776FU");
    EXPECT_FALSE(out.Commit()) << "append " << append;
    EXPECT_EQ(Contents(path), old);
  }
}

}  // namespace
}  // namespace record
