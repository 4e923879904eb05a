// Any bytes as index file 0 of a small table (key char(30) unique; index 1 on char(2) is sound): opening,
// walking, seeking, prefix searches, inserts and deletes give result codes, never a crash or an endless
// walk; the check runs; the rebuild always repairs the table.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dbengine/check.h"
#include "dbengine/index.h"
#include "dbengine/query.h"
#include "dbengine/table.h"
#include "fuzz/fuzz_dbengine_support.h"
#include "platform/files.h"

namespace {

struct Table {
  std::string scm, bmp, dat, ix1;
};

std::string Record(const std::string& k, const std::string& g) {
  std::string r = k;
  r.resize(30, '\0');
  r += g;
  r.resize(32, '\0');
  return r;
}

// A table of 300 records, its files kept as bytes.
Table Build() {
  std::string dir = fuzz_dbengine::EmptyDirectory("index_base");
  if (dbengine::CreateTable("create table t (k char(30), g char(2))", dir) != dbengine::kOk) std::abort();
  if (dbengine::CreateIndex("create unique index 0 on t (k)", dir) != dbengine::kOk) std::abort();
  if (dbengine::CreateIndex("create index 1 on t (g)", dir) != dbengine::kOk) std::abort();
  {
    dbengine::TableHandle h(dbengine::OpenTable(dir + "/t"));
    for (int i = 0; i < 300; ++i) {
      std::string r = Record("key-" + std::to_string(i * 7919 % 1000) + "-padding", std::to_string(i % 9));
      int32_t n;
      if (dbengine::InsertRecord(h.get(), reinterpret_cast<const uint8_t*>(r.data()), &n) != dbengine::kOk) std::abort();
    }
  }
  Table t;
  std::string p = dir + "/t";
  if (!platform::ReadWholeFile(p + ".scm", t.scm) || !platform::ReadWholeFile(p + ".bmp", t.bmp) ||
      !platform::ReadWholeFile(p + ".dat", t.dat) || !platform::ReadWholeFile(p + ".ix1", t.ix1)) {
    std::abort();
  }
  fuzz_dbengine::RemoveDirectory(dir);
  return t;
}

void Exercise(const std::string& path) {
  dbengine::DbSchema* h = dbengine::OpenTable(path);
  if (!h) return;
  std::vector<uint8_t> r(32);
  dbengine::IndexFirst(h->table, 0);
  for (int steps = 0; dbengine::IndexNext(h->table, 0) == dbengine::kOk;) {
    if (++steps > 100000) std::abort();
  }
  for (int steps = 0; dbengine::IndexPrev(h->table, 0) == dbengine::kOk;) {
    if (++steps > 100000) std::abort();
  }
  for (int i = 0; i < 10; ++i) dbengine::IndexSeek(h->table, 0, "key-" + std::to_string(i * 97));
  int steps = 0;
  for (int rc = dbengine::FindByPrefix(h->table, 0, "key-1", r.data()); rc == dbengine::kPrefixFound;
       rc = dbengine::FindNextByPrefix(r.data())) {
    if (++steps > 100000) std::abort();
  }
  for (int i = 0; i < 20; ++i) {
    std::string rec = Record("new-" + std::to_string(i), "x");
    int32_t n;
    dbengine::InsertRecord(h, reinterpret_cast<const uint8_t*>(rec.data()), &n);
    if (dbengine::ReadRecord(h->table, i * 11, r.data()) == dbengine::kOk) dbengine::DeleteRecord(h, r.data(), i * 11);
  }
  dbengine::TableCheck check;
  dbengine::CheckOpenTable(h, &check);
  dbengine::CloseTable(h);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Table base = Build();
  if (size > 200000) return 0;
  std::string dir = fuzz_dbengine::EmptyDirectory("index");
  std::string p = dir + "/t";
  bool written = platform::WriteWholeFile(p + ".scm", base.scm) && platform::WriteWholeFile(p + ".bmp", base.bmp) &&
                 platform::WriteWholeFile(p + ".dat", base.dat) && platform::WriteWholeFile(p + ".ix1", base.ix1) &&
                 platform::WriteWholeFile(p + ".ix0", std::string(reinterpret_cast<const char*>(data), size));
  if (!written) fuzz_dbengine::Fail(data, size, "check 1");
  dbengine::TableCheck check;
  if (dbengine::CheckTable(p, &check) != dbengine::kOk) fuzz_dbengine::Fail(data, size, "check 2");
  Exercise(p);
  dbengine::RebuildReport report;
  if (dbengine::RebuildTable(p, &report) != dbengine::kOk) fuzz_dbengine::Fail(data, size, "check 3");
  if (dbengine::CheckTable(p, &check) != dbengine::kOk || !check.Ok()) fuzz_dbengine::Fail(data, size, "check 4");
  fuzz_dbengine::RemoveDirectory(dir);
  return 0;
}
