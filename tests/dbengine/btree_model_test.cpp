// Long random sequences of inserts, updates and deletes checked against a std::multimap model, the
// index check and full cursor walks in both directions, across reopening the files; and keys put in and
// taken out in order, in batches, the index checked after each batch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>
#include <random>

#include "dbengine/check.h"
#include "dbengine/index.h"
#include "dbengine/node_cache.h"
#include "dbengine/table.h"
#include "dbengine/table_internal.h"
#include "tests/dbengine/db_test_util.h"
#include "tests/dbengine/index_check_util.h"

namespace dbengine {
namespace {

using testing::Column;
using testing::MakeSchema;

struct ModelCase {
  const char* name;
  bool duplicates;
  int width;        // of the key column
  bool two_columns; // key of (k, k2) with k2 of width 5
  int steps;
  int min_height;
  size_t cache_buffers = kNodeCacheBuffers;
};

class BtreeModel : public ::testing::TestWithParam<ModelCase> {};

using Entry = std::pair<std::string, int32_t>;  // key, record number

std::vector<Entry> WalkForward(DbTable* t) {
  std::vector<Entry> out;
  EXPECT_EQ(IndexFirst(t, 0), kOk);
  int rc;
  while ((rc = IndexNext(t, 0)) == kOk) {
    const IndexEntry* e = IndexKeyBuffer(t, 0);
    out.emplace_back(std::string(reinterpret_cast<const char*>(e->key), e->key_length), e->record);
  }
  EXPECT_EQ(rc, kNotFound);
  return out;
}

std::vector<Entry> WalkBackward(DbTable* t) {
  std::vector<Entry> out;
  int rc;
  while ((rc = IndexPrev(t, 0)) == kOk) {
    const IndexEntry* e = IndexKeyBuffer(t, 0);
    out.emplace_back(std::string(reinterpret_cast<const char*>(e->key), e->key_length), e->record);
  }
  EXPECT_EQ(rc, kNotFound);
  std::reverse(out.begin(), out.end());
  return out;
}

TEST_P(BtreeModel, RandomOperationsMatchTheModel) {
  const ModelCase& c = GetParam();
  SetNodeCacheCapacity(c.cache_buffers);
  std::string dir = testing::FreshDirectory(std::string("model_") + c.name);
  std::vector<ColumnDesc> columns = {Column("k", kChar, static_cast<int16_t>(c.width)), Column("k2", kChar, 5),
                                     Column("payload", kBin, 4)};
  std::vector<int16_t> key_columns = {0};
  if (c.two_columns) key_columns.push_back(1);
  DbSchema schema = MakeSchema(columns, {testing::Index(c.duplicates, key_columns)});
  std::string path = dir + "/t";
  testing::WriteSchemaFile(path, schema);
  DbSchema* h = InitTableFiles(path);
  ASSERT_TRUE(h);

  std::mt19937 rng(20240917u + static_cast<unsigned>(c.width) + (c.duplicates ? 7u : 0u));
  // Keys share prefixes and vary in length so that nodes hold entries of many sizes.
  auto random_text = [&](int max_length) {
    // Mostly near the full width, sometimes any length (down to empty).
    int length = rng() % 8 == 0 ? static_cast<int>(rng() % static_cast<unsigned>(max_length + 1))
                                : max_length - static_cast<int>(rng() % static_cast<unsigned>(max_length / 3 + 1));
    std::string s;
    for (int i = 0; i < length; ++i) s += static_cast<char>('a' + rng() % (i < 3 ? 3 : 20));
    return s;
  };
  auto random_record = [&]() {
    std::string k = random_text(c.width);
    std::string k2 = c.two_columns && rng() % 2 ? random_text(5) : "";
    return std::make_pair(k, k2);
  };
  auto key_of = [&](const std::vector<uint8_t>& r) { return RecordKey(*h, 0, r.data()); };

  std::map<int32_t, std::vector<uint8_t>> records;  // the model: record number -> image
  std::multimap<std::string, int32_t> model;
  int max_height = 0;

  auto forget = [&](const std::string& key, int32_t n) {
    auto range = model.equal_range(key);
    for (auto m = range.first; m != range.second; ++m) {
      if (m->second == n) {
        model.erase(m);
        return;
      }
    }
  };
  auto remove_any = [&]() {
    auto it = records.begin();
    std::advance(it, rng() % records.size());
    ASSERT_EQ(DeleteRecord(h, it->second.data(), it->first), kOk);
    forget(key_of(it->second), it->first);
    records.erase(it);
  };

  // The index checked and its entries compared with the model; when `full`, also the whole table and
  // cursor walks in both directions.
  auto verify = [&](bool full) {
    std::vector<KeyedEntry> checked;
    ASSERT_NO_FATAL_FAILURE(testing::CheckIndex(h, 0, &checked));
    std::vector<Entry> entries, expected(model.begin(), model.end());
    for (const KeyedEntry& e : checked) entries.emplace_back(e.key, e.record);
    std::sort(entries.begin(), entries.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(entries, expected);
    if (!full) return;
    TableCheck check;
    ASSERT_EQ(CheckOpenTable(h, &check), kOk);
    ASSERT_TRUE(check.Ok()) << DescribeProblem(check.problems[0]);
    std::vector<Entry> forward = WalkForward(h->table);
    std::vector<Entry> backward = WalkBackward(h->table);
    ASSERT_EQ(forward, backward);
    ASSERT_TRUE(std::is_sorted(forward.begin(), forward.end(),
                               [](const Entry& a, const Entry& b) { return a.first < b.first; }));
    std::sort(forward.begin(), forward.end());
    ASSERT_EQ(forward, expected);
  };

  for (int step = 0; step < c.steps; ++step) {
    // Growing for the first two thirds, then shrinking, so the tree both splits and merges a lot.
    unsigned op = rng() % 20;
    bool growing = step < c.steps * 2 / 3;
    bool insert = growing ? op < 15 : op < 5;
    bool remove = !insert && op < 18;
    if (insert || records.size() < 20) {  // insert
      auto [k, k2] = random_record();
      std::vector<uint8_t> r = testing::Record(*h, {k, k2, "\x01\x02\x03\x04"});
      int32_t n;
      int rc = InsertRecord(h, r.data(), &n);
      std::string key = key_of(r);
      if (!c.duplicates && model.count(key)) {
        ASSERT_EQ(rc, kDuplicateKey) << step;
      } else {
        ASSERT_EQ(rc, kOk) << step;
        ASSERT_EQ(records.count(n), 0u);
        records[n] = r;
        model.emplace(key, n);
      }
    } else if (remove) {
      ASSERT_NO_FATAL_FAILURE(remove_any()) << step;
    } else {  // update
      auto it = records.begin();
      std::advance(it, rng() % records.size());
      auto [k, k2] = random_record();
      std::vector<uint8_t> r = testing::Record(*h, {k, k2, "\x05\x06\x07\x08"});
      std::string old_key = key_of(it->second), key = key_of(r);
      int rc = UpdateRecord(h, r.data(), it->first);
      if (!c.duplicates && key != old_key && model.count(key)) {
        ASSERT_EQ(rc, kDuplicateKey) << step;
      } else {
        ASSERT_EQ(rc, kOk) << step;
        forget(old_key, it->first);
        model.emplace(key, it->first);
        it->second = r;
      }
    }
    max_height = std::max(max_height, h->table->indexes[0].file.height);
    // After every step at first, then after every batch of 25.
    if (step < 600 || step % 25 == 0) {
      ASSERT_NO_FATAL_FAILURE(verify(step % 250 == 0)) << "step " << step;
    }
    if (step % 1000 == 999) {
      ASSERT_EQ(CloseTable(h), kOk);
      TableCheck check;
      ASSERT_EQ(CheckTable(path, &check), kOk);
      ASSERT_TRUE(check.Ok()) << DescribeProblem(check.problems[0]);
      h = OpenTable(path);
      ASSERT_TRUE(h);
    }
  }
  EXPECT_GE(max_height, c.min_height);
  // Everything out again, in batches: the tree shrinks back to an empty root of height 1.
  while (!records.empty()) {
    for (int i = 0; i < 250 && !records.empty(); ++i) ASSERT_NO_FATAL_FAILURE(remove_any());
    ASSERT_NO_FATAL_FAILURE(verify(records.empty()));
  }
  EXPECT_EQ(h->table->indexes[0].file.height, 1);
  EXPECT_EQ(h->table->indexes[0].file.root.Used(), 0);
  ASSERT_EQ(CloseTable(h), kOk);
  SetNodeCacheCapacity(kNodeCacheBuffers);
}

// The number of node buffers is not visible in the files: the same operations give the same bytes.
TEST(BtreeFiles, SameBytesWhateverTheCacheSize) {
  std::string files[2];
  const size_t sizes[2] = {8, kNodeCacheBuffers};
  for (int run = 0; run < 2; ++run) {
    SetNodeCacheCapacity(sizes[run]);
    std::string dir = testing::FreshDirectory("cache_size_" + std::to_string(run));
    DbSchema schema = MakeSchema({Column("k", kChar, 40), Column("g", kChar, 3)},
                                 {testing::Index(false, {0}), testing::Index(true, {1, 0})});
    testing::WriteSchemaFile(dir + "/t", schema);
    DbSchema* h = InitTableFiles(dir + "/t");
    ASSERT_TRUE(h);
    std::mt19937 rng(11);
    std::vector<std::pair<int32_t, std::vector<uint8_t>>> live;
    for (int i = 0; i < 4000; ++i) {
      if (live.empty() || rng() % 3 != 0) {
        auto r = testing::Record(*h, {std::to_string(rng()) + std::string(rng() % 30, 'k'), std::to_string(rng() % 50)});
        int32_t n;
        if (InsertRecord(h, r.data(), &n) == kOk) live.emplace_back(n, r);
      } else {
        size_t k = rng() % live.size();
        ASSERT_EQ(DeleteRecord(h, live[k].second.data(), live[k].first), kOk);
        live.erase(live.begin() + static_cast<long>(k));
      }
    }
    ASSERT_EQ(CloseTable(h), kOk);
    files[run] = testing::FileBytes(dir + "/t.ix0") + testing::FileBytes(dir + "/t.ix1") + testing::FileBytes(dir + "/t.bmp");
  }
  SetNodeCacheCapacity(kNodeCacheBuffers);
  EXPECT_GT(files[0].size(), 100000u);
  EXPECT_TRUE(files[0] == files[1]);
}

// Keys put in and taken out in ascending, descending and shuffled order, 200 at a time, the index checked
// after every batch: splits that always fall at one edge of the tree, and removals that empty it from the
// left (borrowing from right siblings), from the right (borrowing from left ones) or anywhere.
TEST(BtreeBatches, OrderedInsertionsAndRemovalsKeepTheIndexSound) {
  std::string dir = testing::FreshDirectory("ordered_batches");
  testing::WriteSchemaFile(dir + "/t", MakeSchema({Column("k", kChar, 60)}, {testing::Index(false, {0})}));
  TableHandle h(InitTableFiles(dir + "/t"));
  ASSERT_TRUE(h);
  constexpr int kKeys = 1600, kBatch = 200;
  std::vector<int> ascending(kKeys);
  std::iota(ascending.begin(), ascending.end(), 0);
  std::vector<int> descending(ascending.rbegin(), ascending.rend()), shuffled = ascending;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(5));
  const std::pair<const char*, const std::vector<int>*> orders[] = {
      {"ascending", &ascending}, {"descending", &descending}, {"shuffled", &shuffled}};
  auto record = [&](int key) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05d", key);
    return testing::Record(*h, {digits + std::string(40 + key % 15, 'x')});
  };
  for (const auto& [in_order, in] : orders) {
    for (const auto& [out_order, out] : orders) {
      SCOPED_TRACE(std::string("in ") + in_order + ", out " + out_order);
      std::map<int, int32_t> numbers;  // key -> record number
      auto check = [&] {
        std::vector<KeyedEntry> entries;
        ASSERT_NO_FATAL_FAILURE(testing::CheckIndex(h.get(), 0, &entries));
        ASSERT_EQ(entries.size(), numbers.size());
      };
      for (int i = 0; i < kKeys; ++i) {
        int32_t n;
        ASSERT_EQ(InsertRecord(h.get(), record((*in)[i]).data(), &n), kOk);
        numbers[(*in)[i]] = n;
        if ((i + 1) % kBatch == 0) {
          ASSERT_NO_FATAL_FAILURE(check()) << "after " << i + 1 << " in";
        }
      }
      EXPECT_GE(h->table->indexes[0].file.height, 3);
      for (int i = 0; i < kKeys; ++i) {
        int key = (*out)[i];
        ASSERT_EQ(DeleteRecord(h.get(), record(key).data(), numbers[key]), kOk);
        numbers.erase(key);
        if ((i + 1) % kBatch == 0) {
          ASSERT_NO_FATAL_FAILURE(check()) << "after " << i + 1 << " out";
        }
      }
      EXPECT_EQ(h->table->indexes[0].file.height, 1);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, BtreeModel,
                         ::testing::Values(ModelCase{"unique_short", false, 10, false, 10000, 3},
                                           ModelCase{"duplicates_short", true, 4, false, 12000, 3},
                                           ModelCase{"unique_long", false, 90, false, 6000, 4},
                                           ModelCase{"duplicates_long", true, 90, false, 7000, 4},
                                           ModelCase{"two_columns", true, 40, true, 6000, 3},
                                           ModelCase{"eight_buffers", true, 60, true, 5000, 3, 8}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dbengine
