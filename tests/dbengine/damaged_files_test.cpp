// Damaged, truncated and half-written files: exact result codes, no crash, no endless walk; what the
// check finds, the rebuild repairs.
#include <gtest/gtest.h>

#include <random>

#include "dbengine/check.h"
#include "dbengine/engine_state.h"
#include "dbengine/index.h"
#include "dbengine/node_cache.h"
#include "dbengine/table.h"
#include "tests/dbengine/db_test_util.h"

namespace dbengine {
namespace {

using testing::Column;
using testing::FileBytes;
using testing::MakeSchema;
using testing::Record;

class DamagedFiles : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing::FreshDirectory(testing::TestName()); }
  void TearDown() override { Engine().faults = FaultInjection{}; }

  // k char(30) unique, g char(2) duplicates: 400 records, three index levels for k.
  std::string Build(const std::string& name = "t", int records = 400) {
    DbSchema s = MakeSchema({Column("k", kChar, 30), Column("g", kChar, 2)},
                            {testing::Index(false, {0}), testing::Index(true, {1})});
    std::string path = dir_ + "/" + name;
    testing::WriteSchemaFile(path, s);
    TableHandle h(InitTableFiles(path));
    for (int i = 0; i < records; ++i) {
      auto r = Record(s, {"key-" + std::to_string(i * 7919 % 1000) + std::string(20, 'x'), std::to_string(i % 9)});
      int32_t n;
      EXPECT_EQ(InsertRecord(h.get(), r.data(), &n), kOk);
    }
    EXPECT_EQ(CloseTable(h.release()), kOk);
    return path;
  }

  void Patch(const std::string& file, size_t offset, const std::string& bytes) {
    std::string content = FileBytes(file);
    ASSERT_LE(offset + bytes.size(), content.size());
    content.replace(offset, bytes.size(), bytes);
    ASSERT_TRUE(platform::WriteWholeFile(file, content));
  }

  // Uses the table every way, with bounded walks; any result code is fine, a crash or a hang is not.
  void Exercise(const std::string& path) {
    DbSchema* h = OpenTable(path);
    if (!h) return;
    std::vector<uint8_t> r(32);
    for (int index = 0; index < 2; ++index) {
      IndexFirst(h->table, index);
      int steps = 0;
      while (IndexNext(h->table, index) == kOk) ASSERT_LT(++steps, 5000) << "endless walk";
      steps = 0;
      while (IndexPrev(h->table, index) == kOk) ASSERT_LT(++steps, 5000) << "endless walk";
      for (int i = 0; i < 20; ++i) IndexSeek(h->table, index, "key-" + std::to_string(i * 50));
      for (int rc = FindByPrefix(h->table, index, "3", r.data()); rc == kPrefixFound; rc = FindNextByPrefix(r.data())) {
        ASSERT_LT(++steps, 10000) << "endless prefix search";
      }
    }
    for (int i = 0; i < 30; ++i) {
      auto rec = Record(*h, {"new-" + std::to_string(i), "n"});
      int32_t n;
      InsertRecord(h, rec.data(), &n);
      if (ReadRecord(h->table, i * 3, r.data()) == kOk) DeleteRecord(h, r.data(), i * 3);
    }
    TableCheck check;
    CheckOpenTable(h, &check);
    CloseTable(h);
  }

  std::string dir_;
};

