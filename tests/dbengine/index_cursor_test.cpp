// Keys, cursors, seeks and prefix searches over small indexes.
#include <gtest/gtest.h>

#include "dbengine/check.h"
#include "dbengine/index.h"
#include "dbengine/table.h"
#include "dbengine/table_internal.h"
#include "tests/dbengine/db_test_util.h"
#include "tests/dbengine/index_check_util.h"

namespace dbengine {
namespace {

using testing::Column;
using testing::Field;
using testing::MakeSchema;
using testing::Record;

class IndexCursor : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing::FreshDirectory(testing::TestName()); }

  // name char(4), kind char(3), n char(2); index 0 unique on (name, kind), index 1 duplicates on kind.
  TableHandle Open(std::vector<IndexDesc> indexes = {testing::Index(false, {0, 1}), testing::Index(true, {1})}) {
    DbSchema s = MakeSchema({Column("name", kChar, 4), Column("kind", kChar, 3), Column("n", kChar, 2)},
                            std::move(indexes));
    path_ = dir_ + "/t";
    testing::WriteSchemaFile(path_, s);
    return TableHandle(InitTableFiles(path_));
  }
  int32_t Insert(DbSchema* h, const std::vector<std::string>& values, int expect = kOk) {
    auto r = Record(*h, values);
    int32_t n = -1;
    EXPECT_EQ(InsertRecord(h, r.data(), &n), expect);
    return n;
  }
  std::string Key(DbTable* t, int index) {
    const IndexEntry* e = IndexKeyBuffer(t, index);
    return std::string(reinterpret_cast<const char*>(e->key), e->key_length);
  }

  std::string dir_, path_;
};

TEST_F(IndexCursor, KeysArePaddedSoShortValuesSortFirst) {
  TableHandle h = Open();
  auto r = Record(*h, {"ab", "x"});
  EXPECT_EQ(RecordKey(*h, 0, r.data()), std::string("ab\x01\x01x"));
  EXPECT_EQ(RecordKey(*h, 0, Record(*h, {"ab"}).data()), "ab");           // trailing empty column
  EXPECT_EQ(RecordKey(*h, 0, Record(*h, {"", "k"}).data()), "\x01\x01\x01\x01k");  // empty middle column
  EXPECT_EQ(RecordKey(*h, 0, Record(*h, {"abcd", "xyz"}).data()), "abcdxyz");
  Insert(h.get(), {"abc", "x"});
  Insert(h.get(), {"ab", "x"});
  Insert(h.get(), {"abd"});
  ASSERT_EQ(IndexFirst(h->table, 0), kOk);
  ASSERT_EQ(IndexNext(h->table, 0), kOk);
  EXPECT_EQ(Key(h->table, 0), "ab\x01\x01x");
  ASSERT_EQ(IndexNext(h->table, 0), kOk);
  EXPECT_EQ(Key(h->table, 0), "abc\x01x");
  ASSERT_EQ(IndexNext(h->table, 0), kOk);
  EXPECT_EQ(Key(h->table, 0), "abd");
  EXPECT_EQ(IndexNext(h->table, 0), kNotFound);
  ASSERT_EQ(IndexPrev(h->table, 0), kOk);  // after the end, the last entry again
  EXPECT_EQ(Key(h->table, 0), "abd");
  ASSERT_EQ(IndexFirst(h->table, 0), kOk);
  EXPECT_EQ(IndexPrev(h->table, 0), kNotFound);
  ASSERT_EQ(IndexNext(h->table, 0), kOk);
  EXPECT_EQ(Key(h->table, 0), "ab\x01\x01x");
}

TEST_F(IndexCursor, UniqueRefusesDuplicatesKeepOnlyTheirOwnEntry) {
  TableHandle h = Open();
  int32_t a = Insert(h.get(), {"aa", "k"});
  Insert(h.get(), {"aa", "k"}, kDuplicateKey);
  int32_t b = Insert(h.get(), {"bb", "k"});
  int32_t c = Insert(h.get(), {"cc", "k"});
  auto rb = Record(*h, {"bb", "k"});
  EXPECT_EQ(DeleteRecord(h.get(), rb.data(), b), kOk);
  ASSERT_NO_FATAL_FAILURE(testing::CheckIndex(h.get(), 0));
  ASSERT_NO_FATAL_FAILURE(testing::CheckIndex(h.get(), 1));
  std::vector<int32_t> left;
  ASSERT_EQ(IndexFirst(h->table, 1), kOk);
  while (IndexNext(h->table, 1) == kOk) left.push_back(IndexKeyBuffer(h->table, 1)->record);
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<int32_t>{a, c}));
}

