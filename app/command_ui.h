// Menus, accelerators and toolbar buttons of a window, made from the command table: one action per
// command number, texts and accelerators of the window kind, and before a menu opens (and on idle) the
// enabled state, check mark and text asked of whoever handles the command.
#pragma once
#include <QAction>
#include <QMainWindow>
#include <functional>
#include <map>

#include "app/core/board_controller.h"
#include "app/core/command_table.h"

namespace app {

class CommandUi : public QObject {
 public:
  using Query = std::function<CommandState(int)>;
  using Execute = std::function<void(int)>;
  // Fills dynamic entries (recent files, window list) into a menu before a placeholder action.
  using FillMenu = std::function<void(QMenu*, QAction*)>;

  CommandUi(QMainWindow* window, Query query, Execute execute);

  QAction* Action(int id);
  WindowKind kind() const { return kind_; }
  // Rebuilds the menu bar for a window kind; `recent` fills the recent-file entries, `windows` the window
  // list.
  void SetKind(WindowKind kind, const FillMenu& recent = {}, const FillMenu& windows = {});
  void Update();

 private:
  QMainWindow* window_;
  Query query_;
  Execute execute_;
  WindowKind kind_ = kMainMenu;
  std::map<int, QAction*> actions_;
};

// The 16 x 15 toolbar picture of a command (our own drawing).
QIcon ToolbarIcon(int id);

}  // namespace app
