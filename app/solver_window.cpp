#include "app/solver_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QMdiArea>
#include <QTimer>
#include <QTreeView>

#include "app/application.h"
#include "app/board_view.h"
#include "app/core/command_ids.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/record_window.h"
#include "app/solver_engine_setting.h"
#include "app/tsume_check_command.h"
#include "solver/record_solve.h"

namespace app {

namespace {

QFont OutputFont() {
  QFont font(QStringLiteral("IPAGothic"));
  font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP"),
                    QStringLiteral("MS Gothic"), QStringLiteral("monospace")});
  font.setPixelSize(13);
  return font;
}

QTreeView* MakeView(QAbstractItemModel* model) {
  auto* view = new QTreeView;
  view->setObjectName(QStringLiteral("SolverOutputView"));
  view->setFont(OutputFont());
  view->setModel(model);
  view->setRootIsDecorated(false);
  view->setUniformRowHeights(true);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->header()->setStretchLastSection(true);  // the one column as wide as the view
  view->header()->setSectionsMovable(false);
  return view;
}

QList<SolverWindow*> SolverWindows() {
  QList<SolverWindow*> windows;
  MainWindow* main = Application::instance()->main_window();
  if (!main) return windows;
  for (QMdiSubWindow* w : main->mdi()->subWindowList()) {
    if (auto* solver = qobject_cast<SolverWindow*>(w)) windows << solver;
  }
  return windows;
}

bool AnySolving() {
  for (SolverWindow* w : SolverWindows()) {
    if (w->solving()) return true;
  }
  return false;
}

QMdiSubWindow* FrameOf(QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(w)) return frame;
  }
  return nullptr;
}

// At the top right of the area, in front; the board keeps the focus and its menus.
void Place(SolverWindow* window, BoardView& owner) {
  MainWindow* main = Application::instance()->main_window();
  if (!main) {
    window->show();
    return;
  }
  QMdiArea* mdi = main->mdi();
  mdi->addSubWindow(window);
  window->setWindowIcon(ToolbarIcon(cmd::kNewTsume));  // the tsume window's own
  window->resize(SolverWindow::kWidth, SolverWindow::kHeight);
  // Raised over the active board too: a board opened for the solve would otherwise cover the lines.
  const auto to_corner = [window, mdi] {
    window->move(std::max(0, mdi->viewport()->width() - window->width()), 0);
    window->raise();
  };
  window->show();
  if (QMdiSubWindow* board = FrameOf(&owner)) mdi->setActiveSubWindow(board);
  to_corner();
  // Again once the area has its scroll bars for the windows it now holds.
  QTimer::singleShot(0, window, to_corner);
}

}  // namespace

// 115 in the owner: the worker has let go of the board. The views show the record from its start, the
// solution's main line ahead; a written solution makes the document modified and sounds the beep.
void SolveEnded(BoardView& view) {
  BoardController& controller = view.controller();
  controller.SetBusy(false);
  ScreenBoard& board = view.document()->board();
  board.GoToStart();
  controller.Refresh();
  view.RecordChanged();
  view.CurrentMoveChanged();
  view.RedrawHeader();
  if (board.root()->child) {
    view.document()->SetModified(true);
    QApplication::beep();
  }
  // The record window was closed for the solve; 棋譜窓を常に開く brings it back with the solution.
  if (Application::instance()->kif_window() && !view.record_window()) OpenRecordWindow(&view);
  Q_EMIT view.StateChanged();
}

// --- the list ---------------------------------------------------------------------------------------------

void SolverOutputModel::Append(const std::string& cp932_line) {
  const bool full = list_.size() >= solver::SolverOutputList::kMaxLines;
  if (full) beginRemoveRows({}, 0, 0);
  list_.Append(cp932_line);  // a full list lets its oldest line go here
  if (full) {
    rows_ = list_.size() - 1;
    endRemoveRows();
  }
  beginInsertRows({}, rows_, rows_);
  rows_ = list_.size();
  endInsertRows();
}

void SolverOutputModel::Clear() {
  beginResetModel();
  list_.Clear();
  rows_ = 0;
  endResetModel();
}

int SolverOutputModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant SolverOutputModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_) return {};
  return FromCore(list_.lines()[index.row()]);
}

QVariant SolverOutputModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (section != 0 || orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return QStringLiteral("思考状況");
}

// --- the window -------------------------------------------------------------------------------------------

SolverWindow::SolverWindow(BoardView* owner)
    : owner_(owner), queue_([this] { QMetaObject::invokeMethod(this, [this] { TakeLines(); }, Qt::QueuedConnection); }) {
  setObjectName(QStringLiteral("SolverWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  view_ = MakeView(&model_);
  setWidget(view_);
  resize(kWidth, kHeight);
  BoardDocument* doc = owner->document();
  const auto title = [this, doc] { setWindowTitle(QStringLiteral("思考 - ") + doc->title()); };
  title();
  connect(doc, &BoardDocument::Changed, this, title);
}

SolverWindow::~SolverWindow() {
  // Deleted without closing (the program ending): the worker must not outlive the board or this queue.
  BoardView* owner = owner_;
  owner_ = nullptr;
  worker_.RequestStop();
  worker_.Wait();
  if (owner && solving_) owner->controller().SetBusy(false);
  view_->setModel(nullptr);  // the view goes after the model
}

bool SolverWindow::Start(bool keep_lines) {
  if (solving_ || !owner_) return false;
  TakeLines();  // what is left of an earlier solve goes with the list
  if (!keep_lines) model_.Clear();
  stop_asked_ = false;
  const int run = ++run_;
  solving_ = true;
  ended_ = nullptr;
  const bool started = solver::StartChosenSolve(worker_, owner_->document()->board(), queue_,
                                                [this, run](solver::SolveOutcome) {
                                                  QMetaObject::invokeMethod(this, [this, run] { Finish(run); },
                                                                            Qt::QueuedConnection);
                                                },
                                                SolverEngineChoice());
  if (!started) solving_ = false;
  return started;
}

bool SolverWindow::StartJob(solver::SolveWorker::Job job, std::function<void()> ended) {
  if (solving_ || !owner_) return false;
  TakeLines();
  model_.Clear();
  stop_asked_ = false;
  const int run = ++run_;
  solving_ = true;
  ended_ = std::move(ended);
  const bool started = worker_.StartJob(std::move(job), [this, run](solver::SolveOutcome) {
    QMetaObject::invokeMethod(this, [this, run] { Finish(run); }, Qt::QueuedConnection);
  });
  if (!started) solving_ = false;
  return started;
}

void SolverWindow::RequestStop() {
  if (!solving_) return;
  stop_asked_ = true;
  if (worker_.running()) worker_.RequestStop();
}

void SolverWindow::StopAndWait() {
  if (!solving_) return;
  RequestStop();
  worker_.Wait();
  Finish(run_);
}

void SolverWindow::Detach() {
  owner_ = nullptr;
  StopAndWait();
}

void SolverWindow::closeEvent(QCloseEvent* event) {
  StopAndWait();
  if (owner_ && owner_->solver_window() == this) owner_->SetSolverWindow(nullptr);  // 119
  QMdiSubWindow::closeEvent(event);
}

void SolverWindow::TakeLines() {
  const std::vector<std::string> lines = queue_.Take();
  if (lines.empty()) return;
  for (const std::string& line : lines) model_.Append(line);
  const QModelIndex last = model_.index(model_.rowCount() - 1);
  view_->setCurrentIndex(last);
  view_->scrollTo(last);
}

void SolverWindow::Finish(int run) {
  if (!solving_ || run != run_) return;  // taken in already, when a stop waited for the worker
  worker_.Wait();
  solving_ = false;
  TakeLines();
  if (!owner_) return;
  if (ended_) {
    std::function<void()> ended = std::move(ended_);
    ended_ = nullptr;
    ended();
  } else if (batch_) {
    batch_(worker_.outcome(), stop_asked_);
  } else {
    SolveEnded(*owner_);
  }
}

// --- the commands -----------------------------------------------------------------------------------------

CommandState QuerySolveCommand(BoardView& view, int id) {
  CommandState s;
  s.handled = true;
  const DocKind kind = view.document()->kind();
  const bool free = !view.controller().busy();
  switch (id) {
    case cmd::kSolveNew:
      s.enabled = kind != DocKind::kSetup && free;
      break;
    case cmd::kSolveHere:
      s.enabled = kind == DocKind::kTsume && free;
      break;
    case cmd::kSolveStop:
      s.enabled = kind != DocKind::kSetup && AnySolving();
      break;
    case cmd::kSolverIterative:
    case cmd::kSolverProofNumber:
      s.enabled = true;
      s.checked = (id == cmd::kSolverProofNumber) == (StoredSolverEngine() == solver::SolverEngine::kProofNumber);
      break;
    case cmd::kCheckTsume:
      s.enabled = kind == DocKind::kTsume && free;
      break;
    default:
      s.handled = false;
  }
  return s;
}

void ExecuteSolveCommand(BoardView& view, int id) {
  switch (id) {
    case cmd::kSolveNew:
      SolveInNewWindow(view);
      break;
    case cmd::kSolveHere:
      SolveHere(view);
      break;
    case cmd::kSolverIterative:
    case cmd::kSolverProofNumber:
      StoreSolverEngine(id == cmd::kSolverProofNumber ? solver::SolverEngine::kProofNumber
                                                      : solver::SolverEngine::kIterativeDeepening);
      break;
    case cmd::kCheckTsume:
      CheckTsumeHere(view);
      break;
    case cmd::kSolveStop: {
      // This board's solve, else the first one running.
      SolverWindow* target = view.solver_window();
      if (!target || !target->solving()) {
        target = nullptr;
        for (SolverWindow* w : SolverWindows()) {
          if (w->solving()) {
            target = w;
            break;
          }
        }
      }
      if (target) target->RequestStop();
      break;
    }
    default:
      break;
  }
}

bool SolveHere(BoardView& view) {
  BoardController& controller = view.controller();
  BoardDocument* doc = view.document();
  if (doc->kind() != DocKind::kTsume || controller.busy()) return false;
  ScreenBoard& board = doc->board();
  const bool had_moves = board.root()->child != nullptr;
  if (had_moves && view.messages().Ask(platform::Utf8ToCp932("このバッファの指し手は全て破棄されます。よろしいですか？"),
                                       platform::Buttons::kYesNo) != platform::Answer::kYes) {
    return false;
  }
  // The windows that show this record go before its nodes do.
  view.CloseAnnotation();
  if (RecordWindow* record = view.record_window()) record->close();
  controller.PutBackHeld();
  controller.StopAutoPlay();
  board.BeginRecord();
  if (had_moves) doc->SetModified(true);
  controller.Refresh();
  view.RecordChanged();
  view.RedrawHeader();

  SolverWindow* window = OpenSolverWindow(view);
  controller.SetBusy(true);
  const bool started = window->Start();
  if (!started) controller.SetBusy(false);
  Q_EMIT view.StateChanged();
  return started;
}

BoardView* SolveInNewWindow(BoardView& source) {
  if (source.controller().busy() || source.document()->kind() == DocKind::kSetup) return nullptr;
  BoardView* view = Application::instance()->NewDocument(DocKind::kTsume);
  BoardDocument* doc = view->document();
  solver::CopyProblemForSolving(source.document()->record(), *doc->tsume());
  const bool reversed = doc->record().reversed() != 0;
  if (doc->board().reversed() != reversed) view->controller().Flip();  // the seat of the source
  view->controller().Refresh();
  doc->SetModified(false);
  return SolveHere(*view) ? view : nullptr;
}

SolverWindow* OpenSolverWindow(BoardView& view) {
  SolverWindow* window = view.solver_window();
  if (!window) {
    window = new SolverWindow(&view);
    view.SetSolverWindow(window);
    Place(window, view);
  }
  return window;
}

void StopSolveOf(BoardView& view) {
  if (SolverWindow* window = view.solver_window()) window->StopAndWait();
}

QMdiSubWindow* SolverOwnerFrameOf(QMdiSubWindow* w) {
  auto* solver = qobject_cast<SolverWindow*>(w);
  return solver && solver->owner() ? FrameOf(solver->owner()) : nullptr;
}

}  // namespace app
