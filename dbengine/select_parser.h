// Parsing a select statement into its clauses.
//
// The clauses are found by their keywords "select", "from", "where", "order", "by" (or in upper case):
// whole words outside double-quoted values, "by" only after "order". A clause runs to the next keyword.
// A missing clause is absent; a select list that is empty or "*" means every column.
// Lists (select, from, order by): items separated by commas (blanks around them allowed); an item runs up
// to a blank or a comma; in the order-by list an item may be followed by "desc". Anything else between
// items, an empty item, or 100 items make the statement malformed.
// The where clause is cut into tokens in cycles of four: a column name (up to a blank or one of =<>!),
// an operator (a run of =<>! characters, else a word such as "matches"), a value (a word, or a
// double-quoted run with its quotes), a connector (a word). It must end after a value or a connector;
// at most 100 tokens. Every scan steps over Shift-JIS characters whole.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace dbengine {

constexpr int kMaxListItems = 100;

struct OrderItem {
  std::string column;
  bool descending = false;
};

struct SelectStatement {
  std::vector<std::string> tables;
  std::vector<std::string> columns;  // empty: all columns
  std::vector<std::string> where;    // condition tokens
  std::vector<OrderItem> order;
};

// kOk, or kQueryError for a malformed statement.
int ParseSelect(std::string_view statement, SelectStatement* out);

}  // namespace dbengine
