// A problem's move-space file (pcl/<出題図>.pcl) holds its whole solution tree, which the tables keep
// only the main line of. The file is trusted only when it holds that very problem (the stored start
// position and the stored main line) and matches the checksum written beside it. A file cut short by a
// full disk, changed by hand or lost while its checksum stays is not exported or loaded in the
// problem's place.
#pragma once
#include <string>
#include <vector>

#include "rules/board_form.h"
#include "shogidb/board_move.h"

namespace shogidb {

enum class SolutionFileState { kAbsent, kMatches, kDamaged };

// Reads and compares the file of `name` in the database directory; `text` receives its text (CP932)
// when it matches.
SolutionFileState ReadSolutionFile(const std::string& directory, const std::string& name, const rules::BoardForm& start,
                                   const std::vector<BoardMove>& moves, std::string* text = nullptr);

}  // namespace shogidb
