// Running select statements in tests.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbengine/query.h"
#include "dbengine/table.h"

namespace dbengine::testing {

struct QueryResult {
  int code = kOk;
  std::vector<std::vector<int32_t>> records;  // record numbers per row, one per from table
  std::vector<std::string> rows;              // row bytes
};

inline QueryResult RunQuery(const std::string& statement, const std::string& dir) {
  QueryResult out;
  Query* q = QueryOpen(statement, dir);
  if (!q) {
    out.code = LastResult();
    return out;
  }
  CompiledQuery* cq = QueryPrepare(q, statement);
  if (!cq) {
    out.code = LastResult();
    QueryClose(q);
    return out;
  }
  std::string row(static_cast<size_t>(QueryRowSize(q)), '\0');
  auto* buffer = reinterpret_cast<uint8_t*>(row.data());
  int rc = QueryFirst(cq, buffer);
  for (; rc == kOk; rc = QueryNext(buffer)) {
    std::vector<int32_t> numbers;
    for (int t = 0; t < QueryTableCount(q); ++t) numbers.push_back(QueryRecordNumber(q, t));
    out.records.push_back(numbers);
    out.rows.push_back(row);
  }
  out.code = rc == kNotFound ? kOk : rc;
  QueryFree(cq);
  QueryClose(q);
  return out;
}

// The first column of each row, as text up to its NUL.
inline std::vector<std::string> FirstColumn(const QueryResult& r) {
  std::vector<std::string> out;
  for (const std::string& row : r.rows) out.emplace_back(row.c_str());
  return out;
}

}  // namespace dbengine::testing
