#include "shogidb/search_condition.h"

#include "platform/files.h"
#include "platform/text_codec.h"
#include "shogidb/schema.h"

namespace shogidb {

std::string StripConditionComments(std::string_view text) {
  std::string out;
  bool quoted = false, comment = false;
  for (char c : text) {
    if (c == '\n' || c == '\r') {
      comment = false;
      quoted = false;
      out += ' ';
      continue;
    }
    if (comment) continue;
    if (c == '"') quoted = !quoted;
    if (c == '#' && !quoted) {
      comment = true;
      continue;
    }
    out += c == '\t' ? ' ' : c;
  }
  size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  size_t last = out.find_last_not_of(' ');
  return out.substr(first, last - first + 1);
}

namespace {

size_t FindOrderBy(std::string_view text) {
  size_t at = text.find("order by");
  const size_t upper = text.find("ORDER BY");
  if (upper < at) at = upper;
  return at;
}

}  // namespace

bool HasOrderBy(std::string_view stripped) { return FindOrderBy(stripped) != std::string_view::npos; }

std::string SelectStatement(std::string_view table, std::string_view stripped) {
  std::string statement = "select * from " + std::string(table);
  if (stripped.empty()) return statement;
  if (FindOrderBy(stripped) == 0) return statement + " " + std::string(stripped);
  return statement + " where " + std::string(stripped);
}

std::string DefaultGameCondition() {
  return "#検索条件\r\n"
         "#先頭の'#'はコメント扱い\r\n"
         "#対局者 matches \"羽生\" and\r\n"
         "#対局者 matches \"谷川\" and\r\n"
         "#戦型 matches \"矢倉\" and\r\n"
         "#order by 対局日\r\n";
}

std::string DefaultProblemCondition() {
  return "#検索条件\r\n"
         "#先頭の'#'はコメント扱い\r\n"
         "#表題 matches \"詰将棋\" and\r\n"
         "#詰手数 = \"0007\" and\r\n"
         "#order by 登録日時 desc\r\n";
}

std::string LastConditionPath(std::string_view directory, bool problems) {
  return NormalizeDirectory(directory) + (problems ? "前回検索.dj2" : "前回検索.dj1");
}

std::string LoadLastCondition(std::string_view directory, bool problems) {
  std::string bytes;
  if (!platform::ReadWholeFile(LastConditionPath(directory, problems), bytes)) {
    return problems ? DefaultProblemCondition() : DefaultGameCondition();
  }
  return platform::InputTextToCp932(bytes);
}

bool SaveLastCondition(std::string_view directory, bool problems, std::string_view text) {
  return platform::WriteWholeFile(LastConditionPath(directory, problems), text);
}

}  // namespace shogidb
