// SelectToFile: stable ordering, spilling to the temporary file, the stop flag, write failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

#include "dbengine/engine_state.h"
#include "dbengine/query.h"
#include "dbengine/result_store.h"
#include "dbengine/row_sort.h"
#include "dbengine/table.h"
#include "platform/environment.h"
#include "tests/dbengine/db_test_util.h"

namespace dbengine {
namespace {

class SortedRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::FreshDirectory(testing::TestName());
    SetQueryStop(false);
  }
  void TearDown() override { unsetenv("TMP"); }

  // seq char(6) "000000".., k char(2) with many ties, pad char(width).
  void Fill(int rows, int pad_width = 4) {
    ASSERT_EQ(CreateTable("create table t (seq char(6), k char(2), pad char(" + std::to_string(pad_width) + "))", dir_),
              kOk);
    TableHandle h(OpenTable(dir_ + "/t"));
    std::mt19937 rng(5);
    for (int i = 0; i < rows; ++i) {
      char seq[8];
      std::snprintf(seq, sizeof seq, "%06d", i);
      std::string k(1, static_cast<char>('a' + rng() % 4));
      if (rng() % 3 == 0) k += 'z';
      auto r = testing::Record(*h, {seq, k, std::string(static_cast<size_t>(pad_width), 'p')});
      int32_t n;
      ASSERT_EQ(InsertRecord(h.get(), r.data(), &n), kOk);
    }
  }

  // Runs a sorted select into a file and gives back its rows.
  std::vector<std::string> Run(const std::string& statement, std::optional<ResultDescription>* d = nullptr) {
    std::FILE* f = std::tmpfile();
    std::optional<ResultDescription> r = SelectToFile(statement, f, dir_);
    std::vector<std::string> rows;
    if (r) {
      std::rewind(f);
      std::string row(static_cast<size_t>(r->row_size), '\0');
      while (std::fread(row.data(), 1, row.size(), f) == row.size()) rows.push_back(row);
      EXPECT_EQ(static_cast<int64_t>(rows.size()), r->rows);
    }
    std::fclose(f);
    if (d) *d = r;
    return rows;
  }

  std::string dir_;
};

TEST_F(SortedRun, EqualKeysKeepTheirCollectionOrder) {
  Fill(500);
  std::optional<ResultDescription> d;
  std::vector<std::string> rows = Run("select k, seq from t order by k", &d);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->rows, 500);
  EXPECT_EQ(d->row_size, 8);
  ASSERT_EQ(d->columns.size(), 2u);
  EXPECT_EQ(d->columns[1].name, "seq");
  EXPECT_EQ(d->columns[1].width, 6);
  EXPECT_FALSE(d->stopped);
  std::vector<std::string> expected = Run("select k, seq from t");  // collection order
  std::stable_sort(expected.begin(), expected.end(),
                   [](const std::string& a, const std::string& b) { return a.substr(0, 2) < b.substr(0, 2); });
  EXPECT_EQ(rows, expected);
}

TEST_F(SortedRun, SeveralKeysAndDescending) {
  Fill(400);
  std::vector<std::string> rows = Run("select seq, k from t where k != \"b\" order by k desc, seq desc");
  std::vector<std::string> expected = Run("select seq, k from t where k != \"b\"");
  std::stable_sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
    std::string ka = a.substr(6, 2), kb = b.substr(6, 2);
    if (ka != kb) return ka > kb;
    return a.substr(0, 6) > b.substr(0, 6);
  });
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(rows.front().substr(6, 2), std::string("dz"));
}

TEST_F(SortedRun, LargeResultsSpillToTheTemporaryFile) {
  Fill(6000, 200);  // 208-byte rows: 1.25 MB
  std::string tmp = dir_ + "/tmp";
  ASSERT_TRUE(platform::MakeDirectory(tmp));
  ASSERT_TRUE(platform::SetEnv("TMP", tmp));
  std::vector<std::string> rows = Run("select * from t order by k, seq desc");
  ASSERT_EQ(rows.size(), 6000u);
  for (size_t i = 1; i < rows.size(); ++i) {
    std::string ka = rows[i - 1].substr(6, 2), kb = rows[i].substr(6, 2);
    ASSERT_TRUE(ka < kb || (ka == kb && rows[i - 1].substr(0, 6) > rows[i].substr(0, 6))) << i;
  }
  EXPECT_TRUE(platform::RemoveDirectory(tmp));  // the temporary file is gone
  ASSERT_TRUE(platform::SetEnv("TMP", dir_ + "/missing"));
  std::FILE* f = std::tmpfile();
  EXPECT_FALSE(SelectToFile("select * from t order by k", f, dir_));
  EXPECT_EQ(LastResult(), kSchemaOpen);
  std::fclose(f);
}

