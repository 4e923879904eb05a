// Any text as a select statement over a small database of two indexed tables: parsing, planning and
// running (as a cursor and as a sorted run) give rows or a result code, never a crash or a hang.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "dbengine/query.h"
#include "dbengine/table.h"
#include "fuzz/fuzz_dbengine_support.h"

namespace {

void Insert(const std::string& path, const std::vector<std::string>& records) {
  dbengine::TableHandle h(dbengine::OpenTable(path));
  if (!h) std::abort();
  for (const std::string& r : records) {
    int32_t n;
    if (dbengine::InsertRecord(h.get(), reinterpret_cast<const uint8_t*>(r.data()), &n) != dbengine::kOk) std::abort();
  }
}

std::string Database() {
  std::string dir = fuzz_dbengine::EmptyDirectory("select");
  const char* statements[] = {
      "create table a (name char(6), kind char(3), day date(6), note char(8))",
      "create table b (kind char(3), label char(8))",
  };
  for (const char* s : statements) {
    if (dbengine::CreateTable(s, dir) != dbengine::kOk) std::abort();
  }
  std::vector<std::string> a, b;
  for (int i = 0; i < 60; ++i) {
    std::string r = "n" + std::to_string(i * 37 % 100);
    r.resize(6, '\0');
    r += std::string(1, static_cast<char>('a' + i % 4));
    r.resize(9, '\0');
    r += "2401" + std::to_string(10 + i % 20);
    r += i % 5 ? "note" : "将棋";
    r.resize(23, '\0');
    a.push_back(r);
  }
  for (int i = 0; i < 6; ++i) b.push_back(std::string(1, static_cast<char>('a' + i)) + std::string(2, '\0') + "label" + std::string(3, '\0'));
  Insert(dir + "/a", a);
  Insert(dir + "/b", b);
  static std::string made;
  made = dir;
  std::atexit([] { fuzz_dbengine::RemoveDirectory(made); });
  const char* indexes[] = {"create unique index 0 on a (name)", "create index 1 on a (kind, day)",
                           "create index 0 on b (kind)"};
  for (const char* s : indexes) {
    if (dbengine::CreateIndex(s, dir) != dbengine::kOk) std::abort();
  }
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = Database();
  std::string statement(reinterpret_cast<const char*>(data), size);
  if (statement.find('/') != std::string::npos || size > 4096) return 0;
  dbengine::Query* q = dbengine::QueryOpen(statement, dir);
  if (!q) return 0;
  dbengine::CompiledQuery* cq = dbengine::QueryPrepare(q, statement);
  if (cq) {
    std::vector<uint8_t> row(static_cast<size_t>(dbengine::QueryRowSize(q)) + 1);
    int rows = 0;
    for (int rc = dbengine::QueryFirst(cq, row.data()); rc == dbengine::kOk; rc = dbengine::QueryNext(row.data())) {
      if (++rows > 60 * 60 * 60) fuzz_dbengine::Fail(data, size, "check 1");  // more combinations than the tables have
    }
    dbengine::QueryFree(cq);
  }
  dbengine::QueryClose(q);
  std::FILE* out = std::tmpfile();
  dbengine::SelectToFile(statement, out, dir);
  std::fclose(out);
  return 0;
}
