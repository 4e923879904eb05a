// Table files byte for byte, record operations and their result codes.
#include <gtest/gtest.h>

#include "dbengine/check.h"
#include "dbengine/disk_space.h"
#include "dbengine/engine_state.h"
#include "dbengine/index.h"
#include "dbengine/table.h"
#include "tests/dbengine/db_test_util.h"

namespace dbengine {
namespace {

using testing::Column;
using testing::FileBytes;
using testing::MakeSchema;
using testing::Record;

class TableStorage : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing::FreshDirectory(testing::TestName()); }
  void TearDown() override { Engine().faults = FaultInjection{}; }

  // name char(10), born date(6): 16-byte records.
  DbSchema People(std::vector<IndexDesc> indexes = {}) {
    return MakeSchema({Column("name", kChar, 10), Column("born", kDate, 6)}, std::move(indexes));
  }
  std::string Create(const DbSchema& s, const std::string& name = "T") {
    std::string path = dir_ + "/" + name;
    testing::WriteSchemaFile(path, s);
    DbSchema* h = InitTableFiles(path);
    EXPECT_NE(h, nullptr) << LastResult();
    EXPECT_EQ(CloseTable(h), kOk);
    return path;
  }
  int32_t Insert(DbSchema* h, const std::vector<std::string>& values) {
    auto r = Record(*h, values);
    int32_t n = -1;
    EXPECT_EQ(InsertRecord(h, r.data(), &n), kOk);
    return n;
  }

  std::string dir_;
};

TEST_F(TableStorage, NewTableFilesAreExact) {
  std::string path = Create(People({testing::Index(false, {0}), testing::Index(true, {1})}));
  EXPECT_EQ(FileBytes(path + ".bmp"), std::string("\x10\x00\x01\x00\x00", 5));
  EXPECT_EQ(FileBytes(path + ".dat"), std::string(128, '\0'));
  std::string root(1030, '\0');
  root.replace(6, 4, "\xFF\xFF\xFF\xFF");     // leftmost child -1
  root.replace(1024, 4, "\xFF\xFF\xFF\xFF");  // free list empty
  root[1028] = 1;                              // height 1
  EXPECT_EQ(FileBytes(path + ".ix0"), root);
  EXPECT_EQ(FileBytes(path + ".ix1"), root);
  EXPECT_EQ(FileBytes(path + ".ix2"), "<missing>");
}

TEST_F(TableStorage, NinthInsertGrowsByOneBitmapByteAndEightRecords) {
  std::string path = Create(People());
  TableHandle h(OpenTable(path));
  ASSERT_TRUE(h);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(Insert(h.get(), {"r" + std::to_string(i)}), i);
  EXPECT_EQ(FileBytes(path + ".dat").size(), 128u);
  EXPECT_EQ(Insert(h.get(), {"ninth", "260101"}), 8);
  EXPECT_EQ(FileBytes(path + ".bmp").substr(0, 4), std::string("\x10\x00\x02\x00", 4));  // written at once
  std::string dat = FileBytes(path + ".dat");
  ASSERT_EQ(dat.size(), 256u);
  EXPECT_EQ(dat.substr(128, 16), std::string("ninth\0\0\0\0\0" "260101", 16));
  EXPECT_EQ(dat.substr(144), std::string(112, '\0'));
  ASSERT_EQ(CloseTable(h.release()), kOk);
  EXPECT_EQ(FileBytes(path + ".bmp"), std::string("\x10\x00\x02\x00\xFF\x80", 6));
}

TEST_F(TableStorage, DeletedSlotIsReusedFirst) {
  std::string path = Create(People());
  TableHandle h(OpenTable(path));
  for (int i = 0; i < 12; ++i) Insert(h.get(), {"r" + std::to_string(i)});
  auto r3 = Record(*h, {"r3"});
  EXPECT_EQ(DeleteRecord(h.get(), r3.data(), 3), kOk);
  EXPECT_EQ(DeleteRecord(h.get(), r3.data(), 3), kOk);      // already free: nothing happens
  EXPECT_EQ(DeleteRecord(h.get(), r3.data(), 9999), kOk);   // beyond the bitmap
  std::vector<uint8_t> buffer(16);
  EXPECT_EQ(ReadRecord(h->table, 3, buffer.data()), kNotFound);
  int32_t found;
  EXPECT_EQ(ScanRecord(h->table, 3, buffer.data(), &found), kOk);
  EXPECT_EQ(found, 4);
  EXPECT_EQ(Insert(h.get(), {"again"}), 3);
  EXPECT_EQ(Insert(h.get(), {"more"}), 12);
  EXPECT_EQ(ReadRecord(h->table, 3, buffer.data()), kOk);
  EXPECT_EQ(testing::Field(*h, buffer.data(), 0), "again");
}

