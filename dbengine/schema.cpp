#include "dbengine/schema.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>

#include "dbengine/bytes.h"
#include "platform/files.h"

namespace dbengine {

int DbSchema::RecordLength() const {
  int total = 0;
  for (const ColumnDesc& c : columns) total += c.width;
  return total;
}

int DbSchema::FindColumn(std::string_view name) const {
  for (size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

int DbSchema::KeyWidth(int index) const {
  const IndexDesc& x = indexes[index];
  int total = 0;
  for (int i = 0; i < x.column_count; ++i) total += columns[x.columns[i]].width;
  return total;
}

bool ValidateSchema(const DbSchema& schema) {
  if (schema.columns.empty() || schema.indexes.size() > kMaxIndexes) return false;
  long running = 0;
  for (const ColumnDesc& c : schema.columns) {
    if (c.name.empty() || c.name.size() > kColumnNameBytes) return false;
    if (c.name.find('\0') != std::string::npos) return false;
    if (c.type < kChar || c.type > kBin) return false;
    if (c.offset != running || c.width < 1) return false;
    running += c.width;
  }
  // The bitmap header keeps the record length in 16 bits.
  if (running > 0xFFFF) return false;
  for (const IndexDesc& x : schema.indexes) {
    if (x.duplicates != 0 && x.duplicates != 1) return false;
    if (x.column_count < 1 || x.column_count > kMaxIndexColumns) return false;
    for (int i = 0; i < x.column_count; ++i) {
      int col = x.columns[i];
      if (col < 0 || col >= static_cast<int>(schema.columns.size())) return false;
      if (schema.columns[col].type == kBin) return false;
    }
  }
  return true;
}

bool SameSchema(const DbSchema& a, const DbSchema& b) {
  if (a.columns.size() != b.columns.size() || a.indexes.size() != b.indexes.size()) return false;
  for (size_t i = 0; i < a.columns.size(); ++i) {
    const ColumnDesc &x = a.columns[i], &y = b.columns[i];
    if (x.name != y.name || x.type != y.type || x.offset != y.offset || x.width != y.width) return false;
  }
  for (size_t i = 0; i < a.indexes.size(); ++i) {
    const IndexDesc &x = a.indexes[i], &y = b.indexes[i];
    if (x.duplicates != y.duplicates || x.column_count != y.column_count ||
        !std::equal(x.columns, x.columns + x.column_count, y.columns)) {
      return false;
    }
  }
  return true;
}

std::string EncodeSchema(const DbSchema& schema) {
  size_t size = kSchemaHeaderBytes + kColumnDescBytes * schema.columns.size() +
                kIndexDescBytes * schema.indexes.size();
  std::string out(size, '\0');
  auto* p = reinterpret_cast<uint8_t*>(out.data());
  PutI16(p, static_cast<int16_t>(schema.columns.size()));
  PutI16(p + 2, static_cast<int16_t>(schema.indexes.size()));
  p += kSchemaHeaderBytes;
  for (const ColumnDesc& c : schema.columns) {
    std::memcpy(p, c.name.data(), std::min<size_t>(c.name.size(), kColumnNameBytes));
    PutI16(p + 40, c.type);
    PutI16(p + 42, c.offset);
    PutI16(p + 44, c.width);
    p += kColumnDescBytes;
  }
  for (const IndexDesc& x : schema.indexes) {
    PutI16(p, x.duplicates);
    PutI16(p + 2, x.column_count);
    for (int i = 0; i < kMaxIndexColumns; ++i) PutI16(p + 4 + 2 * i, x.columns[i]);
    p += kIndexDescBytes;
  }
  return out;
}

std::optional<DbSchema> DecodeSchema(std::string_view bytes) {
  if (bytes.size() < kSchemaHeaderBytes) return std::nullopt;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  int columns = GetI16(p);
  int indexes = GetI16(p + 2);
  if (columns < 1 || indexes < 0 || indexes > kMaxIndexes) return std::nullopt;
  size_t expected = kSchemaHeaderBytes + static_cast<size_t>(kColumnDescBytes) * columns +
                    static_cast<size_t>(kIndexDescBytes) * indexes;
  if (bytes.size() != expected) return std::nullopt;
  DbSchema schema;
  p += kSchemaHeaderBytes;
  for (int i = 0; i < columns; ++i, p += kColumnDescBytes) {
    ColumnDesc c;
    const char* name = reinterpret_cast<const char*>(p);
    c.name.assign(name, strnlen(name, kColumnNameBytes));
    c.type = GetI16(p + 40);
    c.offset = GetI16(p + 42);
    c.width = GetI16(p + 44);
    schema.columns.push_back(std::move(c));
  }
  for (int i = 0; i < indexes; ++i, p += kIndexDescBytes) {
    IndexDesc x;
    x.duplicates = GetI16(p);
    x.column_count = GetI16(p + 2);
    for (int k = 0; k < kMaxIndexColumns; ++k) x.columns[k] = GetI16(p + 4 + 2 * k);
    schema.indexes.push_back(x);
  }
  if (!ValidateSchema(schema)) return std::nullopt;
  return schema;
}

std::optional<DbSchema> ReadSchema(std::string_view path) {
  std::unique_ptr<std::FILE, platform::FileCloser> f(
      platform::OpenFile(std::string(path) + ".scm", "rb"));
  if (!f) return std::nullopt;
  // The header gives the length; one byte more is asked for, so a longer file is noticed.
  uint8_t header[kSchemaHeaderBytes];
  if (std::fread(header, 1, sizeof header, f.get()) != sizeof header) return std::nullopt;
  int columns = GetI16(header), indexes = GetI16(header + 2);
  if (columns < 1 || indexes < 0 || indexes > kMaxIndexes) return std::nullopt;
  size_t rest = static_cast<size_t>(kColumnDescBytes) * columns + kIndexDescBytes * indexes;
  std::string bytes(reinterpret_cast<const char*>(header), sizeof header);
  bytes.resize(sizeof header + rest + 1);
  size_t got = std::fread(bytes.data() + sizeof header, 1, rest + 1, f.get());
  bytes.resize(sizeof header + got);
  return DecodeSchema(bytes);
}

}  // namespace dbengine