TEST_F(DamagedFiles, SchemaAndBitmapHeaders) {
  std::string path = Build();
  std::string scm = FileBytes(path + ".scm");
  Patch(path + ".scm", 0, std::string("\x00\x00", 2));  // no columns
  EXPECT_EQ(OpenTable(path), nullptr);
  EXPECT_EQ(LastResult(), kCannotOpen);
  TableCheck check;
  ASSERT_EQ(CheckTable(path, &check), kOk);
  ASSERT_EQ(check.problems.size(), 1u);
  EXPECT_EQ(check.problems[0].kind, CheckProblem::kSchema);
  ASSERT_TRUE(platform::WriteWholeFile(path + ".scm", scm.substr(0, 30)));  // cut short
  EXPECT_EQ(OpenTable(path), nullptr);
  ASSERT_TRUE(platform::WriteWholeFile(path + ".scm", scm));
  std::string bmp = FileBytes(path + ".bmp");
  Patch(path + ".bmp", 0, std::string("\x21\x00", 2));  // another record length
  EXPECT_EQ(OpenTable(path), nullptr);
  EXPECT_EQ(LastResult(), kCannotOpen);
  ASSERT_TRUE(platform::WriteWholeFile(path + ".bmp", bmp.substr(0, 3)));
  EXPECT_EQ(OpenTable(path), nullptr);
  // The data file and the indexes tell which records are in use.
  RebuildReport report;
  ASSERT_EQ(RebuildTable(path, &report), kOk);
  EXPECT_TRUE(report.bitmap_restored);
  EXPECT_EQ(report.records, 400);
  EXPECT_TRUE(report.unconfirmed.empty());
  EXPECT_EQ(FileBytes(path + ".bmp"), bmp);
}

TEST_F(DamagedFiles, ShortBitmapAndDataFiles) {
  std::string path = Build();
  std::string bmp = FileBytes(path + ".bmp");  // 4 + 50 bytes
  ASSERT_TRUE(platform::WriteWholeFile(path + ".bmp", bmp.substr(0, 40)));
  std::string dat = FileBytes(path + ".dat");
  ASSERT_TRUE(platform::WriteWholeFile(path + ".dat", dat.substr(0, 32 * 300 + 5)));
  {
    TableHandle h(OpenTable(path));  // still opens
    ASSERT_TRUE(h);
    std::vector<uint8_t> r(32);
    EXPECT_EQ(ReadRecord(h->table, 0, r.data()), kCannotOpen);  // the bitmap page cannot be read
  }
  TableCheck check;
  ASSERT_EQ(CheckTable(path, &check), kOk);
  ASSERT_FALSE(check.Ok());
  EXPECT_EQ(check.problems[0].kind, CheckProblem::kBitmapSize);
  EXPECT_EQ(check.problems[1].kind, CheckProblem::kDataSize);
  // 36 bitmap bytes kept; the 12 whole records beyond them are in the indexes, so they stay; the file
  // lengths become those of the 38 bitmap bytes the data needs.
  RebuildReport report;
  ASSERT_EQ(RebuildTable(path, &report), kOk);
  EXPECT_EQ(report.records, 300);
  EXPECT_EQ(report.restored.size(), 12u);
  EXPECT_TRUE(report.unconfirmed.empty());
  EXPECT_EQ(report.slots_freed, 0);
  ASSERT_EQ(CheckTable(path, &check), kOk);
  EXPECT_TRUE(check.Ok()) << DescribeProblem(check.problems[0]);
  EXPECT_EQ(check.records_in_use, 300);
  EXPECT_EQ(testing::FileSize(path + ".bmp"), 4 + 38);
}

TEST_F(DamagedFiles, IndexHeaders) {
  std::string path = Build();
  std::string ix = FileBytes(path + ".ix0");
  const std::pair<size_t, std::string> patches[] = {
      {1028, std::string("\x00\x00", 2)},        // height 0
      {1028, std::string("\x11\x00", 2)},        // height 17
      {1028, std::string("\x01\x00", 2)},        // height 1 with an inner root
      {4, std::string("\xFF\x03", 2)},           // 1023 bytes used
      {1024, std::string("\x07\x00\x00\x00", 4)},  // free head not a node
      {0, std::string("\x01", 1)},               // root's own address
  };
  for (const auto& [offset, bytes] : patches) {
    ASSERT_TRUE(platform::WriteWholeFile(path + ".ix0", ix));
    Patch(path + ".ix0", offset, bytes);
    EXPECT_EQ(OpenTable(path), nullptr) << offset;
    EXPECT_EQ(LastResult(), kIndexRead) << offset;
  }
  ASSERT_TRUE(platform::WriteWholeFile(path + ".ix0", ix.substr(0, 1000)));
  EXPECT_EQ(OpenTable(path), nullptr);
  EXPECT_EQ(LastResult(), kIndexRead);
  platform::RemoveFile(path + ".ix0");
  EXPECT_EQ(OpenTable(path), nullptr);
  EXPECT_EQ(LastResult(), kIndexOpen);
  TableCheck check;
  ASSERT_EQ(CheckTable(path, &check), kOk);
  ASSERT_FALSE(check.Ok());
  EXPECT_EQ(check.problems[0].kind, CheckProblem::kIndexFile);
  RebuildReport report;
  ASSERT_EQ(RebuildTable(path, &report), kOk);
  ASSERT_EQ(CheckTable(path, &check), kOk);
  EXPECT_TRUE(check.Ok());
}

