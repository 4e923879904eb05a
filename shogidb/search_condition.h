// The search condition text the user types: free text in which "#" starts a comment that runs to the end
// of the line (outside double quotes). Without its comments it is empty, or begins with "order by", or is
// a where clause, optionally followed by "order by" ("order by" or "ORDER BY" anywhere in it).
#pragma once
#include <string>
#include <string_view>

namespace shogidb {

// The text without comments, line ends and leading blanks.
std::string StripConditionComments(std::string_view text);
bool HasOrderBy(std::string_view stripped);
// "select * from TABLE", "select * from TABLE where CONDITION", or "select * from TABLE ORDER-BY-TEXT".
std::string SelectStatement(std::string_view table, std::string_view stripped);

// The texts offered before the first search: comment lines only.
std::string DefaultGameCondition();
std::string DefaultProblemCondition();

// The last search, kept in the database directory as "前回検索.dj1" (games) or "前回検索.dj2" (problems).
std::string LastConditionPath(std::string_view directory, bool problems);
// The last condition, or the default text when there is none.
std::string LoadLastCondition(std::string_view directory, bool problems);
bool SaveLastCondition(std::string_view directory, bool problems, std::string_view text);

}  // namespace shogidb
