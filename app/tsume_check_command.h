// 余詰検討 (32934) of a tsume window: the composer's check of the problem's intended solution runs in
// the solver window's worker on a copy of the record's main line (solved first with the chosen engine
// when there is none), and the findings and the summary are listed in the solver window. The window's
// own record is left as it is.
#pragma once

namespace app {

class BoardView;

// False when the window is no tsume window, is busy, or the check could not start.
bool CheckTsumeHere(BoardView& view);

}  // namespace app
