#include "app/db_item_load.h"

#include <QString>

#include "app/board_view.h"
#include "app/core/record_navigation.h"
#include "app/select_read_dialog.h"
#include "platform/db_lock.h"
#include "platform/text_codec.h"
#include "shogidb/game_database.h"
#include "shogidb/problem_database.h"

namespace app {

namespace {

int ReadItem(BoardDocument& doc, const std::string& dir, int32_t number, platform::MessageSink& messages) {
  shogidb::DbJob job;
  job.messages = &messages;
  if (doc.kind() == DocKind::kTsume) {
    shogidb::ProblemDatabase db;
    db.SetDatabase(dir);
    db.SetJob(job);
    return db.LoadProblem(number, *doc.tsume());
  }
  shogidb::GameDatabase db;
  db.SetDatabase(dir);
  db.SetJob(job);
  return db.LoadGame(number, *doc.game());
}

}  // namespace

bool LoadDbItem(BoardView& view, const std::string& cp932_dir, int32_t number, int ply) {
  BoardDocument* doc = view.document();
  if (!doc->SaveModified()) return false;
  platform::DatabaseLockGuard lock(cp932_dir, platform::DatabaseLockGuard::Mode::kTry);
  if (!lock.held()) {
    doc->messages().Show(platform::Utf8ToCp932("データベースが使用中です"));
    return false;
  }
  view.CloseAnnotation();
  BoardController& controller = view.controller();
  controller.PutBackHeld();
  const std::string before = doc->WriteText();  // put back when the item does not read
  const bool shown_reversed = doc->board().reversed();
  const int rc = ReadItem(*doc, cp932_dir, number, doc->messages());
  if (rc != 0) {
    doc->ReadText(before);
    doc->messages().Show(platform::Utf8ToCp932(doc->kind() == DocKind::kTsume ? "詰将棋" : "対局") +
                         platform::Utf8ToCp932("が読み込めません。(rc=") + std::to_string(rc) + ")");
  }
  ShowReplacedContents(view, shown_reversed);
  if (rc != 0) return false;
  if (ply > 0) StepBoardTo(controller, view, MovePath(ply, 0));
  doc->TakeUntitled(QString::fromUtf8(doc->kind() == DocKind::kTsume ? "詰将棋%1" : "対局%1")
                        .arg(number, 6, 10, QLatin1Char('0')));
  return true;
}

}  // namespace app
