// Select statements: parsing rules, edge cases of conditions, plans, row order, joins and the query cursor.
#include <gtest/gtest.h>

#include "dbengine/query.h"
#include "dbengine/select_parser.h"
#include "dbengine/table.h"
#include "tests/dbengine/db_test_util.h"
#include "tests/dbengine/query_test_util.h"

namespace dbengine {
namespace {

using testing::FirstColumn;
using testing::RunQuery;

class Select : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::FreshDirectory(testing::TestName());
    ASSERT_EQ(CreateTable("create table p (name char(6), kind char(3), day date(6), note char(10))", dir_), kOk);
    ASSERT_EQ(CreateTable("create table k (kind char(3), label char(8))", dir_), kOk);
    Insert("p", {"carol", "b", "240301", "x"});
    Insert("p", {"alice", "a", "240101", "hello"});
    Insert("p", {"dave", "c", "240401", "alice"});
    Insert("p", {"bob", "a", "240201", "$5"});
    Insert("p", {"erin", "b", "240501", ""});
    Insert("k", {"a", "first"});
    Insert("k", {"b", "second"});
    Insert("k", {"z", "none"});
  }
  void Insert(const std::string& table, const std::vector<std::string>& values) {
    TableHandle h(OpenTable(dir_ + "/" + table));
    auto r = testing::Record(*h, values);
    int32_t n;
    ASSERT_EQ(InsertRecord(h.get(), r.data(), &n), kOk);
  }
  std::vector<std::string> Names(const std::string& where_and_order) {
    auto r = RunQuery("select name from p " + where_and_order, dir_);
    EXPECT_EQ(r.code, kOk) << where_and_order;
    return FirstColumn(r);
  }
  using V = std::vector<std::string>;
  std::string dir_;
};

TEST_F(Select, ParserClausesAndLists) {
  SelectStatement s;
  ASSERT_EQ(ParseSelect("select a, b ,c from t1,t2 where x = \"from where\" and y<\"1\" order by a desc, b", &s), kOk);
  EXPECT_EQ(s.columns, (V{"a", "b", "c"}));
  EXPECT_EQ(s.tables, (V{"t1", "t2"}));
  EXPECT_EQ(s.where, (V{"x", "=", "\"from where\"", "and", "y", "<", "\"1\""}));
  ASSERT_EQ(s.order.size(), 2u);
  EXPECT_TRUE(s.order[0].descending);
  EXPECT_FALSE(s.order[1].descending);
  ASSERT_EQ(ParseSelect("SELECT * FROM t WHERE a=b ORDER BY a", &s), kOk);
  EXPECT_TRUE(s.columns.empty());
  EXPECT_EQ(s.where, (V{"a", "=", "b"}));
  ASSERT_EQ(ParseSelect("select 戦型 from t where 戦型 matches \"^四間\"", &s), kOk);
  EXPECT_EQ(s.columns, (V{"戦型"}));
  ASSERT_EQ(ParseSelect("select byte, fromage from orders where selected = \"1\"", &s), kOk);  // whole words only
  EXPECT_EQ(s.columns, (V{"byte", "fromage"}));
  EXPECT_EQ(s.tables, (V{"orders"}));
  ASSERT_EQ(ParseSelect("select a from t where a = \"1\" and", &s), kOk);  // trailing connector
  const char* bad[] = {"select a from t where a =", "select a from t where a", "select a b from t",
                       "select a, from t", "select a from", "select a from t where a = \"1",
                       "select a from t order a", "select a from t order by a DESC", "select a"};
  for (const char* b : bad) EXPECT_EQ(ParseSelect(b, &s), kQueryError) << b;
  std::string many = "select c0";
  for (int i = 1; i < 100; ++i) many += ", c" + std::to_string(i);
  EXPECT_EQ(ParseSelect(many + " from t", &s), kQueryError);
  std::string tokens = "select a from t where";
  for (int i = 0; i < 26; ++i) tokens += " a = \"1\" and";
  EXPECT_EQ(ParseSelect(tokens, &s), kQueryError);  // 104 tokens
}

TEST_F(Select, EdgeCasesOfTheConditions) {
  // An unquoted word after a "char" column is a column: note = name.
  EXPECT_EQ(Names("where note = name"), V{});
  EXPECT_EQ(Names("where note > name"), (V{"carol", "alice"}));
  EXPECT_EQ(RunQuery("select name from p where day = 240101", dir_).code, kQueryError);
  EXPECT_EQ(Names("where day = \"240101\""), V{"alice"});
  EXPECT_EQ(Names("where day < \"2403\" and"), (V{"alice", "bob"}));
  EXPECT_EQ(Names("where kind = \"a\" and day > \"240101\" or name = \"erin\""), (V{"bob", "erin"}));
  EXPECT_EQ(Names("where kind = \"a\" or kind = \"a\" or name >= \"alice\" and name <= \"alice\""), (V{"alice", "bob"}));
  EXPECT_EQ(RunQuery("select name from p where kind = \"a\" xor name = \"b\"", dir_).code, kQueryError);
  EXPECT_EQ(RunQuery("select name from p where kind =", dir_).code, kQueryError);
  EXPECT_EQ(RunQuery("select name from p where kind like \"a\"", dir_).code, kQueryError);
  EXPECT_EQ(RunQuery("select name from p where nothing = \"a\"", dir_).code, kQueryError);
  EXPECT_EQ(RunQuery("select name from nothing", dir_).code, kCannotOpen);
  EXPECT_EQ(Names("where note != \"\""), (V{"carol", "alice", "dave", "bob"}));
  EXPECT_EQ(Names("where note = \"\""), V{"erin"});
}