TEST_F(TableStorage, RecordCodes) {
  std::string path = Create(People());
  TableHandle h(OpenTable(path));
  std::vector<uint8_t> buffer(16);
  int32_t found;
  EXPECT_EQ(ReadRecord(h->table, 0, buffer.data()), kNotFound);
  EXPECT_EQ(ReadRecord(h->table, -1, buffer.data()), kNotFound);
  EXPECT_EQ(ReadRecord(h->table, 8, buffer.data()), kNotFound);
  EXPECT_EQ(ScanRecord(h->table, 0, buffer.data(), &found), kNotFound);
  EXPECT_EQ(ReadRecord(nullptr, 0, buffer.data()), kNotOpen);
  EXPECT_EQ(InsertRecord(nullptr, buffer.data(), &found), kNotOpen);
  EXPECT_EQ(UpdateRecord(h.get(), buffer.data(), 2), kNotFound);
  EXPECT_EQ(RecordLength(h->table), 16);
  EXPECT_EQ(CloseTable(nullptr), kInvalid);
  EXPECT_EQ(LastResult(), kInvalid);
  EXPECT_EQ(OpenTable(dir_ + "/nothing"), nullptr);
  EXPECT_EQ(LastResult(), kCannotOpen);
}

TEST_F(TableStorage, SchemaLengthRule) {
  DbSchema s = People({testing::Index(false, {0})});
  std::string bytes = EncodeSchema(s);
  ASSERT_EQ(bytes.size(), 4u + 46 * 2 + 24);
  EXPECT_TRUE(DecodeSchema(bytes).has_value());
  EXPECT_FALSE(DecodeSchema(bytes + '\0').has_value());
  EXPECT_FALSE(DecodeSchema(bytes.substr(0, bytes.size() - 1)).has_value());
  std::string path = Create(s);
  ASSERT_TRUE(platform::WriteWholeFile(path + ".scm", bytes + '\0'));
  EXPECT_EQ(OpenTable(path), nullptr);
  EXPECT_EQ(LastResult(), kCannotOpen);
}

TEST_F(TableStorage, SchemaValidation) {
  EXPECT_TRUE(ValidateSchema(People()));
  DbSchema bin_index = MakeSchema({Column("a", kChar, 4), Column("blob", kBin, 8)}, {testing::Index(false, {1})});
  EXPECT_FALSE(ValidateSchema(bin_index));
  DbSchema bad = People();
  bad.columns[1].offset = 9;  // not the running sum
  EXPECT_FALSE(ValidateSchema(bad));
  bad = People();
  bad.columns[0].name = std::string(40, 'n');  // 40 bytes is accepted on reading
  EXPECT_TRUE(ValidateSchema(bad));
  EXPECT_TRUE(DecodeSchema(EncodeSchema(bad)).has_value());
  bad.columns[0].name = "";
  EXPECT_FALSE(ValidateSchema(bad));
  bad = People({testing::Index(true, {5})});
  EXPECT_FALSE(ValidateSchema(bad));
  bad = People({testing::Index(false, {0})});
  bad.indexes[0].duplicates = 2;
  EXPECT_FALSE(ValidateSchema(bad));
  bad = People();
  bad.columns[1].type = 4;
  EXPECT_FALSE(ValidateSchema(bad));
}

TEST_F(TableStorage, UniqueCollisionUndoesEverything) {
  // Index 0 (duplicates) takes the key before index 1 (unique) refuses it.
  DbSchema s = People({testing::Index(true, {1}), testing::Index(false, {0})});
  std::string path = Create(s);
  TableHandle h(OpenTable(path));
  Insert(h.get(), {"same", "260101"});
  auto again = Record(*h, {"same", "991231"});
  int32_t n;
  EXPECT_EQ(InsertRecord(h.get(), again.data(), &n), kDuplicateKey);
  EXPECT_EQ(LastResult(), kDuplicateKey);
  TableCheck check;
  ASSERT_EQ(CheckOpenTable(h.get(), &check), kOk);
  EXPECT_TRUE(check.Ok());
  EXPECT_EQ(check.records_in_use, 1);
  EXPECT_EQ(check.index_entries, (std::vector<int64_t>{1, 1}));
  EXPECT_EQ(IndexSeekExact(h->table, 0, "991231"), kNotFound);
  ASSERT_EQ(CloseTable(h.release()), kOk);
  EXPECT_EQ(FileBytes(path + ".bmp"), std::string("\x10\x00\x01\x00\x80", 5));
}

TEST_F(TableStorage, UpdateMovesKeysOrRestoresThem) {
  DbSchema s = People({testing::Index(true, {0}), testing::Index(false, {1})});
  std::string path = Create(s);
  TableHandle h(OpenTable(path));
  int32_t a = Insert(h.get(), {"alpha", "000001"});
  Insert(h.get(), {"beta", "000002"});
  auto changed = Record(*h, {"gamma", "000003"});
  EXPECT_EQ(UpdateRecord(h.get(), changed.data(), a), kOk);
  EXPECT_EQ(IndexSeekExact(h->table, 0, "alpha"), kNotFound);
  EXPECT_EQ(IndexSeekExact(h->table, 0, "gamma"), kOk);
  // "delta" would enter index 0, then index 1 refuses "000002": both keep their old entries.
  auto clash = Record(*h, {"delta", "000002"});
  EXPECT_EQ(UpdateRecord(h.get(), clash.data(), a), kDuplicateKey);
  std::vector<uint8_t> buffer(16);
  ASSERT_EQ(ReadRecord(h->table, a, buffer.data()), kOk);
  EXPECT_EQ(testing::Field(*h, buffer.data(), 0), "gamma");
  EXPECT_EQ(IndexSeekExact(h->table, 0, "delta"), kNotFound);
  EXPECT_EQ(IndexSeekExact(h->table, 1, "000003"), kOk);
  TableCheck check;
  ASSERT_EQ(CheckOpenTable(h.get(), &check), kOk);
  EXPECT_TRUE(check.Ok()) << DescribeProblem(check.problems[0]);
}