TEST_F(IndexCursor, DeletingTheOnlyKeyLeavesAnEmptyRoot) {
  TableHandle h = Open({testing::Index(false, {0})});
  auto r = Record(*h, {"only"});
  int32_t n = Insert(h.get(), {"only"});
  EXPECT_EQ(DeleteRecord(h.get(), r.data(), n), kOk);
  ASSERT_NO_FATAL_FAILURE(testing::CheckIndex(h.get(), 0));
  EXPECT_EQ(h->table->indexes[0].file.height, 1);
  EXPECT_EQ(h->table->indexes[0].file.root.Used(), 0);
  ASSERT_EQ(CloseTable(h.release()), kOk);
  EXPECT_EQ(testing::FileSize(path_ + ".ix0"), 1030);
}

TEST_F(IndexCursor, SeekResults) {
  TableHandle h = Open();
  for (const char* name : {"ab", "abc", "b", "bcd"}) Insert(h.get(), {name, "x"});
  DbTable* t = h->table;
  EXPECT_EQ(IndexSeekExact(t, 0, "abc\x01x"), kOk);
  EXPECT_EQ(IndexSeekExact(t, 0, "abc"), kNotFound);
  EXPECT_EQ(IndexSeek(t, 0, "abc\x01x"), kOk);
  EXPECT_EQ(IndexSeek(t, 0, "abc"), kSeekPrefix);
  EXPECT_EQ(Key(t, 0), "abc\x01x");
  EXPECT_EQ(IndexSeek(t, 0, "abz"), kSeekGreater);
  EXPECT_EQ(Key(t, 0), "b\x01\x01\x01x");
  EXPECT_EQ(IndexSeek(t, 0, "c"), kSeekEnd);
  EXPECT_EQ(IndexPrev(t, 0), kOk);  // the cursor stands after the last entry
  EXPECT_EQ(Key(t, 0), "bcd\x01x");
  EXPECT_EQ(IndexSeek(t, 0, ""), kInvalid);
  EXPECT_EQ(IndexSeek(t, 7, "a"), kInvalid);
  EXPECT_EQ(IndexSeek(nullptr, 0, "a"), kNotOpen);
}

TEST_F(IndexCursor, ImageOperationsDecodeKeys) {
  TableHandle h = Open();
  Insert(h.get(), {"ab", "x", "11"});
  Insert(h.get(), {"abc", "y", "22"});
  DbTable* t = h->table;
  auto image = Record(*h, {"abc", "y"});
  EXPECT_EQ(ReadByKey(t, 0, image.data()), kOk);
  EXPECT_EQ(Field(*h, image.data(), 2), "22");
  image = Record(*h, {"ab"});
  EXPECT_EQ(SeekByImage(t, 0, image.data()), kSeekPrefix);
  EXPECT_EQ(Field(*h, image.data(), 0), "ab");  // 0x01 padding back to NUL
  EXPECT_EQ(Field(*h, image.data(), 1), "x");
  EXPECT_EQ(image[2], 0);
  EXPECT_EQ(StepAndDecode(t, 0, true, image.data()), kOk);
  EXPECT_EQ(Field(*h, image.data(), 0), "abc");
  EXPECT_EQ(StepAndDecode(t, 0, true, image.data()), kNotFound);
  std::vector<uint8_t> record(9);
  ASSERT_EQ(IndexFirst(t, 1), kOk);
  EXPECT_EQ(ReadAtNext(t, 1, record.data()), kOk);
  EXPECT_EQ(Field(*h, record.data(), 2), "11");
}

