// Searching the game and tsume databases: the condition runs as a select over the header table, as a
// cursor whose rows are tested against the position condition, or, with "order by", as a sorted run into
// a temporary file (the position condition does not apply then).
#include <cstdio>
#include <memory>
#include <unordered_map>

#include "dbengine/query.h"
#include "platform/files.h"
#include "shogidb/header_rows.h"
#include "shogidb/item_database.h"
#include "shogidb/position_match.h"
#include "shogidb/search_condition.h"

using namespace rules;

namespace shogidb {
namespace {

bool IsConditionError(int code) {
  return code == dbengine::kQueryError || code == dbengine::kInvalid || code == dbengine::kRegexLimit;
}

// The start positions met so far, by id (most games share a few).
class StartPositions {
 public:
  explicit StartPositions(PositionTable& table) : table_(table) {}
  const BoardForm* Get(int32_t id) {
    auto it = cache_.find(id);
    if (it != cache_.end()) return it->second.IsValid() ? &it->second : nullptr;
    BoardForm form;
    if (table_.ReadPosition(id, form) != dbengine::kOk) form.data()[0] = 0xFF;  // remembered as unusable
    return Get(cache_.emplace(id, form).first->first);
  }

 private:
  PositionTable& table_;
  std::unordered_map<int32_t, BoardForm> cache_;
};

}  // namespace

int ItemDatabase::Search(std::string_view condition, const PositionSpec& spec, std::vector<ListEntry>& out) {
  out.clear();
  const std::string stripped = StripConditionComments(condition);
  const bool sorted = HasOrderBy(stripped);
  if (sorted && spec.mode != PositionSpec::kNone) job_.Show("'order by' 指定があると「局面指定」は無効です");
  return SearchRows(SelectStatement(Table(header_table_.id()).name, stripped), sorted, spec, out);
}

int ItemDatabase::SearchRows(const std::string& statement, bool sorted, const PositionSpec& spec,
                     std::vector<ListEntry>& out) {
  const int record_length = header_table_.record_length();
  const int number_at = number_offset();
  auto add = [&](const uint8_t* row, int ply) {
    const std::string number = RowNumber(row, number_at);
    // A registration that did not finish, or a damaged number the check reports, is no item.
    const long value = number.size() == 6 && number != kUnfinishedNumber ? DecimalValue(number) : -1;
    if (value < 0) return;
    ListEntry e;
    e.number = static_cast<int32_t>(value);
    e.line = ListLine(row);
    e.ply = ply;
    e.row.assign(row, row + record_length);
    out.push_back(std::move(e));
  };
  header_table_.Close();  // the select opens the header table itself

  if (sorted) {
    std::unique_ptr<std::FILE, platform::FileCloser> file(std::tmpfile());
    if (!file) {
      job_.Show("テンポラリファイルのオープンに失敗しました。");
      return dbengine::kSchemaOpen;
    }
    std::optional<dbengine::ResultDescription> result = dbengine::SelectToFile(statement, file.get(), database());
    if (!result) {
      const int rc = dbengine::LastResult();
      job_.Show(IsConditionError(rc) ? std::string("検索条件が間違っています")
                                     : "データベースのオープンに失敗しました\r\n(" + statement + ")");
      return rc;
    }
    std::rewind(file.get());
    std::vector<uint8_t> row(static_cast<size_t>(result->row_size));
    for (int64_t i = 0; i < result->rows; ++i) {
      if (result->row_size != record_length || std::fread(row.data(), 1, row.size(), file.get()) != row.size()) {
        job_.Show("テンポラリファイルの読み出しに失敗しました。");
        return dbengine::kSchemaIo;
      }
      add(row.data(), -1);
    }
    return dbengine::kOk;
  }

  dbengine::Query* query = dbengine::QueryOpen(statement, database());
  if (!query) {
    const int rc = dbengine::LastResult();
    job_.Show(IsConditionError(rc) ? std::string("検索条件が間違っています")
                                   : "データベースのオープンに失敗しました\r\n(" + statement + ")");
    return rc;
  }
  std::unique_ptr<dbengine::Query, void (*)(dbengine::Query*)> query_closer(query, dbengine::QueryClose);
  dbengine::CompiledQuery* compiled = dbengine::QueryPrepare(query, statement);
  if (!compiled) {
    const int rc = dbengine::LastResult();
    job_.Show("検索条件が間違っています");
    return rc;
  }
  std::unique_ptr<dbengine::CompiledQuery, void (*)(dbengine::CompiledQuery*)> compiled_closer(compiled,
                                                                                              dbengine::QueryFree);
  OpenTables open;
  const bool with_position = spec.mode != PositionSpec::kNone;
  if (with_position) {
    if (int rc = open.Add(*this); rc != dbengine::kOk) return rc;
    if (int rc = open.Add(moves_); rc != dbengine::kOk) return rc;
  }
  PositionMatcher matcher(spec);
  StartPositions starts(*this);
  std::vector<uint8_t> buffer(static_cast<size_t>(dbengine::QueryRowSize(query)));
  std::vector<BoardMove> moves;
  int rc = dbengine::QueryFirst(compiled, buffer.data());
  for (; rc == dbengine::kOk; rc = dbengine::QueryNext(buffer.data())) {
    if (job_.Stopped()) return dbengine::kOk;
    const uint8_t* row = dbengine::QueryRecord(query, 0);
    if (!with_position) {
      add(row, -1);
      continue;
    }
    const int32_t number = dbengine::QueryRecordNumber(query, 0);
    const BoardForm* start = starts.Get(RowPosition(row));
    if (!start) {
      job_.Show("データベース(SHGDB_A)の読み出しに失敗しました");
      continue;
    }
    if (moves_.ReadMoves(owner_kind_, number, moves) != dbengine::kOk) continue;
    const int ply = matcher.Match(*start, side_of(row, moves), moves);
    if (ply >= 0) add(row, ply);
  }
  if (rc != dbengine::kNotFound) {
    job_.Show(IsConditionError(rc) ? std::string("検索条件が間違っています")
                                   : "データベースのオープンに失敗しました\r\n(" + statement + ")");
    return rc;
  }
  return dbengine::kOk;
}

}  // namespace shogidb
