// Any bytes as CSA text registered into the game database and as PCL text registered into the tsume
// database (as new, or in place of the numbers the texts name): registration stops with a message or
// stores what it read, every item listed exports and loads, the database passes its check, and deleting
// every item leaves it clean and empty.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_shogidb_support.h"
#include "record/plain_board.h"
#include "record/record_document.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"

using namespace record;

namespace {

template <typename Db, typename Doc>
void ExerciseItems(Db& db, const uint8_t* data, size_t size) {
  std::vector<shogidb::ListEntry> all;
  if (db.Search("", {}, all) != 0) fuzz_shogidb::Fail(data, size, "search of everything failed");
  for (const shogidb::ListEntry& e : all) {
    std::string text;
    if (db.ExportItem(e.number, text) != 0) fuzz_shogidb::Fail(data, size, "a listed item does not export");
    PlainBoard board;
    Doc doc(board);
    int rc;
    if constexpr (std::is_same_v<Doc, GameDocument>) {
      rc = db.LoadGame(e.number, doc);
    } else {
      rc = db.LoadProblem(e.number, doc);
    }
    if (rc != 0) fuzz_shogidb::Fail(data, size, "a listed item does not load");
    if (!board.CheckConsistency().empty()) fuzz_shogidb::Fail(data, size, "a loaded item breaks the board");
  }
  for (const shogidb::ListEntry& e : all) {
    if (db.DeleteItem(e.number) != 0) fuzz_shogidb::Fail(data, size, "a listed item cannot be deleted");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 20000) return 0;
  fuzz_shogidb::Scratch& room = fuzz_shogidb::KeptRoom("shogidb_register", false);
  room.Restore();
  room.Remember(data, size);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const bool force_new = size % 2 == 1;
  shogidb::GameDatabase games;
  games.SetDatabase(room.db());
  games.RegisterFromCsa(text, force_new);
  shogidb::ProblemDatabase problems;
  problems.SetDatabase(room.db());
  problems.RegisterFromCsa(text, force_new);
  fuzz_shogidb::ExpectClean(room.db(), data, size, "after registration");
  fuzz_shogidb::ExpectSoundPositions(room.db(), data, size);
  ExerciseItems<shogidb::GameDatabase, GameDocument>(games, data, size);
  ExerciseItems<shogidb::ProblemDatabase, ProblemDocument>(problems, data, size);
  fuzz_shogidb::ExpectClean(room.db(), data, size, "after deleting everything");
  shogidb::DatabaseCheck check;
  shogidb::CheckDatabase(room.db(), &check);
  for (const std::string& note : check.notes) {
    if (note.find(": 0 records") == std::string::npos) fuzz_shogidb::Fail(data, size, "left behind: " + note);
  }
  return 0;
}
