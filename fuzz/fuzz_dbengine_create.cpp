// Any text as a create statement, run on a directory holding a small table "t": every outcome is a result
// code, and what succeeds leaves tables that open and pass the integrity check.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dbengine/check.h"
#include "dbengine/create_tokenizer.h"
#include "dbengine/query.h"
#include "dbengine/table.h"
#include "fuzz/fuzz_dbengine_support.h"

namespace {

void MakeBaseTable(const std::string& dir) {
  if (dbengine::CreateTable("create table t (name char(8), kind char(2), day date(6), raw bin(3))", dir) !=
      dbengine::kOk) {
    std::abort();
  }
  dbengine::TableHandle h(dbengine::OpenTable(dir + "/t"));
  for (int i = 0; i < 40; ++i) {
    std::string r = "n" + std::to_string(i);
    r.resize(8, '\0');
    r += i % 3 ? "a" : "b";
    r.resize(19, '\0');
    int32_t n;
    if (dbengine::InsertRecord(h.get(), reinterpret_cast<const uint8_t*>(r.data()), &n) != dbengine::kOk) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string statement(reinterpret_cast<const char*>(data), size);
  dbengine::TokenizeCreate(statement);
  // A name with "/" is a path: the statement could write anywhere, so it is only tokenized.
  if (statement.find('/') != std::string::npos || size > 4096) return 0;
  std::string dir = fuzz_dbengine::EmptyDirectory("create");
  MakeBaseTable(dir);
  dbengine::StatementKind kind = dbengine::ClassifyStatement(statement);
  int rc = kind == dbengine::StatementKind::kCreateIndex ? dbengine::CreateIndex(statement, dir)
                                                          : dbengine::CreateTable(statement, dir);
  if (rc == dbengine::kOk && kind == dbengine::StatementKind::kCreateIndex) {
    dbengine::TableCheck check;
    if (dbengine::CheckTable(dir + "/t", &check) != dbengine::kOk || !check.Ok()) fuzz_dbengine::Fail(data, size, "check 1");
  }
  fuzz_dbengine::RemoveDirectory(dir);
  return 0;
}
