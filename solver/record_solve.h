// The steps around the solve procedure that every caller with a record document shares (kzb solve, the
// solving commands of a tsume window, the database batch): begin a new record from the problem's start,
// and afterwards read or write what the solve left in the record.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "record/record_board.h"
#include "record/record_document.h"

namespace solver {

// Returns the record to its start and discards its moves (the buffer): the start position, with its side
// to move as the attacker, is what gets solved. The header stays.
void PrepareForSolving(record::RecordBoard& board);

// The problem a new window solves: `target` takes the current position of `source` as its start, with
// the side to move as the attacker and no moves, its seat, and its tsume header when `source` is a
// problem too (a game's header has no place in a problem; `target` keeps its own). `source` is left as it
// was.
void CopyProblemForSolving(const record::RecordDocument& source, record::ProblemDocument& target);

// The standard texts of the record's selected line (the main line the main-line rule picks), from the
// start. The board is left at the start.
std::vector<std::string> MainLineTexts(record::RecordBoard& board);

// Writes the problem as a tsume file: the header, with 詰手数 set to the main line's length, and the whole
// solution tree. False when the file could not be written whole.
bool WriteSolvedProblem(record::ProblemDocument& doc, std::string_view cp932_path);

}  // namespace solver
