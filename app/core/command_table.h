// The command vocabulary of the windows: each command's menu text, its status prompt and tool tip, the
// window kinds whose menus hold it, and the accelerator tables of each kind. Texts are UTF-8.
#pragma once
#include <string>
#include <vector>

namespace app {

// Window kinds with their own menus and accelerators.
enum WindowKind : unsigned {
  kMainMenu = 1,    // M: the main window with no document
  kGameMenu = 2,    // K: a game record window
  kTsumeMenu = 4,   // T: a tsume window
  kSetupMenu = 8,   // S: the position set-up window
  kAnnotationMenu = 16,  // A: the move-annotation editor
  kEditorMenu = 32,      // E: the text editor
  kJosekiMenu = 64,      // J: the joseki browser
};

struct CommandInfo {
  int id;
  const char* text;        // menu text ("" for toolbar-only commands)
  const char* prompt;      // status-bar prompt, then "\n" and the tool tip
  const char* tsume_text;  // the text in tsume windows when it differs, else nullptr
  const char* setup_text;  // the text in the set-up window when it differs, else nullptr
};

const CommandInfo* FindCommand(int id);
// The menu text of a command in a window kind.
std::string CommandText(int id, WindowKind kind);
std::string CommandPrompt(int id);   // before the newline
std::string CommandToolTip(int id);  // after it

// An accelerator: a key chord in Qt's portable text form ("Ctrl+F", "Shift+Del", "F1").
struct Accelerator {
  const char* keys;
  int id;
};
std::vector<Accelerator> AcceleratorsOf(WindowKind kind);

// Menus: a menu is a title and entries; an entry is a command, a separator (id 0), a submenu (id -1, with
// its entries following until id -2), or the recent files (57616) and the window list (id -3).
struct MenuEntry {
  int id;
  const char* title = nullptr;  // for submenus
};
struct MenuSpec {
  const char* title;
  std::vector<MenuEntry> entries;
};
constexpr int kSeparator = 0, kSubmenuBegin = -1, kSubmenuEnd = -2, kWindowList = -3;
std::vector<MenuSpec> MenusOf(WindowKind kind);

// The three dockable toolbars: title when floating and buttons (0 = separator).
struct ToolbarSpec {
  const char* key;    // settings key stem: "StandardBar", "PlayBar", "DataBaseBar"
  const char* title;  // "標準", "駒操作", "データベース"
  std::vector<int> buttons;
};
const std::vector<ToolbarSpec>& Toolbars();

}  // namespace app
