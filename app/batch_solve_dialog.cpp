#include "app/batch_solve_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/board_view.h"
#include "app/db_access.h"
#include "app/db_selection_list.h"
#include "app/qt_text.h"
#include "app/record_window.h"
#include "app/solver_window.h"
#include "platform/db_lock.h"
#include "shogidb/batch_solve.h"
#include "shogidb/problem_database.h"

namespace app {

namespace {

std::string DatabaseDir() { return DatabaseDirectory(); }

shogidb::DbJob MessagesJob() {
  shogidb::DbJob job;
  job.messages = &Application::instance()->messages();
  return job;
}

// The lock for one read or write-back of the batch: waited for without a time-out, the windows drawn
// meanwhile but not used, so that nothing the batch relies on changes under it.
bool WaitForDatabase(const std::string& dir) {
  return platform::DatabaseLock::Instance().LockPumping(dir, [] {
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
  });
}

}  // namespace

BatchSolveDialog::BatchSolveDialog(BoardView* owner) : QDialog(owner ? owner->window() : nullptr), owner_(owner) {
  setObjectName(QStringLiteral("BatchSolveDialog"));
  setWindowTitle(QStringLiteral("詰将棋ＤＢの思考"));
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);

  selection_ = new DbSelectionList(DbItemKind::kProblem, "思考対象");
  selection_->SetEntries(Application::instance()->database_state().last_problems);
  solve_button_ = new QPushButton(QStringLiteral("思考"));
  auto* close_button = new QPushButton(QStringLiteral("終了"));
  solve_button_->setDefault(true);
  connect(solve_button_, &QPushButton::clicked, this, [this] { Solve(); });
  connect(close_button, &QPushButton::clicked, this, &QDialog::close);
  connect(selection_, &DbSelectionList::ChoiceChanged, this, &BatchSolveDialog::UpdateButtons);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(solve_button_);
  buttons->addWidget(close_button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(selection_, 1);
  layout->addLayout(buttons);
  UpdateButtons();

  Application::instance()->database_state().batch_open = true;
  if (owner_) {
    owner_->controller().SetBusy(true);  // the solving flag, from now until the dialog goes
    Q_EMIT owner_->StateChanged();
    connect(owner_, &QObject::destroyed, this, &QWidget::close);  // the tsume window went first
  }
}

BatchSolveDialog::~BatchSolveDialog() {
  // Deleted without closing (the program ending): no handler may call into a dialog that has gone.
  if (solver_) solver_->SetBatchHandler({});
  Application::instance()->database_state().batch_open = false;
}

QListWidget* BatchSolveDialog::list() const { return selection_->list(); }
QLabel* BatchSolveDialog::counts() const { return selection_->count_label(); }
void BatchSolveDialog::SelectAll() { selection_->ChooseAll(); }

void BatchSolveDialog::UpdateButtons() {
  solve_button_->setEnabled(!running_ && !selection_->Chosen().empty());
  selection_->all_button()->setEnabled(!running_);
}

bool BatchSolveDialog::Solve() {
  if (running_ || !owner_) return false;
  std::vector<int32_t> numbers;
  for (const shogidb::ListEntry& e : selection_->Chosen()) numbers.push_back(e.number);
  if (numbers.empty()) return false;
  BoardView& view = *owner_;
  ScreenBoard& board = view.document()->board();
  const bool had_moves = board.root()->child != nullptr;
  if (!shogidb::BatchSolver(DatabaseDir(), MessagesJob()).Confirm(numbers.size(), had_moves)) return false;
  // The buffer goes as in 現行ウィンドウで思考: first the windows that show its nodes.
  view.CloseAnnotation();
  if (RecordWindow* record = view.record_window()) record->close();
  view.controller().PutBackHeld();
  view.controller().StopAutoPlay();
  board.BeginRecord();
  if (had_moves) view.document()->SetModified(true);
  view.controller().Refresh();
  view.RecordChanged();

  solver_ = OpenSolverWindow(view);
  solver_->SetBatchHandler([this](solver::SolveOutcome outcome, bool stopped) { Solved(outcome, stopped); });
  queue_ = std::move(numbers);
  next_ = 0;
  running_ = true;
  UpdateButtons();
  StartNext();
  return true;
}

bool BatchSolveDialog::LoadProblem(int32_t number) {
  const std::string dir = DatabaseDir();
  QPointer<BatchSolveDialog> self(this);
  waiting_ = true;
  const bool locked = WaitForDatabase(dir);
  if (!self) {
    if (locked) platform::DatabaseLock::Instance().Unlock();
    return false;
  }
  waiting_ = false;
  if (!locked || !owner_) {
    if (locked) platform::DatabaseLock::Instance().Unlock();
    return false;
  }
  shogidb::ProblemDatabase db;
  db.SetDatabase(dir);
  db.SetJob(MessagesJob());
  BoardView& view = *owner_;
  BoardDocument* doc = view.document();
  int rc = -1;
  view.controller().ReplaceRecord([&](bool* reversed) {
    rc = db.LoadProblem(number, *doc->tsume());
    // A problem keeps its solution tree beside the tables: the solve starts from its position alone.
    doc->board().GoToStart();
    doc->board().BeginRecord();
    *reversed = doc->record().reversed() != 0;
    return rc == dbengine::kOk;
  });
  platform::DatabaseLock::Instance().Unlock();
  view.RedrawHeader();
  if (rc != dbengine::kOk) {
    Application::instance()->messages().Show(
        platform::Utf8ToCp932(shogidb::Format("詰将棋(レコード番号=%06ld)が読めません", static_cast<long>(number))));
    return false;
  }
  // The window now holds a database problem: a save must ask for a name, never write it over the file
  // the window was opened from.
  doc->TakeUntitled(QString::fromUtf8("詰将棋%1").arg(number, 6, 10, QLatin1Char('0')));
  return true;
}

void BatchSolveDialog::StartNext() {
  QPointer<BatchSolveDialog> self(this);
  while (running_ && next_ < queue_.size()) {
    const int32_t number = queue_[next_++];
    const bool loaded = LoadProblem(number);
    if (!self) return;
    if (!loaded) continue;
    current_ = number;
    if (!solver_ || !solver_->Start(true)) {
      Application::instance()->messages().Show(platform::Utf8ToCp932("詰思考に失敗しました。"));
      EndBatch();
      close();
      return;
    }
    if (owner_) Q_EMIT owner_->StateChanged();
    return;
  }
  EndBatch();
}

void BatchSolveDialog::WriteBack(int32_t number) {
  const std::string dir = DatabaseDir();
  QPointer<BatchSolveDialog> self(this);
  waiting_ = true;
  const bool locked = WaitForDatabase(dir);
  if (self) waiting_ = false;
  if (!locked) return;
  if (self && owner_) {
    shogidb::ProblemDatabase db;
    db.SetDatabase(dir);
    db.SetJob(MessagesJob());
    db.WriteSolution(number, *owner_->document()->tsume());  // a failure is shown by the library
  }
  platform::DatabaseLock::Instance().Unlock();
}

void BatchSolveDialog::Solved(solver::SolveOutcome outcome, bool stopped) {
  if (!owner_) return;
  ScreenBoard& board = owner_->document()->board();
  board.GoToStart();
  owner_->controller().Refresh();
  owner_->RecordChanged();
  owner_->RedrawHeader();
  QPointer<BatchSolveDialog> self(this);
  if (solver::SolutionWritten(outcome) && board.root()->child) WriteBack(current_);
  if (!self) return;
  current_ = -1;
  if (stopped) {
    EndBatch();
  } else {
    StartNext();
  }
}

void BatchSolveDialog::EndBatch() {
  if (!running_) return;
  running_ = false;
  queue_.clear();
  next_ = 0;
  UpdateButtons();
  if (owner_) {
    owner_->document()->board().GoToStart();
    owner_->controller().Refresh();
    owner_->RecordChanged();
    owner_->CurrentMoveChanged();
    owner_->RedrawHeader();
    Q_EMIT owner_->StateChanged();
  }
}

void BatchSolveDialog::closeEvent(QCloseEvent* event) {
  if (waiting_) {  // inside a wait for the lock: the wait ends first
    event->ignore();
    return;
  }
  if (solver_) {
    solver_->StopAndWait();  // the problem in hand ends; its solution is written back
    solver_->SetBatchHandler({});
  }
  EndBatch();
  if (owner_) {
    owner_->controller().SetBusy(false);
    if (Application::instance()->kif_window() && !owner_->record_window()) OpenRecordWindow(owner_);
    Q_EMIT owner_->StateChanged();
  }
  Application::instance()->database_state().batch_open = false;
  QDialog::closeEvent(event);
}

CommandState QueryBatchSolve(BoardView& view) {
  CommandState s;
  s.handled = true;
  s.enabled = view.document()->kind() == DocKind::kTsume && !view.controller().busy() &&
              !Application::instance()->database_state().any_open();
  return s;
}

BatchSolveDialog* OpenBatchSolve(BoardView& view) {
  if (!QueryBatchSolve(view).enabled) return nullptr;
  auto* dialog = new BatchSolveDialog(&view);
  dialog->show();
  return dialog;
}

}  // namespace app
