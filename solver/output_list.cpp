#include "solver/output_list.h"

namespace solver {

int SolverOutputList::Append(std::string_view line) {
  const int n = static_cast<int>(lines_.size());
  lines_.emplace_back(line);
  if (n == kMaxLines) lines_.clear();
  return n;
}

}  // namespace solver
