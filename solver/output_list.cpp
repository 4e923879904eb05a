#include "solver/output_list.h"

namespace solver {

int SolverOutputList::Append(std::string_view line) {
  int dropped = 0;
  if (size() >= kMaxLines) {
    lines_.pop_front();
    dropped = 1;
  }
  lines_.emplace_back(line);
  return dropped;
}

}  // namespace solver
