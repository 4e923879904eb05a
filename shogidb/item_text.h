// The body of an item as CSA text: the start position ("PI" for the even game, else the position lines),
// the side to move, and the moves with their annotations.
#pragma once
#include <string>
#include <vector>

#include "rules/board_form.h"
#include "shogidb/board_move.h"

namespace record {
class RecordBoard;
}  // namespace record

namespace shogidb {

// Appends the body. With `time_suffix`, a move whose annotation begins with a time note (as
// registration writes times) ends with ",T%d" and only the rest of the annotation follows. False when a
// move does not fit its position (the text then stops before it).
bool AppendItemBody(const rules::BoardForm& start, rules::Side side, const std::vector<BoardMove>& moves,
                    const std::vector<std::string>& notes, bool time_suffix, std::string& text);

// Annotation text (lines joined by CRLF) as "'注釈:" lines.
void AppendNoteLines(const std::string& note, std::string& text);

// Sets a board to the start and plays the moves into its record, with the annotations of each ply (ply 0
// on the root); the record is left at its start. False when a move does not fit.
bool BuildRecord(record::RecordBoard& board, const rules::BoardForm& start, rules::Side side, const std::vector<BoardMove>& moves,
                 const std::vector<std::string>& notes, bool root_notes);

}  // namespace shogidb