TEST_F(DamagedFiles, LinksThatLoopOrLeadAstray) {
  std::string path = Build();
  std::string ix = FileBytes(path + ".ix0");
  // The root's leftmost child pointing at the root itself, at a non-node, beyond the end.
  for (const std::string& link : {std::string("\x00\x00\x00\x00", 4), std::string("\x07\x04\x00\x00", 4),
                                  std::string("\x06\x9C\x00\x00", 4)}) {
    ASSERT_TRUE(platform::WriteWholeFile(path + ".ix0", ix));
    Patch(path + ".ix0", 6, link);
    DbSchema* h = OpenTable(path);
    if (!h) {
      EXPECT_EQ(LastResult(), kIndexRead);
      continue;
    }
    IndexFirst(h->table, 0);
    EXPECT_EQ(IndexNext(h->table, 0), kIndexRead);
    std::vector<uint8_t> r(32);
    EXPECT_EQ(FindByPrefix(h->table, 0, "key-1", r.data()), kIndexRead);
    auto rec = Record(*h, {"a"});
    int32_t n;
    EXPECT_EQ(InsertRecord(h, rec.data(), &n), kIndexRead);
    CloseTable(h);
  }
  // A child of a leaf's parent pointing back up: leaves must sit at the bottom level.
  ASSERT_TRUE(platform::WriteWholeFile(path + ".ix0", ix));
  std::string first_child = ix.substr(6, 4);
  Patch(path + ".ix0", static_cast<uint8_t>(first_child[0]) + 256 * static_cast<uint8_t>(first_child[1]) + 6,
        std::string("\x00\x00\x00\x00", 4));
  ASSERT_NO_FATAL_FAILURE(Exercise(path));
}

TEST_F(DamagedFiles, EveryByteOfAnIndexFlipped) {
  std::string path = Build("t", 250);
  std::string ix = FileBytes(path + ".ix0");
  std::string data = FileBytes(path + ".dat"), bmp = FileBytes(path + ".bmp"), ix1 = FileBytes(path + ".ix1");
  std::mt19937 rng(7);
  int found = 0, runs = 0;
  for (size_t offset = 0; offset < ix.size(); offset += 1 + rng() % 160, ++runs) {
    std::string damaged = ix;
    damaged[offset] = static_cast<char>(damaged[offset] ^ (1 << (rng() % 8)));
    ASSERT_TRUE(platform::WriteWholeFile(path + ".ix0", damaged));
    ASSERT_TRUE(platform::WriteWholeFile(path + ".ix1", ix1));
    ASSERT_TRUE(platform::WriteWholeFile(path + ".dat", data));
    ASSERT_TRUE(platform::WriteWholeFile(path + ".bmp", bmp));
    TableCheck check;
    ASSERT_EQ(CheckTable(path, &check), kOk);
    if (!check.Ok()) ++found;
    ASSERT_NO_FATAL_FAILURE(Exercise(path)) << "offset " << offset;
    RebuildReport report;
    ASSERT_EQ(RebuildTable(path, &report), kOk) << offset;
    ASSERT_EQ(CheckTable(path, &check), kOk);
    ASSERT_TRUE(check.Ok()) << offset << ": " << DescribeProblem(check.problems[0]);
  }
  EXPECT_GT(found, runs / 4);  // most flips land in bytes that matter
}

