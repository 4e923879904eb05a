// Batch solving of the tsume database (詰将棋ＤＢの思考): the problems of a selection are read one after
// another into the tsume document's board, solved by the solve procedure, and each solution found is
// written back in place of the problem's moves (with its move-space file). Every access to the database
// holds the database lock, waited for without a time-out, and lets it go before the solve.
//
//   BatchSolver batch(directory, job);              // job: the question, messages and output lines
//   if (batch.Confirm(numbers.size(), doc has moves)) batch.Run(numbers, doc);   // or Start(...) on a thread
//
// Messages: the question "%d 件の詰将棋を思考し、データベースを更新します。\r\n" followed by
// "現バッファの指し手は全て破棄されます。\r\nよろしいですか？" (when the buffer has moves) or "よろしいですか？";
// "詰将棋(レコード番号=%06ld)が読めません" for a problem that cannot be read; "詰思考に失敗しました。" when
// the batch cannot be started.
#pragma once
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/worker_thread.h"
#include "record/record_document.h"
#include "shogidb/db_job.h"
#include "solver/engine_choice.h"

namespace shogidb {

struct BatchResult {
  int solved = 0;    // problems whose solution was written back
  int unsolved = 0;  // problems solved without a solution (no mate, undecided, stopped)
  int failed = 0;    // problems that could not be read or written back
  bool stopped = false;
};

class BatchSolver {
 public:
  BatchSolver(std::string directory, const DbJob& job, solver::EngineChoice engine = {});
  ~BatchSolver();
  BatchSolver(const BatchSolver&) = delete;
  BatchSolver& operator=(const BatchSolver&) = delete;

  bool Confirm(size_t count, bool buffer_has_moves) const;
  // Solves the problems in order on the calling thread; the document's buffer is discarded first.
  BatchResult Run(const std::vector<int32_t>& numbers, record::ProblemDocument& doc);
  // Runs on a worker thread at lowered priority; `finished` is called there at the end. False (with
  // "詰思考に失敗しました。") when a batch is running already.
  bool Start(const std::vector<int32_t>& numbers, record::ProblemDocument& doc, std::function<void(BatchResult)> finished);
  // Stops the running solve at its next node and the batch before the next problem.
  void RequestStop();
  void Wait() { thread_.Join(); }
  bool running() const { return running_.load(); }

 private:
  // Reads, solves and writes back one problem.
  void SolveOne(int32_t number, record::ProblemDocument& doc, BatchResult& result);

  std::string directory_;
  DbJob job_;
  solver::EngineChoice engine_;
  platform::AutoResetEvent stop_event_;
  platform::StopFlag stop_flag_;
  std::atomic<bool> running_{false};
  platform::WorkerThread thread_;
};

}  // namespace shogidb
