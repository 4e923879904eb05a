// The solve procedure: the body of every solving job (a document's solve, the tsume database batch,
// kzb solve). It frames the mate search with a start line and an end line that gives the time taken:
//
//   ==== 詰思考開始 12/05/26 14:03:09 ====
//   ... the lines of the mate search ...
//   === 思考終了 12/05/26 14:03:21, 思考時間は 12秒。 ===
//
// and leaves the solution, when there is one, in the board's record.
//
// Typical use by a window or a batch (the worker thread owns the board until `finished` runs):
//
//   SolveWorker worker;
//   board.BeginRecord();                       // the record must have no moves
//   worker.Start(board, sink, [](SolveOutcome o) { /* post "finished" to the UI thread */ });
//   ...  worker.RequestStop();                 // the stop button
//
// Every line goes to the sink on the worker thread, one call per line; the sink returns once it has
// taken the line (the window inserts it), so the lines arrive in order and none is lost.
#pragma once
#include <atomic>
#include <functional>
#include <string>
#include <utility>

#include "platform/clock.h"
#include "platform/events.h"
#include "platform/progress_sink.h"
#include "platform/worker_thread.h"
#include "rules/position.h"
#include "solver/mate_engine.h"

namespace solver {

// Runs one solve of the board's current position with the side to move attacking. REQUIRES: the current
// node of the record has no children. `stop` may be null.
SolveOutcome RunSolveProcedure(rules::Position& position, platform::ProgressSink& out, platform::AutoResetEvent* stop,
                               int max_depth = MateEngine::kDefaultMaxDepth);

// Runs a solve between the start line and the end line with the time taken; RunSolveProcedure and the
// other engines' procedures share it.
SolveOutcome RunFramedSolve(platform::ProgressSink& out, const std::function<SolveOutcome()>& solve);

// "12/05/26" (month/day/two-digit year) and "14:03:09".
std::string SolveDateText(const platform::LocalTime& t);
std::string SolveTimeText(const platform::LocalTime& t);
// "1時間 0分 5秒", "2分 0秒", "12秒".
std::string DurationText(long seconds);

// One solve at a time on a worker thread at below-normal priority, with its auto-reset stop event.
class SolveWorker {
 public:
  using Finished = std::function<void(SolveOutcome)>;

  SolveWorker() = default;
  // Stops a running solve and waits for it.
  ~SolveWorker();
  SolveWorker(const SolveWorker&) = delete;
  SolveWorker& operator=(const SolveWorker&) = delete;

  // Starts solving; false (and nothing happens) while a solve is running. `finished` is called on the
  // worker thread once the procedure has returned and the running flag is clear.
  bool Start(rules::Position& position, platform::ProgressSink& out, Finished finished,
             int max_depth = MateEngine::kDefaultMaxDepth);
  // The same for any solving job (another engine's procedure), which gets the stop event.
  using Job = std::function<SolveOutcome(platform::AutoResetEvent* stop)>;
  bool StartJob(Job job, Finished finished);
  // Signals the stop event: the search stops at its next attack node and the procedure ends normally.
  void RequestStop() { stop_.Set(); }
  bool running() const { return running_.load(std::memory_order_acquire); }
  // Waits for the worker thread to end.
  void Wait() { thread_.Join(); }
  SolveOutcome outcome() const { return outcome_; }

 private:
  platform::AutoResetEvent stop_;
  std::atomic<bool> running_{false};
  SolveOutcome outcome_ = SolveOutcome::kUndecided;
  platform::WorkerThread thread_;
};

}  // namespace solver
