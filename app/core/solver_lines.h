// The road of the solver's output lines from its worker thread to the output window. The worker hands
// each line over and goes on at once; the window takes every waiting line in one go on its own thread.
// Lines keep their order and none is lost, and the worker never waits for the window, so a window that
// waits for the worker (closing, stopping) cannot deadlock with it.
#pragma once
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/progress_sink.h"

namespace app {

class SolverLineQueue final : public platform::ProgressSink {
 public:
  // `wake` runs on the sending thread when a line arrives at an empty queue: it asks the window to come
  // and Take (a queued call). Lines that arrive before that Take join the same batch.
  explicit SolverLineQueue(std::function<void()> wake) : wake_(std::move(wake)) {}

  // Any thread.
  void Line(std::string_view text) override;
  // The lines waiting, oldest first; the queue is empty afterwards.
  std::vector<std::string> Take();

 private:
  std::function<void()> wake_;
  std::mutex mutex_;
  std::vector<std::string> waiting_;
};

}  // namespace app
