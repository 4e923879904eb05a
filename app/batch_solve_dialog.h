// BatchSolveDialog: 詰将棋ＤＢの思考, the modeless dialog of a tsume window that solves the problems of the
// last tsume search one after another. It lists that search ("選択リスト(前回検索結果)"), counts the
// problems chosen ("N 件中 M 件思考対象"), and on 思考 asks once, discards the window's moves, then for
// each problem: reads it from the database into the window's board, solves it through the board's solver
// window (whose list keeps every problem's lines), and writes the solution found back in place of the
// problem's moves. Each read and write-back holds the database lock, waited for while the windows go on
// being drawn; the lock is free while a problem is being solved.
//
// The tsume window is busy (its solving flag) while the dialog is open, and the database state says a
// batch window is open; 詰思考の中断, closing the solver window or closing the dialog ends the batch after
// the problem in hand.
#pragma once
#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <vector>

#include "app/core/board_controller.h"
#include "solver/mate_engine.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace app {

class BoardView;
class DbSelectionList;
class SolverWindow;

class BatchSolveDialog : public QDialog {
  Q_OBJECT

 public:
  explicit BatchSolveDialog(BoardView* owner);
  ~BatchSolveDialog() override;

  QListWidget* list() const;
  QLabel* counts() const;
  bool running() const { return running_; }
  // 全件選択.
  void SelectAll();
  // 思考: the question, then the first problem. False when nothing started.
  bool Solve();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void UpdateButtons();
  // Reads and starts the next problem that can be read; the end of the batch when none is left.
  void StartNext();
  // 115 from the solver window.
  void Solved(solver::SolveOutcome outcome, bool stopped);
  void EndBatch();
  // Waits for the database lock while the windows are drawn; false when the dialog went meanwhile.
  bool LoadProblem(int32_t number);
  void WriteBack(int32_t number);

  QPointer<BoardView> owner_;
  QPointer<SolverWindow> solver_;
  DbSelectionList* selection_;
  QPushButton* solve_button_;
  std::vector<int32_t> queue_;
  size_t next_ = 0;
  int32_t current_ = -1;
  bool running_ = false, waiting_ = false;
};

// 32876 in a board window: enabled in a tsume window that is not solving while no database window
// (search, joseki browser, batch) is open; opens the dialog.
CommandState QueryBatchSolve(BoardView& view);
BatchSolveDialog* OpenBatchSolve(BoardView& view);

}  // namespace app