TEST_F(DamagedFiles, CrashBetweenOperationsIsRepairable) {
  std::string path = Build();
  std::string copy = dir_ + "/crashed";
  DbSchema* h = OpenTable(path);
  std::mt19937 rng(3);
  std::vector<uint8_t> r(32);
  for (int i = 0; i < 600; ++i) {
    if (i % 3 == 2 && ReadRecord(h->table, static_cast<int32_t>(rng() % 400), r.data()) == kOk) {
      DeleteRecord(h, r.data(), IndexKeyBuffer(h->table, 0)->record);
    }
    auto rec = Record(*h, {"late-" + std::to_string(i) + std::string(20, 'y'), std::to_string(i % 5)});
    int32_t n;
    ASSERT_EQ(InsertRecord(h, rec.data(), &n), kOk);
  }
  // What is on disk now is what a killed process would leave.
  for (const char* ext : {".scm", ".bmp", ".dat", ".ix0", ".ix1"}) {
    ASSERT_TRUE(platform::WriteWholeFile(copy + ext, FileBytes(path + ext)));
  }
  ASSERT_EQ(CloseTable(h), kOk);
  TableCheck check;
  ASSERT_EQ(CheckTable(copy, &check), kOk);
  EXPECT_FALSE(check.Ok());
  {
    TableHandle opened(OpenTable(copy));
    EXPECT_TRUE(opened);
  }
  RebuildReport report;
  ASSERT_EQ(RebuildTable(copy, &report), kOk);
  ASSERT_EQ(CheckTable(copy, &check), kOk);
  EXPECT_TRUE(check.Ok()) << DescribeProblem(check.problems[0]);
  ASSERT_EQ(CheckTable(path, &check), kOk);
  EXPECT_TRUE(check.Ok());
}

TEST_F(DamagedFiles, FailedWritesGiveCodesAndStayRepairable) {
  std::string path = Build("t", 100);
  for (long allowed : {0L, 1L, 3L, 10L, 40L}) {
    DbSchema* h = OpenTable(path);
    ASSERT_TRUE(h);
    Engine().faults.writes_left = allowed;
    int failures = 0;
    for (int i = 0; i < 400; ++i) {
      auto rec = Record(*h, {"w" + std::to_string(allowed) + "-" + std::to_string(i), "w"});
      int32_t n;
      int rc = InsertRecord(h, rec.data(), &n);
      if (rc != kOk) {
        ++failures;
        EXPECT_TRUE(rc == kCannotOpen || rc == kIndexWrite || rc == kIndexRead) << rc;
      }
    }
    EXPECT_GT(failures, 0);
    CloseTable(h);
    Engine().faults = FaultInjection{};
    RebuildReport report;
    ASSERT_EQ(RebuildTable(path, &report), kOk);
    TableCheck check;
    ASSERT_EQ(CheckTable(path, &check), kOk);
    EXPECT_TRUE(check.Ok()) << DescribeProblem(check.problems[0]);
  }
}

TEST_F(DamagedFiles, FailedReadsGiveCodes) {
  std::string path = Build("t", 300);
  SetNodeCacheCapacity(8);  // so that walking reads nodes from the file
  DbSchema* h = OpenTable(path);
  ASSERT_TRUE(h);
  Engine().faults.reads_left = 0;
  std::vector<uint8_t> r(32);
  EXPECT_EQ(ReadRecord(h->table, 299, r.data()), kCannotOpen);
  IndexFirst(h->table, 0);
  int rc;
  while ((rc = IndexNext(h->table, 0)) == kOk) {
  }
  EXPECT_EQ(rc, kIndexRead);
  Engine().faults = FaultInjection{};
  EXPECT_EQ(ReadRecord(h->table, 299, r.data()), kOk);
  EXPECT_EQ(CloseTable(h), kOk);
  SetNodeCacheCapacity(kNodeCacheBuffers);
  TableCheck check;
  ASSERT_EQ(CheckTable(path, &check), kOk);
  EXPECT_TRUE(check.Ok());
}

}  // namespace
}  // namespace dbengine
