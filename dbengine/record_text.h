// Records and result rows as lines of text, for tools that load and show tables: columns separated by
// tabs, in schema (or select-list) order; a "char" column as its text up to its first NUL, with tab,
// newline, carriage return and backslash written \t \n \r \\; any other column as its full width in
// lower-case hexadecimal. Text is CP932, like everything in the core.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbengine/query.h"
#include "dbengine/schema.h"

namespace dbengine {

std::string FormatRecord(const DbSchema& schema, const uint8_t* record);
std::string FormatRow(const std::vector<ResultColumn>& columns, const uint8_t* row);

// Fills a record from a line (the columns of `schema`, all of them). kOk, or kInvalid with *problem in
// English: wrong number of columns, a text longer than its column, a hexadecimal value that is not one or
// is longer than its column (shorter ones are padded with zero bytes), a bad escape.
int ParseRecord(const DbSchema& schema, std::string_view line, uint8_t* record, std::string* problem);

}  // namespace dbengine
