// Any bytes as the search condition text of the game and tsume databases (comments, "order by", the
// query language below): a search either lists rows or fails with a message, never lists an item that
// cannot be read back; the position condition, the duplicate search and the text helpers hold up too.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_shogidb_support.h"
#include "rules/board_form.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"
#include "shogidb/search_condition.h"

using namespace rules;

namespace {

void ExpectListed(shogidb::ItemDatabase& db, const std::vector<shogidb::ListEntry>& found, const uint8_t* data,
                  size_t size) {
  for (const shogidb::ListEntry& e : found) {
    shogidb::ListEntry again;
    if (db.ListEntryOf(e.number, again) != 0 || again.row != e.row) {
      fuzz_shogidb::Fail(data, size, "a listed item reads back differently");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4000) return 0;
  fuzz_shogidb::Scratch& room = fuzz_shogidb::KeptRoom("shogidb_search", true);
  room.Restore();
  room.Remember(data, size);
  const std::string_view condition(reinterpret_cast<const char*>(data), size);
  const std::string stripped = shogidb::StripConditionComments(condition);
  if (stripped.find_first_of("\r\n") != std::string::npos) fuzz_shogidb::Fail(data, size, "line ends kept");
  shogidb::SelectStatement("SHGDB_B", stripped);

  shogidb::GameDatabase games;
  games.SetDatabase(room.db());
  std::vector<shogidb::ListEntry> found;
  if (games.Search(condition, {}, found) == 0) ExpectListed(games, found, data, size);
  shogidb::PositionSpec spec;
  spec.mode = 1 + static_cast<int>(size % 2);
  spec.side = static_cast<Side>(size % 3);
  spec.reversed = size % 5 < 2;
  spec.target = BoardForm();
  spec.first_ply = 1 + static_cast<int>(size % 7);
  spec.ply_count = 6;
  if (games.Search(condition, spec, found) == 0) ExpectListed(games, found, data, size);
  std::vector<std::vector<shogidb::ListEntry>> groups;
  games.FindDuplicates(condition, size % 2 ? shogidb::GameDatabase::DuplicateMode::kMoves
                                           : shogidb::GameDatabase::DuplicateMode::kFinalPosition,
                       groups);

  shogidb::ProblemDatabase problems;
  problems.SetDatabase(room.db());
  if (problems.Search(condition, {}, found) == 0) ExpectListed(problems, found, data, size);
  fuzz_shogidb::ExpectClean(room.db(), data, size, "after searching");
  return 0;
}
