// A table on a read-only medium (a tmpfs remounted read-only, which stops root as well) is opened,
// read, searched and checked like any other, and never changed: every change and the rebuild say
// "read-only" and leave the files as they were.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "dbengine/check.h"
#include "dbengine/index.h"
#include "dbengine/query.h"
#include "dbengine/read_only.h"
#include "dbengine/table.h"
#include "tests/dbengine/db_test_util.h"
#include "tests/support/small_fs.h"

namespace dbengine {
namespace {

using testing::FileBytes;

TEST(ReadOnlyMedium, TablesAreReadAndCheckedButNeverChanged) {
  test_support::SmallFileSystem medium(test_support::ScratchPath("dbengine", "read_only"), 1 << 20);
  SKIP_UNLESS_MOUNTED(medium);
  const std::string dir = medium.path(), path = dir + "/t";
  ASSERT_EQ(CreateTable("create table t (k char(10), g char(2))", dir), kOk);
  ASSERT_EQ(CreateIndex("create unique index 0 on t (k)", dir), kOk);
  DbSchema* h = OpenTable(path);
  ASSERT_TRUE(h);
  for (int i = 0; i < 50; ++i) {
    auto r = testing::Record(*h, {"k" + std::to_string(i), std::to_string(i % 3)});
    int32_t n;
    ASSERT_EQ(InsertRecord(h, r.data(), &n), kOk);
  }
  ASSERT_EQ(CloseTable(h), kOk);
  EXPECT_FALSE(DirectoryReadOnly(dir));
  EXPECT_FALSE(TableFilesReadOnly(path));
  ASSERT_TRUE(medium.SetReadOnly(true));
  EXPECT_TRUE(DirectoryReadOnly(dir));
  EXPECT_TRUE(TableFilesReadOnly(path));
  std::map<std::string, std::string> files;
  for (const char* ext : {".scm", ".bmp", ".dat", ".ix0"}) files[ext] = FileBytes(path + ext);

  TableHandle table(OpenTable(path));
  ASSERT_TRUE(table) << LastResult();
  EXPECT_TRUE(OpenedReadOnly(table->table));
  std::vector<uint8_t> r(12);
  ASSERT_EQ(ReadRecord(table->table, 49, r.data()), kOk);
  int entries = 0;
  IndexFirst(table->table, 0);
  while (IndexNext(table->table, 0) == kOk) ++entries;
  EXPECT_EQ(entries, 50);
  int32_t n;
  EXPECT_EQ(InsertRecord(table.get(), r.data(), &n), kReadOnly);
  EXPECT_EQ(UpdateRecord(table.get(), r.data(), 49), kReadOnly);
  EXPECT_EQ(DeleteRecord(table.get(), r.data(), 49), kReadOnly);
  EXPECT_EQ(CloseTable(table.release()), kOk);

  std::FILE* rows = std::tmpfile();
  ASSERT_TRUE(rows);
  std::optional<ResultDescription> d = SelectToFile("select k from t where g = \"1\" order by k", rows, dir);
  std::fclose(rows);
  ASSERT_TRUE(d) << LastResult();
  EXPECT_EQ(d->rows, 17);

  TableCheck check;
  ASSERT_EQ(CheckTable(path, &check), kOk);
  EXPECT_TRUE(check.Ok()) << DescribeProblem(check.problems[0]);
  EXPECT_TRUE(check.read_only);
  RebuildReport report;
  EXPECT_EQ(RebuildTable(path, &report), kReadOnly);
  EXPECT_NE(CreateIndex("create index 1 on t (g)", dir), kOk);
  for (const auto& [ext, bytes] : files) EXPECT_EQ(FileBytes(path + ext), bytes) << ext;
}

TEST(ReadOnlyMedium, WritableAndMissingDirectoriesAreNotReadOnly) {
  std::string dir = testing::FreshDirectory(testing::TestName());
  EXPECT_FALSE(DirectoryReadOnly(dir));
  EXPECT_FALSE(DirectoryReadOnly(dir + "/missing"));
  EXPECT_FALSE(TableFilesReadOnly(dir + "/t"));
  TableCheck check;
  ASSERT_EQ(CheckTable(dir + "/t", &check), kOk);
  EXPECT_FALSE(check.read_only);
}

}  // namespace
}  // namespace dbengine
