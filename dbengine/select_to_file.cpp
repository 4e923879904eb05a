// The sorted run of a select: collect every row, sort by the order-by list, write the rows to a file.
#include "dbengine/engine_state.h"
#include "dbengine/query_types.h"
#include "dbengine/result_store.h"
#include "dbengine/row_sort.h"
#include "dbengine/table.h"

namespace dbengine {
namespace {

std::nullopt_t Fail(int code) {
  Engine().last_result = code;
  return std::nullopt;
}

// Collects the rows; a raised stop flag ends collection with the rows so far.
int Collect(CompiledQuery* cq, ResultStore& store, bool* stopped) {
  std::vector<uint8_t> row(static_cast<size_t>(cq->query->row_size));
  std::atomic<bool>& stop = Engine().stop_requested;
  int rc = QueryFirst(cq, row.data());
  for (; rc == kOk; rc = QueryNext(row.data())) {
    if (int r = store.Append(row.data()); r != kOk) return r;
    if (stop.load()) {
      stop.store(false);
      *stopped = true;
      return kOk;
    }
  }
  return rc == kNotFound ? kOk : rc;
}

int WriteRows(ResultStore& store, const std::vector<uint32_t>* order, int64_t count, std::FILE* out) {
  std::vector<uint8_t> row(static_cast<size_t>(store.RowSize()));
  for (int64_t i = 0; i < count; ++i) {
    int64_t n = order ? (*order)[static_cast<size_t>(i)] : i;
    if (int rc = store.Read(n, row.data()); rc != kOk) return rc;
    if (std::fwrite(row.data(), 1, row.size(), out) != row.size()) return kSchemaIo;
  }
  return std::fflush(out) == 0 ? kOk : kSchemaIo;
}

int Run(Query* q, CompiledQuery* cq, std::FILE* out, ResultDescription* d) {
  std::vector<SortKey> keys;
  for (const OrderKey& k : cq->order) {
    const ResultColumn& c = q->columns[k.column];
    keys.push_back({c.offset, c.width, c.type == kChar, k.descending});
  }
  ResultStore store(q->row_size);
  int rc = Collect(cq, store, &d->stopped);
  QueryFree(cq);  // the plans are done with; the tables stay open until the rows are out
  if (rc != kOk) return rc;
  std::vector<uint32_t> order;
  bool sorted = !keys.empty() && store.Rows() >= 2;
  int64_t count = store.Rows();
  if (sorted) {
    bool cut = false;
    if (rc = SortRows(store, keys, Engine().stop_requested, &order, &cut); rc != kOk) return rc;
    d->stopped = d->stopped || cut;
    count = static_cast<int64_t>(order.size());
  }
  if (rc = WriteRows(store, sorted ? &order : nullptr, count, out); rc != kOk) return rc;
  d->rows = count;
  d->row_size = q->row_size;
  d->columns = q->columns;
  return kOk;
}

}  // namespace

void SetQueryStop(bool raised) { Engine().stop_requested.store(raised); }

std::optional<ResultDescription> SelectToFile(std::string_view statement, std::FILE* out, std::string_view directory) {
  if (!out) return Fail(kInvalid);
  Query* q = QueryOpen(statement, directory);
  if (!q) return Fail(LastResult());
  CompiledQuery* cq = QueryPrepare(q, statement);
  if (!cq) {
    int rc = LastResult();
    QueryClose(q);
    return Fail(rc);
  }
  ResultDescription d;
  int rc = Run(q, cq, out, &d);
  QueryClose(q);
  if (rc != kOk) return Fail(rc);
  Engine().last_result = kOk;
  return d;
}

}  // namespace dbengine
