// The query language: create statements, and select statements run as a cursor or as a sorted run into
// a file.
//
//   create table NAME ( COL TYPE ( WIDTH ) { , COL TYPE ( WIDTH ) } )
//       TYPE is char, time, date or bin; time and date are always 6 bytes wide. Writes NAME.scm and
//       creates the empty table files.
//   create [unique] index N on NAME ( COL { , COL } )
//       N must be the table's index count (indexes are added in order, 0..9); at most 10 columns, no
//       "bin" column, widths under 100 in all. Builds the index from the records and rewrites NAME.scm.
//   select COLS from TABLES [where CONDITIONS] [order by COL [desc] { , COL [desc] }]
//       COLS: "*" (every column of every table, tables in list order) or column names; a column is
//       "table.column" or a bare name, bound to the first table listed that has it.
//       CONDITIONS: COL OP VALUE { and|or COL OP VALUE }, OP one of = < > <= >= != matches. VALUE is a
//       double-quoted string (no quote inside), or, when COL is a "char" column, an unquoted column name.
//       "and" binds tighter than "or"; there are no parentheses; a trailing "and"/"or" is ignored.
//       "char" columns compare as text up to their first NUL; other columns compare over their full width
//       with the value's bytes (NUL beyond its end). "matches" searches the column's text for a regular
//       expression (regex.h).
//       Keywords are whole words in lower or upper case ("desc" in lower case only), outside quotes.
//
// Table names in statements are bare names resolved in `directory` when one is given (a name containing
// "/" is a path and used as it is). Tables read by a query must not be open through another handle with
// unsaved changes being made meanwhile; OpenTable writes back another handle's cached changes first.
//
// Result codes. Create statements: 4 syntax (unknown keyword or type, missing parenthesis, empty,
// over-long (40 bytes or more) or repeated column name, width below 1, index number above 9),
// 201/202 schema file not opened/read/written, 203 table files not created or index number not the next,
// 204 more than 10 index columns, 205 "bin" column in an index, 206 no such column, 207 table cannot be
// opened, 208 index file not created, 209 key widths 100 or more, 210/211 schema not rewritten, 11 a
// duplicate key in a new unique index, 100 a key too long. Select: 99 syntax, unknown table column,
// bad connector, unquoted value for a non-"char" column, over-long list (100 items), an order-by column
// not selected, no active query; 4 a bad regular expression; 98 a regular expression over its work
// limit; 201/202 the sorted run's temporary file not created/read/written, 202 a short write of the
// result; the codes of OpenTable and of the index reads.
#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbengine/result_codes.h"

namespace dbengine {

enum class StatementKind { kCreateTable, kCreateIndex, kSelect, kUnknown };
// What a statement is, from its first words (for tools that take any statement).
StatementKind ClassifyStatement(std::string_view statement);

int CreateTable(std::string_view statement, std::string_view directory = {});
int CreateIndex(std::string_view statement, std::string_view directory = {});

struct DbSchema;
// The schema a "create table" statement and then its "create index" statements (numbered 0, 1, ... in
// order, on the same table) give, exactly as those statements would write it; nothing is read or
// written. kOk, or the code the statements would give (4 also for an index on another table). For
// restoring a damaged schema file (RebuildTable in check.h).
int SchemaFromStatements(std::string_view create_table, const std::vector<std::string>& create_indexes,
                         DbSchema* out);

struct Query;          // an opened select: its tables, selected columns and row layout
struct CompiledQuery;  // its conditions, plans and order keys

struct ResultColumn {
  std::string name;  // column name as in the schema
  int16_t type = 0;
  int16_t width = 0;
  int table = 0;     // position in the from list
  int column = 0;    // column number in that table
  int offset = 0;    // in the result row
};

// Parses a select statement, opens its tables and resolves the selected columns. Null on failure, with
// the code in LastResult(). Release with QueryClose.
Query* QueryOpen(std::string_view statement, std::string_view directory = {});
// Compiles the where clause and the order-by list of `statement` (normally the one given to QueryOpen)
// against the query's tables. Null on failure (code in LastResult()). Release with QueryFree, before
// QueryClose of its query.
CompiledQuery* QueryPrepare(Query* query, std::string_view statement);
// Starts the query (it becomes the engine's active query) and gives the first row: kOk with the row in
// `row` (QueryRowSize bytes) and every from table's record in its buffer (QueryRecord); kNotFound when
// there is none; or a failure. Rows are not sorted: a table read through an index (a condition on the
// first column of one of its indexes) comes in key order, others in record-number order, the tables of a
// join nested in that order of preference; with several "or" groups, the combinations come in ascending
// record numbers (first table most significant), each once. Use SelectToFile for "order by".
int QueryFirst(CompiledQuery* compiled, uint8_t* row);
// The next row of the active query: kOk, kNotFound at the end, kQueryError without an active query.
int QueryNext(uint8_t* row);
void QueryClose(Query* query);
void QueryFree(CompiledQuery* compiled);

int QueryRowSize(const Query* query);
const std::vector<ResultColumn>& QueryColumns(const Query* query);
int QueryTableCount(const Query* query);
// The record of a from table behind the current row, and its record number.
const uint8_t* QueryRecord(const Query* query, int table);
int32_t QueryRecordNumber(const Query* query, int table);

struct ResultDescription {
  int64_t rows = 0;
  int row_size = 0;
  std::vector<ResultColumn> columns;
  bool stopped = false;  // cut short by SetQueryStop
};

// Runs a whole select, sorts the rows by the order-by list (stable: rows with equal keys keep the order in
// which they were found) and writes them, row after row with no separator, to `out`. Nothing on failure,
// with the code in LastResult(). Rows beyond about 1 MB are kept in a temporary file in the directory
// named by TMP (else the current one), deleted when the run ends.
std::optional<ResultDescription> SelectToFile(std::string_view statement, std::FILE* out,
                                              std::string_view directory = {});

// Raised (from any thread) to cut a running SelectToFile short: while rows are collected, collection ends
// with the rows so far; while they are sorted, the result is the rows already placed in order. The run
// lowers the flag when it has taken notice.
void SetQueryStop(bool raised);

}  // namespace dbengine
