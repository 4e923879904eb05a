// "create table" and "create index".
#include <cstdio>
#include <memory>

#include "dbengine/btree.h"
#include "dbengine/create_tokenizer.h"
#include "dbengine/engine_state.h"
#include "dbengine/index_file.h"
#include "dbengine/index_key.h"
#include "dbengine/query.h"
#include "dbengine/table.h"
#include "dbengine/table_path.h"
#include "platform/files.h"

namespace dbengine {
namespace {

int SetLast(int code) {
  Engine().last_result = code;
  return code;
}

// Reading tokens in order; every mismatch is a syntax error.
class TokenReader {
 public:
  explicit TokenReader(std::vector<std::string> tokens) : tokens_(std::move(tokens)) {}
  bool Take(std::string_view expected) {
    if (i_ >= tokens_.size() || tokens_[i_] != expected) return false;
    ++i_;
    return true;
  }
  // A word: not a single token character, not a quoted run.
  bool TakeWord(std::string* out) {
    if (i_ >= tokens_.size()) return false;
    const std::string& t = tokens_[i_];
    if (t.empty() || t[0] == '"' || (t.size() == 1 && std::string_view("!#Q$%&'()=-`^|{}[]~@*+;?.,<>").find(t[0]) != std::string_view::npos)) {
      return false;
    }
    *out = t;
    ++i_;
    return true;
  }
  bool TakeNumber(long* out) {
    std::string w;
    if (!TakeWord(&w) || w.size() > 6 || w.find_first_not_of("0123456789") != std::string::npos) return false;
    *out = std::stol(w);
    return true;
  }
  bool AtEnd() const { return i_ == tokens_.size(); }

