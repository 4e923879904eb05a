// The database menu's commands of creation and settings (32834, 32813), registration from files (32816,
// 32864) and from the current window (32820), export (32818, 32865) and deletion (32823, 32866): whether
// each is enabled, and the dialog each opens.
#pragma once
#include "app/core/board_controller.h"

class QWidget;

namespace app {

class BoardView;

// Not handled (handled = false) for any other command. `view` is the active board view, or nullptr.
CommandState QueryDbFileCommand(int id, BoardView* view);
void ExecuteDbFileCommand(int id, QWidget* parent, BoardView* view);

}  // namespace app
