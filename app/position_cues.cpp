#include "app/position_cues.h"

#include <QMainWindow>
#include <QMdiSubWindow>
#include <QStatusBar>

#include "app/application.h"
#include "app/board_view.h"
#include "app/core/last_move_mark.h"
#include "app/core/position_caption.h"
#include "app/last_move_setting.h"
#include "app/main_window.h"
#include "app/setup_window.h"

namespace app {

PositionCues::PositionCues(BoardView& view) : view_(view), mark_shown_(StoredLastMoveMark()) {}

void PositionCues::SetMarkShown(bool on) {
  mark_shown_ = on;
  view_.Redraw();
}

void PositionCues::UpdateMark() {
  if (view_.controller().busy()) return;  // the solver's worker moves the board's nodes meanwhile
  ScreenBoard& board = view_.document()->board();
  view_.picture().SetMarks(mark_shown_ ? LastMoveMarks(board, board.reversed()) : MoveMarks{});
}

void PositionCues::PositionChanged() {
  if (view_.document()->kind() == DocKind::kSetup || view_.controller().busy()) return;
  for (QWidget* w = view_.parentWidget(); w; w = w->parentWidget()) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(w)) {
      frame->setWindowTitle(BoardWindowTitle(view_));
      break;
    }
  }
  if (auto* main = qobject_cast<QMainWindow*>(view_.window())) {
    main->statusBar()->showMessage(QString::fromStdString(PositionCaption(view_.document()->board())));
  }
}

QString BoardWindowTitle(BoardView& view) {
  BoardDocument* doc = view.document();
  const int ply = doc->kind() == DocKind::kSetup ? 0 : doc->board().depth();
  return QString::fromStdString(TitleWithPly(doc->title().toStdString(), ply));
}

void ToggleLastMoveMarks(BoardView& from) {
  const bool on = !from.cues().mark_shown();
  StoreLastMoveMark(on);
  Application* app = Application::instance();
  QList<BoardView*> views;
  if (MainWindow* main = app->main_window()) views = main->Views();
  if (SetupWindow* setup = app->setup_window()) views << setup->view();
  if (!views.contains(&from)) views << &from;
  for (BoardView* v : views) v->cues().SetMarkShown(on);
}

}  // namespace app
