// Where a new board window of the main window goes and how large: at the size that shows its whole board
// (the fit its maximize button makes), cascaded from the board window before it, with the main window
// grown to hold it as far as the screen allows.
#pragma once

namespace app {

class BoardWindow;
class MainWindow;

// Idempotent while the other windows stay put, so it may run again once the frames have their margins.
void PlaceNewBoardWindow(MainWindow& main, BoardWindow& child);

}  // namespace app
