// Any bytes as a multi-game and a multi-problem file: the scan ends, and every entry it lists loads.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "record/archive.h"
#include "record/plain_board.h"
#include "record/select_read.h"

using namespace record;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Archive ar = Archive::FromText(std::string_view(reinterpret_cast<const char*>(data), size));
  PlainBoard board;
  GameDocument game(board);
  ProblemDocument problem(board);
  const SelectScan games = ScanGames(ar);
  for (size_t i = 0; i < games.entries.size() && i < 8; ++i) {
    if (games.entries[i].offset > ar.size()) std::abort();
    ReadSelectedGame(ar, games.entries[i], game);
    if (!board.CheckConsistency().empty()) std::abort();
  }
  ar.Seek(0);
  const SelectScan problems = ScanProblems(ar);
  for (size_t i = 0; i < problems.entries.size() && i < 8; ++i) {
    ReadSelectedProblem(ar, problems.entries[i], problem);
    if (!board.CheckConsistency().empty()) std::abort();
  }
  return 0;
}
