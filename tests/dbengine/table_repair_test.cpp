// What the rebuild restores from a table's other files: the schema file from the statements that made
// it, the bitmap from the data and index files, the indexes from the records. Each file is damaged every
// way (bit flip, truncation, deletion, zeroing); afterwards the check is clean, no record that was in
// use is lost or changed, and any record in use that was not is one the report calls unconfirmed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "dbengine/check.h"
#include "dbengine/query.h"
#include "dbengine/table.h"
#include "tests/dbengine/db_test_util.h"

namespace dbengine {
namespace {

using testing::FileBytes;

const char kCreate[] = "create table t (k char(30), g char(2), v bin(8))";
const std::vector<std::string> kIndexes = {"create unique index 0 on t (k)", "create index 1 on t (g)"};
const char* const kFiles[] = {".scm", ".bmp", ".dat", ".ix0", ".ix1"};

enum class Damage { kFlip, kTruncate, kDelete, kZero };

class TableRepair : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::FreshDirectory(testing::TestName());
    path_ = dir_ + "/t";
    ASSERT_EQ(SchemaFromStatements(kCreate, kIndexes, &schema_), kOk);
    ASSERT_EQ(CreateTable(kCreate, dir_), kOk);
    for (const std::string& statement : kIndexes) ASSERT_EQ(CreateIndex(statement, dir_), kOk);
    TableHandle h(OpenTable(path_));
    ASSERT_TRUE(h);
    for (int i = 0; i < 400; ++i) Insert(h.get(), "key-" + std::to_string(i));
    // Deleted records keep their bytes in free slots; a few slots are taken again by new records, and
    // one deleted key is stored anew in another slot.
    std::vector<uint8_t> r(static_cast<size_t>(schema_.RecordLength()));
    for (int32_t n = 0; n < 400; n += 7) {
      ASSERT_EQ(ReadRecord(h->table, n, r.data()), kOk);
      ASSERT_EQ(DeleteRecord(h.get(), r.data(), n), kOk);
    }
    for (int i = 0; i < 20; ++i) Insert(h.get(), "late-" + std::to_string(i));
    Insert(h.get(), "key-203");
    ASSERT_EQ(CloseTable(h.release()), kOk);
    before_ = Records();
    for (const char* ext : kFiles) original_[ext] = FileBytes(path_ + ext);
  }

  void Insert(DbSchema* h, const std::string& key) {
    auto r = testing::Record(schema_, {key + std::string(12, 'x'), key.substr(key.size() - 1), "\x01\x02"});
    int32_t n;
    ASSERT_EQ(InsertRecord(h, r.data(), &n), kOk) << key;
  }

  std::map<int32_t, std::string> Records() {
    std::map<int32_t, std::string> out;
    TableHandle h(OpenTable(path_));
    if (!h) return out;
    std::vector<uint8_t> r(static_cast<size_t>(schema_.RecordLength()));
    for (int32_t n = 0; ScanRecord(h->table, n, r.data(), &n) == kOk; ++n) out[n] = std::string(r.begin(), r.end());
    return out;
  }

  void PutBack() {
    for (const char* ext : kFiles) ASSERT_TRUE(platform::WriteWholeFile(path_ + ext, original_[ext]));
  }

  void Apply(const std::string& ext, Damage damage, size_t flip_at = 0, int bit = 0) {
    std::string bytes = original_[ext];
    switch (damage) {
      case Damage::kFlip: bytes[flip_at] = static_cast<char>(bytes[flip_at] ^ (1 << bit)); break;
      case Damage::kTruncate: bytes.resize(bytes.size() / 2); break;
      case Damage::kDelete: ASSERT_TRUE(platform::RemoveFile(path_ + ext)); return;
      case Damage::kZero: bytes.assign(bytes.size(), '\0'); break;
    }
    ASSERT_TRUE(platform::WriteWholeFile(path_ + ext, bytes));
  }

