// SolverWindow: the solver output window (思考), an MDI child at the top right of the main window's area
// whose one column, 思考状況, lists the lines of a solve in the order the worker sends them (the newest
// 5000). It runs the solve: the worker thread with its stop event works on the board of the tsume window
// that started it (its owner), whose solving flag (the controller's busy flag) keeps every command that
// would touch that board away until the worker has ended.
//
// Lines travel through a queue the window empties on its own thread, and the worker's end comes as a
// queued call, so the window may wait for the worker (stop, close, the owner going) without a deadlock.
#pragma once
#include <QAbstractListModel>
#include <QMdiSubWindow>
#include <QPointer>
#include <functional>

#include "app/core/board_controller.h"
#include "app/core/solver_lines.h"
#include "solver/output_list.h"
#include "solver/solve_procedure.h"

class QTreeView;

namespace app {

class BoardView;

// The output list as the view's model: one column headed 思考状況.
class SolverOutputModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;
  void Append(const std::string& cp932_line);
  void Clear();
  const solver::SolverOutputList& list() const { return list_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  solver::SolverOutputList list_;
  int rows_ = 0;  // the rows the view knows of (one less for a moment while the oldest line goes)
};

class SolverWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  static constexpr int kWidth = 420, kHeight = 260;

  explicit SolverWindow(BoardView* owner);
  ~SolverWindow() override;

  BoardView* owner() const { return owner_; }
  QTreeView* view() const { return view_; }
  const solver::SolverOutputList& lines() const { return model_.list(); }
  // Where a job's lines go (any thread).
  platform::ProgressSink& queue() { return queue_; }
  // From Start until the end of the solve has been taken in on this thread.
  bool solving() const { return solving_; }

  // Solves the owner's current position, which must have no moves, with the side to move attacking;
  // the list starts empty unless `keep_lines` (a batch lists every problem's lines). False while a
  // solve runs.
  bool Start(bool keep_lines = false);
  // Runs another job on the owner's behalf (the 余詰 check) with this list, the stop and the worker;
  // `ended` is called on this thread at its end in place of the solve's end. False while a job runs.
  bool StartJob(solver::SolveWorker::Job job, std::function<void()> ended);
  // 115 to a batch instead of the board: called on this thread with the outcome and whether a stop was
  // asked for; the board stays busy, the batch frees it. An empty handler gives 115 back to the board.
  using BatchHandler = std::function<void(solver::SolveOutcome outcome, bool stopped)>;
  void SetBatchHandler(BatchHandler handler) { batch_ = std::move(handler); }
  // 118: the solve ends at its next attack node, well within a second, and then ends as usual.
  void RequestStop();
  // Stops a running solve, waits for the worker and takes its end in at once.
  void StopAndWait();
  // The owner goes: stops and waits as above, then forgets it.
  void Detach();

 protected:
  // Closing stops a running solve and waits for it (119 to the owner).
  void closeEvent(QCloseEvent* event) override;

 private:
  void TakeLines();
  void Finish(int run);  // 115, on this thread

  QPointer<BoardView> owner_;
  SolverOutputModel model_;
  QTreeView* view_;
  SolverLineQueue queue_;
  bool solving_ = false, stop_asked_ = false;
  BatchHandler batch_;
  std::function<void()> ended_;  // the running job's own end, when it has one
  int run_ = 0;  // numbers the solves, so the end of one that was waited for cannot end the next
  solver::SolveWorker worker_;  // last: it goes first, while the queue it writes to is still here
};

// The solving commands of a board window: 32877 (a new tsume window from the current position, solved
// there), 32875 (the current window, after the discard question), 32892 (stop), the engine choice
// (32932, 32933: checked items) and 余詰検討 (32934, tsume windows). handled = false for
// other commands.
CommandState QuerySolveCommand(BoardView& view, int id);
void ExecuteSolveCommand(BoardView& view, int id);

// 32875 without the menu (117): the discard question when the record has moves, the record begun again
// from the current position, the solver window opened and the worker started. False when nothing
// started (solving already, or the question declined).
bool SolveHere(BoardView& view);
// 32877: the new window's view, solving; nullptr when nothing started.
BoardView* SolveInNewWindow(BoardView& source);
// The board's solver window, opened at the top right when it has none.
SolverWindow* OpenSolverWindow(BoardView& view);
// 115 in the board: the worker has let go of it; the views show the record from its start.
void SolveEnded(BoardView& view);
// A board window that closes stops its solve first and waits for it.
void StopSolveOf(BoardView& view);
// The owner's board window, so that its menus stay while the solver window is active; nullptr when `w`
// is no solver window or its owner has gone.
QMdiSubWindow* SolverOwnerFrameOf(QMdiSubWindow* w);

}  // namespace app
