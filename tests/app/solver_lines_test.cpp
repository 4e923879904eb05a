// The solver's lines from a worker thread to the window's thread: in order, none lost, one wake for
// each batch that finds the queue empty.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/core/solver_lines.h"

namespace app {
namespace {

TEST(SolverLineQueue, LinesFromAnotherThreadArriveInOrderAndWholeInBatches) {
  std::atomic<int> wakes{0};
  SolverLineQueue queue([&] { ++wakes; });
  constexpr int kLines = 20000;
  std::thread worker([&] {
    for (int i = 0; i < kLines; ++i) queue.Line(std::to_string(i));
  });
  std::vector<std::string> taken;
  int batches = 0;
  while (taken.size() < static_cast<size_t>(kLines)) {
    std::vector<std::string> batch = queue.Take();
    if (!batch.empty()) ++batches;
    taken.insert(taken.end(), batch.begin(), batch.end());
  }
  worker.join();
  for (int i = 0; i < kLines; ++i) ASSERT_EQ(taken[i], std::to_string(i));
  EXPECT_TRUE(queue.Take().empty());
  // Every batch was announced; lines that joined a waiting batch were not announced again.
  EXPECT_GE(wakes.load(), batches);
  EXPECT_LE(wakes.load(), kLines);
}

}  // namespace
}  // namespace app