  // The rebuild leaves the check clean and loses no record; whatever it adds it reports.
  RebuildReport ExpectRepaired(const std::string& what) {
    RebuildReport report;
    EXPECT_EQ(RebuildTable(path_, &report, &schema_), kOk) << what;
    TableCheck check;
    EXPECT_EQ(CheckTable(path_, &check, &schema_), kOk);
    EXPECT_TRUE(check.Ok()) << what << ": " << (check.Ok() ? "" : DescribeProblem(check.problems[0]));
    std::map<int32_t, std::string> after = Records();
    int lost = 0;
    for (const auto& [n, bytes] : before_) lost += after.count(n) == 0 || after[n] != bytes;
    EXPECT_EQ(lost, 0) << what;
    for (const auto& [n, bytes] : after) {
      EXPECT_TRUE(before_.count(n) || std::binary_search(report.unconfirmed.begin(), report.unconfirmed.end(), n))
          << what << ": record " << n << " came back unreported";
    }
    EXPECT_EQ(report.records, static_cast<int64_t>(after.size())) << what;
    return report;
  }

  bool CheckFinds() {
    TableCheck check;
    return CheckTable(path_, &check, &schema_) == kOk && !check.Ok();
  }

  std::string dir_, path_;
  DbSchema schema_;
  std::map<int32_t, std::string> before_;
  std::map<std::string, std::string> original_;
};

TEST_F(TableRepair, EveryDamageOfSchemaBitmapAndIndexesLosesNoRecord) {
  // Bit flips where they matter: the schema's column count, a name, a width; the bitmap header's
  // record length and N, the bit of a record in use and of a deleted one; index headers and nodes.
  const int32_t live = 1, deleted = 210;
  ASSERT_TRUE(before_.count(live) && !before_.count(deleted));
  const std::vector<std::pair<std::string, size_t>> flips = {
      {".scm", 0}, {".scm", 4}, {".scm", 4 + 44}, {".scm", 4 + 46 * 2 + 44},
      {".bmp", 0}, {".bmp", 2}, {".bmp", 4 + live / 8}, {".bmp", 4 + deleted / 8},
      {".ix0", 4}, {".ix0", 1030 + 17}, {".ix1", 1028}, {".ix1", 1030 + 40}};
  int tried = 0;
  for (const auto& [ext, at] : flips) {
    PutBack();
    int bit = ext == ".bmp" && at >= 4 ? 7 - (at == 4 + live / 8 ? live : deleted) % 8 : 1;
    Apply(ext, Damage::kFlip, at, bit);
    std::string what = ext + " bit " + std::to_string(bit) + " flipped at " + std::to_string(at);
    EXPECT_TRUE(CheckFinds()) << what;
    ExpectRepaired(what);
    ++tried;
  }
  for (const char* ext : {".scm", ".bmp", ".ix0", ".ix1"}) {
    for (Damage d : {Damage::kTruncate, Damage::kDelete, Damage::kZero}) {
      PutBack();
      Apply(ext, d);
      std::string what = std::string(ext) + " damage " + std::to_string(static_cast<int>(d));
      EXPECT_TRUE(CheckFinds()) << what;
      RebuildReport report = ExpectRepaired(what);
      EXPECT_EQ(report.schema_restored, std::string(ext) == ".scm") << what;
      ++tried;
    }
  }
  EXPECT_EQ(tried, 24);
}

TEST_F(TableRepair, LostBitmapComesBackFromDataAndIndexes) {
  Apply(".bmp", Damage::kDelete);
  RebuildReport report = ExpectRepaired("bitmap deleted");
  EXPECT_TRUE(report.bitmap_restored);
  // The deleted records still in their slots come back unconfirmed, all but the one whose key was
  // stored anew: that one is freed again.
  std::vector<int32_t> stale;
  for (int32_t n = 0; n < 400; n += 7) {
    if (!before_.count(n)) stale.push_back(n);
  }
  EXPECT_EQ(report.duplicates_freed, std::vector<int32_t>{203});
  EXPECT_EQ(report.unconfirmed.size() + report.duplicates_freed.size(), stale.size());
}

