// "create table" and "create index": schema bytes, tokenizer, every result code.
#include <gtest/gtest.h>

#include "dbengine/check.h"
#include "dbengine/create_tokenizer.h"
#include "dbengine/index.h"
#include "dbengine/query.h"
#include "dbengine/table.h"
#include "tests/dbengine/db_test_util.h"

namespace dbengine {
namespace {

using testing::FileBytes;

class CreateStatements : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing::FreshDirectory(testing::TestName()); }
  std::string dir_;
};

TEST(CreateTokenizer, SplitsAndKeepsDoubleByteCharactersWhole) {
  EXPECT_EQ(TokenizeCreate("create table T(a char(10),b date(6))"),
            (std::vector<std::string>{"create", "table", "T", "(", "a", "char", "(", "10", ")", ",", "b", "date",
                                      "(", "6", ")", ")"}));
  // 戦型: the second byte of 型 (0x8C 0x5E) is the circumflex, a token character on its own.
  std::vector<std::string> t = TokenizeCreate("戦型 char(8)");
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[0], "戦型");
  EXPECT_EQ(TokenizeCreate("表示 ソフト"), (std::vector<std::string>{"表示", "ソフト"}));  // 0x5C second bytes
  EXPECT_EQ(TokenizeCreate("SQUARE"), (std::vector<std::string>{"S", "Q", "UARE"}));
  EXPECT_EQ(TokenizeCreate("a \"b c\" d"), (std::vector<std::string>{"a", "\"b c\"", "d"}));
  EXPECT_EQ(TokenizeCreate("x\t\r\ny"), (std::vector<std::string>{"x", "y"}));
}

TEST(CreateTokenizer, ClassifiesStatements) {
  EXPECT_EQ(ClassifyStatement("create table t (a char(1))"), StatementKind::kCreateTable);
  EXPECT_EQ(ClassifyStatement(" create unique index 0 on t (a)"), StatementKind::kCreateIndex);
  EXPECT_EQ(ClassifyStatement("create index 0 on t (a)"), StatementKind::kCreateIndex);
  EXPECT_EQ(ClassifyStatement("SELECT * FROM t"), StatementKind::kSelect);
  EXPECT_EQ(ClassifyStatement("drop table t"), StatementKind::kUnknown);
}

TEST_F(CreateStatements, CreateTableWritesSchemaAndEmptyFiles) {
  ASSERT_EQ(CreateTable("create table 棋譜 ( 戦型 char(8), 日付 time(3), 盤面 bin(44) )", dir_), kOk);
  std::string path = dir_ + "/棋譜";
  std::string scm = FileBytes(path + ".scm");
  ASSERT_EQ(scm.size(), 4u + 3 * 46);
  std::string expected = std::string("\x03\x00\x00\x00", 4);
  auto column = [](const std::string& name, char type, char offset, char width) {
    std::string c = name + std::string(40 - name.size(), '\0');
    return c + std::string{type, 0, offset, 0, width, 0};
  };
  expected += column("戦型", 0, 0, 8) + column("日付", 1, 8, 6) + column("盤面", 3, 14, 44);
  EXPECT_EQ(scm, expected);
  EXPECT_EQ(FileBytes(path + ".bmp"), std::string("\x3A\x00\x01\x00\x00", 5));
  EXPECT_EQ(FileBytes(path + ".dat"), std::string(8 * 58, '\0'));
}

TEST_F(CreateStatements, CreateTableSyntaxErrors) {
  const char* bad[] = {
      "create tables t (a char(1))",
      "create table t a char(1))",
      "create table t (a char(1)",
      "create table t (a char(1)) extra",
      "create table t (a text(4))",
      "create table t (a char(0))",
      "create table t (a char(x))",
      "create table t (a char(1), a char(2))",
      "create table t (aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa char(1))",  // 40 bytes
      "create table t (SQUARE char(1))",                                    // Q splits the name
      "create table t (a char(40000))",
      "CREATE TABLE t (a char(1))",
      "create table t ()",
      "",
  };
  for (const char* s : bad) {
    EXPECT_EQ(CreateTable(s, dir_), kInvalid) << s;
    EXPECT_EQ(LastResult(), kInvalid);
  }
  EXPECT_EQ(CreateTable("create table t (" + std::string(39, 'a') + " char(1))", dir_), kOk);
  EXPECT_EQ(CreateTable("create table t (a char(1))", dir_ + "/missing/dir"), kSchemaOpen);
}

