// Opening a select (tables, selected columns, row layout) and compiling its conditions and order keys.
#include "dbengine/engine_state.h"
#include "dbengine/query_types.h"
#include "dbengine/regex.h"
#include "dbengine/table.h"
#include "dbengine/table_path.h"

namespace dbengine {
namespace {

template <typename T>
T* Fail(int code) {
  Engine().last_result = code;
  return nullptr;
}

// "table.column" (the part before the first point naming a from table exactly) or a bare column name,
// bound to the first from table that has it.
bool ResolveColumn(const Query& q, const std::string& name, ColumnRef* out) {
  if (name.empty()) return false;
  size_t dot = name.find('.');
  if (dot != std::string::npos) {
    std::string table = name.substr(0, dot), column = name.substr(dot + 1);
    for (size_t t = 0; t < q.tables.size(); ++t) {
      if (q.tables[t].name != table) continue;
      int c = q.tables[t].schema->FindColumn(column);
      if (c < 0) return false;
      *out = {static_cast<int>(t), c};
      return true;
    }
    return false;
  }
  for (size_t t = 0; t < q.tables.size(); ++t) {
    int c = q.tables[t].schema->FindColumn(name);
    if (c >= 0) {
      *out = {static_cast<int>(t), c};
      return true;
    }
  }
  return false;
}

void AddColumn(Query* q, int table, int column) {
  const ColumnDesc& c = q->tables[table].schema->columns[column];
  q->columns.push_back({c.name, c.type, c.width, table, column, q->row_size});
  q->row_size += c.width;
}

bool OperatorCode(const std::string& text, Operator* op) {
  static const char* const kOps[] = {"=", "<", ">", "<=", ">=", "!=", "matches"};
  for (int i = 0; i < 7; ++i) {
    if (text == kOps[i]) {
      *op = static_cast<Operator>(i);
      return true;
    }
  }
  return false;
}

int CompileConditions(const std::vector<std::string>& tokens, CompiledQuery* cq) {
  const Query& q = *cq->query;
  for (size_t i = 0; i + 2 < tokens.size(); i += 4) {
    Condition c;
    if (!ResolveColumn(q, tokens[i], &c.left) || !OperatorCode(tokens[i + 1], &c.op)) return kQueryError;
    const std::string& value = tokens[i + 2];
    const ColumnDesc& left = q.tables[c.left.table].schema->columns[c.left.column];
    if (left.type == kChar && value[0] != '"') {
      c.right_is_column = true;
      if (!ResolveColumn(q, value, &c.right)) return kQueryError;
    } else {
      if (value.size() < 2 || value.front() != '"' || value.back() != '"') return kQueryError;
      c.value = value.substr(1, value.size() - 2);
      if (c.op == kMatches && !c.value.empty()) {
        Regex check;  // a bad expression fails the statement before any row is read
        if (int rc = check.Compile(c.value); rc != kOk) return rc;
      }
    }
    if (i + 3 < tokens.size()) {
      if (tokens[i + 3] == "and") c.connector = 0;
      else if (tokens[i + 3] == "or") c.connector = 1;
      else return kQueryError;
    }
    cq->conditions.push_back(std::move(c));
  }
  return kOk;
}

int CompileOrder(const std::vector<OrderItem>& items, CompiledQuery* cq) {
  const Query& q = *cq->query;
  for (const OrderItem& item : items) {
    ColumnRef ref;
    if (!ResolveColumn(q, item.column, &ref)) return kQueryError;
    int found = -1;
    for (size_t i = 0; i < q.columns.size() && found < 0; ++i) {
      if (q.columns[i].table == ref.table && q.columns[i].column == ref.column) found = static_cast<int>(i);
    }
    if (found < 0) return kQueryError;
    cq->order.push_back({found, item.descending});
  }
  return kOk;
}

}  // namespace

Query* QueryOpen(std::string_view statement, std::string_view directory) {
  SelectStatement st;
  if (int rc = ParseSelect(statement, &st); rc != kOk) return Fail<Query>(rc);
  auto q = std::make_unique<Query>();
  for (const std::string& name : st.tables) {
    DbSchema* s = OpenTable(TablePath(directory, name));
    if (!s) {
      int rc = LastResult();
      QueryClose(q.release());
      return Fail<Query>(rc);
    }
    q->tables.push_back({name, s, std::vector<uint8_t>(static_cast<size_t>(s->RecordLength())), -1});
  }
  if (st.columns.empty()) {
    for (size_t t = 0; t < q->tables.size(); ++t) {
      for (size_t c = 0; c < q->tables[t].schema->columns.size(); ++c) AddColumn(q.get(), static_cast<int>(t), static_cast<int>(c));
    }
  } else {
    for (const std::string& name : st.columns) {
      ColumnRef ref;
      if (!ResolveColumn(*q, name, &ref)) {
        QueryClose(q.release());
        return Fail<Query>(kQueryError);
      }
      AddColumn(q.get(), ref.table, ref.column);
    }
  }
  Engine().last_result = kOk;
  return q.release();
}

CompiledQuery* QueryPrepare(Query* query, std::string_view statement) {
  if (!query) return Fail<CompiledQuery>(kQueryError);
  SelectStatement st;
  if (int rc = ParseSelect(statement, &st); rc != kOk) return Fail<CompiledQuery>(rc);
  auto cq = std::make_unique<CompiledQuery>();
  cq->query = query;
  if (int rc = CompileConditions(st.where, cq.get()); rc != kOk) return Fail<CompiledQuery>(rc);
  if (int rc = CompileOrder(st.order, cq.get()); rc != kOk) return Fail<CompiledQuery>(rc);
  PlanGroups(cq.get());
  Engine().last_result = kOk;
  return cq.release();
}

void QueryClose(Query* query) {
  if (!query) return;
  EngineState& e = Engine();
  if (e.active_query && e.active_query->query == query) e.active_query = nullptr;
  for (QueryTable& t : query->tables) CloseTable(t.schema);
  delete query;
}

void QueryFree(CompiledQuery* compiled) {
  if (Engine().active_query == compiled) Engine().active_query = nullptr;
  delete compiled;
}

int QueryRowSize(const Query* query) { return query ? query->row_size : 0; }

const std::vector<ResultColumn>& QueryColumns(const Query* query) { return query->columns; }

int QueryTableCount(const Query* query) { return query ? static_cast<int>(query->tables.size()) : 0; }

const uint8_t* QueryRecord(const Query* query, int table) { return query->tables[table].record.data(); }

int32_t QueryRecordNumber(const Query* query, int table) { return query->tables[table].number; }

}  // namespace dbengine
