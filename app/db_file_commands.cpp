#include "app/db_file_commands.h"

#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/db_create_dialog.h"
#include "app/db_delete_dialog.h"
#include "app/db_export_dialog.h"
#include "app/db_register_buffer_dialog.h"
#include "app/db_register_file_dialog.h"
#include "app/db_settings_dialog.h"

namespace app {

namespace {

// The current window's record can be registered while nothing else moves its pieces.
bool CanRegister(BoardView* view) {
  if (!view) return false;
  BoardDocument* doc = view->document();
  return (doc->game() || doc->tsume()) && !view->controller().busy();
}

}  // namespace

CommandState QueryDbFileCommand(int id, BoardView* view) {
  CommandState s;
  s.handled = true;
  switch (id) {
    case cmd::kDbCreate:
    case cmd::kDbSettings:
    case cmd::kDbImportGames:
    case cmd::kDbExportGames:
    case cmd::kDbDeleteGames:
    case cmd::kDbImportTsume:
    case cmd::kDbExportTsume:
    case cmd::kDbDeleteTsume:
      s.enabled = true;
      break;
    case cmd::kDbRegister:
      s.enabled = CanRegister(view);
      break;
    default:
      s.handled = false;
  }
  return s;
}

void ExecuteDbFileCommand(int id, QWidget* parent, BoardView* view) {
  const DbItemKind games = DbItemKind::kGame, problems = DbItemKind::kProblem;
  switch (id) {
    case cmd::kDbCreate:
      DatabaseCreateDialog(parent).exec();
      break;
    case cmd::kDbSettings:
      DatabaseSettingsDialog(parent).exec();
      break;
    case cmd::kDbImportGames:
    case cmd::kDbImportTsume:
      RegisterFileDialog(id == cmd::kDbImportGames ? games : problems, parent).exec();
      break;
    case cmd::kDbExportGames:
    case cmd::kDbExportTsume:
      ExportDialog(id == cmd::kDbExportGames ? games : problems, parent).exec();
      break;
    case cmd::kDbDeleteGames:
    case cmd::kDbDeleteTsume:
      DeleteDialog(id == cmd::kDbDeleteGames ? games : problems, parent).exec();
      break;
    case cmd::kDbRegister:
      if (CanRegister(view)) RegisterBufferDialog(*view, parent).exec();
      break;
    default:
      break;
  }
}

}  // namespace app
