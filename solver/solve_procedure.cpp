#include "solver/solve_procedure.h"

#include <cassert>
#include <cstdio>

using namespace rules;

namespace solver {

namespace {

void Say(platform::ProgressSink& out, const char* format, const std::string& a, const std::string& b,
         const std::string* c = nullptr) {
  char line[256];
  if (c) {
    std::snprintf(line, sizeof line, format, a.c_str(), b.c_str(), c->c_str());
  } else {
    std::snprintf(line, sizeof line, format, a.c_str(), b.c_str());
  }
  out.Line(line);
}

}  // namespace

std::string SolveDateText(const platform::LocalTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d", t.month % 100, t.day % 100, t.year % 100);
  return text;
}

std::string SolveTimeText(const platform::LocalTime& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
  return text;
}

std::string DurationText(long seconds) {
  const long hours = seconds / 3600, minutes = seconds % 3600 / 60, rest = seconds % 60;
  char text[64] = "";
  int n = 0;
  if (hours != 0) n += std::snprintf(text + n, sizeof text - n, "%ld時間 ", hours);
  if (hours != 0 || minutes != 0) n += std::snprintf(text + n, sizeof text - n, "%ld分 ", minutes);
  std::snprintf(text + n, sizeof text - n, "%ld秒", rest);
  return text;
}

SolveOutcome RunFramedSolve(platform::ProgressSink& out, const std::function<SolveOutcome()>& solve) {
  platform::LocalTime now = platform::Now();
  Say(out, "==== 詰思考開始 %s %s ====", SolveDateText(now), SolveTimeText(now));
  const int64_t start = platform::SteadyMilliseconds();
  const SolveOutcome outcome = solve();
  const long seconds = static_cast<long>((platform::SteadyMilliseconds() - start) / 1000);
  now = platform::Now();
  const std::string duration = DurationText(seconds);
  Say(out, "=== 思考終了 %s %s, 思考時間は %s。 ===", SolveDateText(now), SolveTimeText(now), &duration);
  return outcome;
}

SolveOutcome RunSolveProcedure(Position& position, platform::ProgressSink& out, platform::AutoResetEvent* stop,
                               int max_depth) {
  assert(!position.current()->child);
  return RunFramedSolve(out, [&] {
    MateEngine engine(position);
    engine.Solve(max_depth, &out, stop);
    return engine.outcome();
  });
}

SolveWorker::~SolveWorker() {
  if (running()) RequestStop();
  Wait();
}

bool SolveWorker::Start(Position& position, platform::ProgressSink& out, Finished finished, int max_depth) {
  return StartJob(
      [&position, &out, max_depth](platform::AutoResetEvent* stop) {
        return RunSolveProcedure(position, out, stop, max_depth);
      },
      std::move(finished));
}

bool SolveWorker::StartJob(Job job, Finished finished) {
  if (running()) return false;
  Wait();  // the previous job has ended; collect its thread
  stop_.TestAndReset();
  running_.store(true, std::memory_order_release);
  thread_.Start([this, job = std::move(job), finished = std::move(finished)] {
    outcome_ = job(&stop_);
    running_.store(false, std::memory_order_release);
    if (finished) finished(outcome_);
  });
  return true;
}

}  // namespace solver