TEST_F(Select, MatchesAnchorsAndDollar) {
  EXPECT_EQ(Names("where note matches \"^al\""), V{"dave"});
  EXPECT_EQ(Names("where note matches \"lo$\""), V{"alice"});
  EXPECT_EQ(Names("where note matches \"$5\""), V{"bob"});  // "$" not last: an ordinary dollar
  EXPECT_EQ(Names("where note matches \"l\""), (V{"alice", "dave"}));
  EXPECT_EQ(RunQuery("select name from p where note matches \"[a\"", dir_).code, kInvalid);
  EXPECT_EQ(RunQuery("select name from p where note matches \"\\(x*\\)*y\" or name matches \"\\(\\(a*\\)*\\)*b\"", dir_).code,
            kOk);
}

TEST_F(Select, OrderByMustBeSelectedUnlessStar) {
  EXPECT_EQ(RunQuery("select name from p order by kind", dir_).code, kQueryError);
  EXPECT_EQ(RunQuery("select * from p order by kind", dir_).code, kOk);
  EXPECT_EQ(RunQuery("select name, kind from p order by kind desc", dir_).code, kOk);
}

TEST_F(Select, IndexDrivenPlansReadInKeyOrder) {
  EXPECT_EQ(Names(""), (V{"carol", "alice", "dave", "bob", "erin"}));  // record order
  ASSERT_EQ(CreateIndex("create unique index 0 on p (name)", dir_), kOk);
  ASSERT_EQ(CreateIndex("create index 1 on p (kind, day)", dir_), kOk);
  EXPECT_EQ(Names("where name >= \"b\""), (V{"bob", "carol", "dave", "erin"}));
  EXPECT_EQ(Names("where name < \"d\""), (V{"alice", "bob", "carol"}));
  EXPECT_EQ(Names("where name != \"bob\""), (V{"alice", "carol", "dave", "erin"}));
  EXPECT_EQ(Names("where kind = \"b\""), (V{"carol", "erin"}));
  EXPECT_EQ(Names("where note = \"x\" and kind = \"b\""), V{"carol"});
  EXPECT_EQ(Names("where name matches \"e\""), (V{"alice", "dave", "erin"}));
  EXPECT_EQ(Names("where name = \"bo\""), V{});
  EXPECT_EQ(Names("where name = \"bobby-long\""), V{});
  // Several groups: merged by record number, each record once.
  EXPECT_EQ(Names("where name >= \"d\" or kind = \"a\" or name = \"erin\""), (V{"alice", "dave", "bob", "erin"}));
}

TEST_F(Select, JoinsAndQualifiedColumns) {
  auto r = RunQuery("select p.name, k.label from p, k where p.kind = k.kind", dir_);
  ASSERT_EQ(r.code, kOk);
  std::vector<std::string> got;
  for (const std::string& row : r.rows) got.push_back(std::string(row.c_str()) + "/" + row.substr(6).c_str());
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (V{"alice/first", "bob/first", "carol/second", "erin/second"}));
  EXPECT_EQ(RunQuery("select label from p, k where label = \"none\"", dir_).rows.size(), 5u);
  EXPECT_EQ(RunQuery("select x.name from p", dir_).code, kQueryError);
  EXPECT_EQ(RunQuery("select p.nothing from p", dir_).code, kQueryError);
  auto star = RunQuery("select * from k, p where k.kind = \"z\" and name = \"bob\"", dir_);
  ASSERT_EQ(star.rows.size(), 1u);
  EXPECT_EQ(star.rows[0].size(), 11u + 25u);
  EXPECT_EQ(star.records[0], (std::vector<int32_t>{2, 3}));
}

TEST_F(Select, CursorInterface) {
  uint8_t row[64];
  EXPECT_EQ(QueryNext(row), kQueryError);
  Query* q = QueryOpen("select kind, name from p where kind = \"a\"", dir_);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(QueryRowSize(q), 9);
  ASSERT_EQ(QueryColumns(q).size(), 2u);
  EXPECT_EQ(QueryColumns(q)[1].name, "name");
  EXPECT_EQ(QueryColumns(q)[1].offset, 3);
  CompiledQuery* cq = QueryPrepare(q, "select kind, name from p where kind = \"a\"");
  ASSERT_NE(cq, nullptr);
  ASSERT_EQ(QueryFirst(cq, row), kOk);
  EXPECT_STREQ(reinterpret_cast<char*>(row + 3), "alice");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(QueryRecord(q, 0)) + 9, 4), "2401");
  ASSERT_EQ(QueryNext(row), kOk);
  EXPECT_EQ(QueryNext(row), kNotFound);
  QueryFree(cq);
  EXPECT_EQ(QueryNext(row), kQueryError);
  // Another where clause over the same opened tables.
  cq = QueryPrepare(q, "select kind, name from p where name = \"dave\"");
  ASSERT_EQ(QueryFirst(cq, row), kOk);
  EXPECT_STREQ(reinterpret_cast<char*>(row + 3), "dave");
  QueryClose(q);
  EXPECT_EQ(QueryNext(row), kQueryError);
  QueryFree(cq);
}

}  // namespace
}  // namespace dbengine
