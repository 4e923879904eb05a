// The solve procedure's frame lines and the worker that runs it.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "record/plain_board.h"
#include "solver/output_list.h"
#include "solver/solve_procedure.h"
#include "tests/support/sfen.h"

using namespace record;
using namespace solver;

namespace {

// The line with every digit turned into 9, to compare against a pattern.
std::string Shape(std::string line) {
  for (char& c : line) {
    if (c >= '0' && c <= '9') c = '9';
  }
  return line;
}

TEST(SolveTexts, DurationsDateAndTime) {
  EXPECT_EQ(DurationText(0), "0秒");
  EXPECT_EQ(DurationText(12), "12秒");
  EXPECT_EQ(DurationText(65), "1分 5秒");
  EXPECT_EQ(DurationText(120), "2分 0秒");
  EXPECT_EQ(DurationText(3605), "1時間 0分 5秒");
  EXPECT_EQ(DurationText(3 * 3600 + 59 * 60 + 59), "3時間 59分 59秒");
  const platform::LocalTime t{2026, 12, 5, 14, 3, 9};
  EXPECT_EQ(SolveDateText(t), "12/05/26");
  EXPECT_EQ(SolveTimeText(t), "14:03:09");
}

TEST(SolveProcedure, FramesTheSearchWithStartAndEndLines) {
  PlainBoard board;
  ASSERT_TRUE(SetPositionFromSfen(board, "8k/9/8P/9/9/9/9/9/9 b G 1"));
  platform::RecordingProgressSink sink;
  EXPECT_EQ(RunSolveProcedure(board, sink, nullptr), SolveOutcome::kMate);
  ASSERT_GE(sink.lines.size(), 3u);
  EXPECT_EQ(Shape(sink.lines.front()), "==== 詰思考開始 99/99/99 99:99:99 ====");
  EXPECT_EQ(Shape(sink.lines.back()), "=== 思考終了 99/99/99 99:99:99, 思考時間は 9秒。 ===");
  EXPECT_EQ(sink.lines[1], "限界探索深度： 35手まで探索");
  EXPECT_NE(board.root()->child, nullptr);
}

// Holds the worker at its first line until the test lets it go.
class GateSink : public platform::ProgressSink {
 public:
  void Line(std::string_view text) override {
    std::unique_lock<std::mutex> lock(mutex_);
    lines.emplace_back(text);
    arrived_ = true;
    cv_.notify_all();
    cv_.wait(lock, [this] { return open_; });
  }
  void WaitForFirstLine() {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [this] { return arrived_; });
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    cv_.notify_all();
  }
  std::vector<std::string> lines;

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool arrived_ = false, open_ = false;
};

TEST(SolveWorkers, RunOneSolveAtATimeAndStopOnRequest) {
  PlainBoard board;
  ASSERT_TRUE(SetPositionFromSfen(board, "9/6nS1/4s4/4r1P1g/5Sk1B/5+pbR1/4Nsp2/9/4N4 b 3Gn4l15p 1"));
  GateSink sink;
  SolveWorker worker;
  std::atomic<int> finished_calls{0};
  SolveOutcome reported = SolveOutcome::kUndecided;
  ASSERT_TRUE(worker.Start(board, sink, [&](SolveOutcome o) {
    reported = o;
    ++finished_calls;
  }));
  sink.WaitForFirstLine();
  EXPECT_TRUE(worker.running());
  EXPECT_FALSE(worker.Start(board, sink, nullptr));  // one at a time
  worker.RequestStop();
  sink.Open();
  worker.Wait();
  EXPECT_FALSE(worker.running());
  EXPECT_EQ(finished_calls.load(), 1);
  EXPECT_EQ(reported, SolveOutcome::kInterrupted);
  EXPECT_EQ(worker.outcome(), SolveOutcome::kInterrupted);
  EXPECT_NE(std::find(sink.lines.begin(), sink.lines.end(), "中断されました"), sink.lines.end());
  EXPECT_EQ(board.root()->child, nullptr);

  // The worker can run again; this time to the end.
  board.BeginRecord();
  GateSink open_sink;
  open_sink.Open();
  ASSERT_TRUE(worker.Start(board, open_sink, nullptr));
  worker.Wait();
  EXPECT_EQ(worker.outcome(), SolveOutcome::kMate);
  EXPECT_NE(board.root()->child, nullptr);
}

}  // namespace

namespace {

TEST(SolverOutputLists, KeepTheNewest5000Lines) {
  SolverOutputList list;
  for (int i = 0; i < SolverOutputList::kMaxLines; ++i) EXPECT_EQ(list.Append(std::to_string(i)), 0);
  EXPECT_EQ(list.size(), 5000);
  // The 5001st line pushes the oldest out; nothing else is lost.
  EXPECT_EQ(list.Append("5000"), 1);
  EXPECT_EQ(list.size(), 5000);
  EXPECT_EQ(list.lines().front(), "1");
  EXPECT_EQ(list.lines().back(), "5000");
  EXPECT_EQ(list.Append("5001"), 1);
  EXPECT_EQ(list.lines().front(), "2");
  list.Clear();
  EXPECT_EQ(list.Append("again"), 0);
  EXPECT_EQ(list.size(), 1);
}

}  // namespace
