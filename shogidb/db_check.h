// The integrity check and repair of a whole shogi database: the engine's check of each of the six
// tables, then what ties the tables together:
//   - a game or problem row whose number is "999999" (a registration that did not finish) or is not its
//     record number, or whose position id names no position;
//   - a move block or annotation piece whose owner does not exist (kinds 1/2 of SHGDB_D: a game or
//     problem; annotation kinds 3/4: a game or problem, kind 1: a joseki position, kind 2: a joseki
//     position holding that move), a block or piece number out of sequence;
//   - a joseki record whose position does not exist;
//   - a position whose reference count differs from the records referring to it (games by 初期盤面,
//     problems by 出題図, joseki positions once per id and side), or that nothing refers to, or whose
//     board form is damaged.
// The repair rebuilds every table (check.h), removes unfinished registrations with their moves and
// annotations, sets numbers to their record numbers, removes what belongs to nothing, and sets every
// reference count, deleting positions nothing refers to. A row whose position is missing cannot be
// repaired (its start position is lost); it is reported and kept.
//
// The tables must not be open while the check or the repair runs.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace shogidb {

struct DatabaseCheck {
  std::vector<std::string> problems;  // one English line each, "SHGDB_D: block 1     700 ..."
  std::vector<std::string> notes;     // what was found or done that is no problem (counts, repairs)
  bool ok() const { return problems.empty(); }
};

// Checks without writing. kOk when the check ran (its findings are in *out).
int CheckDatabase(std::string_view directory, DatabaseCheck* out);
// Repairs, then checks again: *out holds what was done (notes) and what is still wrong (problems).
int RepairDatabase(std::string_view directory, DatabaseCheck* out);

}  // namespace shogidb
