// The integrity check and repair of a whole shogi database: the engine's check of each of the six
// tables, then what ties the tables together (db_analysis.h):
//   - a game or problem row whose number is "999999" (a registration that did not finish) or is not its
//     record number, or whose position id names no position;
//   - an item whose parts are not whole (item_integrity.h): moves or annotations lost, a part changed;
//     a problem whose solution file does not hold it;
//   - a move block or annotation piece whose owner does not exist, a block or piece number out of
//     sequence;
//   - a joseki record whose position does not exist;
//   - a position whose reference count differs from the records referring to it, or that nothing refers
//     to, or whose board form is damaged.
// The repair rebuilds every table (check.h), removes unfinished registrations with their moves and
// annotations, sets numbers to their record numbers, mends what an item's seal or moves tell (its start
// position's reference, its move count), removes what belongs to nothing, and sets every reference
// count. Damaged items are kept and reported (the check goes on naming them), or removed when asked.
// A damaged solution file is set aside as "<name>.pcl.damaged"; the problem keeps its stored main line.
// What the repair cannot place (a block or piece a damaged item may have lost, a position a damaged
// reference may have named) stays where it is.
//
// The tables must not be open while the check or the repair runs.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shogidb/schema.h"

namespace shogidb {

struct DatabaseCheck {
  std::vector<std::string> problems;  // one English line each, "SHGDB_D: block 1     700 ..."
  std::vector<std::string> notes;     // what was found or done that is no problem (counts, repairs)
  std::vector<std::pair<TableId, int32_t>> damaged;  // items whose parts are not whole (also in problems)
  bool ok() const { return problems.empty(); }
};

// Checks without writing. kOk when the check ran (its findings are in *out).
int CheckDatabase(std::string_view directory, DatabaseCheck* out);
// Repairs, then checks again: *out holds what was done (notes) and what is still wrong (problems).
// With `remove_damaged` the damaged items go, with their moves, annotations and references.
int RepairDatabase(std::string_view directory, DatabaseCheck* out, bool remove_damaged = false);

}  // namespace shogidb
