// What a board window may do while the mate solver's worker owns its board (the solving flag): nothing
// that moves the pieces, reads or replaces the record, or shows what the worker is changing. Stepping,
// editing, branches and set-up are refused by the controller's own busy checks; these are the rest.
#pragma once

namespace app {

// True for the commands of a board window (its own and the main window's for it) that are disabled
// while a solve runs on it. Closing the window is not among them: it stops the solve first.
bool RefusedWhileSolving(int id);

}  // namespace app
