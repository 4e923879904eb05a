// Any bytes as one file of a filled database (a table's schema, bitmap, data or index file, or a
// problem's move-space file), whole or written over part of it: listing, exporting and loading games and
// problems, searching with a position condition, the duplicate search and the joseki export give result
// codes and messages, never a crash; the check runs; the repair leaves a database whose check says what
// the repair said, which a second repair does not change, and which, when clean, takes a new game and
// stays clean.
//
// Input: byte 0 picks the file (table = b % 6, file = b / 6 % 5: schema, bitmap, data, index 0, the
// first move-space file); byte 1 even: the rest is the whole file; odd: bytes 2-3 (little-endian) are an
// offset where the rest is written over the file.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_shogidb_support.h"
#include "record/plain_board.h"
#include "record/record_document.h"
#include "rules/board_form.h"

using namespace rules;
using namespace record;

namespace {

// The relative path of the file an input picks.
std::string PickedFile(const fuzz_shogidb::Files& files, uint8_t pick) {
  static const char* const kSuffix[] = {".scm", ".bmp", ".dat", ".ix0"};
  const int table = pick % 6, kind = pick / 6 % 5;
  if (kind < 4) return std::string(shogidb::Table(static_cast<shogidb::TableId>(table)).name) + kSuffix[kind];
  for (const auto& [path, bytes] : files) {
    if (path.size() > 4 && path.compare(0, 4, "pcl/") == 0 && path.back() != '/') return path;
  }
  return "pcl/missing.pcl";
}

void Damage(const fuzz_shogidb::Files& files, const std::string& db, const uint8_t* data, size_t size) {
  const std::string path = PickedFile(files, data[0]);
  std::string bytes;
  for (const auto& f : files) {
    if (f.first == path) bytes = f.second;
  }
  const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  if (data[1] % 2 == 0) {
    bytes.assign(rest);
  } else if (rest.size() >= 2) {
    const size_t offset = (static_cast<uint8_t>(rest[0]) | static_cast<uint8_t>(rest[1]) << 8) % (bytes.size() + 1);
    const std::string_view patch = rest.substr(2);
    if (bytes.size() < offset + patch.size()) bytes.resize(offset + patch.size());
    bytes.replace(offset, patch.size(), patch);
  }
  platform::WriteWholeFile(db + path, bytes);
}

// Every read the databases offer; results are not judged, only that they come back.
void ReadEverything(const std::string& db) {
  shogidb::GameDatabase games;
  games.SetDatabase(db);
  std::vector<shogidb::ListEntry> found;
  games.Search("", {}, found);
  games.Search("order by 対局日", {}, found);
  shogidb::PositionSpec spec;
  spec.mode = shogidb::PositionSpec::kBoard;
  spec.target = BoardForm();
  spec.reversed = true;
  games.Search("", spec, found);
  std::vector<std::vector<shogidb::ListEntry>> groups;
  games.FindDuplicates("", shogidb::GameDatabase::DuplicateMode::kMoves, groups);
  for (int32_t n = 0; n < 4; ++n) {
    std::string text;
    games.ExportCsa(n, text);
    PlainBoard board;
    GameDocument doc(board);
    games.LoadGame(n, doc);
  }
  shogidb::ProblemDatabase problems;
  problems.SetDatabase(db);
  problems.Search("", {}, found);
  for (int32_t n = 0; n < 3; ++n) {
    std::string text;
    problems.ExportItem(n, text);
    PlainBoard board;
    ProblemDocument doc(board);
    problems.LoadProblem(n, doc);
  }
  shogidb::JosekiDatabase joseki;
  joseki.SetDatabase(db);
  std::string text;
  shogidb::JosekiText(joseki, BoardForm(), kSente, 12, true, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 100000) return 0;
  fuzz_shogidb::Scratch& room = fuzz_shogidb::KeptRoom("shogidb_damaged", true);
  room.Restore();
  room.Remember(data, size);
  const std::string& db = room.db();
  Damage(room.kept(), db, data, size);
  ReadEverything(db);

  shogidb::DatabaseCheck check;
  if (shogidb::CheckDatabase(db, &check) != 0) fuzz_shogidb::Fail(data, size, "the check did not run");
  shogidb::DatabaseCheck repaired;
  if (shogidb::RepairDatabase(db, &repaired) != 0) return 0;  // a table beyond repair, reported
  if (shogidb::CheckDatabase(db, &check) != 0 || check.problems != repaired.problems) {
    fuzz_shogidb::Fail(data, size, "the check after the repair differs from the repair's report:\n" +
                                       fuzz_shogidb::Lines(repaired.problems) + "--\n" +
                                       fuzz_shogidb::Lines(check.problems));
  }
  shogidb::DatabaseCheck again;
  if (shogidb::RepairDatabase(db, &again) != 0 || again.problems != repaired.problems) {
    fuzz_shogidb::Fail(data, size, "a second repair changes the outcome:\n" + fuzz_shogidb::Lines(again.problems));
  }
  ReadEverything(db);
  if (!check.ok()) return 0;
  shogidb::GameDatabase games;
  games.SetDatabase(db);
  if (games.RegisterFromCsa(fuzz_shogidb::SampleGames(), true) != 3) {
    fuzz_shogidb::Fail(data, size, "a repaired database does not take new games");
  }
  fuzz_shogidb::ExpectClean(db, data, size, "after registering into the repaired database");
  return 0;
}