TEST_F(TableRepair, CutDataFileFreesOnlyTheRecordsCut) {
  Apply(".dat", Damage::kTruncate);
  EXPECT_TRUE(CheckFinds());
  RebuildReport report;
  ASSERT_EQ(RebuildTable(path_, &report, &schema_), kOk);
  TableCheck check;
  ASSERT_EQ(CheckTable(path_, &check), kOk);
  EXPECT_TRUE(check.Ok());
  const int32_t kept = static_cast<int32_t>(original_[".dat"].size() / 2 / schema_.RecordLength());
  std::map<int32_t, std::string> after = Records();
  int64_t beyond = 0;
  for (const auto& [n, bytes] : before_) {
    if (n < kept) {
      EXPECT_EQ(after[n], bytes) << n;
    } else {
      ++beyond;
    }
  }
  EXPECT_EQ(report.slots_freed, beyond);
  EXPECT_EQ(static_cast<int64_t>(after.size()), report.records);
}

// Records whose bytes were damaged cannot be told from sound ones by the data file alone; where their
// keys no longer match the indexes, the rebuild keeps them and reports them unconfirmed.
TEST_F(TableRepair, DamagedRecordsAreReportedNotHidden) {
  const std::pair<Damage, size_t> damages[] = {{Damage::kFlip, 40 + 2}, {Damage::kZero, 0}, {Damage::kDelete, 0}};
  for (const auto& [damage, at] : damages) {
    PutBack();
    Apply(".dat", damage, at, 0);
    const std::string what = "data damage " + std::to_string(static_cast<int>(damage));
    EXPECT_TRUE(CheckFinds()) << what;
    RebuildReport report;
    ASSERT_EQ(RebuildTable(path_, &report, &schema_), kOk) << what;
    TableCheck check;
    ASSERT_EQ(CheckTable(path_, &check, &schema_), kOk);
    EXPECT_TRUE(check.Ok()) << what;
    for (const auto& [n, bytes] : Records()) {
      EXPECT_TRUE((before_.count(n) && before_[n] == bytes) ||
                  std::binary_search(report.unconfirmed.begin(), report.unconfirmed.end(), n))
          << what << ": record " << n << " changed unreported";
    }
  }
}

TEST_F(TableRepair, SchemaOfAnotherTableIsLeftAlone) {
  DbSchema other;
  ASSERT_EQ(SchemaFromStatements("create table t (k char(30), g char(2))", {}, &other), kOk);
  RebuildReport report;
  EXPECT_EQ(RebuildTable(path_, &report, &other), kInvalid);
  for (const char* ext : kFiles) EXPECT_EQ(FileBytes(path_ + ext), original_[ext]) << ext;
}

TEST(SchemaFromStatements, GivesWhatTheStatementsWrite) {
  std::string dir = testing::FreshDirectory(testing::TestName());
  ASSERT_EQ(CreateTable(kCreate, dir), kOk);
  for (const std::string& statement : kIndexes) ASSERT_EQ(CreateIndex(statement, dir), kOk);
  DbSchema schema;
  ASSERT_EQ(SchemaFromStatements(kCreate, kIndexes, &schema), kOk);
  EXPECT_EQ(EncodeSchema(schema), FileBytes(dir + "/t.scm"));
  EXPECT_EQ(SchemaFromStatements(kCreate, {"create index 0 on u (k)"}, &schema), kInvalid);
  EXPECT_EQ(SchemaFromStatements(kCreate, {"create index 1 on t (k)"}, &schema), kTableFiles);
  EXPECT_EQ(SchemaFromStatements(kCreate, {"create index 0 on t (v)"}, &schema), kNotIndexable);
  EXPECT_EQ(SchemaFromStatements("create table t (k char(0))", {}, &schema), kInvalid);
}

}  // namespace
}  // namespace dbengine
