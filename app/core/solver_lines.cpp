#include "app/core/solver_lines.h"

namespace app {

void SolverLineQueue::Line(std::string_view text) {
  bool first;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    first = waiting_.empty();
    waiting_.emplace_back(text);
  }
  if (first && wake_) wake_();
}

std::vector<std::string> SolverLineQueue::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> lines;
  lines.swap(waiting_);
  return lines;
}

}  // namespace app
