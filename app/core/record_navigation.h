// How the record window and the branch dialogs move a board: to a move chosen in the move list or tree,
// into another alternative of the move just played, or by deleting an alternative with its moves. The
// steps, the sound and the notifications to the companion windows go through the board's host, as the
// board's own playback does.
#pragma once
#include <string>
#include <vector>

#include "app/core/board_controller.h"
#include "app/core/record_lines.h"

namespace app {

// Moves the board to the move at `target`: closes the annotation window (104), steps back and forward
// (choosing the alternatives on the way) without drawing, telling the header pane (102) after each step,
// then draws once, plays the piece sound once when the last step went forward, and tells the record window
// (113), the joseki browser (103) and shows the annotation when due. The focus is left where it is.
// False, with the board where it was, while auto-play runs or a solver works, when the path leads nowhere
// or when the board is already there.
bool StepBoardTo(BoardController& controller, BoardHost& host, const MovePath& target);

// The alternatives of the move just played, for the branch selection and deletion dialogs: each as the
// label of the side that makes it (先手/後手, or 下手/上手 after a handicap set-up) and the move text.
struct AlternativeList {
  std::vector<std::string> lines;  // UTF-8
  int current = -1;                // the alternative now on the board
};
AlternativeList AlternativesOfCurrentMove(const rules::Position& board);

// Branch selection: not busy, after the start, and the move just played has other alternatives.
bool CanSelectBranch(const BoardController& controller);
// Branch deletion: not busy and after the start.
bool CanDeleteMoves(const BoardController& controller);

// Puts alternative `pick` of the move just played on the board (one step back, one forward) with the
// notifications, the sound, the redraw and the focus. False when `pick` is the current one or no move.
bool ChooseAlternative(BoardController& controller, BoardHost& host, int pick);
// Deletes alternative `pick` of the move just played with every move below it; when it is the one on the
// board, the board steps back first. Marks the document modified and has the record window rebuilt (114).
// False when there is no such alternative.
bool DeleteAlternative(BoardController& controller, BoardHost& host, int pick);

}  // namespace app
