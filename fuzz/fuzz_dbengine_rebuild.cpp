// Any bytes as the bitmap, the schema or index file 0 of a small table with deleted records in it (the
// first byte chooses the file, and whether the bytes replace it or are laid over it bit by bit): the
// check runs; the rebuild, given the schema the table was created with, always repairs the table
// without losing or changing a record that was in use, and reports any record it brings back.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "dbengine/check.h"
#include "dbengine/query.h"
#include "dbengine/table.h"
#include "fuzz/fuzz_dbengine_support.h"
#include "platform/files.h"

namespace {

const char* const kFiles[] = {".bmp", ".scm", ".ix0", ".ix1", ".dat"};
const char kCreate[] = "create table t (k char(30), g char(2))";
const std::vector<std::string> kIndexes = {"create unique index 0 on t (k)", "create index 1 on t (g)"};

struct Base {
  dbengine::DbSchema schema;
  std::map<std::string, std::string> files;
  std::map<int32_t, std::string> records;
};

std::map<int32_t, std::string> Records(const std::string& path) {
  std::map<int32_t, std::string> out;
  dbengine::TableHandle h(dbengine::OpenTable(path));
  if (!h) return out;
  std::vector<uint8_t> r(32);
  for (int32_t n = 0; dbengine::ScanRecord(h->table, n, r.data(), &n) == dbengine::kOk; ++n) {
    out[n] = std::string(r.begin(), r.end());
  }
  return out;
}

// 300 records, every fifth deleted again (its bytes stay in the free slot).
Base Build() {
  Base b;
  std::string dir = fuzz_dbengine::EmptyDirectory("rebuild_base"), p = dir + "/t";
  if (dbengine::SchemaFromStatements(kCreate, kIndexes, &b.schema) != dbengine::kOk ||
      dbengine::CreateTable(kCreate, dir) != dbengine::kOk) {
    std::abort();
  }
  for (const std::string& s : kIndexes) {
    if (dbengine::CreateIndex(s, dir) != dbengine::kOk) std::abort();
  }
  {
    dbengine::TableHandle h(dbengine::OpenTable(p));
    for (int i = 0; i < 300; ++i) {
      std::string r = "key-" + std::to_string(i * 7919 % 1000);
      r.resize(30, '\0');
      r += std::to_string(i % 9);
      r.resize(32, '\0');
      int32_t n;
      if (dbengine::InsertRecord(h.get(), reinterpret_cast<const uint8_t*>(r.data()), &n) != dbengine::kOk) std::abort();
      if (i % 5 == 4 && dbengine::DeleteRecord(h.get(), reinterpret_cast<const uint8_t*>(r.data()), n) != dbengine::kOk) std::abort();
    }
  }
  for (const char* ext : kFiles) {
    if (!platform::ReadWholeFile(p + ext, b.files[ext])) std::abort();
  }
  b.records = Records(p);
  fuzz_dbengine::RemoveDirectory(dir);
  return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Base base = Build();
  if (size < 1 || size > 4096) return 0;
  const std::string target = kFiles[(data[0] & 0x7F) % 3];
  std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  if (data[0] & 0x80) {  // laid over the file: the bits set are flipped
    std::string over = base.files.at(target);
    for (size_t i = 0; i < bytes.size() && i < over.size(); ++i) over[i] = static_cast<char>(over[i] ^ bytes[i]);
    bytes = over;
  }
  std::string dir = fuzz_dbengine::EmptyDirectory("rebuild"), p = dir + "/t";
  for (const auto& [ext, content] : base.files) {
    if (!platform::WriteWholeFile(p + ext, ext == target ? bytes : content)) fuzz_dbengine::Fail(data, size, "write");
  }
  dbengine::TableCheck check;
  if (dbengine::CheckTable(p, &check, &base.schema) != dbengine::kOk) fuzz_dbengine::Fail(data, size, "check ran");
  Records(p);
  dbengine::RebuildReport report;
  if (dbengine::RebuildTable(p, &report, &base.schema) != dbengine::kOk) fuzz_dbengine::Fail(data, size, "rebuild");
  if (dbengine::CheckTable(p, &check, &base.schema) != dbengine::kOk || !check.Ok()) {
    fuzz_dbengine::Fail(data, size, "check after the rebuild");
  }
  std::map<int32_t, std::string> after = Records(p);
  for (const auto& [n, record] : base.records) {
    auto it = after.find(n);
    if (it == after.end() || it->second != record) fuzz_dbengine::Fail(data, size, "a record was lost");
  }
  for (const auto& [n, record] : after) {
    if (!base.records.count(n) && !std::binary_search(report.unconfirmed.begin(), report.unconfirmed.end(), n)) {
      fuzz_dbengine::Fail(data, size, "a record came back unreported");
    }
  }
  fuzz_dbengine::RemoveDirectory(dir);
  return 0;
}
