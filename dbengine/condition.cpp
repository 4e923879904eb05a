// Evaluating one condition on the records of the current combination.
#include <cstring>

#include "dbengine/query_types.h"
#include "dbengine/regex.h"

namespace dbengine {
namespace {

std::string_view Text(const uint8_t* field, int width) {
  const char* p = reinterpret_cast<const char*>(field);
  return std::string_view(p, strnlen(p, static_cast<size_t>(width)));
}

// A "char" column compares as text up to its first NUL; other types over their full width with the
// value's bytes (NUL beyond its end).
int Compare(const ColumnDesc& c, const uint8_t* field, std::string_view value) {
  if (c.type == kChar) {
    std::string_view text = Text(field, c.width);
    size_t n = std::min(text.size(), value.size());
    int r = std::memcmp(text.data(), value.data(), n);
    if (r != 0) return r;
    return text.size() < value.size() ? -1 : (text.size() > value.size() ? 1 : 0);
  }
  for (int i = 0; i < c.width; ++i) {
    int b = static_cast<size_t>(i) < value.size() ? static_cast<unsigned char>(value[i]) : 0;
    if (field[i] != b) return field[i] < b ? -1 : 1;
  }
  return 0;
}

}  // namespace

int EvaluateCondition(const Query& q, const Condition& c, bool* holds) {
  const QueryTable& lt = q.tables[c.left.table];
  const ColumnDesc& left = lt.schema->columns[c.left.column];
  const uint8_t* field = lt.record.data() + left.offset;
  std::string_view value = c.value;
  if (c.right_is_column) {
    const QueryTable& rt = q.tables[c.right.table];
    const ColumnDesc& right = rt.schema->columns[c.right.column];
    value = Text(rt.record.data() + right.offset, right.width);
  }
  if (c.op == kMatches) return MatchExpression(value, Text(field, left.width), holds);
  int r = Compare(left, field, value);
  switch (c.op) {
    case kEqual: *holds = r == 0; break;
    case kLess: *holds = r < 0; break;
    case kGreater: *holds = r > 0; break;
    case kLessEqual: *holds = r <= 0; break;
    case kGreaterEqual: *holds = r >= 0; break;
    default: *holds = r != 0; break;
  }
  return kOk;
}

}  // namespace dbengine
