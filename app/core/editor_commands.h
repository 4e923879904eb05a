// The command vocabulary of the editor windows (the move-annotation editor and the text editor): their
// menus, accelerators and toolbar buttons. The command texts themselves sit in the command table.
#pragma once
#include <vector>

#include "app/core/command_table.h"

namespace app {

std::vector<MenuSpec> EditorMenus(WindowKind kind);
std::vector<Accelerator> EditorAccelerators(WindowKind kind);
// Toolbar buttons (0 = separator).
std::vector<int> EditorToolbar(WindowKind kind);

}  // namespace app