TEST_F(SortedRun, ResultStoreRowsAcrossBlocksAndTheFile) {
  std::string tmp = dir_ + "/tmp";
  ASSERT_TRUE(platform::MakeDirectory(tmp));
  ASSERT_TRUE(platform::SetEnv("TMP", tmp));
  ResultStore store(333);  // rows straddle the 64,000-byte blocks and the memory limit
  std::vector<uint8_t> row(333);
  for (int i = 0; i < 4000; ++i) {
    std::fill(row.begin(), row.end(), static_cast<uint8_t>(i * 7));
    row[0] = static_cast<uint8_t>(i >> 8);
    ASSERT_EQ(store.Append(row.data()), kOk);
  }
  for (int i = 3999; i >= 0; i -= 13) {
    ASSERT_EQ(store.Read(i, row.data()), kOk);
    EXPECT_EQ(row[0], static_cast<uint8_t>(i >> 8));
    EXPECT_EQ(row[332], static_cast<uint8_t>(i * 7));
  }
}

TEST_F(SortedRun, StopFlagCutsCollectionShort) {
  Fill(300);
  SetQueryStop(true);
  std::optional<ResultDescription> d;
  std::vector<std::string> rows = Run("select seq from t order by seq desc", &d);
  ASSERT_TRUE(d);
  EXPECT_TRUE(d->stopped);
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_FALSE(Engine().stop_requested.load());  // lowered again
  EXPECT_EQ(Run("select seq from t order by seq desc").size(), 300u);
}

TEST_F(SortedRun, StopDuringTheSortLeavesASortedPrefix) {
  ResultStore store(4);
  std::mt19937 rng(1);
  for (int i = 0; i < 300000; ++i) {
    uint32_t v = rng() % 1000;
    ASSERT_EQ(store.Append(reinterpret_cast<const uint8_t*>(&v)), kOk);
  }
  std::vector<SortKey> keys = {{0, 4, false, false}};
  std::vector<uint32_t> full, cut;
  std::atomic<bool> stop{false};
  bool stopped;
  ASSERT_EQ(SortRows(store, keys, stop, &full, &stopped), kOk);
  ASSERT_FALSE(stopped);
  ASSERT_EQ(full.size(), 300000u);
  std::thread raiser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop.store(true);
  });
  ASSERT_EQ(SortRows(store, keys, stop, &cut, &stopped), kOk);
  raiser.join();
  if (stopped) {
    EXPECT_FALSE(stop.load());
    EXPECT_LT(cut.size(), full.size());
  }
  ASSERT_LE(cut.size(), full.size());
  EXPECT_TRUE(std::equal(cut.begin(), cut.end(), full.begin()));
}

TEST_F(SortedRun, WriteFailuresAndBadStatements) {
  Fill(50);
  std::FILE* full = std::fopen("/dev/full", "wb");
  if (full) {
    EXPECT_FALSE(SelectToFile("select * from t order by k", full, dir_));
    EXPECT_EQ(LastResult(), kSchemaIo);
    std::fclose(full);
  }
  std::FILE* f = std::tmpfile();
  EXPECT_FALSE(SelectToFile("select seq from t order by k", f, dir_));
  EXPECT_EQ(LastResult(), kQueryError);
  EXPECT_FALSE(SelectToFile("select * from t where seq matches \"\\(\"", f, dir_));
  EXPECT_EQ(LastResult(), kInvalid);
  EXPECT_FALSE(SelectToFile("select * from nothing", f, dir_));
  EXPECT_EQ(LastResult(), kCannotOpen);
  std::fclose(f);
}

TEST_F(SortedRun, RegularExpressionOverItsBoundFailsTheStatement) {
  ASSERT_EQ(CreateTable("create table r (text char(200))", dir_), kOk);
  {
    TableHandle h(OpenTable(dir_ + "/r"));
    auto rec = testing::Record(*h, {std::string(120, 'a')});
    int32_t n;
    ASSERT_EQ(InsertRecord(h.get(), rec.data(), &n), kOk);
  }
  std::FILE* f = std::tmpfile();
  EXPECT_FALSE(SelectToFile("select * from r where text matches \"\\(a*\\)*\\(a*\\)*b\"", f, dir_));
  EXPECT_EQ(LastResult(), kRegexLimit);
  std::fclose(f);
}

}  // namespace
}  // namespace dbengine
