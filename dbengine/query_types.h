// The inside of opened and compiled select statements (engine-internal).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dbengine/query.h"
#include "dbengine/schema.h"
#include "dbengine/select_parser.h"

namespace dbengine {

struct QueryTable {
  std::string name;  // as written in the from list
  DbSchema* schema = nullptr;
  std::vector<uint8_t> record;  // the record of the current row
  int32_t number = -1;
};

struct Query {
  std::vector<QueryTable> tables;
  std::vector<ResultColumn> columns;
  int row_size = 0;
};

enum Operator { kEqual, kLess, kGreater, kLessEqual, kGreaterEqual, kNotEqual, kMatches };

struct ColumnRef {
  int table = -1;
  int column = -1;
};

struct Condition {
  Operator op = kEqual;
  ColumnRef left;
  bool right_is_column = false;
  ColumnRef right;
  std::string value;   // without its quotes
  int connector = -1;  // 0 "and", 1 "or", -1 none
};

// How one level of a group's nested loop reads its table.
struct LevelPlan {
  enum Access {
    kScan,        // record by record in record-number order
    kIndexEqual,  // index entries whose key begins with the value's key part
    kIndexRange,  // a "char" column's index from the greatest lower bound to the least upper bound
    kIndexAll,    // index from the first key to the last
  };
  int table = 0;
  Access access = kScan;
  int index = -1;
  int driving = -1;          // condition driving an index walk
  std::vector<int> lower;    // for kIndexRange: conditions >, >= on the walked column
  std::vector<int> upper;    // for kIndexRange: conditions <, <= on the walked column
  std::vector<int> tests;    // conditions decided at this level
};

struct GroupPlan {
  std::vector<LevelPlan> levels;  // outermost first
};

struct OrderKey {
  int column = 0;  // in the query's selected columns
  bool descending = false;
};

struct QueryRun;

struct CompiledQuery {
  Query* query = nullptr;
  std::vector<Condition> conditions;
  std::vector<GroupPlan> groups;
  std::vector<OrderKey> order;
  std::unique_ptr<QueryRun> run;
  CompiledQuery();
  ~CompiledQuery();
};

// Builds the plans of the groups (query_plan.cpp).
void PlanGroups(CompiledQuery* q);

// Whether a condition holds for the records in the tables' buffers: kOk with *holds, or the regular
// expression's failure (kInvalid, kRegexLimit).
int EvaluateCondition(const Query& q, const Condition& c, bool* holds);

// Starts and steps the run of a compiled query (query_run.cpp).
int StartRun(CompiledQuery* q);
int NextRow(CompiledQuery* q, uint8_t* row);

}  // namespace dbengine