 private:
  std::vector<std::string> tokens_;
  size_t i_ = 0;
};

bool TypeCode(const std::string& word, int16_t* type) {
  static const char* const kTypes[] = {"char", "time", "date", "bin"};
  for (int16_t t = 0; t < 4; ++t) {
    if (word == kTypes[t]) {
      *type = t;
      return true;
    }
  }
  return false;
}

int ParseCreateTable(std::string_view statement, std::string* name, DbSchema* schema) {
  TokenReader r(TokenizeCreate(statement));
  if (!r.Take("create") || !r.Take("table") || !r.TakeWord(name) || !r.Take("(")) return kInvalid;
  long offset = 0;
  do {
    ColumnDesc c;
    std::string type;
    long width;
    if (!r.TakeWord(&c.name) || !r.TakeWord(&type) || !r.Take("(") || !r.TakeNumber(&width) || !r.Take(")")) {
      return kInvalid;
    }
    if (c.name.size() >= kColumnNameBytes || schema->FindColumn(c.name) >= 0) return kInvalid;
    if (!TypeCode(type, &c.type) || width < 1) return kInvalid;
    if (c.type == kTime || c.type == kDate) width = kTimeDateWidth;
    if (width > 32767 || offset > 32767 || offset + width > 0xFFFF) return kInvalid;
    c.width = static_cast<int16_t>(width);
    c.offset = static_cast<int16_t>(offset);
    offset += width;
    schema->columns.push_back(std::move(c));
  } while (r.Take(","));
  if (!r.Take(")") || !r.AtEnd()) return kInvalid;
  return kOk;
}

struct IndexStatement {
  bool unique = false;
  long number = 0;
  std::string table;
  std::vector<std::string> columns;
};

int ParseCreateIndex(std::string_view statement, IndexStatement* out) {
  TokenReader r(TokenizeCreate(statement));
  if (!r.Take("create")) return kInvalid;
  out->unique = r.Take("unique");
  if (!r.Take("index") || !r.TakeNumber(&out->number) || out->number > 9 || !r.Take("on") ||
      !r.TakeWord(&out->table) || !r.Take("(")) {
    return kInvalid;
  }
  do {
    std::string column;
    if (!r.TakeWord(&column)) return kInvalid;
    out->columns.push_back(std::move(column));
  } while (r.Take(","));
  return r.Take(")") && r.AtEnd() ? kOk : kInvalid;
}

// Writes a schema file completely: 201 when it cannot be opened, `short_write` when not all is written.
int WriteSchemaFile(const std::string& path, const DbSchema& schema, int cannot_open, int short_write) {
  std::unique_ptr<std::FILE, platform::FileCloser> f(platform::OpenFile(path + ".scm", "wb"));
  if (!f) return cannot_open;
  std::string bytes = EncodeSchema(schema);
  if (std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return short_write;
  return std::fclose(f.release()) == 0 ? kOk : short_write;
}

// Reads the schema for "create index": 201 when it cannot be opened, 202 when it is not a whole schema.
int ReadSchemaForIndex(const std::string& path, DbSchema* out) {
  std::string bytes;
  if (!platform::FileExists(path + ".scm")) return kSchemaOpen;
  std::optional<DbSchema> s = ReadSchema(path);
  if (!s) return platform::ReadWholeFile(path + ".scm", bytes) ? kSchemaIo : kSchemaOpen;
  *out = std::move(*s);
  return kOk;
}

// Adds the index descriptor to the schema, checking its columns in order.
int AddIndexDesc(const IndexStatement& st, DbSchema* s) {
  if (st.number != static_cast<long>(s->indexes.size())) return kTableFiles;
  IndexDesc x;
  x.duplicates = st.unique ? 0 : 1;
  x.column_count = 0;
  int width = 0;
  for (const std::string& name : st.columns) {
    if (x.column_count == kMaxIndexColumns) return kTooManyKeyColumns;
    int col = s->FindColumn(name);
    if (col < 0) return kNoSuchColumn;
    if (s->columns[col].type == kBin) return kNotIndexable;
    width += s->columns[col].width;
    if (width > kMaxKeyBytes) return kKeyTooLong;
    x.columns[x.column_count++] = static_cast<int16_t>(col);
  }
  s->indexes.push_back(x);
  return kOk;
}

// Builds index `k` of `with_index` from the records of the open table.
int BuildIndex(DbSchema* table, const DbSchema& with_index, int k, const std::string& file) {
  IndexFile ix;
  if (CreateIndexFile(file) != kOk || OpenIndexFile(file, with_index.indexes[k].duplicates, &ix) != kOk) {
    return kIndexCreate;
  }
  std::vector<uint8_t> record(static_cast<size_t>(with_index.RecordLength()));
  int32_t r = 0;
  int rc;
  while ((rc = ScanRecord(table->table, r, record.data(), &r)) == kOk) {
    uint8_t key[kMaxKeyLength + 1];
    int length;
    rc = BuildKey(with_index, k, record.data(), key, &length);
    if (rc == kOk) rc = BtreeInsert(&ix, key, length, r);
    if (rc != kOk) break;
    ++r;
  }
  if (rc != kNotFound) {
    DiscardIndexFile(&ix);
    platform::RemoveFile(file);
    return rc;
  }
  return FlushIndexFile(&ix, true);
}

}  // namespace

StatementKind ClassifyStatement(std::string_view statement) {
  std::vector<std::string> t = TokenizeCreate(statement.substr(0, 64));
  if (t.size() >= 2 && t[0] == "create") {
    if (t[1] == "table") return StatementKind::kCreateTable;
    if (t[1] == "index" || (t[1] == "unique" && t.size() >= 3 && t[2] == "index")) return StatementKind::kCreateIndex;
  }
  if (!t.empty() && (t[0] == "select" || t[0] == "SELECT")) return StatementKind::kSelect;
  return StatementKind::kUnknown;
}

int CreateTable(std::string_view statement, std::string_view directory) {
  std::string name;
  DbSchema schema;
  if (int rc = ParseCreateTable(statement, &name, &schema); rc != kOk) return SetLast(rc);
  std::string path = TablePath(directory, name);
  if (int rc = WriteSchemaFile(path, schema, kSchemaOpen, kSchemaIo); rc != kOk) return SetLast(rc);
  DbSchema* table = InitTableFiles(path);
  if (!table) return SetLast(kTableFiles);
  return SetLast(CloseTable(table) == kOk ? kOk : kTableFiles);
}

int SchemaFromStatements(std::string_view create_table, const std::vector<std::string>& create_indexes,
                         DbSchema* out) {
  std::string name;
  DbSchema schema;
  if (int rc = ParseCreateTable(create_table, &name, &schema); rc != kOk) return rc;
  for (const std::string& statement : create_indexes) {
    IndexStatement st;
    if (int rc = ParseCreateIndex(statement, &st); rc != kOk) return rc;
    if (st.table != name) return kInvalid;
    if (int rc = AddIndexDesc(st, &schema); rc != kOk) return rc;
  }
  *out = std::move(schema);
  return kOk;
}

int CreateIndex(std::string_view statement, std::string_view directory) {
  IndexStatement st;
  if (int rc = ParseCreateIndex(statement, &st); rc != kOk) return SetLast(rc);
  std::string path = TablePath(directory, st.table);
  DbSchema with_index;
  if (int rc = ReadSchemaForIndex(path, &with_index); rc != kOk) return SetLast(rc);
  if (int rc = AddIndexDesc(st, &with_index); rc != kOk) return SetLast(rc);
  DbSchema* table = OpenTable(path);
  if (!table) return SetLast(kIndexTableOpen);
  int k = static_cast<int>(st.number);
  int rc = BuildIndex(table, with_index, k, IndexFilePath(path, k));
  int closed = CloseTable(table);
  if (rc != kOk) return SetLast(rc);
  if (closed != kOk) return SetLast(closed);
  return SetLast(WriteSchemaFile(path, with_index, kSchemaReopen, kSchemaRewrite));
}

}  // namespace dbengine
