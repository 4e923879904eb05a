// The command vocabulary of the joseki browser: its menus, its right-button popup, and when each of its
// commands is enabled. The command texts themselves sit in the command table.
#pragma once
#include <vector>

#include "app/core/board_controller.h"
#include "app/core/command_table.h"

namespace app {

// What the enabling depends on.
struct JosekiUiState {
  bool search_open = false;     // a database search dialog is open
  bool has_item = false;        // an item is selected (every item has a position)
  bool is_move = false;         // the selected item is a move (not the root)
  bool note_open = false;       // the joseki annotation window
  bool props_open = false;      // 定跡手の特性
  bool eval_open = false;       // 形勢評価値の設定
  bool auto_note = false;       // 定跡注釈自動表示
  bool search_available = false;  // the bound board offers its search dialog
};

// handled = false for commands that are not the browser's.
CommandState JosekiCommandState(int id, const JosekiUiState& state);

std::vector<MenuSpec> JosekiMenus();
// The right-button popup (menu 224).
std::vector<int> JosekiPopup();

}  // namespace app
