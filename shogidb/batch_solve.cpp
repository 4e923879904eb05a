#include "shogidb/batch_solve.h"

#include "platform/db_lock.h"
#include "shogidb/problem_database.h"
#include "solver/record_solve.h"

using namespace record;
using namespace solver;

namespace shogidb {

BatchSolver::BatchSolver(std::string directory, const DbJob& job, EngineChoice engine)
    : directory_(std::move(directory)), job_(job.Complete()), engine_(engine) {}

BatchSolver::~BatchSolver() {
  RequestStop();
  Wait();
}

bool BatchSolver::Confirm(size_t count, bool buffer_has_moves) const {
  return job_.Confirm(Format("%d%s%s", static_cast<int>(count), " 件の詰将棋を思考し、データベースを更新します。\r\n",
                             buffer_has_moves ? "現バッファの指し手は全て破棄されます。\r\nよろしいですか？"
                                              : "よろしいですか？"));
}

void BatchSolver::RequestStop() {
  stop_flag_.Raise();
  stop_event_.Set();
}

void BatchSolver::SolveOne(int32_t number, ProblemDocument& doc, BatchResult& result) {
  ProblemDatabase db;
  db.SetDatabase(directory_);
  db.SetJob(job_);
  {
    platform::DatabaseLockGuard lock(directory_, platform::DatabaseLockGuard::Mode::kWait);
    if (db.LoadProblem(number, doc) != dbengine::kOk) {
      job_.Show(Format("詰将棋(レコード番号=%06ld)が読めません", static_cast<long>(number)));
      ++result.failed;
      return;
    }
  }
  PrepareForSolving(doc.board());
  const SolveOutcome outcome = RunChosenSolveProcedure(doc.board(), *job_.progress, &stop_event_, engine_);
  doc.board().GoToStart();
  if (!SolutionWritten(outcome) || !doc.board().root()->child) {
    ++result.unsolved;
    return;
  }
  platform::DatabaseLockGuard lock(directory_, platform::DatabaseLockGuard::Mode::kWait);
  if (db.WriteSolution(number, doc) == dbengine::kOk) {
    ++result.solved;
  } else {
    ++result.failed;
  }
}

BatchResult BatchSolver::Run(const std::vector<int32_t>& numbers, ProblemDocument& doc) {
  BatchResult result;
  stop_flag_.Lower();
  stop_event_.TestAndReset();
  PrepareForSolving(doc.board());
  for (int32_t number : numbers) {
    if (stop_flag_.IsRaised() || job_.Stopped()) {
      result.stopped = true;
      break;
    }
    SolveOne(number, doc, result);
  }
  return result;
}

bool BatchSolver::Start(const std::vector<int32_t>& numbers, ProblemDocument& doc,
                        std::function<void(BatchResult)> finished) {
  if (running_.exchange(true)) {
    job_.Show("詰思考に失敗しました。");
    return false;
  }
  Wait();
  thread_.Start([this, numbers, &doc, finished = std::move(finished)] {
    const BatchResult result = Run(numbers, doc);
    running_.store(false);
    if (finished) finished(result);
  });
  return true;
}

}  // namespace shogidb
