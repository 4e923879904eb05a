// The lines of a solver output window (its one column, 思考状況): appended in order as the solve procedure
// sends them, never more than 5000. The 5001st line empties the list and is lost with it; the next line
// starts it again. The window keeps one of these on its own thread and shows it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace solver {

class SolverOutputList {
 public:
  static constexpr int kMaxLines = 5000;

  // Appends a line and returns the index the window selects and scrolls to: the new line's, which no
  // longer exists when the list has just been emptied.
  int Append(std::string_view line);
  const std::vector<std::string>& lines() const { return lines_; }
  void Clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};

}  // namespace solver