TEST_F(IndexCursor, PrefixSearch) {
  TableHandle h = Open();
  DbTable* t = h->table;
  std::vector<uint8_t> r(9);
  EXPECT_EQ(FindNextByPrefix(r.data()), kNotFound);  // none active
  int i = 0;
  for (const char* kind : {"pa", "pb", "pa", "q", "pa"}) Insert(h.get(), {"n" + std::string(kind) + std::to_string(i++), kind});
  // Index 1 (duplicates on kind): every "pa" record, then the end.
  std::vector<std::string> names;
  int rc = FindByPrefix(t, 1, "pa", r.data());
  for (; rc == kPrefixFound; rc = FindNextByPrefix(r.data())) names.push_back(Field(*h, r.data(), 0));
  EXPECT_EQ(rc, kNotFound);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"npa0", "npa2", "npa4"}));
  // A shorter prefix spans two values, first in key order.
  EXPECT_EQ(FindByPrefix(t, 1, "p", r.data()), kPrefixFound);
  EXPECT_EQ(Field(*h, r.data(), 1), "pa");
  // Nothing begins with "pc", but "q" is greater: 30 and that record.
  EXPECT_EQ(FindByPrefix(t, 1, "pc", r.data()), kPrefixNext);
  EXPECT_EQ(Field(*h, r.data(), 1), "q");
  EXPECT_EQ(FindByPrefix(t, 1, "z", r.data()), kNotFound);
  EXPECT_EQ(FindByPrefix(t, 1, "", r.data()), kInvalid);
  EXPECT_EQ(FindByPrefix(t, 4, "p", r.data()), kInvalid);
  // Index 0 (unique, 7 bytes): the string is laid over both columns; full length looks up exactly.
  EXPECT_EQ(FindByPrefix(t, 0, "npb1pb", r.data()), kPrefixFound);
  EXPECT_EQ(FindByPrefix(t, 0, std::string("npb1pb\0", 7), r.data()), kPrefixFound);
  EXPECT_EQ(Field(*h, r.data(), 1), "pb");
  EXPECT_EQ(FindByPrefix(t, 0, std::string("npb1pc\0", 7), r.data()), kNotFound);
  EXPECT_EQ(FindByPrefix(t, 0, "nq", r.data()), kPrefixFound);
  EXPECT_EQ(Field(*h, r.data(), 0), "nq3");
  // Closing the table ends the search.
  EXPECT_EQ(FindByPrefix(t, 1, "pa", r.data()), kPrefixFound);
  ASSERT_EQ(CloseTable(h.release()), kOk);
  EXPECT_EQ(FindNextByPrefix(r.data()), kNotFound);
}

// A run of equal keys over many nodes: found whole, and each entry removed is the one of its record.
TEST_F(IndexCursor, ManyDuplicatesSpanNodes) {
  TableHandle h = Open({testing::Index(true, {1})});
  for (int i = 0; i < 3000; ++i) Insert(h.get(), {"n", i % 3 == 0 ? "a" : "b"});
  ASSERT_NO_FATAL_FAILURE(testing::CheckIndex(h.get(), 0));
  std::vector<uint8_t> r(9);
  int count = 0;
  for (int rc = FindByPrefix(h->table, 0, "a", r.data()); rc == kPrefixFound; rc = FindNextByPrefix(r.data())) ++count;
  EXPECT_EQ(count, 1000);
  EXPECT_GE(h->table->indexes[0].file.height, 2);
  auto a = Record(*h, {"n", "a"});
  for (int32_t n = 0; n < 3000; n += 6) ASSERT_EQ(DeleteRecord(h.get(), a.data(), n), kOk);
  std::vector<KeyedEntry> entries;
  ASSERT_NO_FATAL_FAILURE(testing::CheckIndex(h.get(), 0, &entries));
  ASSERT_EQ(entries.size(), 2500u);
  for (const KeyedEntry& e : entries) EXPECT_TRUE(e.key == "b" || e.record % 6 == 3) << e.record;
  TableCheck check;
  ASSERT_EQ(CheckOpenTable(h.get(), &check), kOk);
  EXPECT_TRUE(check.Ok());
}

}  // namespace
}  // namespace dbengine
