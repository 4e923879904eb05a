// The lines of a solver output window (its one column, 思考状況): appended in order as the solve procedure
// sends them, never more than 5000. A full list lets its oldest line go for each new one, so the newest
// lines, the ones that say how the solve ended, are always there. The window shows one of these on its
// own thread.
#pragma once
#include <deque>
#include <string>
#include <string_view>

namespace solver {

class SolverOutputList {
 public:
  static constexpr int kMaxLines = 5000;

  // Appends a line, the oldest going first when the list is full. Returns how many lines left the front
  // (0 or 1); the new line is always the last.
  int Append(std::string_view line);
  const std::deque<std::string>& lines() const { return lines_; }
  int size() const { return static_cast<int>(lines_.size()); }
  void Clear() { lines_.clear(); }

 private:
  std::deque<std::string> lines_;
};

}  // namespace solver