TEST_F(TableStorage, FullTableGivesSix) {
  DbSchema s = MakeSchema({Column("c", kChar, 1)});
  std::string path = dir_ + "/full";
  testing::WriteSchemaFile(path, s);
  ASSERT_TRUE(platform::WriteWholeFile(path + ".bmp", std::string("\x01\x00\xFF\xFF", 4) + std::string(65535, '\xFF')));
  ASSERT_TRUE(platform::WriteWholeFile(path + ".dat", std::string(65535 * 8, 'x')));
  TableHandle h(OpenTable(path));
  ASSERT_TRUE(h);
  uint8_t c = 'y';
  int32_t n;
  EXPECT_EQ(InsertRecord(h.get(), &c, &n), kTableFull);
  EXPECT_EQ(DeleteRecord(h.get(), &c, 524279), kOk);
  EXPECT_EQ(InsertRecord(h.get(), &c, &n), kOk);
  EXPECT_EQ(n, 524279);
}

TEST_F(TableStorage, DiskSpace) {
  EXPECT_EQ(ClustersNeeded(0, 1, 4096), 1u);
  EXPECT_EQ(ClustersNeeded(4095, 1, 4096), 0u);
  EXPECT_EQ(ClustersNeeded(4096, 1, 4096), 1u);
  EXPECT_EQ(ClustersNeeded(100, 10000, 4096), 2u);  // 3996 slack, 6004 more
  std::string path = dir_ + "/T";
  testing::WriteSchemaFile(path, People());
  Engine().faults.fake_disk = true;
  Engine().faults.free_clusters = 1;  // the bitmap and the data file need one each
  EXPECT_EQ(InitTableFiles(path), nullptr);
  EXPECT_EQ(LastResult(), kNoDiskSpace);
  EXPECT_FALSE(platform::FileExists(path + ".bmp"));
  EXPECT_FALSE(platform::FileExists(path + ".dat"));
  Engine().faults.free_clusters = 2;
  TableHandle h(InitTableFiles(path));
  ASSERT_TRUE(h);
  for (int i = 0; i < 8; ++i) Insert(h.get(), {"x"});
  // 5 + 128 bytes: both files have slack for one more byte and 8 more records.
  Engine().faults.free_clusters = 0;
  EXPECT_EQ(Insert(h.get(), {"ninth"}), 8);
  std::vector<uint8_t> r = Record(*h, {"x"});
  for (int i = 0; i < 7; ++i) Insert(h.get(), {"x"});
  Engine().faults.cluster_bytes = 256;  // 6 + 256 bytes: the data file needs a cluster
  int32_t n;
  EXPECT_EQ(InsertRecord(h.get(), r.data(), &n), kNoDiskSpace);
}

TEST_F(TableStorage, BitmapPagesAndSlotsAcrossManyTables) {
  // Twelve tables in turn (more than the cache's slots), one of them over two bitmap pages.
  DbSchema s = MakeSchema({Column("c", kChar, 2)});
  std::vector<DbSchema*> tables;
  for (int t = 0; t < 12; ++t) tables.push_back(OpenTable(Create(s, "t" + std::to_string(t))));
  std::vector<uint8_t> r = {'a', 'b'};
  int32_t n;
  for (int i = 0; i < 17000 + 11 * 300; ++i) {
    ASSERT_EQ(InsertRecord(tables[i % 12 == 0 || i >= 11 * 300 ? 0 : i % 12], r.data(), &n), kOk);
  }
  for (int32_t k = 16384; k < 16400; k += 2) EXPECT_EQ(DeleteRecord(tables[0], r.data(), k), kOk);
  for (DbSchema* t : tables) ASSERT_EQ(CloseTable(t), kOk);
  std::string bmp = FileBytes(dir_ + "/t0.bmp");
  ASSERT_EQ(bmp.size(), 4u + 2160);  // 17275 records
  EXPECT_EQ(static_cast<uint8_t>(bmp[4 + 2048]), 0x55);
  EXPECT_EQ(static_cast<uint8_t>(bmp[4 + 2047]), 0xFF);
  for (int t = 0; t < 12; ++t) {
    TableCheck check;
    ASSERT_EQ(CheckTable(dir_ + "/t" + std::to_string(t), &check), kOk);
    EXPECT_TRUE(check.Ok()) << t;
  }
}

}  // namespace
}  // namespace dbengine
