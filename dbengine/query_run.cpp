// Running a compiled select: the nested loop of each group, index walks and scans, and the merge of
// several groups by record numbers.
#include <algorithm>
#include <cstring>
#include <string>

#include "dbengine/btree.h"
#include "dbengine/engine_state.h"
#include "dbengine/query_types.h"
#include "dbengine/table.h"
#include "dbengine/table_internal.h"

namespace dbengine {
namespace {

// The combinations of one group, one at a time, in its nested loop's order.
class GroupCursor {
 public:
  GroupCursor(CompiledQuery* cq, const GroupPlan* plan)
      : q_(*cq->query), cq_(*cq), plan_(*plan), state_(plan->levels.size()) {}

  // kOk with the tables' buffers holding the next combination, kNotFound at the end, or a failure.
  int Next() {
    int last = static_cast<int>(plan_.levels.size()) - 1;
    int level = last;
    if (!started_) {
      started_ = true;
      level = 0;
      Reset(0);
    }
    while (level >= 0) {
      int rc = Advance(level);
      if (rc == kNotFound) {
        --level;
        continue;
      }
      if (rc != kOk) return rc;
      if (level == last) return kOk;
      Reset(++level);
    }
    return kNotFound;
  }

 private:
  struct LevelState {
    bool positioned = false;
    bool exhausted = false;
    int32_t next = 0;    // scan position
    std::string prefix;  // the value's key part for an index walk
  };

  void Reset(int level) { state_[level] = LevelState{}; }

  IndexFile* Walked(const LevelPlan& lp) {
    return &q_.tables[lp.table].schema->table->indexes[lp.index].file;
  }

  // The key part of a condition's value: its bytes up to a NUL, at most the column's width.
  std::string_view KeyPart(const Condition& c, int width) const {
    std::string_view v = c.value;
    return v.substr(0, std::min({v.find('\0'), v.size(), static_cast<size_t>(width)}));
  }

  // Where an index walk starts: the value's key part for "=", the greatest lower bound of a range.
  int Position(const LevelPlan& lp, LevelState& st) {
    st.positioned = true;
    IndexFile* ix = Walked(lp);
    int width = WalkedWidth(lp);
    if (lp.access == LevelPlan::kIndexEqual) {
      st.prefix.assign(KeyPart(cq_.conditions[lp.driving], width));
    } else if (lp.access == LevelPlan::kIndexRange) {
      for (int i : lp.lower) st.prefix = std::max(st.prefix, std::string(KeyPart(cq_.conditions[i], width)));
    }
    if (st.prefix.empty()) {
      CursorFirst(ix);
      return kOk;
    }
    return CursorBefore(ix, reinterpret_cast<const uint8_t*>(st.prefix.data()), static_cast<int>(st.prefix.size()));
  }

  int WalkedWidth(const LevelPlan& lp) const {
    return q_.tables[lp.table].schema->columns[cq_.conditions[lp.driving].left.column].width;
  }

  // Whether a range walk has passed its least upper bound: the walked column, decoded from the key (up
  // to its padding), no longer satisfies one of the "<" / "<=" conditions, nor will any later key.
  bool PastUpperBound(const LevelPlan& lp, const IndexEntry& e) const {
    if (lp.upper.empty()) return false;
    int n = std::min(e.key_length, WalkedWidth(lp));
    const void* pad = std::memchr(e.key, 0x01, static_cast<size_t>(n));
    if (pad) n = static_cast<int>(static_cast<const uint8_t*>(pad) - e.key);
    std::string_view column(reinterpret_cast<const char*>(e.key), static_cast<size_t>(n));
    for (int i : lp.upper) {
      const Condition& c = cq_.conditions[i];
      int r = column.compare(c.value);
      if (c.op == kLess ? r >= 0 : r > 0) return true;
    }
    return false;
  }

  // The next record of a level's table into its buffer: kOk, kNotFound, or a failure.
  int Candidate(int level) {
    const LevelPlan& lp = plan_.levels[level];
    LevelState& st = state_[level];
    QueryTable& t = q_.tables[lp.table];
    if (st.exhausted) return kNotFound;
    if (lp.access == LevelPlan::kScan) {
      int rc = ScanRecord(t.schema->table, st.next, t.record.data(), &t.number);
      if (rc == kOk) st.next = t.number + 1;
      return rc;
    }
    if (!st.positioned) {
      if (int rc = Position(lp, st); rc != kOk) return rc;
    }
    IndexFile* ix = Walked(lp);
    int width = WalkedWidth(lp);
    while (true) {
      IndexEntry e;
      if (int rc = CursorNext(ix, &e); rc != kOk) return rc;
      if (lp.access == LevelPlan::kIndexRange && PastUpperBound(lp, e)) {
        st.exhausted = true;
        return kNotFound;
      }
      if (lp.access == LevelPlan::kIndexEqual) {
        size_t n = st.prefix.size();
        if (static_cast<size_t>(e.key_length) < n || std::memcmp(e.key, st.prefix.data(), n) != 0) {
          st.exhausted = true;
          return kNotFound;
        }
        // A longer value in the column: the next key byte is neither the end nor padding.
        if (static_cast<int>(n) < width && static_cast<size_t>(e.key_length) > n && e.key[n] != 0x01) continue;
      }
      int rc = ReadRecord(t.schema->table, e.record, t.record.data());
      if (rc == kNotFound) continue;  // an entry for a free slot; the table check reports it
      if (rc != kOk) return rc;
      t.number = e.record;
      return kOk;
    }
  }