TEST_F(CreateStatements, CreateIndexBuildsFromRecords) {
  ASSERT_EQ(CreateTable("create table t (name char(8), kind char(2), day date(6), raw bin(4))", dir_), kOk);
  std::string path = dir_ + "/t";
  {
    TableHandle h(OpenTable(path));
    for (int i = 0; i < 300; ++i) {
      auto r = testing::Record(*h, {"n" + std::to_string(i), i % 2 ? "a" : "b", "000000"});
      int32_t n;
      ASSERT_EQ(InsertRecord(h.get(), r.data(), &n), kOk);
    }
  }
  EXPECT_EQ(CreateIndex("create index 1 on t (kind)", dir_), kTableFiles);  // not the next number
  EXPECT_EQ(CreateIndex("create unique index 0 on t (kind)", dir_), kDuplicateKey);
  EXPECT_FALSE(platform::FileExists(path + ".ix0"));
  EXPECT_EQ(CreateIndex("create unique index 0 on t (name, kind)", dir_), kOk);
  EXPECT_EQ(CreateIndex("create index 1 on t (kind, day)", dir_), kOk);
  EXPECT_EQ(FileBytes(path + ".scm").size(), 4u + 4 * 46 + 2 * 24);
  TableCheck check;
  ASSERT_EQ(CheckTable(path, &check), kOk);
  EXPECT_TRUE(check.Ok());
  EXPECT_EQ(check.index_entries, (std::vector<int64_t>{300, 300}));
  TableHandle h(OpenTable(path));
  ASSERT_TRUE(h);
  EXPECT_EQ(h->indexes[0].duplicates, 0);
  EXPECT_EQ(h->indexes[1].duplicates, 1);
  EXPECT_EQ(h->indexes[1].column_count, 2);
  EXPECT_EQ(IndexSeekExact(h->table, 0, "n7\x01\x01\x01\x01\x01\x01" "a"), kOk);
}

TEST_F(CreateStatements, CreateIndexErrors) {
  ASSERT_EQ(CreateTable("create table t (a char(50), b char(49), c char(1), d bin(2), e char(1), f char(1), "
                        "g char(1), h char(1), i char(1), j char(1), k char(1), l char(1), m char(1))",
                        dir_),
            kOk);
  EXPECT_EQ(CreateIndex("create index 0 on nothing (a)", dir_), kSchemaOpen);
  EXPECT_EQ(CreateIndex("create index 0 on t (zz)", dir_), kNoSuchColumn);
  EXPECT_EQ(CreateIndex("create index 0 on t (d)", dir_), kNotIndexable);
  EXPECT_EQ(CreateIndex("create index 0 on t (a, b)", dir_), kOk);        // 99 bytes
  EXPECT_EQ(CreateIndex("create index 1 on t (a, b, c)", dir_), kKeyTooLong);  // 100
  EXPECT_EQ(CreateIndex("create index 1 on t (c, e, f, g, h, i, j, k, l, m)", dir_), kOk);
  EXPECT_EQ(CreateIndex("create index 2 on t (c, e, f, g, h, i, j, k, l, m, c)", dir_), kTooManyKeyColumns);
  EXPECT_EQ(CreateIndex("create index 10 on t (c)", dir_), kInvalid);
  EXPECT_EQ(CreateIndex("create index on t (c)", dir_), kInvalid);
  EXPECT_EQ(CreateIndex("create index 2 t (c)", dir_), kInvalid);
  EXPECT_EQ(CreateIndex("create index 2 on t (c", dir_), kInvalid);
  ASSERT_TRUE(platform::WriteWholeFile(dir_ + "/t.scm", FileBytes(dir_ + "/t.scm") + "x"));
  EXPECT_EQ(CreateIndex("create index 2 on t (c)", dir_), kSchemaIo);
}

}  // namespace
}  // namespace dbengine
