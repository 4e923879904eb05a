// Plans of the condition groups. Conditions are split into groups at every "or"; each group is a nested
// loop with one level per from table:
// - tables with a condition comparing the first column of one of their indexes with a value come first
//   and are read through that index, in key order (the group's first such condition, the lowest such
//   index):
//     "="            the entries whose key begins with the value's key part;
//     other          from the first key; for a "char" column the walk starts at the greatest of the
//                    group's lower bounds on that column (">", ">=") and ends where the column passes
//                    the least upper bound ("<", "<="), which is where a walk from the first key that
//                    stops at the first entry failing the condition would end. Other types are not in
//                    the byte order of their keys (a key ends at the first NUL), so every entry is seen.
//   and every condition of the level is then tested on the record;
// - then tables with other conditions against values, read in record-number order;
// - then the rest (only compared with other tables' columns, or not at all), in record-number order.
// Within each kind, tables keep their from-list order. A condition is tested at the level of the later
// of its tables.
#include <algorithm>

#include "dbengine/query_types.h"

namespace dbengine {
namespace {

// The lowest index whose first column is the given one, or -1.
int IndexOnFirstColumn(const DbSchema& s, int column) {
  for (size_t k = 0; k < s.indexes.size(); ++k) {
    if (s.indexes[k].columns[0] == column) return static_cast<int>(k);
  }
  return -1;
}

LevelPlan::Access AccessFor(Operator op, int16_t type) {
  if (op == kEqual) return LevelPlan::kIndexEqual;
  return type == kChar ? LevelPlan::kIndexRange : LevelPlan::kIndexAll;
}

// The group's bounds on the column a range walk reads.
void CollectBounds(const CompiledQuery& cq, const std::vector<int>& members, LevelPlan& lp) {
  const Condition& driving = cq.conditions[lp.driving];
  for (int i : members) {
    const Condition& c = cq.conditions[i];
    if (c.right_is_column || c.left.table != driving.left.table || c.left.column != driving.left.column) continue;
    if (c.op == kGreater || c.op == kGreaterEqual) lp.lower.push_back(i);
    if (c.op == kLess || c.op == kLessEqual) lp.upper.push_back(i);
  }
}

GroupPlan PlanGroup(const CompiledQuery& cq, const std::vector<int>& members) {
  const Query& q = *cq.query;
  int tables = static_cast<int>(q.tables.size());
  std::vector<LevelPlan> by_table(static_cast<size_t>(tables));
  std::vector<int> kind(static_cast<size_t>(tables), 2);
  for (int t = 0; t < tables; ++t) by_table[t].table = t;
  for (int i : members) {
    const Condition& c = cq.conditions[i];
    if (c.right_is_column) continue;
    int t = c.left.table;
    const DbSchema& s = *q.tables[t].schema;
    int index = IndexOnFirstColumn(s, c.left.column);
    if (index >= 0 && kind[t] != 0) {
      kind[t] = 0;
      by_table[t].index = index;
      by_table[t].driving = i;
      by_table[t].access = AccessFor(c.op, s.columns[c.left.column].type);
    } else if (kind[t] == 2) {
      kind[t] = 1;
    }
  }
  for (LevelPlan& lp : by_table) {
    if (lp.access == LevelPlan::kIndexRange) CollectBounds(cq, members, lp);
  }
  GroupPlan plan;
  for (int k = 0; k <= 2; ++k) {
    for (int t = 0; t < tables; ++t) {
      if (kind[t] == k) plan.levels.push_back(by_table[t]);
    }
  }
  std::vector<int> level_of(static_cast<size_t>(tables));
  for (size_t l = 0; l < plan.levels.size(); ++l) level_of[plan.levels[l].table] = static_cast<int>(l);
  for (int i : members) {
    const Condition& c = cq.conditions[i];
    int level = level_of[c.left.table];
    if (c.right_is_column) level = std::max(level, level_of[c.right.table]);
    plan.levels[level].tests.push_back(i);
  }
  return plan;
}

}  // namespace

void PlanGroups(CompiledQuery* cq) {
  std::vector<int> members;
  for (size_t i = 0; i < cq->conditions.size(); ++i) {
    members.push_back(static_cast<int>(i));
    bool last = i + 1 == cq->conditions.size();
    if (last || cq->conditions[i].connector == 1) {
      cq->groups.push_back(PlanGroup(*cq, members));
      members.clear();
    }
  }
  if (cq->groups.empty()) cq->groups.push_back(PlanGroup(*cq, {}));
}

}  // namespace dbengine
