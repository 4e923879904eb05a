// Helpers of the database engine tests: a fresh directory per test, schemas written directly, file bytes.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dbengine/schema.h"
#include "dbengine/table.h"
#include "platform/files.h"
#include "tests/support/scratch_dir.h"

namespace dbengine::testing {

using test_support::RemoveTree;

// A directory of its own under the test temporary directory, made empty for the test and removed after
// it unless the test failed (the files are then left for a look).
inline std::string FreshDirectory(const std::string& name) {
  std::string dir = test_support::ScratchPath("dbengine", name);
  EXPECT_TRUE(platform::MakeDirectory(dir));
  test_support::RemoveAfterPassingTest(dir);
  return dir;
}

inline std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return name;
}

inline ColumnDesc Column(const std::string& name, int16_t type, int16_t width) {
  ColumnDesc c;
  c.name = name;
  c.type = type;
  c.width = width;
  return c;
}

inline IndexDesc Index(bool duplicates, std::vector<int16_t> columns) {
  IndexDesc x;
  x.duplicates = duplicates ? 1 : 0;
  x.column_count = static_cast<int16_t>(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) x.columns[i] = columns[i];
  return x;
}

// A schema with running offsets filled in.
inline DbSchema MakeSchema(std::vector<ColumnDesc> columns, std::vector<IndexDesc> indexes = {}) {
  DbSchema s;
  int16_t offset = 0;
  for (ColumnDesc& c : columns) {
    c.offset = offset;
    offset = static_cast<int16_t>(offset + c.width);
  }
  s.columns = std::move(columns);
  s.indexes = std::move(indexes);
  return s;
}

inline void WriteSchemaFile(const std::string& path, const DbSchema& schema) {
  ASSERT_TRUE(platform::WriteWholeFile(path + ".scm", EncodeSchema(schema)));
}

inline std::string FileBytes(const std::string& path) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) return "<missing>";
  return bytes;
}

inline int64_t FileSize(const std::string& path) {
  std::string bytes;
  return platform::ReadWholeFile(path, bytes) ? static_cast<int64_t>(bytes.size()) : -1;
}

// A record image from column values (each cut or NUL-padded to its width).
inline std::vector<uint8_t> Record(const DbSchema& s, const std::vector<std::string>& values) {
  std::vector<uint8_t> r(static_cast<size_t>(s.RecordLength()), 0);
  for (size_t i = 0; i < values.size() && i < s.columns.size(); ++i) {
    const ColumnDesc& c = s.columns[i];
    std::copy_n(values[i].begin(), std::min<size_t>(values[i].size(), c.width), r.begin() + c.offset);
  }
  return r;
}

// A column's text from a record (up to the first NUL).
inline std::string Field(const DbSchema& s, const uint8_t* record, int column) {
  const ColumnDesc& c = s.columns[column];
  const char* p = reinterpret_cast<const char*>(record + c.offset);
  return std::string(p, strnlen(p, c.width));
}

}  // namespace dbengine::testing