  // The next candidate of a level that passes the level's conditions.
  int Advance(int level) {
    const LevelPlan& lp = plan_.levels[level];
    while (true) {
      if (int rc = Candidate(level); rc != kOk) return rc;
      bool all = true;
      for (int i : lp.tests) {
        bool holds;
        if (int rc = EvaluateCondition(q_, cq_.conditions[i], &holds); rc != kOk) return rc;
        if (!holds) {
          all = false;
          break;
        }
      }
      if (all) return kOk;
    }
  }

  Query& q_;
  const CompiledQuery& cq_;
  const GroupPlan& plan_;
  std::vector<LevelState> state_;
  bool started_ = false;
};

void BuildRow(const Query& q, uint8_t* row) {
  for (const ResultColumn& c : q.columns) {
    const QueryTable& t = q.tables[c.table];
    std::memcpy(row + c.offset, t.record.data() + t.schema->columns[c.column].offset, static_cast<size_t>(c.width));
  }
}

}  // namespace

struct QueryRun {
  std::unique_ptr<GroupCursor> single;
  // Several groups: their combinations, as record numbers per table, in ascending order, each once.
  std::vector<int32_t> combinations;
  size_t next = 0;
};

CompiledQuery::CompiledQuery() = default;
CompiledQuery::~CompiledQuery() = default;

int StartRun(CompiledQuery* cq) {
  cq->run = std::make_unique<QueryRun>();
  if (cq->groups.size() == 1) {
    cq->run->single = std::make_unique<GroupCursor>(cq, &cq->groups[0]);
    return kOk;
  }
  Query& q = *cq->query;
  size_t width = q.tables.size();
  std::vector<int32_t>& all = cq->run->combinations;
  for (const GroupPlan& plan : cq->groups) {
    GroupCursor g(cq, &plan);
    int rc;
    while ((rc = g.Next()) == kOk) {
      for (const QueryTable& t : q.tables) all.push_back(t.number);
    }
    if (rc != kNotFound) return rc;
  }
  // Sort the combinations (first table most significant) and drop repeats.
  size_t count = all.size() / width;
  std::vector<size_t> order(count);
  for (size_t i = 0; i < count; ++i) order[i] = i;
  auto at = [&](size_t i) { return all.begin() + static_cast<long>(i * width); };
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return std::lexicographical_compare(at(a), at(a) + static_cast<long>(width), at(b), at(b) + static_cast<long>(width));
  });
  std::vector<int32_t> merged;
  for (size_t k = 0; k < count; ++k) {
    if (k > 0 && std::equal(at(order[k]), at(order[k]) + static_cast<long>(width), at(order[k - 1]))) continue;
    merged.insert(merged.end(), at(order[k]), at(order[k]) + static_cast<long>(width));
  }
  all = std::move(merged);
  return kOk;
}

int NextRow(CompiledQuery* cq, uint8_t* row) {
  QueryRun& run = *cq->run;
  Query& q = *cq->query;
  if (run.single) {
    if (int rc = run.single->Next(); rc != kOk) return rc;
  } else {
    if (run.next >= run.combinations.size()) return kNotFound;
    for (QueryTable& t : q.tables) {
      t.number = run.combinations[run.next++];
      if (int rc = ReadRecord(t.schema->table, t.number, t.record.data()); rc != kOk) return rc;
    }
  }
  BuildRow(q, row);
  return kOk;
}

int QueryFirst(CompiledQuery* compiled, uint8_t* row) {
  EngineState& e = Engine();
  e.active_query = nullptr;
  if (!compiled) return e.last_result = kQueryError;
  if (int rc = StartRun(compiled); rc != kOk) return e.last_result = rc;
  e.active_query = compiled;
  return e.last_result = NextRow(compiled, row);
}

int QueryNext(uint8_t* row) {
  EngineState& e = Engine();
  if (!e.active_query) return e.last_result = kQueryError;
  return e.last_result = NextRow(e.active_query, row);
}

}  // namespace dbengine
